// The animation painter on a virtual clock: when frames show, how often passes repeat, what each
// disposal leaves, and what the image does with its painters when it draws, changes or goes.

#include "imaging/gif/GIFPainter.h"
#include "imaging/core/Bitmap.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFImage.h"

#include "../bmod/PictureTestSupport.h"
#include "../support/ImagingTestSupport.h"
#include "AnimationFiles.h"
#include "GIFImageTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

constexpr TGIFDrawOptions kPlay = gdAsync | gdAnimate | gdLoop;
constexpr int64_t kMs = 1000;
constexpr TPixelColor kGrey = 0x808080;

struct TShown {
  int Frame;
  int64_t Ms;
  friend bool operator==(const TShown&, const TShown&) = default;
};

void PrintTo(const TShown& s, std::ostream* os) {
  *os << "{" << s.Frame << " at " << s.Ms << "}";
}

class GIFPainterTest : public ::testing::Test {
protected:
  void SetUp() override { TGIFClock::SetDefault(Clock); }
  void TearDown() override { TGIFClock::SetDefault(nullptr); }

  void Load(const std::vector<uint8_t>& bytes, int speed = 100) {
    LoadGIF(Image, bytes, Log);
    Image.SetAnimationSpeed(speed);
    Image.OnAfterPaint = [this](TGIFPainter& p) {
      Shown.push_back({p.ActiveImage(), Clock->Now() / kMs});
    };
  }
  // A painter playing the image on a grey target of the screen's size.
  std::shared_ptr<TGIFPainter> Play(TGIFDrawOptions options) {
    Target = std::make_unique<TBitmap>();
    Target->SetPixelFormat(pf24bit);
    Target->Canvas().Brush.Color = ColorOfPixel(kGrey);
    Target->SetSize(Image.Width(), Image.Height());
    auto painter = std::make_shared<TGIFPainter>(
        Image, Target->Canvas(), TRect{0, 0, Image.Width(), Image.Height()}, options, Clock);
    painter->Start();
    return painter;
  }

  std::shared_ptr<TGIFVirtualClock> Clock = std::make_shared<TGIFVirtualClock>();
  TGIFImage Image;
  WarningLog Log;
  std::unique_ptr<TBitmap> Target;
  std::vector<TShown> Shown;
};

std::vector<uint8_t> TwoFrames(int delay0, int delay1, std::optional<int> loops) {
  return AnimationBytes(2, 1, {Solid(0, 0, 2, 1, 0, delay0), Solid(0, 0, 1, 1, 1, delay1)}, loops);
}

} // namespace

TEST_F(GIFPainterTest, FramesShowForTheirDelaysInTwelveMillisecondUnitsScaledBySpeed) {
  // Delay 0 stands for 10 units, 1 is raised to 3: 120 ms and 36 ms at speed 100.
  Load(TwoFrames(0, 1, 0));
  auto painter = Play(kPlay);
  Clock->Advance(320 * kMs);
  EXPECT_EQ(Shown, (std::vector<TShown>{{0, 0}, {1, 120}, {0, 156}, {1, 276}, {0, 312}}));
  painter->Stop();

  Shown.clear();
  Image.SetAnimationSpeed(200);
  const int64_t start = Clock->Now() / kMs;
  painter = Play(kPlay);
  Clock->Advance(80 * kMs);
  EXPECT_EQ(Shown, (std::vector<TShown>{{0, start}, {1, start + 60}, {0, start + 78}}));
  painter->Stop();

  // Speed 0, and a negative speed with it, keep an asynchronous painter on its first frame.
  for (const int speed : {0, -50}) {
    Shown.clear();
    Image.SetAnimationSpeed(speed);
    painter = Play(kPlay);
    Clock->Advance(3600 * 1000 * kMs);
    EXPECT_EQ(Shown.size(), 1u) << speed;
    EXPECT_TRUE(painter->Running());
    EXPECT_EQ(Clock->Pending(), 0);
    painter->Stop();
  }
}

TEST_F(GIFPainterTest, LongDelaysAreCutOnlyWhenThePainterRunsInsideTheDrawingCall) {
  Load(TwoFrames(5000, 5000, std::nullopt));
  Play(gdAnimate); // synchronous: played to its end before Start returns
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[1].Ms - Shown[0].Ms, 1000 * TGIFPainter::kDelayUnitMs);
  Shown.clear();
  auto painter = Play(kPlay);
  Clock->Advance(100 * 1000 * kMs);
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[1].Ms - Shown[0].Ms, 5000 * TGIFPainter::kDelayUnitMs);
}

TEST_F(GIFPainterTest, TheLoopCountCountsRepeatsOnceForTheWholeRun) {
  const auto passes = [this](std::optional<int> loops, TGIFDrawOptions options) {
    Shown.clear();
    Image.Clear();
    Load(TwoFrames(0, 0, loops));
    auto painter = Play(options);
    Clock->Advance(60 * 1000 * kMs);
    const bool running = painter->Running();
    painter->Stop();
    return running ? -1 : static_cast<int>(Shown.size() / 2);
  };
  EXPECT_EQ(passes(2, kPlay), 3);
  EXPECT_EQ(passes(1, kPlay), 2);
  EXPECT_EQ(passes(std::nullopt, kPlay), 1);
  EXPECT_EQ(passes(0, kPlay), -1) << "0 repeats for ever";
  EXPECT_EQ(passes(2, kPlay | gdLoopForever), -1);
  EXPECT_EQ(passes(2, gdAsync | gdAnimate), 1) << "without gdLoop";
  // Played once, the animation stays on its last frame.
  EXPECT_EQ(Target->PixelColor(0, 0), AnimColor(1));
  EXPECT_EQ(Target->PixelColor(1, 0), AnimColor(0));

  // The largest count with the shortest frames: exactly 65536 passes, 120 ms a frame.
  Shown.clear();
  Image.Clear();
  Load(TwoFrames(0, 0, 65535));
  int loops = 0; // a count read again on every pass would never end
  Image.OnLoop = [&loops](TGIFPainter& p) {
    if (++loops > 65536) p.Stop();
  };
  const int64_t start = Clock->Now();
  Play(gdAnimate | gdLoop);
  EXPECT_EQ(Shown.size(), 2u * 65536);
  EXPECT_EQ(Clock->Now() - start, (12 + (2 * 65536 - 1) * 120) * kMs);
}

namespace {

// What a painter leaves on a 4 x 1 grey target after each of three frames: frame 0 covers the
// screen in colour 0, frame 1 puts colour 1 at x = 1 with the disposal under test, frame 2 covers
// the screen but is transparent except colour 2 at x = 2.
struct TDisposalCase {
  int Disposal;
  TGIFDrawOptions Options;
  std::vector<std::string> Frames;
};

void PrintTo(const TDisposalCase& c, std::ostream* os) {
  *os << "disposal " << c.Disposal << " options " << c.Options;
}

class GIFDisposal : public GIFPainterTest, public ::testing::WithParamInterface<TDisposalCase> {};

// One letter per pixel: a colour index, B the image's background colour, G the target's grey.
std::string Letters(const TBitmap& target) {
  std::string row;
  for (int x = 0; x < target.Width(); ++x) {
    const TPixelColor c = target.PixelColor(x, 0);
    char letter = c == kGrey ? 'G' : c == AnimColor(kAnimBackground) ? 'B' : '?';
    for (int i = 0; i < 7; ++i)
      if (c == AnimColor(i)) letter = char('0' + i);
    row += letter;
  }
  return row;
}

} // namespace

TEST_P(GIFDisposal, EachFrameIsComposedOverWhatTheOnesBeforeLeft) {
  const TDisposalCase& c = GetParam();
  TAnimFrame last = Solid(0, 0, 4, 1, 6);
  last.Pixels = {6, 6, 2, 6};
  last.Transparent = 6;
  Load(AnimationBytes(4, 1, {Solid(0, 0, 4, 1, 0), Solid(1, 0, 1, 1, 1, 0, c.Disposal), last}));
  std::vector<std::string> composed;
  Image.OnAfterPaint = [&](TGIFPainter&) { composed.push_back(Letters(*Target)); };
  Play(c.Options);
  EXPECT_EQ(composed, c.Frames);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, GIFDisposal,
    ::testing::Values(
        // Later frames go through their masks even when the first need not.
        TDisposalCase{0, gdAnimate, {"0000", "0100", "0120"}},
        TDisposalCase{1, gdAnimate | gdTransparent, {"0000", "0100", "0120"}},
        // Values 4..7 mean nothing: keep.
        TDisposalCase{5, gdAnimate, {"0000", "0100", "0120"}},
        // To the background: its colour, or what the target held when drawn transparently.
        TDisposalCase{2, gdAnimate, {"0000", "0100", "0B20"}},
        TDisposalCase{2, gdAnimate | gdTransparent, {"0000", "0100", "0G20"}},
        TDisposalCase{3, gdAnimate, {"0000", "0100", "0020"}}));

TEST_F(GIFPainterTest, DrawingStartsAPainterOnTheImagesOwnBitmapUntilTheImageChanges) {
  Load(AnimationBytes(4, 2, {Solid(0, 0, 4, 2, 0), Solid(2, 1, 1, 1, 1)}, 0));
  std::vector<TRect> areas;
  Image.OnFramePainted = [&](TGIFImage&, const TRect& area) { areas.push_back(area); };
  TBitmap view(8, 4, pf24bit);
  Image.SetDrawOptions(kPlay);
  Image.Draw(view.Canvas(), {0, 0, 8, 4});
  EXPECT_TRUE(Image.Animating());
  EXPECT_EQ(view.PixelColor(5, 3), AnimColor(0)) << "the first frame at once";
  EXPECT_TRUE(areas.empty()) << "the drawing call shows it itself";

  Clock->Advance(120 * kMs);
  ASSERT_EQ(areas, (std::vector<TRect>{{2, 1, 3, 2}}));
  Image.DrawArea(view.Canvas(), {0, 0, 8, 4}, {4, 2, 6, 4});
  EXPECT_EQ(view.PixelColor(5, 3), AnimColor(1));
  EXPECT_EQ(view.PixelColor(3, 3), AnimColor(0));

  // Another draw only copies what the painter shows.
  TBitmap other(4, 2, pf24bit);
  Image.Draw(other.Canvas(), {0, 0, 4, 2});
  EXPECT_EQ(other.PixelColor(2, 1), AnimColor(1));
  EXPECT_EQ(Clock->Pending(), 1);

  // A change stops the painter at once: nothing is waited for and no frame follows.
  Image.SetAnimationSpeed(50);
  Image.SetDrawOptions(kPlay | gdTransparent);
  EXPECT_FALSE(Image.Animating());
  EXPECT_EQ(Clock->Pending(), 0);
  Clock->Advance(1000 * kMs);
  EXPECT_EQ(areas.size(), 1u);
  // Drawn again, it starts afresh.
  Image.Draw(view.Canvas(), {0, 0, 8, 4});
  EXPECT_EQ(view.PixelColor(5, 3), AnimColor(0));
  {
    TGIFImage gone;
    LoadGIF(gone, AnimationBytes(2, 1, {Solid(0, 0, 2, 1, 0), Solid(0, 0, 1, 1, 1)}, 0), Log);
    gone.SetDrawOptions(kPlay);
    gone.Draw(view.Canvas(), {0, 0, 2, 1});
    EXPECT_EQ(Clock->Pending(), 2);
  }
  EXPECT_EQ(Clock->Pending(), 1) << "a destroyed image leaves no timer behind";
}

TEST_F(GIFPainterTest, WhereNoPainterCanRunTheFirstFrameIsDrawn) {
  // One frame; no gdAnimate; an asynchronous painter on a thread whose timers never fire;
  // buffers past the image size limits.
  Load(AnimationBytes(2, 1, {Solid(0, 0, 2, 1, 3)}));
  TBitmap view(2, 1, pf24bit);
  Image.SetDrawOptions(kPlay);
  Image.Draw(view.Canvas(), {0, 0, 2, 1});
  EXPECT_FALSE(Image.Animating());
  EXPECT_EQ(view.PixelColor(1, 0), AnimColor(3));

  Image.Clear();
  Load(TwoFrames(0, 0, 0));
  Image.SetDrawOptions(gdAsync | gdLoop);
  Image.Draw(view.Canvas(), {0, 0, 2, 1});
  EXPECT_FALSE(Image.Animating());

  TGIFClock::SetDefault(nullptr);
  Image.SetDrawOptions(kPlay);
  std::thread([&] { Image.Draw(view.Canvas(), {0, 0, 2, 1}); }).join();
  EXPECT_FALSE(Image.Animating());
  EXPECT_EQ(view.PixelColor(1, 0), AnimColor(0));
  TGIFClock::SetDefault(Clock);

  Image.Clear();
  Load(AnimationBytes(65535, 65535, {Solid(0, 0, 1, 1, 2), Solid(0, 0, 1, 1, 3, 0, 2)}));
  TBitmap corner(4, 4, pf24bit);
  Image.SetDrawOptions(kPlay);
  Image.Draw(corner.Canvas(), {0, 0, 65535, 65535});
  EXPECT_FALSE(Image.Animating());
  EXPECT_EQ(corner.PixelColor(0, 0), AnimColor(2));
  TGIFPainter painter(Image, corner.Canvas(), {0, 0, 65535, 65535}, kPlay, Clock);
  painter.Start();
  EXPECT_TRUE(painter.Ended()) << "its own buffers do not fit either";
}

TEST_F(GIFPainterTest, FailuresGoToTheWarningHandlerAndEndThePainter) {
  Load(TwoFrames(0, 0, 0));
  std::vector<std::string> errors;
  Image.OnWarning = [&](const void*, TGIFSeverity severity, const std::string& message) {
    if (severity == TGIFSeverity::Error) errors.push_back(message);
  };
  Image.OnPaint = [](TGIFPainter& p) {
    if (p.ActiveImage() == 1) throw GIFException("broken frame");
  };
  auto painter = Play(kPlay);
  Clock->Advance(1000 * kMs);
  EXPECT_EQ(errors, std::vector<std::string>{"broken frame"});
  EXPECT_TRUE(painter->Ended());

  // Without a handler nothing escapes the timer either.
  Image.OnWarning = nullptr;
  painter = Play(kPlay);
  EXPECT_NO_THROW(Clock->Advance(1000 * kMs));
  EXPECT_TRUE(painter->Ended());
}

TEST_F(GIFPainterTest, AHandlerMayDropTheImageMidFrame) {
  auto image = std::make_unique<TGIFImage>();
  LoadGIF(*image, TwoFrames(0, 0, 0), Log);
  image->SetDrawOptions(kPlay);
  image->OnFramePainted = [&](TGIFImage&, const TRect&) { image.reset(); };
  TBitmap view(2, 1, pf24bit);
  image->Draw(view.Canvas(), {0, 0, 2, 1});
  Clock->Advance(1000 * kMs);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(Clock->Pending(), 0);
}

TEST_F(GIFPainterTest, DamagedAnimationsPlayAsFarAsTheyGo) {
  // 10,000 frames of one pixel play through.
  std::vector<TAnimFrame> many;
  for (int i = 0; i < 10000; ++i)
    many.push_back(Solid(0, 0, 1, 1, uint8_t(i % 7)));
  Load(AnimationBytes(1, 1, many));
  Play(gdAnimate);
  EXPECT_EQ(Shown.size(), 10000u);

  // Cut anywhere, a file shows the frames it still has, and never more than before.
  const std::vector<uint8_t> whole = AnimationBytes(
      3, 2, {Solid(0, 0, 3, 2, 0), Solid(1, 0, 2, 2, 1, 0, 2), Solid(0, 1, 3, 1, 2, 0, 3)}, 2);
  size_t previous = 0;
  for (size_t size = 13; size <= whole.size(); ++size) {
    Shown.clear();
    Image.Clear();
    try {
      Load({whole.begin(), whole.begin() + std::ptrdiff_t(size)});
    } catch (const GIFException&) {
      continue; // cut inside the header
    }
    Play(gdAnimate);
    EXPECT_EQ(Shown.size(), size_t(Image.FrameCount())) << size;
    EXPECT_GE(Shown.size(), previous) << size;
    previous = Shown.size();
  }
  EXPECT_EQ(previous, 3u);
}

TEST_F(GIFPainterTest, TheFuzzSeedsPlayEveryFrameTheyHold) {
  for (const auto& seed : test::FuzzSeeds("fuzz_gif_frames")) {
    Shown.clear();
    Image.Clear();
    Load(seed);
    ASSERT_GE(Image.FrameCount(), 1);
    auto painter = Play(gdAnimate | gdTransparent | gdClearOnPass);
    EXPECT_TRUE(painter->Ended());
    EXPECT_EQ(Shown.size(), size_t(Image.FrameCount()));

    // Timer-driven and looping for ever, it goes on until the image changes.
    TBitmap view(Image.Width(), Image.Height(), pf24bit);
    Image.SetDrawOptions(kPlay | gdLoopForever);
    Image.Draw(view.Canvas(), {0, 0, Image.Width(), Image.Height()});
    Clock->Advance(10 * 1000 * kMs);
    EXPECT_EQ(Image.Animating(), Image.FrameCount() > 1);
    Image.Clear();
    EXPECT_EQ(Clock->Pending(), 0);
  }
}
