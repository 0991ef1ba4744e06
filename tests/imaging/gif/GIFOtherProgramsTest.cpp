// GIF files written by other programs (see tests/data/README.md) read as giflib reads them, and
// survive being written again by us.

#include "imaging/gif/GIFCommentExtension.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFTextExtension.h"

#include "../support/ImagingTestSupport.h"
#include "GIFImageTestSupport.h"
#include "GifReference.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

// Our frames with pixels against giflib's frames.
void ExpectSameFrames(const TGIFImage& image, const gifref::RefFile& ref, bool interlaceKept) {
  EXPECT_EQ(image.Width(), ref.Width);
  EXPECT_EQ(image.Height(), ref.Height);
  EXPECT_EQ(RefColors(image.GlobalColorMap()), ref.GlobalMap);
  std::vector<const TGIFSubImage*> frames;
  for (const auto& frame : image.Images())
    if (!frame->Empty()) frames.push_back(frame.get());
  ASSERT_EQ(frames.size(), ref.Frames.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE(i);
    const TGIFSubImage& ours = *frames[i];
    const gifref::RefFrame& theirs = ref.Frames[i];
    EXPECT_EQ(ours.BoundsRect(), Bounds(theirs.Left, theirs.Top, theirs.Width, theirs.Height));
    if (interlaceKept) {
      EXPECT_EQ(ours.Interlaced(), theirs.Interlaced);
    }
    EXPECT_EQ(RefColors(ours.ColorMap()), theirs.LocalMap);
    EXPECT_EQ(ours.Data(), theirs.Pixels);
    EXPECT_EQ(ours.TransparentColorIndex(), theirs.TransparentIndex);
    const TGIFGraphicControlExtension* control = ours.GraphicControlExtension();
    EXPECT_EQ(control ? control->Delay : 0, theirs.Delay);
    EXPECT_EQ(control ? control->Disposal : 0, theirs.Disposal);
  }
}

class GIFOtherPrograms : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(GIFOtherPrograms, ReadLikeGiflibAndWriteBack) {
  const std::vector<uint8_t> bytes = test::ReadFileBytes(test::DataPath(GetParam()));
  const auto ref = gifref::Slurp(bytes);
  ASSERT_TRUE(ref);
  TGIFImage image;
  WarningLog log;
  LoadGIF(image, bytes, log);
  EXPECT_TRUE(log.messages.empty()) << log.messages.front();
  ExpectSameFrames(image, *ref, true);

  const std::vector<uint8_t> written = SaveGIF(image);
  EXPECT_EQ(written[4], bytes[4]) << "the same version";
  const auto again = gifref::Slurp(written);
  ASSERT_TRUE(again);
  ExpectSameFrames(image, *again, false);
}

INSTANTIATE_TEST_SUITE_P(Files, GIFOtherPrograms,
                         ::testing::Values("gif/imagemagick-animation.gif", "gif/netpbm-plain.gif",
                                           "gif/netpbm-interlaced.gif", "gif/netpbm-nolzw.gif",
                                           "gif/netpbm-transparent-sorted.gif",
                                           "gif/gifbuild-two-frames.gif"));

TEST(GIFOtherPrograms, TheirExtensionsAreKept) {
  TGIFImage image;
  WarningLog log;
  LoadGIF(image, test::ReadFileBytes(test::DataPath("gif/gifbuild-two-frames.gif")), log);
  ASSERT_EQ(image.Images().Count(), 3);
  EXPECT_EQ(image.FrameCount(), 2);
  // The plain-text block's fixed part is the text itself there: read as far as it goes.
  const auto* text = dynamic_cast<const TGIFTextExtension*>(&image.Images()[0].Extensions()[0]);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Left, 'h' | 'e' << 8);
  EXPECT_TRUE(text->Lines.empty());
  const auto& tail = image.Images()[2];
  EXPECT_TRUE(tail.Empty());
  EXPECT_EQ(dynamic_cast<const TGIFCommentExtension&>(tail.Extensions()[0]).Lines,
            std::vector<std::string>{"the end"});
  EXPECT_EQ(image.Header().BackgroundColorIndex, 1);
  EXPECT_EQ(image.EffectiveBackgroundColor(), clWhite);
  EXPECT_TRUE(image.HasTransparentFrames());

  TGIFImage animation;
  LoadGIF(animation, test::ReadFileBytes(test::DataPath("gif/imagemagick-animation.gif")), log);
  EXPECT_EQ(animation.FrameCount(), 3);
  EXPECT_FALSE(animation.HasTransparentFrames());
  EXPECT_EQ(animation.Info().Frames, 3);
}
