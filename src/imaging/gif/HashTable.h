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
    int slot;
    return Lookup(key, slot);
  }
  // The same, also giving the slot where key belongs (-1 when its probe path is full), so that
  // inserting a missing key needs no second search.
  int Lookup(uint32_t key, int& slot) const {
    const TFound found = Find(key);
    slot = found.slot;
    return found.value == kEmpty ? -1 : static_cast<int>(found.value & kCodeMask);
  }
  // Stores key at the slot a failed lookup gave.
  void InsertAt(int slot, uint32_t key, int code) {
    if (slot >= 0) slots_[slot] = key << 12 | (static_cast<uint32_t>(code) & kCodeMask);
  }

private:
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
  static constexpr uint32_t kCodeMask = 0xFFF;

  // The first slot tried for key: (key xor key >> 4) mod kSlots. The operand has at most 20 bits,
  // for which one multiplication by the rounded-up reciprocal gives the exact quotient; this sits
  // on the encoder's critical path.
  static int Home(uint32_t key) {
    const uint32_t x = (key ^ (key >> 4)) & 0xFFFFF;
    constexpr uint64_t kReciprocal = ((uint64_t(1) << 33) + kSlots - 1) / kSlots;
    const uint32_t quotient = static_cast<uint32_t>((x * kReciprocal) >> 33);
    return static_cast<int>(x - quotient * kSlots);
  }

  // The slot that holds key or the first empty slot on its probe path (-1 when the path holds
  // neither), with its contents (kEmpty when there is no such slot). The path visits half the
  // slots at most, and low code sizes can fill that many.
  struct TFound {
    int slot;
    uint32_t value;
  };
  TFound Find(uint32_t key) const {
    const int slot = Home(key);
    const uint32_t value = slots_[slot];
    return Holds(value, key) ? TFound{slot, value} : Probe(slot, key);
  }
  // True when a slot with this value ends the search for key: empty, or holding key.
  static bool Holds(uint32_t value, uint32_t key) {
    return value >= 0xFFFFF000 || (value & ~kCodeMask) == key << 12;
  }
  // Goes on from a slot taken by another key.
  TFound Probe(int slot, uint32_t key) const;

  uint32_t slots_[kSlots];
};

} // namespace kestrel
