#include "MetafileBuilder.h"

#include <bit>

namespace kestrel::test {

Fields& Fields::U8(unsigned v) {
  data_.push_back(static_cast<uint8_t>(v));
  return *this;
}

Fields& Fields::U16(unsigned v) {
  return U8(v & 0xFF).U8(v >> 8 & 0xFF);
}

Fields& Fields::U32(uint32_t v) {
  return U16(v & 0xFFFF).U16(v >> 16);
}

Fields& Fields::F32(float v) {
  return U32(std::bit_cast<uint32_t>(v));
}

Fields& Fields::Bytes(const std::vector<uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

Fields& Fields::Text(const std::string& text) {
  for (const char c : text)
    U8(static_cast<uint8_t>(c));
  return *this;
}

Fields& Fields::Wide(const std::u16string& text) {
  for (const char16_t c : text)
    U16(c);
  return *this;
}

Fields& Fields::Pad(size_t alignment) {
  while (data_.size() % alignment)
    U8(0);
  return *this;
}

WmfBuilder& WmfBuilder::Placeable(int left, int top, int right, int bottom, int inch) {
  Fields p;
  p.U32(0x9AC6CDD7).U16(0).I16(left).I16(top).I16(right).I16(bottom).U16(inch).U32(0);
  uint16_t sum = 0;
  for (size_t i = 0; i < p.Size(); i += 2)
    sum ^= static_cast<uint16_t>(p.Data()[i] | p.Data()[i + 1] << 8);
  p.U16(sum);
  placeable_ = p;
  return *this;
}

WmfBuilder& WmfBuilder::Record(uint16_t function, std::initializer_list<int> words) {
  Fields params;
  for (const int w : words)
    params.I16(w);
  return Raw(function, params);
}

WmfBuilder& WmfBuilder::Raw(uint16_t function, const Fields& params) {
  Fields padded = params;
  padded.Pad(2);
  return Sized(function, static_cast<uint32_t>(3 + padded.Size() / 2), padded);
}

WmfBuilder& WmfBuilder::Sized(uint16_t function, uint32_t sizeInWords, const Fields& params) {
  records_.U32(sizeInWords).U16(function).Bytes(params.Data());
  return *this;
}

std::vector<uint8_t> WmfBuilder::Bytes(bool withEnd) const {
  Fields out;
  out.Bytes(placeable_.Data());
  Fields records = records_;
  if (withEnd) records.U32(3).U16(0);
  out.U16(1).U16(9).U16(0x0300).U32(static_cast<uint32_t>(9 + records.Size() / 2)).U16(0);
  out.U32(0).U16(0);
  out.Bytes(records.Data());
  return out.Data();
}

EmfBuilder::EmfBuilder(int left, int top, int right, int bottom, int devicePixels, int deviceMm) {
  header_.U32(1).U32(88);
  header_.I32(0).I32(0).I32(devicePixels).I32(devicePixels); // bounds
  header_.I32(left).I32(top).I32(right).I32(bottom);         // frame
  header_.U32(0x464D4520).U32(0x10000).U32(0).U32(0).U16(0).U16(0);
  header_.U32(0).U32(0).U32(0);
  header_.I32(devicePixels).I32(devicePixels).I32(deviceMm).I32(deviceMm);
}

EmfBuilder& EmfBuilder::Record(uint32_t type, std::initializer_list<int32_t> values) {
  Fields params;
  for (const int32_t v : values)
    params.I32(v);
  return Raw(type, params);
}

EmfBuilder& EmfBuilder::Raw(uint32_t type, const Fields& params) {
  Fields padded = params;
  padded.Pad(4);
  return Sized(type, static_cast<uint32_t>(8 + padded.Size()), padded);
}

EmfBuilder& EmfBuilder::Sized(uint32_t type, uint32_t size, const Fields& params) {
  records_.U32(type).U32(size).Bytes(params.Data());
  ++count_;
  return *this;
}

std::vector<uint8_t> EmfBuilder::Bytes(bool withEnd) const {
  Fields records = records_;
  if (withEnd) records.U32(14).U32(20).U32(0).U32(16).U32(20);
  std::vector<uint8_t> out = header_.Data();
  const uint32_t total = static_cast<uint32_t>(out.size() + records.Size());
  const uint32_t count = count_ + (withEnd ? 1 : 0);
  for (int i = 0; i < 4; ++i) {
    out[48 + i] = static_cast<uint8_t>(total >> (8 * i));
    out[52 + i] = static_cast<uint8_t>(count >> (8 * i));
  }
  out.insert(out.end(), records.Data().begin(), records.Data().end());
  return out;
}

std::vector<uint8_t> Dib24Header(int width, int height) {
  Fields h;
  h.U32(40).I32(width).I32(height).U16(1).U16(24).U32(0).U32(0).I32(0).I32(0).U32(0).U32(0);
  return h.Data();
}

std::vector<uint8_t> Dib24Bits(int width, int height, const std::vector<uint32_t>& pixels) {
  Fields bits;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = pixels[static_cast<size_t>(y * width + x)];
      bits.U8(c & 0xFF).U8(c >> 8 & 0xFF).U8(c >> 16 & 0xFF);
    }
    bits.Pad(4);
  }
  return bits.Data();
}

std::vector<uint8_t> Dib24(int width, int height, const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> dib = Dib24Header(width, height);
  const std::vector<uint8_t> bits = Dib24Bits(width, height, pixels);
  dib.insert(dib.end(), bits.begin(), bits.end());
  return dib;
}

} // namespace kestrel::test
