#include "browse/find/FindPattern.h"

#include <QChar>
#include <QList>

namespace kestrel {
namespace {

// Outside the characters any name can hold: the decoder makes no value above 0x10FFFF.
constexpr char32_t kAnyOne = 0x110000;
constexpr char32_t kAnyRun = 0x110001;

char32_t Folded(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
  return QChar::toCaseFolded(c);
}

// The length of the UTF-8 sequence starting at text[at] and its character, or 0 when the bytes
// there are not valid UTF-8 (overlong forms and surrogates included).
size_t DecodeUtf8(std::string_view text, size_t at, char32_t& c) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

} // namespace

TFindPattern::TFindPattern(const QString& pattern) : Source(pattern) {
  for (const char32_t c : pattern.toUcs4()) {
    if (c == '*') {
      // A run of stars is one star.
      if (Units.empty() || Units.back() != kAnyRun) Units.push_back(kAnyRun);
    } else {
      Units.push_back(c == '?' ? kAnyOne : Folded(c));
    }
  }
}

bool TFindPattern::Matches(std::string_view name) const {
  Scratch.clear();
  for (size_t at = 0; at < name.size();) {
    const auto lead = static_cast<unsigned char>(name[at]);
    char32_t c = lead;
    size_t length = lead < 0x80 ? 1 : DecodeUtf8(name, at, c);
    // A stray byte is a character of its own, one no pattern character equals.
    if (length == 0) c = 0xDC00 + lead, length = 1;
    Scratch.push_back(Folded(c));
    at += length;
  }
  return MatchUnits(Scratch.data(), Scratch.size());
}

// The pattern is followed by an unwritten "*": it matches once every unit is used. After a
// mismatch the last star takes one more character and the rest of the pattern is tried again;
// earlier stars never need to, which bounds the work.
bool TFindPattern::MatchUnits(const char32_t* name, size_t length) const {
  const size_t count = Units.size();
  size_t p = 0, n = 0;
  size_t starP = count, starN = 0;
  while (p < count) {
    if (Units[p] == kAnyRun) {
      starP = p++;
      starN = n;
    } else if (n < length && (Units[p] == kAnyOne || Units[p] == name[n])) {
      ++p;
      ++n;
    } else if (starP < count && starN < length) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  return true;
}

} // namespace kestrel
