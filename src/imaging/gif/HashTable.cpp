#include "imaging/gif/HashTable.h"

#include <algorithm>
#include <iterator>

namespace kestrel {

void THashTable::Clear() {
  std::fill(std::begin(slots_), std::end(slots_), kEmpty);
}

void THashTable::Insert(uint32_t key, int code) {
  // With no free slot on the key's path the string simply stays unknown: the encoder then sends
  // it as shorter strings, which every decoder still reads correctly.
  InsertAt(Find(key).slot, key, code);
}

THashTable::TFound THashTable::Probe(int slot, uint32_t key) const {
  for (int probes = 1; probes < kSlots; ++probes) {
    slot -= slot == 0 ? 1 : kSlots - slot;
    if (slot < 0) slot += kSlots;
    if (Holds(slots_[slot], key)) return {slot, slots_[slot]};
  }
  return {-1, kEmpty};
}

} // namespace kestrel
