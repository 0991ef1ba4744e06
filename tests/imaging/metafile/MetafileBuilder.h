#pragma once
// Metafiles assembled record by record for the tests, field by field from the formats' layout and
// independently of the library's own writers.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrel::test {

// Little-endian fields appended to a byte vector.
class Fields {
public:
  Fields& U8(unsigned v);
  Fields& U16(unsigned v);
  Fields& I16(int v) { return U16(static_cast<uint16_t>(v)); }
  Fields& U32(uint32_t v);
  Fields& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Fields& F32(float v);
  Fields& Bytes(const std::vector<uint8_t>& bytes);
  Fields& Text(const std::string& text); // the characters' bytes, no terminator
  Fields& Wide(const std::u16string& text);
  Fields& Pad(size_t alignment);
  const std::vector<uint8_t>& Data() const { return data_; }
  size_t Size() const { return data_.size(); }

private:
  std::vector<uint8_t> data_;
};

// A plain metafile: an optional placeable header, the metafile header, records, end record.
class WmfBuilder {
public:
  WmfBuilder& Placeable(int left, int top, int right, int bottom, int inch);
  // A record of 16-bit words.
  WmfBuilder& Record(uint16_t function, std::initializer_list<int> words);
  // A record with parameters as bytes (padded to an even length).
  WmfBuilder& Raw(uint16_t function, const Fields& params);
  // A record whose size field is given as is.
  WmfBuilder& Sized(uint16_t function, uint32_t sizeInWords, const Fields& params);
  std::vector<uint8_t> Bytes(bool withEnd = true) const;

private:
  Fields placeable_;
  Fields records_;
};

// An enhanced metafile: the header record, records, end record.
class EmfBuilder {
public:
  // frame in hundredths of a millimetre; the reference device of pixels by millimetres.
  EmfBuilder(int left, int top, int right, int bottom, int devicePixels, int deviceMm);
  EmfBuilder& Record(uint32_t type, std::initializer_list<int32_t> values);
  EmfBuilder& Raw(uint32_t type, const Fields& params);
  EmfBuilder& Sized(uint32_t type, uint32_t size, const Fields& params);
  std::vector<uint8_t> Bytes(bool withEnd = true) const;

private:
  Fields header_;
  Fields records_;
  uint32_t count_ = 1;
};

// A bottom-up 24-bit DIB (header and pixels) of width x height; pixels are 0x00RRGGBB, row by row
// from the top.
std::vector<uint8_t> Dib24(int width, int height, const std::vector<uint32_t>& pixels);
// Its header alone (40 bytes).
std::vector<uint8_t> Dib24Header(int width, int height);
// Its pixel rows alone.
std::vector<uint8_t> Dib24Bits(int width, int height, const std::vector<uint32_t>& pixels);

} // namespace kestrel::test
