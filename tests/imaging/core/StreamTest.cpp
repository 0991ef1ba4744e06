#include "imaging/core/Stream.h"
#include "imaging/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace kestrel;

TEST(MemoryStream, WritePastEndGrowsAndSeekClampsAtZero) {
  TMemoryStream s;
  s.Seek(4, TSeekOrigin::Begin);
  s.WriteBuffer("ab", 2);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Bytes()[0], 0); // the gap is zero-filled
  EXPECT_EQ(s.Seek(-100, TSeekOrigin::Current), 0);
  EXPECT_EQ(s.Seek(-2, TSeekOrigin::End), 4);
  char got[4] = {};
  EXPECT_EQ(s.Read(got, 4), 2); // short read at the end, no error
  EXPECT_EQ(std::string(got, 2), "ab");
}

TEST(MemoryStream, ReadBufferRaisesOnShortData) {
  TMemoryStream s({1, 2, 3});
  uint8_t buffer[4];
  EXPECT_THROW(s.ReadBuffer(buffer, 4), EStreamError);
}

TEST(SpanStream, ReadsViewAndRefusesWrites) {
  const uint8_t data[] = {9, 8, 7};
  TSpanStream s(data, sizeof data);
  EXPECT_EQ(s.Write(data, 1), 0);
  EXPECT_THROW(s.WriteBuffer(data, 1), EStreamError);
  s.Seek(1, TSeekOrigin::Begin);
  uint8_t b = 0;
  s.ReadBuffer(&b, 1);
  EXPECT_EQ(b, 8);
  EXPECT_EQ(s.Remaining(), 1);
}

TEST(FileStream, RoundTripAndMissingFileMessage) {
  const auto path = std::filesystem::temp_directory_path() / "kestrel-stream-test.bin";
  {
    TFileStream out(path.string(), TFileMode::Create);
    out.WriteBuffer("hello", 5);
    out.Flush();
  }
  TFileStream in(path.string(), TFileMode::OpenRead);
  EXPECT_EQ(in.Size(), 5);
  TMemoryStream copy;
  EXPECT_EQ(copy.CopyFrom(in, 0), 5);
  EXPECT_EQ(std::string(copy.Bytes().begin(), copy.Bytes().end()), "hello");
  std::filesystem::remove(path);
  try {
    TFileStream missing("/nonexistent/kestrel/file.bmp", TFileMode::OpenRead);
    FAIL() << "opened a missing file";
  } catch (const EStreamError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/kestrel/file.bmp"), std::string::npos);
    EXPECT_STREQ(e.className(), "EStreamError");
  }
}

TEST(Exceptions, FormatMessageFillsNumbersAndNames) {
  EXPECT_EQ(formatMessage("Frame %d does not exist", 7), "Frame 7 does not exist");
  EXPECT_EQ(formatMessage("Cannot assign a %s to a %s", "TDibGraphic", "TIcon"),
            "Cannot assign a TDibGraphic to a TIcon");
}
