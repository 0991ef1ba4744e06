#pragma once
// The LZW encoder's string table: maps (prefix code, pixel) to the code of that string, in an open
// addressing table of a prime number of slots.

#include <cstdint>

namespace kestrel {

class THashTable {
public:
  static constexpr int kSlots = 8009;

  THashTable() { Clear(); }

  void Clear();
  // key is prefix code << 8 | pixel (20 bits); code is 12 bits.
  void Insert(uint32_t key, int code);
  // The code stored for key, or -1.
  int Lookup(uint32_t key) const {
    const int slot = Find(key);
    return slot < 0 || slots_[slot] == kEmpty ? -1 : static_cast<int>(slots_[slot] & kCodeMask);
  }

private:
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
  static constexpr uint32_t kCodeMask = 0xFFF;

  // The slot that holds key or the first empty slot on its probe path; -1 when the path holds
  // neither. The path visits half the slots at most, and low code sizes can fill that many.
  int Find(uint32_t key) const {
    int slot = static_cast<int>((key ^ (key >> 4)) % kSlots);
    const uint32_t wanted = key << 12;
    for (int probes = 0; probes < kSlots; ++probes) {
      const uint32_t value = slots_[slot];
      if (value >= 0xFFFFF000 || (value & ~kCodeMask) == wanted) return slot;
      slot -= slot == 0 ? 1 : kSlots - slot;
      if (slot < 0) slot += kSlots;
    }
    return -1;
  }

  uint32_t slots_[kSlots];
};

} // namespace kestrel
