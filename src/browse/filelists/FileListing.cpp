#include "browse/filelists/FileListing.h"

#include "platform/files/FileMask.h"
#include "platform/files/Folders.h"

#include <algorithm>
#include <numeric>

namespace kestrel {
namespace {

bool IsProgramName(const QString& name) {
  static const char* extensions[] = {".exe", ".com", ".bat", ".pif"};
  return std::any_of(std::begin(extensions), std::end(extensions), [&](const char* ext) {
    return name.endsWith(QLatin1String(ext), Qt::CaseInsensitive);
  });
}

TListItem FileItem(const TDirEntry& entry, bool showGlyphs) {
  TListItem item;
  item.Name = entry.Name;
  if (entry.Attributes & faDirectory) {
    item.Text = "[" + entry.Name + "]";
    item.Glyph = TGlyph::ClosedFolder;
  } else {
    item.Text = entry.Name;
    item.Glyph = IsProgramName(entry.Name) ? TGlyph::Executable : TGlyph::UnknownFile;
  }
  if (!showGlyphs) item.Glyph = TGlyph::None;
  return item;
}

} // namespace

void SortItems(std::vector<TListItem>& items) {
  std::vector<QString> keys;
  keys.reserve(items.size());
  for (const TListItem& item : items) keys.push_back(item.Text.toCaseFolded());
  std::vector<size_t> order(items.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (keys[a] != keys[b]) return keys[a] < keys[b];
    return items[a].Text < items[b].Text;
  });
  std::vector<TListItem> sorted;
  sorted.reserve(items.size());
  for (size_t index : order) sorted.push_back(std::move(items[index]));
  items = std::move(sorted);
}

TListing ReadFileListing(const QString& directory, const QString& mask, TFileType types,
                             bool showGlyphs) {
  TListing listing;
  const TFileMask patterns(mask);
  std::vector<int> repeats; // how many patterns each accepted entry matched
  try {
    const bool wantReadOnly = !types.Contains(ftNormal) && types.Contains(ftReadOnly);
    const auto entries = ScanDirectory(directory, wantReadOnly, [&](std::string_view name) {
      const int matches = patterns.Matches(name);
      if (matches > 0) repeats.push_back(matches);
      return matches > 0;
    });
    for (size_t i = 0; i < entries.size(); ++i) {
      if (!types.Lists(entries[i].Attributes)) continue;
      for (int n = 0; n < repeats[i]; ++n) listing.Items.push_back(FileItem(entries[i], showGlyphs));
    }
  } catch (const EInOutError& error) {
    listing.Items.clear();
    listing.Error = QString::fromStdString(error.what());
    return listing;
  }
  SortItems(listing.Items);
  return listing;
}

TListing ReadSubFolders(const QString& directory, int indent, bool lowerCase) {
  TListing listing;
  try {
    for (const TDirEntry& entry : ScanDirectory(directory, false)) {
      if (!(entry.Attributes & faDirectory) || (entry.Attributes & faHidden)) continue;
      if (entry.Name == "." || entry.Name == ".." || entry.Name.toLower() == "recycled") continue;
      listing.Items.push_back({lowerCase ? entry.Name.toLower() : entry.Name, entry.Name,
                               TGlyph::ClosedFolder, indent});
    }
  } catch (const EInOutError& error) {
    listing.Items.clear();
    listing.Error = QString::fromStdString(error.what());
    return listing;
  }
  SortItems(listing.Items);
  return listing;
}

} // namespace kestrel
