// Damaged metafiles are refused with a short reason when read, never drawn half-read, and never
// crash or hang the reader, the player or the converters.

#include "MetafileTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"

#include "../support/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kestrel {
namespace {

using namespace test;

std::string Refusal(const std::vector<uint8_t>& bytes) {
  try {
    LoadMetafile(bytes);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "loaded";
}

TEST(MetafileDamage, RecordsThatLeaveTheFileOrCannotAdvanceAreRefused) {
  const std::string pastEnd = "Metafile record runs past the end of the file";
  const std::string badSize = "Invalid metafile record size";
  WmfBuilder longRecord;
  longRecord.Sized(wmf::RECTANGLE, 100, Fields().I16(1).I16(2).I16(3).I16(4));
  EXPECT_EQ(Refusal(longRecord.Bytes()), pastEnd);
  for (const uint32_t words : {0u, 1u, 2u}) {
    WmfBuilder empty;
    empty.Sized(wmf::SAVEDC, words, Fields());
    EXPECT_EQ(Refusal(empty.Bytes()), badSize) << words;
  }
  WmfBuilder huge; // a size whose byte count overflows 32 bits
  huge.Sized(wmf::SAVEDC, 0x80000001u, Fields());
  EXPECT_EQ(Refusal(huge.Bytes()), pastEnd);
  for (const uint32_t size : {0u, 4u, 10u}) {
    EmfBuilder e(0, 0, 100, 100, 100, 100);
    e.Sized(emf::SAVEDC, size, Fields().U32(0));
    EXPECT_EQ(Refusal(e.Bytes()), badSize) << size;
  }
  EmfBuilder beyond(0, 0, 100, 100, 100, 100);
  beyond.Sized(emf::RECTANGLE, 4000, Fields().I32(1).I32(2).I32(3).I32(4));
  EXPECT_EQ(Refusal(beyond.Bytes()), pastEnd);
}

TEST(MetafileDamage, CountsLargerThanTheirRecordAreRefused) {
  const std::string damaged = "Damaged metafile record";
  WmfBuilder polygon;
  polygon.Record(wmf::POLYGON, {30000, 1, 2, 3, 4});
  EXPECT_EQ(Refusal(polygon.Bytes()), damaged);
  WmfBuilder polyPolygon;
  polyPolygon.Record(wmf::POLYPOLYGON, {2, 1000, 2, 1, 1, 2, 2});
  EXPECT_EQ(Refusal(polyPolygon.Bytes()), damaged);
  WmfBuilder text;
  text.Raw(wmf::TEXTOUT, Fields().U16(500).Text("ab").I16(0).I16(0));
  EXPECT_EQ(Refusal(text.Bytes()), damaged);
  WmfBuilder shortRect;
  shortRect.Record(wmf::RECTANGLE, {1, 2});
  EXPECT_EQ(Refusal(shortRect.Bytes()), damaged);

  EmfBuilder counts(0, 0, 100, 100, 100, 100);
  counts.Raw(emf::POLYPOLYGON16, Fields()
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .U32(2)
                                     .U32(3)
                                     .U32(2)
                                     .U32(2)
                                     .I16(0)
                                     .I16(0)
                                     .I16(1)
                                     .I16(1)
                                     .I16(2)
                                     .I16(2));
  EXPECT_EQ(Refusal(counts.Bytes()), damaged); // the counts add up to 4, not 3
  EmfBuilder many(0, 0, 100, 100, 100, 100);
  many.Raw(emf::POLYGON16, Fields().I32(0).I32(0).I32(0).I32(0).U32(0x40000000).I16(0).I16(0));
  EXPECT_EQ(Refusal(many.Bytes()), damaged);
  EmfBuilder text16(0, 0, 100, 100, 100, 100);
  text16.Raw(emf::EXTTEXTOUTW, Fields()
                                   .I32(0)
                                   .I32(0)
                                   .I32(0)
                                   .I32(0)
                                   .U32(1)
                                   .F32(0)
                                   .F32(0)
                                   .I32(0)
                                   .I32(0)
                                   .U32(0x7FFFFFFF)
                                   .U32(76)
                                   .U32(0)
                                   .I32(0)
                                   .I32(0)
                                   .I32(0)
                                   .I32(0)
                                   .U32(0)
                                   .U16('a'));
  EXPECT_EQ(Refusal(text16.Bytes()), damaged);
  EmfBuilder bitmap(0, 0, 100, 100, 100, 100); // the bitmap's offset lies past the record
  bitmap.Raw(emf::STRETCHDIBITS, Fields()
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(1)
                                     .I32(1)
                                     .U32(5000)
                                     .U32(40)
                                     .U32(80)
                                     .U32(4)
                                     .U32(0)
                                     .U32(0x00CC0020)
                                     .I32(10)
                                     .I32(10));
  EXPECT_EQ(Refusal(bitmap.Bytes()), damaged);
  EmfBuilder far(0, 0, 100, 100, 100, 100); // a destination whose far edge leaves 32 bits
  far.Raw(emf::BITBLT, Fields()
                           .I32(0)
                           .I32(0)
                           .I32(0)
                           .I32(0)
                           .I32(0x7FFFFFF0)
                           .I32(0)
                           .I32(100)
                           .I32(10)
                           .U32(0x00F00021)
                           .I32(0)
                           .I32(0)
                           .F32(1)
                           .F32(0)
                           .F32(0)
                           .F32(1)
                           .F32(0)
                           .F32(0)
                           .U32(0)
                           .U32(0)
                           .U32(0)
                           .U32(0)
                           .U32(0)
                           .U32(0));
  EXPECT_EQ(Refusal(far.Bytes()), damaged);
}

TEST(MetafileDamage, HeadersAreChecked) {
  EXPECT_EQ(Refusal({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l',
                     'd', '!', '!', '!', '!', '!', '!', '!', '!', '!'}),
            "Not a metafile");
  EXPECT_EQ(Refusal({1, 0, 9}), "Metafile truncated");
  EXPECT_EQ(Refusal(WmfBuilder().Placeable(0, 0, 10, 10, 0).Bytes()),
            "Invalid metafile header: no units per inch");
  // A frame thousands of inches wide would need a canvas past the memory limit.
  EXPECT_EQ(Refusal(WmfBuilder().Placeable(-32000, -32000, 32000, 32000, 1).Bytes()),
            "Metafile picture exceeds the memory limit");
  EXPECT_EQ(Refusal(EmfBuilder(0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 100, 100).Bytes()),
            "Metafile picture exceeds the memory limit");
  std::vector<uint8_t> shortHeader = EmfBuilder(0, 0, 100, 100, 100, 100).Bytes();
  shortHeader[4] = 200; // the header record claims more than the file holds
  EXPECT_EQ(Refusal(shortHeader), "Invalid metafile header size");
}

TEST(MetafileDamage, AMissingEndRecordIsTolerated) {
  WmfBuilder w;
  w.Placeable(0, 0, 100, 100, 96);
  WmfBrush(w, kRed);
  w.Record(wmf::SELECTOBJECT, {0});
  w.Record(wmf::RECTANGLE, {50, 50, 0, 0});
  EXPECT_EQ(Render(w.Bytes(false))->PixelColor(20, 20), kPixelRed);
}

// Every prefix and many single-byte changes of good files either load or are refused with the
// library's exception; what loads is drawn and converted without harm.
TEST(MetafileDamage, CutAndChangedFilesNeverCrash) {
  for (const auto& good : {RichPlain(), RichEnhanced()}) {
    auto exercise = [](const std::vector<uint8_t>& bytes) {
      std::unique_ptr<TMetafile> metafile;
      try {
        metafile = LoadMetafile(bytes);
      } catch (const Exception&) {
        return;
      }
      Render(*metafile, 40, 40);
      std::vector<uint8_t> converted;
      try {
        converted = metafile->Encode(!metafile->Enhanced());
      } catch (const EInvalidGraphic&) {
        return;
      }
      // What the converter writes must read back.
      EXPECT_NO_THROW(LoadMetafile(converted));
    };
    for (size_t size = 0; size < good.size(); size += 3)
      exercise(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(size)));
    for (size_t i = 0; i < good.size(); i += 5) {
      for (const uint8_t value : {uint8_t(0), uint8_t(0xFF), uint8_t(good[i] ^ 0x81)}) {
        std::vector<uint8_t> changed = good;
        changed[i] = value;
        exercise(changed);
      }
    }
  }
}

// The fuzzer's seeds stay good files, so that fuzzing starts from every kind of record.
TEST(MetafileDamage, FuzzSeedsAreGoodMetafiles) {
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(KESTREL_SOURCE_DIR) +
                                                               "/fuzz/corpus/fuzz_metafile")) {
    EXPECT_NO_THROW(LoadMetafile(ReadFileBytes(entry.path().string()))) << entry.path();
    ++seeds;
  }
  EXPECT_GE(seeds, 4);
}

} // namespace
} // namespace kestrel
