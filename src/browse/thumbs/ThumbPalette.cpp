#include "browse/thumbs/ThumbPalette.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace kestrel {
namespace {

TPaletteEntry Grey(int level) {
  const auto value = static_cast<uint8_t>(level);
  return {value, value, value, PC_NOCOLLAPSE};
}

} // namespace

int ValidThumbPalette(int choice) {
  return std::find(std::begin(kThumbPaletteChoices), std::end(kThumbPaletteChoices), choice) !=
                 std::end(kThumbPaletteChoices)
             ? choice
             : kDefaultThumbPalette;
}

TPalette MakeThumbPalette(int choice) {
  std::vector<TPaletteEntry> entries;
  choice = ValidThumbPalette(choice);
  if (choice == 0) {
    for (int i = 0; i < 10; ++i)
      entries.push_back(Grey(247 - 13 * i));
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          entries.push_back({static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
                             static_cast<uint8_t>(51 * b), PC_NOCOLLAPSE});
    for (int i = 0; i < 10; ++i)
      entries.push_back(Grey(117 - 13 * i));
  } else {
    entries.resize(static_cast<size_t>(choice) + 1);
    for (int k = 0; k <= choice; ++k)
      entries[static_cast<size_t>(choice - k)] = Grey(255 / choice * k);
  }
  return TPalette(entries);
}

} // namespace kestrel
