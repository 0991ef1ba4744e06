#pragma once
// kestrel-tool find: the find window's search from the command line, through the same walk.

#include "browse/find/FindCriteria.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace kestrel {

struct TFindOptions {
  std::optional<qint64> MinKb, MaxKb, ExactSize;
  bool Folders = false;
  bool Containing = false;
  bool NameDuplicates = false;
  bool SizeDuplicates = false;
  bool Any() const {
    return MinKb || MaxKb || ExactSize || Folders || Containing || NameDuplicates || SizeDuplicates;
  }
};

// Takes option into options when it is one of find's ("--min-kb"), asking value for the word
// after it; false when it is not. A bad value raises TUsageError.
bool ParseFindOption(const std::string& option, const std::function<const std::string&()>& value,
                     TFindOptions& options);

// Prints each hit under root whose name matches pattern as its path, a tab and its size in bytes,
// one a line, in the order the find window lists them: as found, or with a duplicates option
// only the hits sharing their name (or size) with another, sorted by it.
int FindFiles(const std::string& root, const std::string& pattern, const TFindOptions& options,
              std::ostream& out, std::ostream& err);

} // namespace kestrel
