#pragma once
// TByteReader: little-endian fields read from bytes in memory, each read checked against the end.
// A read past the end raises EInvalidGraphic with the message the reader was made with, so a
// parser states once what a short file means ("Icon file truncated").

#include "imaging/core/Exceptions.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace kestrel {

class TByteReader {
public:
  TByteReader(std::span<const uint8_t> data, std::string truncated)
      : data_(data), truncated_(std::move(truncated)) {}

  size_t Size() const { return data_.size(); }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return data_.size() - pos_; }
  std::span<const uint8_t> Data() const { return data_; }

  // Moves to an absolute position (at most the end).
  void Seek(size_t position) {
    Need(position, 0);
    pos_ = position;
  }
  void Skip(size_t count) {
    Need(pos_, count);
    pos_ += count;
  }

  uint8_t U8() { return Take(1)[0]; }
  uint16_t U16() {
    const uint8_t* p = Take(2);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  uint32_t U32() {
    const uint8_t* p = Take(4);
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }
  // count bytes from the position (a view into the data).
  std::span<const uint8_t> Bytes(size_t count) {
    const uint8_t* p = Take(count);
    return {p, count};
  }
  // count bytes starting at an absolute offset, without moving.
  std::span<const uint8_t> BytesAt(size_t offset, size_t count) const {
    Need(offset, count);
    return data_.subspan(offset, count);
  }

  [[noreturn]] void Fail() const { throw EInvalidGraphic(truncated_); }

private:
  void Need(size_t position, size_t count) const {
    if (position > data_.size() || count > data_.size() - position) Fail();
  }
  const uint8_t* Take(size_t count) {
    Need(pos_, count);
    const uint8_t* p = data_.data() + pos_;
    pos_ += count;
    return p;
  }

  std::span<const uint8_t> data_;
  std::string truncated_;
  size_t pos_ = 0;
};

} // namespace kestrel
