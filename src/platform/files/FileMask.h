#pragma once
// A file mask such as "*.jpg;*.jpeg": patterns separated by ";" with "*" and "?" wildcards,
// matched without regard to case, as the file view has always matched names. "*.*" matches every
// name, with or without a dot.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class TFileMask {
public:
  explicit TFileMask(const QString& mask);

  // How many of the patterns the raw (UTF-8) name matches: a name matching two patterns is
  // listed twice.
  int Matches(std::string_view name) const;
  bool Empty() const { return Patterns.empty(); }

  static bool Match(std::string_view pattern, std::string_view name);

private:
  struct TPattern {
    std::string Text;
    bool SuffixOnly = false; // "*" and a plain tail, such as "*.jpg": a suffix test
    std::string Suffix;      // that tail, lower-cased
  };
  static bool MatchPattern(const TPattern& pattern, std::string_view name);

  std::vector<TPattern> Patterns;
};

} // namespace kestrel
