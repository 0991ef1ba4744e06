// The gallery's worker: tiles in list order from a pool of threads, items past the memory limit
// left alone, sounds skipped, pause and stop between items, files gone before their turn.

#include "browse/thumbs/ThumbFolder.h"

#include "browse/index/IndexTestSupport.h"
#include "support/TestApplication.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace kestrel {
namespace {

using test::ReadByRegistry;
using test::WaitUntil;
using test::WriteFlatPicture;

class ThumbFolder : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Worker = std::make_unique<TThumbFolder>();
    Worker->Folder = Dir.path().toStdString() + "/";
    Worker->Options = {40, false, clBlack};
    Worker->MaximumCount = 1000;
    Worker->Reader = [this](const std::string& path) {
      ++Reads;
      return ReadByRegistry(path);
    };
    Worker->OnThumbnail = [this](const TThumbDelivery& d) { Delivered.push_back(d); };
    Worker->OnFinished = [this] { ++Finished; };
  }
  // Pictures "p00.bmp" ... of distinct sizes, so each tile tells which file it came from.
  std::vector<std::string> Pictures(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
      names.push_back(QString("p%1.bmp").arg(i, 2, 10, QChar('0')).toStdString());
      WriteFlatPicture(Dir.filePath(QString::fromStdString(names.back())), 10 + i, 100, clWhite);
    }
    return names;
  }
  bool Ended() {
    return WaitUntil([this] { return Finished > 0; });
  }
  QTemporaryDir Dir;
  std::unique_ptr<TThumbFolder> Worker;
  std::atomic<int> Reads{0};
  std::vector<TThumbDelivery> Delivered;
  int Finished = 0;
};

TEST_F(ThumbFolder, DeliversInListOrderFromSeveralThreadsAndSkipsSounds) {
  std::vector<std::string> names = Pictures(24);
  QFile sound(Dir.filePath("p05x.wav"));
  ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
  sound.write("RIFF");
  sound.close();
  names.insert(names.begin() + 6, "p05x.wav");
  Worker->Threads = 3;
  Worker->CollectNames(names);
  Worker->Start();
  EXPECT_EQ(TThumbFolder::Current(), Worker.get());
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Finished, 1);
  EXPECT_FALSE(Worker->Running());
  EXPECT_EQ(TThumbFolder::Current(), nullptr);
  ASSERT_EQ(Delivered.size(), 24u);
  for (size_t k = 0; k < Delivered.size(); ++k) {
    const int index = static_cast<int>(k < 6 ? k : k + 1);
    EXPECT_EQ(Delivered[k].Index, index);
    EXPECT_EQ(Delivered[k].Path, Worker->Folder + names[static_cast<size_t>(index)]);
    EXPECT_EQ(Delivered[k].Code, tcNone);
    // Picture i is (10 + i) x 100: its width on a 40-pixel tile tells which one it was.
    const int picture = static_cast<int>(k);
    const int width = 40 * (10 + picture) / 100;
    const int left = (40 - width) / 2;
    EXPECT_EQ(ColorOfPixel(Delivered[k].Tile->PixelColor(left, 20)), clWhite) << k;
    EXPECT_EQ(ColorOfPixel(Delivered[k].Tile->PixelColor(left - 1, 20)), clBlack) << k;
  }
}

TEST_F(ThumbFolder, TakesNoMoreThanTheMaximumCount) {
  Worker->CollectNames(Pictures(10));
  Worker->MaximumCount = 3;
  Worker->Start();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Delivered.size(), 3u);
  EXPECT_EQ(Reads, 3);
}

TEST_F(ThumbFolder, PausedWorkerTakesNothingUntilReleasedAndStopEndsIt) {
  Worker->CollectNames(Pictures(8));
  Worker->Threads = 2;
  Worker->SetPaused(true);
  Worker->Start();
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(Reads, 0);
  Worker->SetPaused(false);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Delivered.size(), 8u);

  TThumbFolder second;
  second.Folder = Worker->Folder;
  second.Reader = Worker->Reader;
  second.MaximumCount = 8;
  second.CollectNames(Worker->Names());
  bool ended = false;
  second.OnFinished = [&ended] { ended = true; };
  second.SetPaused(true);
  second.Start();
  second.Stop(); // still paused: the run ends without taking an item
  ASSERT_TRUE(WaitUntil([&ended] { return ended; }));
  EXPECT_EQ(Reads, 8);
}

TEST_F(ThumbFolder, DestroyingAPausedWorkerStopsItsThreads) {
  Worker->CollectNames(Pictures(30));
  Worker->SetPaused(true);
  Worker->Start();
  Worker.reset(); // must not hang or leave a thread behind
  EXPECT_EQ(TThumbFolder::Current(), nullptr);
  EXPECT_EQ(Reads, 0);
}

TEST_F(ThumbFolder, AFileGoneBeforeItsTurnGivesAnErrorTileAndTheRunGoesOn) {
  const std::vector<std::string> names = Pictures(3);
  ASSERT_TRUE(QFile::remove(Dir.filePath("p01.bmp")));
  Worker->CollectNames(names);
  Worker->Start();
  ASSERT_TRUE(Ended());
  ASSERT_EQ(Delivered.size(), 3u);
  EXPECT_EQ(Delivered[0].Code, tcNone);
  EXPECT_EQ(Delivered[1].Code, tcNoPicture);
  EXPECT_EQ(ColorOfPixel(Delivered[1].Tile->PixelColor(0, 0)), kErrorGreen);
  EXPECT_EQ(Delivered[2].Code, tcNone);
}

TEST_F(ThumbFolder, TilesAfterStopAreDropped) {
  Worker->CollectNames(Pictures(12));
  Worker->OnThumbnail = [this](const TThumbDelivery& d) {
    Delivered.push_back(d);
    Worker->Stop();
  };
  Worker->Start();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Delivered.size(), 1u);
}

} // namespace
} // namespace kestrel
