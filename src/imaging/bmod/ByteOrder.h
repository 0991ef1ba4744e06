#pragma once
// Little-endian fields of file headers.

#include <cstdint>

namespace kestrel {

inline uint16_t LoadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(LoadLe16(p)) | static_cast<uint32_t>(LoadLe16(p + 2)) << 16;
}
inline void StoreLe16(uint8_t* p, unsigned value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t value) {
  StoreLe16(p, value & 0xFFFF);
  StoreLe16(p + 2, value >> 16);
}

} // namespace kestrel
