// Saving metafiles: the flavour read is written back byte for byte; the other flavour is
// converted so that it draws the same, and a record without a counterpart refuses the conversion.

#include "MetafileTestSupport.h"

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace kestrel {
namespace {

using namespace test;

std::vector<uint8_t> Saved(TMetafile& metafile) {
  TMemoryStream stream;
  metafile.SaveToStream(stream);
  return stream.Bytes();
}

void ExpectSameDrawing(TMetafile& a, TMetafile& b) {
  EXPECT_EQ(a.Width(), b.Width());
  EXPECT_EQ(a.Height(), b.Height());
  for (const int size : {100, 237}) {
    const auto first = Render(a, size, size), second = Render(b, size, size);
    int differ = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (first->PixelColor(x, y) != second->PixelColor(x, y) && differ++ == 0)
          ADD_FAILURE() << "first difference at " << x << ", " << y << " of " << size;
    EXPECT_EQ(differ, 0);
  }
}

TEST(MetafileSaving, TheFlavourReadIsWrittenBackUnchanged) {
  for (const auto& bytes : {RichPlain(), RichEnhanced()}) {
    auto metafile = LoadMetafile(bytes);
    EXPECT_EQ(Saved(*metafile), bytes);
    TMetafile copy;
    copy.Assign(metafile.get());
    EXPECT_EQ(Saved(copy), bytes);
  }
  // Bytes after the end record do not belong to the metafile.
  std::vector<uint8_t> trailing = RichPlain();
  const size_t size = trailing.size();
  trailing.insert(trailing.end(), {1, 2, 3, 4});
  auto metafile = LoadMetafile(trailing);
  EXPECT_EQ(Saved(*metafile).size(), size);
}

TEST(MetafileSaving, PlainConvertsToEnhancedAndBack) {
  auto plain = LoadMetafile(RichPlain());
  plain->SetEnhanced(true);
  auto enhanced = LoadMetafile(Saved(*plain));
  EXPECT_TRUE(enhanced->Enhanced());
  ExpectSameDrawing(*plain, *enhanced);
  enhanced->SetEnhanced(false);
  auto again = LoadMetafile(Saved(*enhanced));
  EXPECT_FALSE(again->Enhanced());
  ExpectSameDrawing(*plain, *again);
}

TEST(MetafileSaving, PlainTextWithTheYAdvanceBitConvertsToEnhancedThatReadsBack) {
  // The bit means nothing in a plain file, whose advances are x advances only.
  WmfBuilder w;
  w.Placeable(0, 0, 100, 100, 96);
  WmfFont(w, -30, "");
  w.Record(wmf::SELECTOBJECT, {0});
  w.Raw(wmf::EXTTEXTOUT, Fields().I16(40).I16(5).U16(2).U16(ETO_PDY).Text("MM").I16(40).I16(40));
  auto plain = LoadMetafile(w.Bytes());
  auto enhanced = LoadMetafile(plain->Encode(true));
  EXPECT_TRUE(enhanced->Enhanced());
  ExpectSameDrawing(*plain, *enhanced);
}

TEST(MetafileSaving, EnhancedConvertsToPlain) {
  auto enhanced = LoadMetafile(RichEnhanced());
  auto plain = LoadMetafile(enhanced->Encode(false));
  EXPECT_FALSE(plain->Enhanced());
  ExpectSameDrawing(*enhanced, *plain);
  // The stock objects became objects of the plain file.
  const auto b = Render(*plain);
  EXPECT_EQ(b->PixelColor(20, 20), kPixelGreen);
  EXPECT_EQ(b->PixelColor(80, 80), 0x808080u);
}

TEST(MetafileSaving, FileNamesChooseTheFlavour) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrel-metafile";
  std::filesystem::create_directories(dir);
  auto plain = LoadMetafile(RichPlain());
  plain->SaveToFile((dir / "same.wmf").string());
  plain->SaveToFile((dir / "other.emf").string());
  EXPECT_EQ(ReadFileBytes((dir / "same.wmf").string()), RichPlain());
  EXPECT_FALSE(plain->Enhanced()); // the flag is not changed by the name
  TMetafile converted;
  converted.LoadFromFile((dir / "other.emf").string());
  EXPECT_TRUE(converted.Enhanced());
  ExpectSameDrawing(*plain, converted);
  std::filesystem::remove_all(dir);
}

TEST(MetafileSaving, RecordsWithoutCounterpartRefuseTheConversion) {
  WmfBuilder flood;
  flood.Placeable(0, 0, 100, 100, 96);
  flood.Record(wmf::RECTANGLE, {50, 50, 0, 0});
  flood.Record(wmf::FLOODFILL, {0, 0, 60, 60});
  WmfBuilder offset;
  offset.Placeable(0, 0, 100, 100, 96);
  offset.Record(wmf::OFFSETWINDOWORG, {5, 5});
  EmfBuilder path(0, 0, 2540, 2540, 1000, 254);
  path.Record(emf::BEGINPATH, {});
  EmfBuilder turned(0, 0, 2540, 2540, 1000, 254);
  turned.Raw(emf::SETWORLDTRANSFORM, Fields().F32(0).F32(1).F32(-1).F32(0).F32(0).F32(0));
  EmfBuilder chinese(0, 0, 2540, 2540, 1000, 254);
  EmfText(chinese, 10, 10, u"\u4e2d");
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "kestrel-refused.emf";
  for (const auto& bytes :
       {flood.Bytes(), offset.Bytes(), path.Bytes(), turned.Bytes(), chinese.Bytes()}) {
    auto metafile = LoadMetafile(bytes);
    try {
      metafile->Encode(!metafile->Enhanced());
      ADD_FAILURE() << "converted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot convert the metafile"), std::string::npos);
    }
    // Nothing is written when the conversion fails.
    std::filesystem::remove(file);
    const auto name = metafile->Enhanced() ? file.string() + ".wmf" : file.string();
    EXPECT_THROW(metafile->SaveToFile(name), EInvalidGraphic);
    EXPECT_FALSE(std::filesystem::exists(name));
    // Its own flavour still saves.
    EXPECT_EQ(Saved(*metafile), bytes);
  }
}

TEST(MetafileSaving, AnEmptyMetafileIsNotWritten) {
  TMetafile empty;
  TMemoryStream stream;
  EXPECT_THROW(empty.SaveToStream(stream), EInvalidGraphic);
  EXPECT_EQ(stream.Size(), 0);
}

} // namespace
} // namespace kestrel
