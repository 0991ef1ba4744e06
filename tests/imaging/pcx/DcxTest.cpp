#include "imaging/core/Picture.h"
#include "imaging/pcx/DcxGraphic.h"

#include "../bmod/PictureTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr const char* kNotValid = "The DCX file header is not valid";

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) |
         static_cast<uint32_t>(b[at + 3]) << 24;
}

void SetLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Page n of a test DCX: sizes and formats differ from page to page.
void MakePage(TDcxGraphic& page, int n) {
  const TImageFormat formats[] = {ifTrueColor, ifColor16, ifBlackWhite, ifColor256};
  FillPattern(page, 3 + n, 2 + n % 3, formats[n % 4], nullptr, static_cast<uint32_t>(n));
}

int PageCount(TStream& stream) {
  stream.SetPosition(0);
  return TDcxGraphic().ImageCountInStream(stream);
}

std::unique_ptr<TDcxGraphic> Page(TStream& stream, int n) {
  auto picture = std::make_unique<TDcxGraphic>();
  picture->ImageIndex = n;
  stream.SetPosition(0);
  picture->LoadFromStream(stream);
  return picture;
}

std::vector<uint8_t> TwoPageFile() {
  TMemoryStream stream;
  for (int n = 1; n <= 2; ++n) {
    TDcxGraphic page;
    MakePage(page, n);
    page.AppendToStream(stream);
  }
  return stream.Bytes();
}

TEST(Dcx, ReadsEachPageOfAnotherProgramsFile) {
  const std::string path = DataPath("pcx/magick_pages.dcx");
  const char* references[] = {"rich.png", "rich16.png", "mono.png"};
  TDcxGraphic picture;
  TMemoryStream stream(ReadFileBytes(path));
  EXPECT_EQ(picture.ImageCountInStream(stream), 3);
  for (int n = 1; n <= 3; ++n) {
    picture.ImageIndex = n;
    picture.LoadFromFile(path);
    EXPECT_TRUE(
        SamePixels(picture, ReferencePng(DataPath(std::string("pcx/") + references[n - 1]))))
        << "page " << n;
  }

  TDcxGraphic frames;
  frames.LoadAllFrames = true;
  frames.LoadFromFile(path);
  ASSERT_EQ(frames.FrameCount(), 3);
  EXPECT_TRUE(SamePixels(frames.Frame(1), ReferencePng(DataPath("pcx/rich16.png"))));

  const auto format = TPicture::FindFileFormat("pages.dcx");
  ASSERT_TRUE(format.has_value());
  EXPECT_EQ(format->Description, "DCX file");
  stream.SetPosition(0);
  const TImageInfo info = format->Create()->ReadInfo(stream);
  EXPECT_EQ(info.Frames, 3);
  EXPECT_EQ(info.Width, 61);
  EXPECT_EQ(info.Height, 19);
}

TEST(Dcx, SaveWritesAFullTableThenThePage) {
  TDcxGraphic picture;
  MakePage(picture, 3);
  const auto file = SavedBytes(picture);
  ASSERT_GT(file.size(), 4100u);
  EXPECT_EQ(Le32(file, 0), 987654321u);
  EXPECT_EQ(Le32(file, 4), 4100u);
  for (size_t entry = 1; entry < 1024; ++entry)
    ASSERT_EQ(Le32(file, 4 + 4 * entry), 0u) << entry;
  TPcxGraphic plain;
  plain.Assign(&picture);
  const auto pcx = SavedBytes(plain);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 4100, file.end()), pcx);
  EXPECT_TRUE(SamePixels(*LoadedFrom<TDcxGraphic>(file), picture));
}

TEST(Dcx, AppendAddsPagesInOrder) {
  TMemoryStream stream;
  std::vector<std::unique_ptr<TDcxGraphic>> pages;
  for (int n = 1; n <= 4; ++n) {
    pages.push_back(std::make_unique<TDcxGraphic>());
    MakePage(*pages.back(), n);
    pages.back()->AppendToStream(stream);
  }
  EXPECT_EQ(PageCount(stream), 4);
  for (int n = 1; n <= 4; ++n)
    EXPECT_TRUE(SamePixels(*Page(stream, n), *pages[n - 1])) << "page " << n;

  // The same through a file opened for reading and writing.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("pages.dcx").toStdString();
  pages[0]->SaveToFile(path);
  {
    TFileStream file(path, TFileMode::OpenReadWrite);
    pages[1]->AppendToStream(file);
    pages[2]->AppendToStream(file);
  }
  TFileStream file(path, TFileMode::OpenRead);
  EXPECT_EQ(PageCount(file), 3);
  EXPECT_TRUE(SamePixels(*Page(file, 2), *pages[1]));
  EXPECT_TRUE(SamePixels(*Page(file, 3), *pages[2]));
}

TEST(Dcx, TheTableHoldsAtMost1023Pages) {
  TMemoryStream stream;
  TDcxGraphic page;
  for (int n = 1; n <= 1023; ++n) {
    page.NewImage(1, 1, ifGray256, nullptr, 72, 72);
    page.SetPixelIndex(0, 0, n % 256);
    page.AppendToStream(stream);
  }
  EXPECT_EQ(PageCount(stream), 1023);
  const int64_t size = stream.Size();
  EXPECT_EQ(ErrorOf<EDcxError>([&] { page.AppendToStream(stream); }),
            "The DCX file header is full");
  EXPECT_EQ(stream.Size(), size);
  // The last page is intact: the table's closing zero did not land on the first page.
  EXPECT_EQ(Page(stream, 1023)->PixelIndex(0, 0), 1023 % 256);
  EXPECT_EQ(Page(stream, 1)->PixelIndex(0, 0), 1);
}

TEST(Dcx, DamagedTablesAreRefused) {
  const auto good = TwoPageFile();
  const auto loadError = [](const std::vector<uint8_t>& bytes, int page) {
    TMemoryStream stream(bytes);
    return ErrorOf<EDcxError>([&] { Page(stream, page); });
  };
  const auto countError = [](const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    return ErrorOf<EDcxError>([&] { PageCount(stream); });
  };
  EXPECT_EQ(loadError(good, 2), "");
  EXPECT_EQ(loadError(good, 3), kNotValid);
  EXPECT_EQ(loadError(good, 0), kNotValid);
  EXPECT_EQ(countError({}), kNotValid);
  EXPECT_EQ(countError(std::vector<uint8_t>(good.begin(), good.begin() + 6)), kNotValid);

  auto magic = good;
  magic[0] ^= 1;
  EXPECT_EQ(countError(magic), kNotValid);
  EXPECT_EQ(loadError(magic, 1), kNotValid);

  auto pastEnd = good;
  SetLe32(pastEnd, 8, static_cast<uint32_t>(good.size() + 10));
  EXPECT_EQ(loadError(pastEnd, 1), kNotValid); // its end lies past the data
  EXPECT_EQ(loadError(pastEnd, 2), kNotValid); // its start does

  auto intoTable = good;
  SetLe32(intoTable, 4, 8);
  EXPECT_EQ(loadError(intoTable, 1), kNotValid);

  auto backwards = good;
  SetLe32(backwards, 8, 4100);
  SetLe32(backwards, 4, Le32(good, 8));
  EXPECT_EQ(loadError(backwards, 1), kNotValid);

  TDcxGraphic page;
  MakePage(page, 1);
  TMemoryStream notDcx(std::vector<uint8_t>(5000, 7));
  EXPECT_EQ(ErrorOf<EDcxError>([&] { page.AppendToStream(notDcx); }), kNotValid);
  auto noPages = good;
  SetLe32(noPages, 4, 0);
  TMemoryStream empty(noPages);
  EXPECT_EQ(ErrorOf<EDcxError>([&] { page.AppendToStream(empty); }), kNotValid);
  EXPECT_EQ(countError(noPages), "");

  // A damaged page inside a sound table is the page reader's error.
  auto badPage = good;
  badPage[4100] = 0;
  TMemoryStream stream(badPage);
  EXPECT_EQ(ErrorOf<EBmodError>([&] { Page(stream, 1); }),
            "bmod_read_header failed.: manufacturer byte not 10");
}

} // namespace
