#include "platform/files/FileMask.h"

#include <QStringList>

namespace kestrel {
namespace {

char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

// suffix is lower-cased already.
bool EndsWithFolded(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  const char* tail = name.data() + (name.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i)
    if (Fold(tail[i]) != suffix[i]) return false;
  return true;
}

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    c = Fold(c);
  return folded;
}

// "?" stands for one character, which UTF-8 may spell in several bytes.
size_t CharLength(std::string_view text, size_t at) {
  size_t length = 1;
  while (at + length < text.size() && (quint8(text[at + length]) & 0xC0) == 0x80)
    ++length;
  return length;
}

} // namespace

TFileMask::TFileMask(const QString& mask) {
  for (const QString& part : mask.split(';', Qt::SkipEmptyParts)) {
    const QString pattern = part.trimmed();
    if (pattern.isEmpty()) continue;
    TPattern compiled;
    compiled.Text = pattern.toStdString();
    const std::string_view tail = std::string_view(compiled.Text).substr(1);
    compiled.SuffixOnly = compiled.Text[0] == '*' && compiled.Text != "*.*" && !HasWildcard(tail);
    if (compiled.SuffixOnly) compiled.Suffix = Folded(tail);
    Patterns.push_back(std::move(compiled));
  }
}

bool TFileMask::MatchPattern(const TPattern& pattern, std::string_view name) {
  return pattern.SuffixOnly ? EndsWithFolded(name, pattern.Suffix) : Match(pattern.Text, name);
}

int TFileMask::Matches(std::string_view name) const {
  int count = 0;
  for (const TPattern& pattern : Patterns)
    count += MatchPattern(pattern, name) ? 1 : 0;
  return count;
}

bool TFileMask::Match(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && Fold(pattern[p]) == Fold(name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

} // namespace kestrel
