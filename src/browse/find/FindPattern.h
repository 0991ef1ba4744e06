#pragma once
// The name pattern of the find window: "?" stands for any one character, "*" for any run, and
// letters match without regard to case. A pattern is anchored at the start of a name only: a name
// matches when it begins with what the pattern spells, so "IMG" finds IMG_0001.JPG and "*.*"
// finds every name holding a dot. An empty pattern matches every name.
//
// Names are the file system's raw bytes: UTF-8 is read as characters, and a byte that is not
// part of valid UTF-8 counts as one character of its own. Matching takes at most (name length) x
// (pattern length) steps, however many stars the pattern holds.

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class TFindPattern {
public:
  explicit TFindPattern(const QString& pattern);

  bool Matches(std::string_view name) const;
  const QString& Text() const { return Source; }

private:
  bool MatchUnits(const char32_t* name, size_t length) const;

  QString Source;
  std::vector<char32_t> Units;    // case-folded characters, kAnyOne for "?" and kAnyRun for "*"
  mutable std::u32string Scratch; // a name as case-folded characters
};

} // namespace kestrel
