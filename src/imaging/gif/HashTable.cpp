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
  uint32_t value;
  InsertAt(Find(key, value), key, code);
}

} // namespace kestrel
