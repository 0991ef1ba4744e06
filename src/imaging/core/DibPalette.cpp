#include "imaging/core/DibPalette.h"

#include <algorithm>

namespace kestrel {

TPalette TDibPalette::ToPalette() const {
  TPalette p = TPalette::Black(std::min<int>(Count, kMaxEntries));
  for (int i = 0; i < p.Count(); ++i)
    p[i] = {Entries[i].Red, Entries[i].Green, Entries[i].Blue, 0};
  return p;
}

TDibPalette TDibPalette::FromPalette(const TPalette& palette) {
  TDibPalette d;
  d.Version = kVersion;
  d.Count = static_cast<uint16_t>(palette.Count());
  for (int i = 0; i < palette.Count(); ++i)
    d.Entries[i] = {palette[i].Blue, palette[i].Green, palette[i].Red, 0};
  return d;
}

bool operator==(const TDibPalette& a, const TDibPalette& b) {
  if (a.Version != b.Version || a.Count != b.Count) return false;
  const int n = std::min<int>(a.Count, TDibPalette::kMaxEntries);
  return std::equal(a.Entries, a.Entries + n, b.Entries);
}

} // namespace kestrel
