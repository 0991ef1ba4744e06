// Multi-image loading, frame display and the frame timer, through a small codec of the tests' own.

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <future>

namespace kestrel {
namespace {

// A strip of grey pictures: a count byte, then per picture its width, height and one byte per
// pixel.
class TStripGraphic : public TDibGraphic {
public:
  const char* ClassName() const override { return "TStripGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override {
    return std::make_unique<TStripGraphic>();
  }
  int ImageCountInStream(TStream& stream) override {
    uint8_t count = 0;
    stream.ReadBuffer(&count, 1);
    return count;
  }
  void SingleLoadFromStream(TStream& stream, int index) override {
    uint8_t count = 0;
    stream.ReadBuffer(&count, 1);
    if (index < 1 || index > count) throw EZeduziziError("no such picture");
    for (int i = 1;; ++i) {
      uint8_t size[2];
      stream.ReadBuffer(size, 2);
      if (i < index) {
        stream.Seek(size[0] * size[1], TSeekOrigin::Current);
        continue;
      }
      NewImage(size[0], size[1], ifGray256);
      for (int y = 0; y < size[1]; ++y)
        stream.ReadBuffer(ScanLine(y), size[0]);
      return;
    }
  }
};

// A class that claims several pictures but does not make instances of itself.
class TForgetfulGraphic : public TStripGraphic {
public:
  const char* ClassName() const override { return "TForgetfulGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override {
    return std::make_unique<TStripGraphic>();
  }
};

// Pictures of 2 x 1 pixels whose first pixel is the picture's number times 10.
TMemoryStream Strip(int pictures) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(pictures)};
  for (int i = 1; i <= pictures; ++i) {
    bytes.insert(bytes.end(), {2, 1, static_cast<uint8_t>(10 * i), 0});
  }
  return TMemoryStream(bytes);
}

// A strip of pictures loaded with LoadAllFrames.
std::unique_ptr<TStripGraphic> LoadedStrip(int pictures) {
  auto g = std::make_unique<TStripGraphic>();
  g->LoadAllFrames = true;
  TMemoryStream s = Strip(pictures);
  g->LoadFromStream(s);
  return g;
}

int FirstLevel(const TDibGraphic& g) {
  return g.PixelIndex(0, 0);
}

TEST(DibFrames, LoadAllFramesReadsEveryPictureAndShowsTheFirst) {
  auto loaded = LoadedStrip(3);
  TStripGraphic& g = *loaded;
  EXPECT_TRUE(g.LoadAllFrames);
  ASSERT_EQ(g.FrameCount(), 3);
  EXPECT_EQ(g.CurrentFrame(), 1);
  EXPECT_EQ(FirstLevel(g), 10);
  EXPECT_EQ(FirstLevel(g.Frame(2)), 30);
  EXPECT_EQ(g.Info().Frames, 3);
}

TEST(DibFrames, ASingleImageStreamClearsLoadAllFrames) {
  TStripGraphic g;
  g.LoadAllFrames = true;
  TMemoryStream s = Strip(1);
  g.LoadFromStream(s);
  EXPECT_FALSE(g.LoadAllFrames);
  EXPECT_EQ(g.FrameCount(), 0);
  EXPECT_EQ(FirstLevel(g), 10);
}

TEST(DibFrames, APlainLoadReadsImageIndex) {
  TStripGraphic g;
  g.ImageIndex = 2;
  TMemoryStream s = Strip(3);
  g.LoadFromStream(s);
  EXPECT_EQ(FirstLevel(g), 20);
  EXPECT_EQ(g.FrameCount(), 0);
  TMemoryStream again = Strip(3);
  EXPECT_EQ(TStripGraphic().ReadInfo(again).Frames, 3);
}

TEST(DibFrames, ShowFrameChecksTheNumberAndSkipsTheCurrentFrame) {
  auto loaded = LoadedStrip(3);
  TStripGraphic& g = *loaded;
  int changes = 0;
  g.OnChange = [&](TGraphic&) { ++changes; };
  for (int bad : {0, 4}) {
    try {
      g.ShowFrame(bad);
      ADD_FAILURE() << "frame " << bad;
    } catch (const EZeduziziError& e) {
      EXPECT_EQ(std::string(e.what()), "Frame " + std::to_string(bad) + " does not exist");
    }
  }
  g.ShowFrame(1);
  EXPECT_EQ(changes, 0);
  g.ShowFrame(3);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.CurrentFrame(), 3);
  EXPECT_EQ(FirstLevel(g), 30);
}

TEST(DibFrames, TheTimerTickCyclesThroughTheFrames) {
  auto loaded = LoadedStrip(3);
  TStripGraphic& g = *loaded;
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) {
    g.FrameTimerTick();
    shown.push_back(g.CurrentFrame());
  }
  EXPECT_EQ(shown, (std::vector<int>{2, 3, 1, 2}));
  EXPECT_EQ(FirstLevel(g), 20);
}

TEST(DibFrames, TheTimerRunsOnlyWhileAnimatingFrames) {
  TStripGraphic g;
  g.SetAnimate(true);
  EXPECT_FALSE(g.FrameTimerActive()) << "no frames, no timer";
  g.LoadAllFrames = true;
  TMemoryStream s = Strip(2);
  g.LoadFromStream(s);
  EXPECT_TRUE(g.Animate()) << "Animate is restored after loading";
  EXPECT_TRUE(g.FrameTimerActive());
  g.SetAnimate(false);
  EXPECT_FALSE(g.FrameTimerActive());
}

TEST(DibFrames, TheFrameTimerAdvancesFramesFromTheEventLoop) {
  auto loaded = LoadedStrip(2);
  TStripGraphic& g = *loaded;
  g.FrameInterval = 5;
  g.SetAnimate(true);
  QElapsedTimer clock;
  clock.start();
  while (g.CurrentFrame() == 1 && clock.elapsed() < 5000)
    QCoreApplication::processEvents();
  EXPECT_EQ(g.CurrentFrame(), 2);
  g.SetAnimate(false);
}

TEST(DibFrames, APictureReadOnAWorkerThreadAnimatesOnTheMainThread) {
  auto loaded = std::async(std::launch::async, [] { return LoadedStrip(2); }).get();
  loaded->FrameInterval = 5;
  loaded->SetAnimate(true);
  QElapsedTimer clock;
  clock.start();
  while (loaded->CurrentFrame() == 1 && clock.elapsed() < 5000)
    QCoreApplication::processEvents();
  EXPECT_EQ(loaded->CurrentFrame(), 2);
}

TEST(DibFrames, ReloadingReplacesTheFrames) {
  auto loaded = LoadedStrip(3);
  TStripGraphic& g = *loaded;
  TMemoryStream two(std::vector<uint8_t>{2, 1, 1, 77, 1, 1, 88});
  g.LoadFromStream(two);
  EXPECT_EQ(g.FrameCount(), 2);
  EXPECT_EQ(g.CurrentFrame(), 1);
  EXPECT_EQ(FirstLevel(g), 77) << "frame 1 of the new file is shown, not the old one";
}

TEST(DibFrames, FailuresAndSingleImageClasses) {
  TStripGraphic g;
  TMemoryStream out;
  try {
    g.AppendToStream(out);
    ADD_FAILURE();
  } catch (const EZeduziziError& e) {
    EXPECT_STREQ(e.what(), "The TStripGraphic format does not support multiple images");
  }
  TForgetfulGraphic forgetful;
  forgetful.LoadAllFrames = true;
  TMemoryStream s = Strip(2);
  EXPECT_THROW(forgetful.LoadFromStream(s), EZeduziziError);
  TStripGraphic damaged;
  damaged.SetAnimate(true);
  TMemoryStream cut(std::vector<uint8_t>{1, 4, 4, 0});
  EXPECT_THROW(damaged.LoadFromStream(cut), EStreamError);
  EXPECT_TRUE(damaged.Animate()) << "Animate is restored after a failed load too";
}

} // namespace
} // namespace kestrel
