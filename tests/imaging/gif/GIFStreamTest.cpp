#include "imaging/gif/GIFStream.h"
#include "imaging/core/Exceptions.h"
#include "imaging/gif/GIFBitReader.h"

#include "GIFTestData.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

std::vector<uint8_t> Sequence(size_t n) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), uint8_t(0));
  return bytes;
}

std::vector<uint8_t> ReadAll(TGIFReader& reader, int64_t chunk) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> buffer(chunk);
  for (int64_t n; (n = reader.Read(buffer.data(), chunk)) > 0;)
    out.insert(out.end(), buffer.begin(), buffer.begin() + n);
  return out;
}

} // namespace

TEST(GIFWriter, FramesDataInBlocksOf255AndFlushesTheRest) {
  TMemoryStream stream;
  {
    TGIFWriter writer(stream, nullptr);
    const std::vector<uint8_t> data = Sequence(600);
    writer.Write(data.data(), 300);
    EXPECT_TRUE(writer.Written()); // one full block has gone out
    writer.Write(data.data() + 300, 300);
    writer.Flush();
  }
  const std::vector<uint8_t>& out = stream.Bytes();
  ASSERT_EQ(out.size(), 603u); // no terminator: that is the caller's
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[256], 255);
  EXPECT_EQ(out[512], 90);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[257], 255); // byte 255 of the data opens the second block
  EXPECT_EQ(out[602], uint8_t(599));

  TMemoryStream empty;
  TGIFWriter idle(empty, nullptr);
  idle.Flush();
  EXPECT_FALSE(idle.Written());
  EXPECT_EQ(empty.Size(), 0);
}

TEST(GIFReader, JoinsSubBlocksAndStopsAfterTheTerminator) {
  const std::vector<uint8_t> data = Sequence(5000);
  for (size_t blockSize : {1u, 7u, 255u}) {
    std::vector<uint8_t> file = SubBlocks(data, blockSize);
    file.push_back(0x3B); // what follows the frame must stay unread
    TMemoryStream stream(file);
    TGIFReader reader(stream, nullptr);
    EXPECT_EQ(ReadAll(reader, 333), data) << blockSize;
    EXPECT_TRUE(reader.Ended());
    EXPECT_EQ(stream.Position(), int64_t(file.size()) - 1) << blockSize;
  }
}

TEST(GIFReader, SkipToEndLeavesTheStreamAfterTheTerminator) {
  std::vector<uint8_t> file = SubBlocks(Sequence(3000), 100);
  const int64_t end = int64_t(file.size());
  file.push_back(0x2C);
  TMemoryStream stream(file);
  TGIFReader reader(stream, nullptr);
  uint8_t first[10];
  EXPECT_EQ(reader.Read(first, 10), 10);
  reader.SkipToEnd();
  EXPECT_EQ(stream.Position(), end);
  EXPECT_EQ(reader.Read(first, 10), 0);
}

TEST(GIFReader, CutBlockWarnsAndDeliversWhatIsThere) {
  std::vector<uint8_t> file = {3, 1, 2, 3, 200, 4, 5, 6}; // the second block claims 200 bytes
  TMemoryStream stream(file);
  WarningLog log;
  TGIFReader reader(stream, log.Event());
  EXPECT_EQ(ReadAll(reader, 64), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(log.messages, std::vector<std::string>{"Premature end of data"});
  EXPECT_TRUE(log.allSeverityOne);
  reader.SkipToEnd(); // nothing left, no second warning, no hang
  EXPECT_EQ(log.messages.size(), 1u);

  // Data that end at a block boundary without a terminator end quietly.
  TMemoryStream noTerminator(std::vector<uint8_t>{2, 9, 9});
  WarningLog quiet;
  TGIFReader reader2(noTerminator, quiet.Event());
  EXPECT_EQ(ReadAll(reader2, 8).size(), 2u);
  EXPECT_TRUE(quiet.messages.empty());
}

TEST(GIFStream, PlainStreamOperationsAreRefused) {
  TMemoryStream stream;
  TGIFReader reader(stream, nullptr);
  TGIFWriter writer(stream, nullptr);
  uint8_t byte = 0;
  EXPECT_THROW(reader.Write(&byte, 1), Exception);
  EXPECT_THROW(writer.Read(&byte, 1), Exception);
  try {
    reader.Seek(0, TSeekOrigin::Begin);
    FAIL() << "seek accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
  EXPECT_THROW(writer.Size(), Exception);
}

TEST(GIFBitReader, ReadsCodesOfEveryWidthAcrossBlockBoundaries) {
  // Codes of 1..12 bits in a repeating pattern, framed in odd-sized blocks so codes straddle
  // sub-blocks and the reader's refills.
  std::vector<std::pair<int, int>> codes;
  uint32_t state = 99;
  for (int i = 0; i < 3000; ++i) {
    const int bits = 1 + i % 12;
    codes.push_back({int(NextRandom(state) & ((1u << bits) - 1)), bits});
  }
  for (size_t blockSize : {1u, 3u, 254u, 255u}) {
    TMemoryStream stream(SubBlocks(PackCodes(codes), blockSize));
    WarningLog log;
    TGIFBitReader bits(stream, log.Event());
    size_t matched = 0;
    for (const auto& [code, width] : codes) {
      if (bits.Read(width) != code) break;
      ++matched;
    }
    EXPECT_EQ(matched, codes.size()) << blockSize;
    EXPECT_TRUE(log.messages.empty());
  }
}

TEST(GIFBitReader, RunningOutWarnsAndReturnsMinusOne) {
  TMemoryStream stream(SubBlocks({0xAB, 0xCD}));
  WarningLog log;
  TGIFBitReader bits(stream, log.Event());
  EXPECT_EQ(bits.Read(12), 0xDAB);
  EXPECT_EQ(bits.Read(4), 0xC);
  EXPECT_EQ(bits.Read(1), -1);
  EXPECT_EQ(log.messages, std::vector<std::string>{"Decoder bit buffer under-run"});
  EXPECT_TRUE(log.allSeverityOne);

  TMemoryStream nothing;
  TGIFBitReader none(nothing, log.Event());
  EXPECT_EQ(none.Read(3), -1);
}
