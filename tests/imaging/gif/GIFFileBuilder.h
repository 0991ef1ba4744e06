#pragma once
// GIF files put together byte by byte for the container tests: well-formed blocks, and blocks
// damaged on purpose. Image data are coded by our frame coder, whose output the coding tests check
// against giflib.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFFrameCoder.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrel::giftest {

// Colour i of the tables written here: distinct for every i.
inline std::vector<uint8_t> TableBytes(int entries) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < entries; ++i)
    bytes.insert(bytes.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 37)});
  return bytes;
}

class GIFFileBuilder {
public:
  explicit GIFFileBuilder(const std::string& signature = "GIF89a")
      : bytes_(signature.begin(), signature.end()) {}

  // The screen descriptor with a global table of 2^tableBits entries (none for 0).
  GIFFileBuilder& Screen(int width, int height, int tableBits, uint8_t background = 0) {
    Word(width);
    Word(height);
    Raw({uint8_t(tableBits ? 0x80 | 0x70 | (tableBits - 1) : 0x70), background, 0});
    if (tableBits) Append(TableBytes(1 << tableBits));
    return *this;
  }
  GIFFileBuilder& Control(bool transparent, int index, int delay = 0, int disposal = 0) {
    Raw({0x21, 0xF9, 4, uint8_t(disposal << 2 | (transparent ? 1 : 0))});
    Word(delay);
    return Raw({uint8_t(index), 0});
  }
  GIFFileBuilder& Comment(const std::vector<std::string>& blocks) {
    Raw({0x21, 0xFE});
    for (const std::string& b : blocks) {
      Raw({uint8_t(b.size())});
      bytes_.insert(bytes_.end(), b.begin(), b.end());
    }
    return Raw({0});
  }
  // An application extension with the given block size byte and identifier bytes.
  GIFFileBuilder& Application(const std::string& identifier,
                              const std::vector<std::vector<uint8_t>>& blocks) {
    Raw({0x21, 0xFF, uint8_t(identifier.size())});
    bytes_.insert(bytes_.end(), identifier.begin(), identifier.end());
    for (const auto& b : blocks) {
      Raw({uint8_t(b.size())});
      Append(b);
    }
    return Raw({0});
  }
  // An image block: descriptor, a local table of 2^localBits entries (none for 0) and pixels coded
  // with codeBits-bit codes.
  GIFFileBuilder& Image(int left, int top, int width, int height,
                        const std::vector<uint8_t>& pixels, int codeBits, bool interlaced = false,
                        int localBits = 0) {
    Descriptor(left, top, width, height,
               uint8_t((interlaced ? 0x40 : 0) | (localBits ? 0x80 | (localBits - 1) : 0)));
    if (localBits) Append(TableBytes(1 << localBits));
    TMemoryStream data;
    EncodeGIFFrame(data, codeBits, 1 << codeBits, pixels.data(), interlaced, height, width,
                   nullptr);
    return Append(data.Bytes());
  }
  GIFFileBuilder& Descriptor(int left, int top, int width, int height, uint8_t flags) {
    Raw({0x2C});
    Word(left);
    Word(top);
    Word(width);
    Word(height);
    return Raw({flags});
  }
  GIFFileBuilder& Trailer() { return Raw({0x3B}); }
  GIFFileBuilder& Raw(std::initializer_list<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes);
    return *this;
  }
  GIFFileBuilder& Append(const std::vector<uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  GIFFileBuilder& Word(int value) { return Raw({uint8_t(value & 0xFF), uint8_t(value >> 8)}); }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

private:
  std::vector<uint8_t> bytes_;
};

} // namespace kestrel::giftest
