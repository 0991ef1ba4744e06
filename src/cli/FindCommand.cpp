#include "cli/FindCommand.h"

#include "browse/find/FindOrder.h"
#include "browse/find/FindWalk.h"
#include "cli/ToolCommands.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <sys/stat.h>
#include <vector>

namespace kestrel {
namespace {

constexpr qint64 kMostKilobytes = 999'999'999'999; // 12 digits, as the window's fields take

qint64 CountNamed(const std::string& text, const std::string& option, qint64 most) {
  const bool digits = !text.empty() && text.size() <= 19 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const qint64 count = digits ? std::stoll(text) : -1;
  if (count < 0 || count > most)
    throw TUsageError{option + " takes a whole number of 0 to " + std::to_string(most)};
  return count;
}

TFindCriteria CriteriaOf(const std::string& pattern, const TFindOptions& options) {
  if (options.Folders && options.Containing)
    throw TUsageError{"--folders and --containing exclude each other"};
  if (options.NameDuplicates && options.SizeDuplicates)
    throw TUsageError{"--name-duplicates and --size-duplicates exclude each other"};
  const bool sizes = options.MinKb || options.MaxKb || options.ExactSize;
  if (sizes && (options.Folders || options.Containing))
    throw TUsageError{"the size options need a search for files"};
  if (options.ExactSize && (options.MinKb || options.MaxKb))
    throw TUsageError{"--exact-size excludes --min-kb and --max-kb"};
  if (options.MinKb && options.MaxKb && *options.MaxKb < *options.MinKb)
    throw TUsageError{"--max-kb is below --min-kb"};
  TFindCriteria criteria;
  criteria.Pattern = QString::fromUtf8(pattern);
  // Duplicates of files leave folders out: their sizes would only be summed to be dropped.
  const bool grouped = options.NameDuplicates || options.SizeDuplicates;
  criteria.Kind = options.Folders      ? TFindKind::Folders
                  : options.Containing ? TFindKind::FoldersContaining
                  : grouped            ? TFindKind::FilesOnly
                                       : TFindKind::Files;
  if (options.ExactSize) criteria.Size = TSizeBounds{*options.ExactSize, *options.ExactSize};
  if (options.MinKb || options.MaxKb) {
    criteria.Size = TSizeBounds{};
    if (options.MinKb) criteria.Size->Minimum = *options.MinKb * 1024;
    if (options.MaxKb) criteria.Size->Maximum = *options.MaxKb * 1024;
  }
  return criteria;
}

void Print(const TFindHit& hit, std::ostream& out) {
  const std::string path = hit.Path();
  out.write(path.data(), std::streamsize(path.size()));
  out << '\t' << hit.Size << '\n';
}

} // namespace

bool ParseFindOption(const std::string& option, const std::function<const std::string&()>& value,
                     TFindOptions& options) {
  if (option == "--min-kb")
    options.MinKb = CountNamed(value(), option, kMostKilobytes);
  else if (option == "--max-kb")
    options.MaxKb = CountNamed(value(), option, kMostKilobytes);
  else if (option == "--exact-size")
    options.ExactSize = CountNamed(value(), option, kMostKilobytes * 1024);
  else if (option == "--folders")
    options.Folders = true;
  else if (option == "--containing")
    options.Containing = true;
  else if (option == "--name-duplicates")
    options.NameDuplicates = true;
  else if (option == "--size-duplicates")
    options.SizeDuplicates = true;
  else
    return false;
  return true;
}

int FindFiles(const std::string& root, const std::string& pattern, const TFindOptions& options,
              std::ostream& out, std::ostream& err) {
  const TFindCriteria criteria = CriteriaOf(pattern, options);
  struct stat status;
  const char* problem = ::stat(root.c_str(), &status) != 0 ? std::strerror(errno)
                        : !S_ISDIR(status.st_mode)         ? "not a folder"
                                                           : nullptr;
  if (problem) {
    err << "kestrel-tool: cannot search " << root << ": " << problem << "\n";
    return kExitFailed;
  }
  const bool grouped = options.NameDuplicates || options.SizeDuplicates;
  std::vector<TFindHit> hits;
  std::atomic<bool> stop = false;
  TFindWalk walk(criteria, stop, [&](TFindHit&& hit) {
    if (grouped)
      hits.push_back(std::move(hit));
    else
      Print(hit, out);
  });
  walk.Walk(root);
  if (grouped)
    for (const TFindHit& hit : Duplicates(
             std::move(hits), options.NameDuplicates ? TFindColumn::File : TFindColumn::Size))
      Print(hit, out);
  return out ? kExitOk : kExitFailed;
}

} // namespace kestrel
