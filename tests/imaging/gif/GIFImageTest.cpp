// The image as a graphic of the picture framework: its settings, palette, change and progress
// events, clipboard format, registration, copying and the size of its logical screen.

#include "imaging/gif/GIFImage.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Clipboard.h"
#include "imaging/core/Picture.h"
#include "imaging/gif/GIFCommentExtension.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFGraphicControlExtension.h"

#include "GIFImageTestSupport.h"
#include "GifReference.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

// A 4 x 3 screen with a global table of 4 greys and one frame at (1, 1) of 2 x 2.
void TwoByTwo(TGIFImage& image) {
  image.Header().Width = 4;
  image.Header().Height = 3;
  FillGreyMap(image.GlobalColorMap(), 4);
  AddFrame(image, 1, 1, 2, 2, {0, 1, 2, 3});
}

// Restores the class-wide defaults after a test changed them.
struct DefaultsScope {
  TGIFOptions saved = GIFDefaults();
  ~DefaultsScope() { GIFDefaults() = saved; }
};

} // namespace

TEST(GIFImage, SettingsAndTheProgramsStartUpChanges) {
  DefaultsScope scope;
  GIFDefaults() = TGIFOptions();
  TGIFImage plain;
  EXPECT_EQ(plain.DrawOptions(), 0x068F);
  EXPECT_EQ(plain.ColorReduction(), 6);
  EXPECT_EQ(plain.ReductionBits(), 8);
  EXPECT_EQ(plain.DitherMode(), 0);
  EXPECT_EQ(plain.Compression(), TGIFCompression::LZW);
  EXPECT_EQ(plain.ThreadPriority(), 3);
  EXPECT_EQ(plain.AnimationSpeed(), 100);
  EXPECT_EQ(plain.BackgroundColor(), clNone);
  EXPECT_FALSE(plain.Dithering()) << "0x0400 switches dithering off";
  EXPECT_TRUE(plain.Transparent());

  ApplyProgramGIFDefaults();
  TGIFImage program;
  EXPECT_EQ(program.DrawOptions(), 0x048F);
  EXPECT_EQ(program.ColorReduction(), 8);
  EXPECT_EQ(program.ReductionBits(), 8);
  EXPECT_EQ(plain.DrawOptions(), 0x068F) << "images made before keep their settings";

  program.SetDrawOptions(0x0200);
  EXPECT_TRUE(program.Dithering());
  program.SetDrawOptions(0x0600);
  EXPECT_FALSE(program.Dithering());

  for (int bits : {2, 9, -1})
    EXPECT_EQ(GIFErrorOf([&] { program.SetReductionBits(bits); }), "Invalid Bits Per Pixel value");
  program.SetReductionBits(3);
  EXPECT_EQ(program.ReductionBits(), 3);
}

TEST(GIFImage, DrawOptionsDropRenderingAndGiveASingleFramesTableToTheScreen) {
  TGIFImage image;
  image.Header().Width = 2;
  image.Header().Height = 1;
  TGIFSubImage& frame = AddFrame(image, 0, 0, 2, 1, {0, 1});
  FillGreyMap(frame.ColorMap(), 2);
  const TBitmap* rendered = &frame.Bitmap();
  int changes = 0;
  image.OnChange = [&](TGraphic&) { ++changes; };
  image.SetDrawOptions(0x0002);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(frame.ColorMap().Empty());
  EXPECT_EQ(image.GlobalColorMap().Count(), 2);
  EXPECT_EQ(&frame.ActiveColorMap(), &image.GlobalColorMap());
  EXPECT_EQ(frame.Bitmap().PixelColor(1, 0), 0xFFFFFFu);
  (void)rendered;
  // Two frames keep their own tables.
  TGIFSubImage& second = AddFrame(image, 0, 0, 2, 1, {1, 0});
  FillGreyMap(second.ColorMap(), 4);
  image.GlobalColorMap().Clear();
  image.SetDrawOptions(0x0002);
  EXPECT_EQ(second.ColorMap().Count(), 4);
  EXPECT_TRUE(image.GlobalColorMap().Empty());
  // Transparency of the graphic is the transparent draw option.
  image.SetTransparent(false);
  EXPECT_EQ(image.DrawOptions(), 0);
}

TEST(GIFImage, PaletteFromTheTablesOrTheColourCube) {
  TGIFImage image;
  EXPECT_TRUE(image.Palette().IsNull());
  image.Header().Width = 1;
  image.Header().Height = 1;
  TGIFSubImage& frame = AddFrame(image, 0, 0, 1, 1, {0});
  FillGreyMap(frame.ColorMap(), 3);
  image.Changed();
  TPalette palette = image.Palette();
  ASSERT_EQ(palette.Count(), 3);
  EXPECT_EQ(palette[2], (TPaletteEntry{255, 255, 255, PC_NOCOLLAPSE}));
  FillGreyMap(image.GlobalColorMap(), 2);
  image.Changed();
  EXPECT_EQ(image.Palette().Count(), 2) << "the global table comes first";
  image.SetDrawOptions(gdDither);
  palette = image.Palette();
  ASSERT_EQ(palette.Count(), 216);
  EXPECT_EQ(palette[1], (TPaletteEntry{0, 0, 51, 0}));
  EXPECT_EQ(palette[6], (TPaletteEntry{0, 51, 0, 0}));
  EXPECT_EQ(palette[215], (TPaletteEntry{255, 255, 255, 0}));
}

TEST(GIFImage, LogicalScreenSizeChecksItsFrames) {
  TGIFImage image;
  TwoByTwo(image);
  EXPECT_EQ(GIFErrorOf([&] { image.SetWidth(2); }), "Image width too small for contained frames");
  EXPECT_EQ(GIFErrorOf([&] { image.SetHeight(2); }), "Image height too small for contained frames");
  EXPECT_EQ(GIFErrorOf([&] { image.SetWidth(70000); }), "Image too large for a GIF");
  image.SetWidth(3);
  image.SetHeight(30);
  EXPECT_EQ(image.Width(), 3);
  EXPECT_EQ(image.Height(), 30);
  TGIFImage empty;
  EXPECT_EQ(GIFErrorOf([&] { empty.SetWidth(-1); }), "Image width too small for contained frames");
}

TEST(GIFImage, ProgressOfLoadingAndSaving) {
  TGIFImage image;
  TwoByTwo(image);
  AddFrame(image, 0, 0, 1, 1, {3});
  std::vector<std::tuple<TProgressStage, int, std::string>> events;
  image.OnProgress = [&](TGraphic&, TProgressStage stage, int percent, const std::string& m) {
    events.emplace_back(stage, percent, m);
  };
  const std::vector<uint8_t> bytes = SaveGIF(image);
  using E = std::tuple<TProgressStage, int, std::string>;
  EXPECT_EQ(events, (std::vector<E>{{TProgressStage::Starting, 0, "Saving..."},
                                    {TProgressStage::Running, 50, "Saving..."},
                                    {TProgressStage::Running, 100, "Saving..."},
                                    {TProgressStage::Ending, 100, "Saving..."}}));
  events.clear();
  WarningLog log;
  LoadGIF(image, bytes, log);
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), (E{TProgressStage::Starting, 0, "Loading..."}));
  EXPECT_EQ(std::get<2>(events[1]), "Loading...");
  EXPECT_EQ(events.back(), (E{TProgressStage::Ending, 100, "Loading..."}));
  events.clear();
  const std::vector<uint8_t> broken(bytes.begin() + 1, bytes.end());
  EXPECT_THROW(LoadGIF(image, broken, log), GIFException);
  EXPECT_EQ(events.back(), (E{TProgressStage::Ending, 0, "Loading..."}));
  events.clear();
  image.Clear();
  EXPECT_THROW(SaveGIF(image), GIFException);
  EXPECT_EQ(events.back(), (E{TProgressStage::Ending, 0, "Saving..."}));
}

TEST(GIFImage, CopiesAreDeepAndAddingChecksTheType) {
  TGIFImage image;
  TwoByTwo(image);
  auto comment = std::make_unique<TGIFCommentExtension>();
  comment->Lines = {"one"};
  image.Images()[0].Extensions().Add(std::move(comment));
  TGIFImage copy;
  copy.Assign(&image);
  image.Images()[0].SetPixel(0, 0, 3);
  image.GlobalColorMap().SetColor(0, {9, 9, 9});
  dynamic_cast<TGIFCommentExtension&>(image.Images()[0].Extensions()[0]).Lines[0] = "two";
  ASSERT_EQ(copy.FrameCount(), 1);
  EXPECT_EQ(copy.Images()[0].Data(), (std::vector<uint8_t>{0, 1, 2, 3}));
  EXPECT_EQ(copy.GlobalColorMap().Color(0), TGIFColor{});
  EXPECT_EQ(dynamic_cast<TGIFCommentExtension&>(copy.Images()[0].Extensions()[0]).Lines[0], "one");
  EXPECT_EQ(copy.Width(), 4);
  EXPECT_EQ(copy.Images()[0].Image(), &copy);

  // A frame taken from another image keeps its colours in a table of its own.
  TGIFImage other;
  other.Add(&image.Images()[0]);
  EXPECT_EQ(other.Images()[0].ColorMap().Color(0), (TGIFColor{9, 9, 9}));
  TGIFImage single;
  single.Assign(&image.Images()[0]);
  EXPECT_EQ(single.Width(), 3);
  EXPECT_EQ(single.Height(), 3);
  EXPECT_EQ(image.Add(&image), 1) << "an image added to itself doubles its frames once";
  EXPECT_EQ(GIFErrorOf([&] { image.Add(&image.Header()); }),
            "Object type not supported for operation");
  single.Assign(nullptr);
  EXPECT_TRUE(single.Empty());
}

TEST(GIFImage, RegisteredForGifFilesAndTheClipboard) {
  const auto format = TPicture::FindFileFormat("photo.GIF");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->Description, "GIF Image");
  EXPECT_TRUE(format->Class == typeid(TGIFImage));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(TGIFImage::ClipboardFormat()));
  EXPECT_NO_THROW(TGIFImage::Register());
  // Another class takes ".gif" (in place, so the order of the formats stays).
  TPicture::RegisterFileFormat<TBitmap>("gif", "Impostor");
  EXPECT_EQ(GIFErrorOf([] { TGIFImage::Register(); }),
            "Another TGIFImage class has already been registered with TPicture");
  TPicture::RegisterFileFormat<TGIFImage>("gif", "GIF Image");
  TGIFImage::Register();
  EXPECT_TRUE(TPicture::FindFileFormat("gif")->Class == typeid(TGIFImage));
}

TEST(GIFImage, ClipboardCarriesTheFileBytesBesideABitmap) {
  TGIFImage image;
  TwoByTwo(image);
  image.Header().Width = 2;
  image.Header().Height = 2;
  image.Images()[0].SetBounds(0, 0, 2, 2);
  image.Images()[0].SetPixel(1, 1, 3);
  TClipboard& clipboard = TClipboard::Instance();
  clipboard.Assign(&image);
  ASSERT_TRUE(clipboard.HasFormat(TGIFImage::ClipboardFormat()));
  ASSERT_TRUE(clipboard.HasFormat(CF_BITMAP));
  const TClipboardData bytes = clipboard.GetAsHandle(TGIFImage::ClipboardFormat());
  EXPECT_EQ(bytes.Bytes, SaveGIF(image));
  const TClipboardData bitmap = clipboard.GetAsHandle(CF_BITMAP);
  ASSERT_TRUE(bitmap.Bitmap);
  EXPECT_EQ(bitmap.Bitmap->PixelColor(1, 1), 0xFFFFFFu);

  TGIFImage fromBytes;
  fromBytes.LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), bytes, TPalette());
  EXPECT_EQ(fromBytes.Images()[0].Data(), image.Images()[0].Data());
  TPicture picture;
  picture.LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), bytes, TPalette());
  EXPECT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
  TBitmap small(2, 1, pf8bit);
  small.SetPalette(TPalette{{1, 2, 3, 0}, {4, 5, 6, 0}});
  TGIFImage fromBitmap;
  TClipboardData data;
  data.Bitmap = std::make_shared<TBitmap>();
  data.Bitmap->Assign(&small);
  fromBitmap.LoadFromClipboardFormat(CF_BITMAP, data, TPalette());
  EXPECT_EQ(fromBitmap.Width(), 2);
  EXPECT_EQ(GIFErrorOf([&] { fromBitmap.LoadFromClipboardFormat(77, data, TPalette()); }),
            "Unsupported clipboard format");
}
