#pragma once
// TByteWriter: little-endian fields appended to a growing byte buffer, with patching of fields
// whose value is known only later (a size written in front of what it counts).

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

class TByteWriter {
public:
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t>& Bytes() { return bytes_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  void U8(unsigned v) { bytes_.push_back(static_cast<uint8_t>(v)); }
  void U16(unsigned v) {
    U8(v & 0xFF);
    U8(v >> 8 & 0xFF);
  }
  void I16(int v) { U16(static_cast<uint16_t>(v)); }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void Append(std::span<const uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
  }
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  // Pads with zero bytes to a multiple of alignment.
  void Align(size_t alignment) {
    while (bytes_.size() % alignment)
      bytes_.push_back(0);
  }

  void Patch16(size_t at, unsigned v) {
    bytes_[at] = static_cast<uint8_t>(v);
    bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  void Patch32(size_t at, uint32_t v) {
    Patch16(at, v & 0xFFFF);
    Patch16(at + 2, v >> 16);
  }

private:
  std::vector<uint8_t> bytes_;
};

} // namespace kestrel
