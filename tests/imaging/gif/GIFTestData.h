#pragma once
// Pictures and hand-made code streams for the GIF coding tests.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFWarning.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::giftest {

enum class PictureKind {
  Noise,    // every pixel drawn at random: the LZW table fills and clears often
  Runs,     // runs of random length and colour, many crossing rows
  Gradient, // smooth ramps with a little noise, like a reduced photograph
};

inline uint32_t NextRandom(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

inline std::vector<uint8_t> MakePicture(PictureKind kind, int width, int height, int colors,
                                        uint32_t seed = 12345) {
  std::vector<uint8_t> pixels(size_t(width) * height);
  uint32_t state = seed;
  size_t i = 0;
  while (i < pixels.size()) {
    switch (kind) {
    case PictureKind::Noise:
      pixels[i++] = static_cast<uint8_t>(NextRandom(state) % colors);
      break;
    case PictureKind::Runs: {
      const size_t length = 1 + NextRandom(state) % (NextRandom(state) % 4 == 0 ? 700 : 9);
      const auto color = static_cast<uint8_t>(NextRandom(state) % colors);
      for (size_t k = 0; k < length && i < pixels.size(); ++k)
        pixels[i++] = color;
      break;
    }
    case PictureKind::Gradient: {
      const size_t x = i % width;
      const size_t y = i / width;
      const uint32_t value = static_cast<uint32_t>((x * 3 + y * 2) % 512 + NextRandom(state) % 24);
      pixels[i++] = static_cast<uint8_t>(value * colors / 536);
      break;
    }
    }
  }
  return pixels;
}

// Packs codes of the given widths least significant bit first, as the image data carries them.
inline std::vector<uint8_t> PackCodes(const std::vector<std::pair<int, int>>& codesAndBits) {
  std::vector<uint8_t> out;
  uint64_t accumulator = 0;
  int held = 0;
  for (const auto& [code, bits] : codesAndBits) {
    accumulator |= uint64_t(code) << held;
    held += bits;
    for (; held >= 8; held -= 8, accumulator >>= 8)
      out.push_back(uint8_t(accumulator));
  }
  if (held > 0) out.push_back(uint8_t(accumulator));
  return out;
}

// Frames data as sub-blocks of at most blockSize bytes, with the terminator.
inline std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, size_t blockSize = 255) {
  std::vector<uint8_t> out;
  for (size_t at = 0; at < data.size(); at += blockSize) {
    const size_t n = std::min(blockSize, data.size() - at);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + at, data.begin() + at + n);
  }
  out.push_back(0);
  return out;
}

// Image data as a frame carries it: code size byte, then the codes in sub-blocks.
inline std::vector<uint8_t> ImageData(int codeSize,
                                      const std::vector<std::pair<int, int>>& codesAndBits) {
  std::vector<uint8_t> out = {uint8_t(codeSize)};
  const std::vector<uint8_t> blocks = SubBlocks(PackCodes(codesAndBits));
  out.insert(out.end(), blocks.begin(), blocks.end());
  return out;
}

// The width of each code as a decoder reads it: it grows when the next free code reaches the next
// power of two, up to 12 bits; the first code after a clear defines no string.
class CodeWidths {
public:
  explicit CodeWidths(int codeSize) : codeSize_(codeSize), clear_(1 << codeSize) { Reset(); }

  int Width() const { return width_; }
  int NextFree() const { return nextFree_; }
  int Clear() const { return clear_; }
  int End() const { return clear_ + 1; }
  // Accounts for code having been sent with Width() bits.
  void Sent(int code) {
    if (code == clear_) {
      Reset();
    } else if (code != clear_ + 1) {
      if (!afterClear_ && nextFree_ < 4096 && ++nextFree_ == (1 << width_) && width_ < 12) ++width_;
      afterClear_ = false;
    }
  }

private:
  void Reset() {
    width_ = codeSize_ + 1;
    nextFree_ = clear_ + 2;
    afterClear_ = true;
  }

  int codeSize_;
  int clear_;
  int width_ = 0;
  int nextFree_ = 0;
  bool afterClear_ = true;
};

// The codes of image data (code size byte, sub-blocks), up to and including the end code.
inline std::vector<int> SplitCodes(const std::vector<uint8_t>& imageData) {
  std::vector<uint8_t> bytes;
  for (size_t at = 1; at < imageData.size() && imageData[at] != 0; at += imageData[at] + 1)
    bytes.insert(bytes.end(), imageData.begin() + at + 1,
                 imageData.begin() + std::min(imageData.size(), at + 1 + imageData[at]));
  CodeWidths widths(imageData.at(0));
  std::vector<int> codes;
  uint64_t held = 0;
  int bits = 0;
  size_t next = 0;
  while (codes.empty() || codes.back() != widths.End()) {
    for (; bits < widths.Width() && next < bytes.size(); bits += 8)
      held |= uint64_t(bytes[next++]) << bits;
    if (bits < widths.Width()) break;
    const int code = int(held & ((1u << widths.Width()) - 1));
    held >>= widths.Width();
    bits -= widths.Width();
    codes.push_back(code);
    widths.Sent(code);
  }
  return codes;
}

// Collects the warnings a coder reports.
struct WarningLog {
  std::vector<std::string> messages;
  bool allSeverityOne = true;
  TGIFWarning Event() {
    return [this](const void*, TGIFSeverity severity, const std::string& message) {
      messages.push_back(message);
      if (severity != TGIFSeverity::Warning) allSeverityOne = false;
    };
  }
  bool Has(const std::string& message) const {
    for (const std::string& m : messages)
      if (m == message) return true;
    return false;
  }
};

} // namespace kestrel::giftest
