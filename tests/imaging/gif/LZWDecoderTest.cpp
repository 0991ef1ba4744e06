#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFFrameCoder.h"

#include "GIFTestData.h"
#include "GifReference.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

// Writes codes with the widths a decoder expects.
class CodeStream {
public:
  explicit CodeStream(int codeSize) : codeSize_(codeSize), widths_(codeSize) {}

  CodeStream& operator<<(int code) {
    codes_.push_back({code, widths_.Width()});
    widths_.Sent(code);
    return *this;
  }
  int Clear() const { return widths_.Clear(); }
  int End() const { return widths_.End(); }
  int NextFree() const { return widths_.NextFree(); }
  std::vector<uint8_t> Data() const { return ImageData(codeSize_, codes_); }

private:
  int codeSize_;
  CodeWidths widths_;
  std::vector<std::pair<int, int>> codes_;
};

struct Decoded {
  std::vector<uint8_t> pixels;
  WarningLog log;
  int64_t endPosition = 0;
};

// With a trailer after the data, as in a file, so reading past the frame would show.
Decoded Decode(const std::vector<uint8_t>& data, int width, int height, bool interlaced = false,
               uint8_t fill = 0, bool trailer = true) {
  Decoded result;
  result.pixels.assign(size_t(width) * height, 0x5A); // the decoder must overwrite all of it
  std::vector<uint8_t> file = data;
  if (trailer) file.push_back(0x3B);
  TMemoryStream stream(file);
  DecodeGIFFrame(stream, width, height, interlaced, fill, result.pixels.data(), result.log.Event());
  result.endPosition = stream.Position();
  return result;
}

std::string DecodeError(const std::vector<uint8_t>& data, int width, int height) {
  try {
    Decode(data, width, height);
  } catch (const GIFException& e) {
    return e.what();
  }
  return "no error";
}

// The image data of a giflib-written file of pixels.
std::vector<uint8_t> GiflibImageData(const std::vector<uint8_t>& pixels, int width, int height,
                                     int bitsPerPixel) {
  const auto file = gifref::Encode(pixels, width, height, bitsPerPixel);
  if (!file) return {};
  return std::vector<uint8_t>(file->begin() + gifref::ImageDataOffset(bitsPerPixel),
                              file->end() - 1);
}

} // namespace

TEST(LZWDecoder, CodeEqualToNextFreeRepeatsThePreviousStringAndItsFirstPixel) {
  CodeStream codes(2);
  codes << codes.Clear() << 1 << 6 << 2 << 7 << 9 << codes.End();
  // 1 | 6 = "1"+"1" | 2 | 7 = "11"+"2" | 9 = "112"+"1"
  const std::vector<uint8_t> expected = {1, 1, 1, 2, 1, 1, 2, 1, 1, 2, 1};
  const Decoded ours = Decode(codes.Data(), 11, 1);
  EXPECT_EQ(ours.pixels, expected);
  EXPECT_TRUE(ours.log.messages.empty());
  EXPECT_EQ(gifref::Decode(gifref::WrapImageData(codes.Data(), 11, 1, 2, false)), expected);
}

TEST(LZWDecoder, FullTableKeepsTwelveBitCodesUntilADeferredClear) {
  CodeStream codes(8);
  std::vector<uint8_t> expected;
  codes << codes.Clear();
  uint32_t state = 7;
  while (codes.NextFree() < 4096) {
    const int pixel = int(NextRandom(state) % 256);
    codes << pixel;
    expected.push_back(uint8_t(pixel));
  }
  // Entry 258 + j holds literal j and literal j + 1; a full table adds nothing more, so a code
  // equal to 4095 still means the last entry made.
  const std::vector<uint8_t> literals = expected;
  for (int j : {0, 42, 3837}) {
    codes << 258 + j;
    expected.insert(expected.end(), {literals[j], literals[j + 1]});
  }
  codes << 17;
  expected.push_back(17);
  // After the clear the table starts again with 9-bit codes.
  codes << codes.Clear() << 200 << 258 << 3 << 259 << codes.End();
  expected.insert(expected.end(), {200, 200, 200, 3, 200, 200, 3});
  const int width = int(expected.size());
  const Decoded ours = Decode(codes.Data(), width, 1);
  EXPECT_EQ(ours.pixels, expected);
  EXPECT_TRUE(ours.log.messages.empty());
  EXPECT_EQ(gifref::Decode(gifref::WrapImageData(codes.Data(), width, 1, 8, false)), expected);
}

TEST(LZWDecoder, ReadsGiflibFramesInterlacedOrNot) {
  for (int bpp : {1, 4, 8}) {
    for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
      const int width = 23;
      const auto pixels = MakePicture(PictureKind::Runs, width, height, 1 << bpp, bpp * height);
      EXPECT_EQ(Decode(GiflibImageData(pixels, width, height, bpp), width, height).pixels, pixels);
      // Sent in interlaced row order, the rows come back to their places.
      std::vector<uint8_t> sent;
      for (int row : gifref::InterlacedRows(height))
        sent.insert(sent.end(), pixels.begin() + row * width, pixels.begin() + (row + 1) * width);
      const Decoded interlaced =
          Decode(GiflibImageData(sent, width, height, bpp), width, height, true);
      EXPECT_EQ(interlaced.pixels, pixels) << bpp << " bits, " << height << " rows";
    }
  }
}

TEST(LZWDecoder, CutDataKeepTheFillAndWarn) {
  const int width = 61;
  const int height = 40;
  const auto pixels = MakePicture(PictureKind::Gradient, width, height, 16);
  const std::vector<uint8_t> data = GiflibImageData(pixels, width, height, 4);
  ASSERT_GT(data.size(), 100u);
  const uint8_t fill = 0xEE;
  for (size_t cut = 0; cut < data.size() - 1; cut += 7) {
    const std::vector<uint8_t> head(data.begin(), data.begin() + cut);
    const Decoded got = Decode(head, width, height, false, fill, false);
    // What was decoded is the picture's beginning; the rest keeps the fill.
    size_t decoded = 0;
    while (decoded < pixels.size() && got.pixels[decoded] == pixels[decoded])
      ++decoded;
    for (size_t i = decoded; i < pixels.size(); ++i)
      ASSERT_EQ(got.pixels[i], fill) << "cut " << cut << " pixel " << i;
    if (cut > 0 && decoded < pixels.size()) {
      EXPECT_FALSE(got.log.messages.empty()) << cut;
    }
    EXPECT_TRUE(got.log.allSeverityOne);
    EXPECT_EQ(got.endPosition, int64_t(cut));
  }
  // A block that claims more than the file holds is a warning; its bytes still count.
  std::vector<uint8_t> overlong(data.begin(), data.begin() + 60);
  const Decoded got = Decode(overlong, width, height, false, fill, false);
  EXPECT_TRUE(got.log.Has("Premature end of data"));
  EXPECT_TRUE(got.log.Has("Decoder bit buffer under-run"));
  EXPECT_EQ(std::vector<uint8_t>(got.pixels.begin(), got.pixels.begin() + 40),
            std::vector<uint8_t>(pixels.begin(), pixels.begin() + 40));
}

TEST(LZWDecoder, EndCodeAndMissingDataStopQuietly) {
  // No code-size byte at all: the frame keeps its fill.
  const Decoded missing = Decode({}, 4, 4, false, 9, false);
  EXPECT_EQ(missing.pixels, std::vector<uint8_t>(16, 9));
  EXPECT_TRUE(missing.log.messages.empty());

  // "clear, end" is an empty frame, not a pixel of value 'end'.
  CodeStream empty(8);
  empty << empty.Clear() << empty.End();
  EXPECT_EQ(Decode(empty.Data(), 3, 1, false, 4).pixels, std::vector<uint8_t>(3, 4));

  // An end code before the last pixel leaves the rest filled, and the frame's remaining blocks
  // are skipped up to the terminator.
  CodeStream early(2);
  early << early.Clear() << 3 << early.End();
  std::vector<uint8_t> data = early.Data();
  data.pop_back();
  data.insert(data.end(), {2, 0xFF, 0xFF, 0});
  const Decoded got = Decode(data, 2, 2, false, 1);
  EXPECT_EQ(got.pixels, (std::vector<uint8_t>{3, 1, 1, 1}));
  EXPECT_EQ(got.endPosition, int64_t(data.size()));
}

TEST(LZWDecoder, BrokenTablesRaiseTheirErrors) {
  // A code past the next free one defines a string whose prefix is itself.
  CodeStream selfLoop(2);
  selfLoop << selfLoop.Clear() << 1 << 7 << 0 << 7;
  EXPECT_EQ(DecodeError(selfLoop.Data(), 10, 1), "Circular decoder table entry");

  // Entries 11 and 12 point at each other: the pixel stack overflows instead of looping.
  CodeStream loop(3);
  loop << loop.Clear() << 1 << 12 << 11 << 0 << 11;
  EXPECT_EQ(DecodeError(loop.Data(), 100, 100), "Invalid GIF data");

  // The first code after a clear must be a pixel.
  CodeStream noString(8);
  noString << noString.Clear() << 300;
  EXPECT_EQ(DecodeError(noString.Data(), 10, 1), "Invalid GIF data");

  // A code size that puts the clear code past the 4096-entry table is refused; only the low five
  // bits of the size byte count.
  for (int size : {12, 13, 31}) {
    std::vector<uint8_t> data = SubBlocks(std::vector<uint8_t>(40, 0x55));
    data.insert(data.begin(), uint8_t(size));
    EXPECT_EQ(DecodeError(data, 8, 8), "Invalid GIF data") << size;
  }
  CodeStream two(2);
  two << two.Clear() << 1 << 2 << 3 << two.End();
  std::vector<uint8_t> wrapped = two.Data();
  wrapped[0] = 2 + 32;
  EXPECT_EQ(Decode(wrapped, 3, 1).pixels, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(LZWDecoder, CodesPastTheTableAreReadAsTheNextFreeCode) {
  CodeStream codes(8);
  codes << codes.Clear() << 65 << 511 << 66 << codes.End();
  EXPECT_EQ(Decode(codes.Data(), 4, 1).pixels, (std::vector<uint8_t>{65, 65, 65, 66}));
}

TEST(LZWDecoder, GarbageEndsInAWarningOrTheFormatsErrorNeverElsewhere) {
  uint32_t state = 2024;
  const auto pixels = MakePicture(PictureKind::Noise, 40, 30, 256);
  const std::vector<uint8_t> valid = GiflibImageData(pixels, 40, 30, 8);
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> data;
    if (round % 2 == 0) {
      // Random codes in well-formed blocks.
      std::vector<uint8_t> bytes(NextRandom(state) % 700);
      for (uint8_t& b : bytes)
        b = uint8_t(NextRandom(state));
      data = SubBlocks(bytes, 1 + NextRandom(state) % 255);
      data.insert(data.begin(), uint8_t(NextRandom(state) % 12));
    } else {
      // A valid frame with a few bytes flipped (block lengths included).
      data = valid;
      for (int flips = 1 + NextRandom(state) % 4; flips > 0; --flips)
        data[NextRandom(state) % data.size()] ^= uint8_t(1 + NextRandom(state) % 255);
    }
    try {
      const Decoded got = Decode(data, 40, 30);
      EXPECT_TRUE(got.log.allSeverityOne);
    } catch (const GIFException& e) {
      const std::string message = e.what();
      EXPECT_TRUE(message == "Invalid GIF data" || message == "Circular decoder table entry")
          << message;
    }
  }
}
