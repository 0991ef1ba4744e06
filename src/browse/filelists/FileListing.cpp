#include "browse/filelists/FileListing.h"

#include "platform/files/FileMask.h"
#include "platform/files/Folders.h"

#include <QFile>

#include <algorithm>

namespace kestrel {
namespace {

bool IsProgramName(const QString& name) {
  static const char* extensions[] = {".exe", ".com", ".bat", ".pif"};
  return std::any_of(std::begin(extensions), std::end(extensions), [&](const char* ext) {
    return name.endsWith(QLatin1String(ext), Qt::CaseInsensitive);
  });
}

TListItem FileItem(const QString& name, quint32 attributes, bool showGlyphs) {
  TListItem item;
  item.Name = name;
  if (attributes & faDirectory) {
    item.Text = "[" + name + "]";
    item.Glyph = TGlyph::ClosedFolder;
  } else {
    item.Text = name;
    if (showGlyphs) item.Glyph = IsProgramName(name) ? TGlyph::Executable : TGlyph::UnknownFile;
  }
  if (!showGlyphs) item.Glyph = TGlyph::None;
  return item;
}

// Appends a key that sorts as the text without regard to case: plain ASCII lower-cased in place,
// anything else case-folded, both as UTF-8 so that they order alike.
void AppendSortKey(std::string& keys, const QString& text) {
  const size_t start = keys.size();
  keys.resize(start + size_t(text.size()));
  char* out = keys.data() + start;
  for (const QChar c : text) {
    const char16_t unit = c.unicode();
    if (unit >= 0x80) {
      keys.resize(start);
      keys += text.toCaseFolded().toStdString();
      return;
    }
    *out++ = (unit >= 'A' && unit <= 'Z') ? char(unit - 'A' + 'a') : char(unit);
  }
}

// The eight key bytes from offset on, most significant first: comparing two heads compares those
// bytes, and a key that ends sooner sorts first.
quint64 Head(std::string_view key, size_t offset) {
  quint64 head = 0;
  for (size_t i = 0; i < 8; ++i)
    head = (head << 8) | (offset + i < key.size() ? quint8(key[offset + i]) : 0);
  return head;
}

} // namespace

void SortItems(std::vector<TListItem>& items) {
  // All keys live in one buffer; most comparisons are settled by eight bytes taken after the
  // prefix every key shares ("IMG_" and the like).
  std::string buffer;
  std::vector<std::pair<size_t, size_t>> spans;
  spans.reserve(items.size());
  for (const TListItem& item : items) {
    const size_t start = buffer.size();
    AppendSortKey(buffer, item.Text);
    spans.emplace_back(start, buffer.size() - start);
  }
  auto key = [&](size_t index) {
    return std::string_view(buffer).substr(spans[index].first, spans[index].second);
  };
  size_t common = items.empty() ? 0 : spans[0].second;
  for (size_t i = 1; i < items.size(); ++i) {
    const std::string_view a = key(0), b = key(i);
    size_t n = 0;
    while (n < common && n < b.size() && a[n] == b[n])
      ++n;
    common = n;
  }
  struct TEntry {
    quint64 Head;
    size_t Index;
  };
  std::vector<TEntry> entries;
  entries.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i)
    entries.push_back({Head(key(i), common), i});
  std::sort(entries.begin(), entries.end(), [&](const TEntry& a, const TEntry& b) {
    if (a.Head != b.Head) return a.Head < b.Head;
    if (const int order = key(a.Index).compare(key(b.Index)); order != 0) return order < 0;
    return items[a.Index].Text < items[b.Index].Text;
  });
  std::vector<TListItem> sorted;
  sorted.reserve(items.size());
  for (const TEntry& entry : entries)
    sorted.push_back(std::move(items[entry.Index]));
  items = std::move(sorted);
}

// Runs fill, which adds the items of a folder, and sorts them; a folder that cannot be read gives
// no items and the reason.
template <class Fill> TListing Listing(Fill&& fill) {
  TListing listing;
  try {
    fill(listing.Items);
  } catch (const EInOutError& error) {
    listing.Items.clear();
    listing.Error = QString::fromStdString(error.what());
    return listing;
  }
  SortItems(listing.Items);
  return listing;
}

TListing ReadFileListing(const QString& directory, const QString& mask, TFileType types,
                         bool showGlyphs) {
  return Listing([&](std::vector<TListItem>& items) {
    const TFileMask patterns(mask);
    int matches = 0; // of the entry being read
    const bool wantReadOnly = !types.Contains(ftNormal) && types.Contains(ftReadOnly);
    VisitDirectory(
        directory, wantReadOnly,
        [&](std::string_view name) { return (matches = patterns.Matches(name)) > 0; },
        [&](std::string_view raw, quint32 attributes) {
          if (!types.Lists(attributes)) return;
          const QString name = QFile::decodeName(QByteArray(raw.data(), qsizetype(raw.size())));
          for (int n = 0; n < matches; ++n)
            items.push_back(FileItem(name, attributes, showGlyphs));
        });
  });
}

TListing ReadSubFolders(const QString& directory, int indent, bool lowerCase) {
  return Listing([&](std::vector<TListItem>& items) {
    for (const TDirEntry& entry : ScanDirectory(directory, false)) {
      if (!(entry.Attributes & faDirectory) || (entry.Attributes & faHidden)) continue;
      if (entry.Name == "." || entry.Name == ".." || entry.Name.toLower() == "recycled") continue;
      items.push_back({lowerCase ? entry.Name.toLower() : entry.Name, entry.Name,
                       TGlyph::ClosedFolder, indent});
    }
  });
}

} // namespace kestrel
