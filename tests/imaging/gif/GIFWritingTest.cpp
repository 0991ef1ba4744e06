// Writing GIF files: whole images round trip through our writer to giflib and to our reader, the
// flag bytes are rebuilt from the tree, and the version is the lowest that holds it.

#include "imaging/gif/GIFCommentExtension.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFLoopExtension.h"
#include "imaging/gif/GIFTextExtension.h"

#include "GIFImageTestSupport.h"
#include "GIFTestData.h"
#include "GifReference.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <tuple>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

// A reversed ramp, so local and global tables differ.
void FillReversedMap(TGIFColorMap& map, int count) {
  FillGreyMap(map, count);
  for (int i = 0; i < count / 2; ++i) {
    const TGIFColor c = map.Color(i);
    map.SetColor(i, map.Color(count - 1 - i));
    map.SetColor(count - 1 - i, c);
  }
}

std::string SaveError(TGIFImage& image) {
  return GIFErrorOf([&] { SaveGIF(image); });
}

using RoundTrip = std::tuple<int, bool, TGIFCompression>;
class GIFFileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

} // namespace

TEST_P(GIFFileRoundTrip, GiflibAndOurReaderGetEveryFrameBack) {
  const auto [bpp, interlaced, compression] = GetParam();
  const std::pair<int, int> sizes[] = {{1, 1}, {37, 23}, {300, 70}};
  for (const auto& [w, h] : sizes) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    TGIFImage image;
    image.SetCompression(compression);
    image.Header().Width = static_cast<uint16_t>(w + 3);
    image.Header().Height = static_cast<uint16_t>(h + 2);
    FillGreyMap(image.GlobalColorMap(), 1 << bpp);
    const auto first = MakePicture(PictureKind::Gradient, w, h, 1 << bpp, w * bpp);
    const auto second = MakePicture(PictureKind::Runs, w, h, 1 << bpp, h + bpp);
    AddFrame(image, 0, 0, w, h, first).SetInterlaced(interlaced);
    TGIFSubImage& local = AddFrame(image, 3, 2, w, h, second);
    FillReversedMap(local.ColorMap(), 1 << bpp);
    local.SetInterlaced(interlaced);
    const std::vector<uint8_t> bytes = SaveGIF(image);

    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    const size_t codeSizeAt = 13 + 3 * (size_t(1) << bpp) + 10;
    EXPECT_EQ(bytes[codeSizeAt], std::max(2, bpp));

    const auto ref = gifref::Slurp(bytes);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->Width, w + 3);
    EXPECT_EQ(ref->GlobalMap, RefColors(image.GlobalColorMap()));
    ASSERT_EQ(ref->Frames.size(), 2u);
    EXPECT_EQ(ref->Frames[0].Pixels, first);
    EXPECT_EQ(ref->Frames[0].Interlaced, interlaced); // kept without a local table
    EXPECT_TRUE(ref->Frames[0].LocalMap.empty());
    EXPECT_EQ(ref->Frames[1].Pixels, second);
    EXPECT_FALSE(ref->Frames[1].Interlaced); // a frame with a local table is written plain
    EXPECT_EQ(ref->Frames[1].LocalMap, RefColors(local.ColorMap()));
    EXPECT_EQ(ref->Frames[1].Left, 3);
    EXPECT_EQ(ref->Frames[1].Top, 2);

    TGIFImage back;
    WarningLog log;
    LoadGIF(back, bytes, log);
    EXPECT_TRUE(log.messages.empty());
    ASSERT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.Images()[0].Data(), first);
    EXPECT_EQ(back.Images()[0].Interlaced(), interlaced);
    EXPECT_EQ(back.Images()[1].Data(), second);
    EXPECT_EQ(back.Images()[1].BoundsRect(), Bounds(3, 2, w, h));
    EXPECT_EQ(RefColors(back.Images()[1].ColorMap()), RefColors(local.ColorMap()));
    back.SetCompression(compression);
    EXPECT_EQ(SaveGIF(back), bytes) << "a second write gives the same bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, GIFFileRoundTrip,
                         ::testing::Combine(::testing::Range(1, 9), ::testing::Bool(),
                                            ::testing::Values(TGIFCompression::LZW,
                                                              TGIFCompression::RLE)));

TEST(GIFWriting, FlagBytesAreRebuiltFromTheTree) {
  TGIFImage image;
  image.Header().Width = 4;
  image.Header().Height = 4;
  image.Header().Flags = 0x07; // stale flags as read are not written
  image.Header().BackgroundColorIndex = 3;
  image.Header().AspectRatio = 49;
  FillGreyMap(image.GlobalColorMap(), 5);
  AddFrame(image, 0, 0, 2, 2, {0, 1, 2, 4});
  TGIFSubImage& local = AddFrame(image, 1, 1, 2, 2, {0, 20, 32, 1});
  FillGreyMap(local.ColorMap(), 33);
  const std::vector<uint8_t> bytes = SaveGIF(image);
  // Screen: global table of 8 entries, colour resolution 6 bits.
  EXPECT_EQ(bytes[10], 0x80 | (6 - 1) << 4 | (3 - 1));
  EXPECT_EQ(bytes[11], 3);
  EXPECT_EQ(bytes[12], 49);
  const size_t firstFrame = 13 + 3 * 8;
  EXPECT_EQ(bytes[firstFrame], 0x2C);
  EXPECT_EQ(bytes[firstFrame + 9], 0x00);
  EXPECT_EQ(bytes[firstFrame + 10], 6) << "a frame without a local table codes with 6 bits";
  const auto ref = gifref::Slurp(bytes);
  ASSERT_TRUE(ref);
  ASSERT_EQ(ref->GlobalMap.size(), 8u);
  EXPECT_EQ(ref->GlobalMap[5], (gifref::RefColor{0, 0, 0})) << "padded with black";
  ASSERT_EQ(ref->Frames[1].LocalMap.size(), 64u);
  EXPECT_EQ(ref->Frames[1].Pixels, (std::vector<uint8_t>{0, 20, 32, 1}));

  // Without a global table the screen's size bits come from the frames' tables; a sorted table
  // sets its flag and makes the file 89a.
  image.GlobalColorMap().Clear();
  image.Images().Delete(0);
  local.ColorMap().SetOptimized(true);
  const std::vector<uint8_t> noGlobal = SaveGIF(image);
  EXPECT_EQ(std::string(noGlobal.begin(), noGlobal.begin() + 6), "GIF89a");
  EXPECT_EQ(noGlobal[10], (6 - 1) << 4 | (6 - 1));
  EXPECT_EQ(noGlobal[13 + 9], 0x80 | 0x20 | (6 - 1));
}

TEST(GIFWriting, VersionIsTheLowestThatHoldsTheTree) {
  TGIFImage image;
  EXPECT_EQ(SaveError(image), "Unsupported GIF version");
  image.Header().Width = 2;
  image.Header().Height = 1;
  FillGreyMap(image.GlobalColorMap(), 2);
  AddFrame(image, 0, 0, 2, 1, {0, 1});
  AddFrame(image, 0, 0, 2, 1, {1, 0});
  EXPECT_EQ(SaveGIF(image)[4], '7');
  image.GlobalColorMap().SetOptimized(true); // a sorted global table alone does not need 89a
  EXPECT_EQ(SaveGIF(image)[4], '7');
  image.Images()[1].Extensions().Add(std::make_unique<TGIFCommentExtension>());
  EXPECT_EQ(SaveGIF(image)[4], '9');
  image.Images()[1].SetPixel(1, 0, 2);
  EXPECT_EQ(SaveError(image), "Color not in color table");
}

TEST(GIFWriting, AFileOfExtensionsWithoutAPictureReadsBackAsWritten) {
  // Found by fuzzing: no frame has pixels, and an application block longer than its identifier,
  // named like the loop extension, came back as a loop extension whose data it did not hold.
  std::ifstream file(KESTREL_SOURCE_DIR "/fuzz/corpus/fuzz_gif/frameless-round-trip.gif",
                     std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  ASSERT_FALSE(bytes.empty());
  TGIFImage image;
  WarningLog log;
  LoadGIF(image, bytes, log);
  ASSERT_EQ(image.FrameCount(), 0);
  const std::vector<uint8_t> written = SaveGIF(image);
  TGIFImage back;
  WarningLog again;
  EXPECT_EQ(GIFErrorOf([&] { LoadGIF(back, written, again); }), "no error");
  EXPECT_EQ(back.Images().Count(), image.Images().Count());
  EXPECT_EQ(SaveGIF(back), written);
}

TEST(GIFWriting, ExtensionsRoundTrip) {
  TGIFImage image;
  image.Header().Width = 2;
  image.Header().Height = 2;
  FillGreyMap(image.GlobalColorMap(), 4);
  TGIFSubImage& frame = AddFrame(image, 0, 0, 2, 2, {0, 1, 2, 3});
  auto control = std::make_unique<TGIFGraphicControlExtension>();
  control->Disposal = dpPrevious;
  control->UserInput = true;
  control->Transparent = true;
  control->Delay = 1234;
  control->TransparentColorIndex = 3;
  frame.Extensions().Add(std::move(control));
  auto loop = std::make_unique<TGIFAppExtNSLoop>();
  loop->Loops = 7;
  loop->BufferSize = 0x12345678;
  frame.Extensions().Add(std::move(loop));
  auto other = std::make_unique<TGIFAppExtNSLoop>();
  other->Identifier = TGIFAppExtNSLoop::kAlternativeIdentifier;
  frame.Extensions().Add(std::move(other));
  auto text = std::make_unique<TGIFTextExtension>();
  text->Left = 1;
  text->Top = 300;
  text->GridWidth = 64;
  text->GridHeight = 16;
  text->CellWidth = 8;
  text->CellHeight = 16;
  text->ForegroundColorIndex = 1;
  text->BackgroundColorIndex = 2;
  text->Lines = {"plain", "text"};
  frame.Extensions().Add(std::move(text));
  auto comment = std::make_unique<TGIFCommentExtension>();
  comment->Lines = {std::string(600, 'c')};
  frame.Extensions().Add(std::move(comment));
  // A comment after the last picture: a frame of extensions only.
  auto tail = std::make_unique<TGIFSubImage>(&image);
  auto end = std::make_unique<TGIFCommentExtension>();
  end->Lines = {"the end"};
  tail->Extensions().Add(std::move(end));
  image.Images().Add(std::move(tail));

  const std::vector<uint8_t> bytes = SaveGIF(image);
  // 600 characters go as 255 + 255 + 90.
  const std::vector<uint8_t> head = {0x21, 0xFE, 255, 'c'};
  const auto at = std::search(bytes.begin(), bytes.end(), head.begin(), head.end());
  ASSERT_NE(at, bytes.end());
  EXPECT_EQ(at[2 + 256], 255);
  EXPECT_EQ(at[2 + 512], 90);
  EXPECT_EQ(at[2 + 512 + 91], 0);

  const auto ref = gifref::Slurp(bytes);
  ASSERT_TRUE(ref);
  ASSERT_EQ(ref->Frames.size(), 1u);
  EXPECT_EQ(ref->Frames[0].TransparentIndex, 3);
  EXPECT_EQ(ref->Frames[0].Delay, 1234);
  EXPECT_EQ(ref->Frames[0].Disposal, dpPrevious);

  TGIFImage back;
  WarningLog log;
  LoadGIF(back, bytes, log);
  EXPECT_TRUE(log.messages.empty());
  ASSERT_EQ(back.Images().Count(), 2);
  EXPECT_EQ(back.FrameCount(), 1);
  const TGIFExtensionList& list = back.Images()[0].Extensions();
  ASSERT_EQ(list.Count(), 5);
  const auto& c = dynamic_cast<const TGIFGraphicControlExtension&>(list[0]);
  EXPECT_EQ(c.Disposal, dpPrevious);
  EXPECT_TRUE(c.UserInput);
  EXPECT_TRUE(c.Transparent);
  EXPECT_EQ(c.Delay, 1234);
  EXPECT_EQ(c.TransparentColorIndex, 3);
  const auto& l = dynamic_cast<const TGIFAppExtNSLoop&>(list[1]);
  EXPECT_EQ(l.Identifier, "NETSCAPE2.0");
  EXPECT_EQ(l.Loops, 7);
  EXPECT_EQ(l.BufferSize, 0x12345678u);
  EXPECT_EQ(dynamic_cast<const TGIFAppExtNSLoop&>(list[2]).Identifier, "ANIMEXTS1.0");
  const auto& t = dynamic_cast<const TGIFTextExtension&>(list[3]);
  EXPECT_EQ(t.Top, 300);
  EXPECT_EQ(t.GridWidth, 64);
  EXPECT_EQ(t.CellHeight, 16);
  EXPECT_EQ(t.BackgroundColorIndex, 2);
  EXPECT_EQ(t.Lines, (std::vector<std::string>{"plain", "text"}));
  const auto& m = dynamic_cast<const TGIFCommentExtension&>(list[4]);
  EXPECT_EQ(m.Lines, (std::vector<std::string>{std::string(255, 'c'), std::string(255, 'c'),
                                               std::string(90, 'c')}));
  EXPECT_EQ(dynamic_cast<const TGIFCommentExtension&>(back.Images()[1].Extensions()[0]).Lines,
            std::vector<std::string>{"the end"});
  EXPECT_EQ(SaveGIF(back), bytes);
}

TEST(GIFWriting, FramesWithoutAnyColourTable) {
  TGIFImage image;
  image.Header().Width = 3;
  image.Header().Height = 1;
  AddFrame(image, 0, 0, 3, 1, {0, 5, 2});
  const std::vector<uint8_t> bytes = SaveGIF(image);
  EXPECT_EQ(bytes[10] & 0x80, 0);
  const auto ref = gifref::Slurp(bytes);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->Frames[0].Pixels, (std::vector<uint8_t>{0, 5, 2}));
}
