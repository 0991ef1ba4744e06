#include "browse/find/FindWalk.h"
#include "browse/find/FindOrder.h"

#include "support/TempEnvironment.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace kestrel {
namespace {

class FindWalk : public ::testing::Test {
protected:
  void SetUp() override { Root = QFile::encodeName(Env.Folder("tree")).toStdString(); }

  void Write(const std::string& relative, qint64 size = 1) {
    ASSERT_TRUE(test::WriteSizedFile(QString::fromStdString(Root + "/" + relative), size))
        << relative;
  }

  // The hits' paths below Root, sorted, and the walk's own verdict.
  std::vector<std::string> Walk(const TFindCriteria& criteria,
                                std::function<void(const TFindHit&)> seen = {}) {
    std::atomic<bool> stop = false;
    Hits.clear();
    TFindWalk walk(criteria, stop, [&](TFindHit&& hit) {
      if (seen) seen(hit);
      Hits.push_back(std::move(hit));
    });
    Completed = walk.Walk(Root);
    LimitReached = walk.LimitReached();
    std::vector<std::string> paths;
    for (const TFindHit& hit : Hits)
      paths.push_back(hit.Path().substr(Root.size()));
    std::sort(paths.begin(), paths.end());
    return paths;
  }
  qint64 SizeOf(const std::string& name) const {
    const auto hit = std::find_if(Hits.begin(), Hits.end(),
                                  [&](const TFindHit& found) { return found.Name == name; });
    return hit == Hits.end() ? -1 : hit->Size;
  }
  static TFindCriteria Named(const char* pattern, TFindKind kind = TFindKind::Files) {
    TFindCriteria criteria;
    criteria.Pattern = pattern;
    criteria.Kind = kind;
    return criteria;
  }

  test::TTempEnvironment Env;
  std::string Root;
  std::vector<TFindHit> Hits;
  bool Completed = false;
  bool LimitReached = false;
};

using Paths = std::vector<std::string>;

// Removes a tree deeper than a path can name, which the temporary folder cannot.
void RemoveDeep(int parent, const char* name) {
  if (const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW); folder >= 0) {
    DIR* listing = ::fdopendir(folder);
    while (const dirent* entry = ::readdir(listing)) {
      const std::string_view child = entry->d_name;
      if (child == "." || child == "..") continue;
      if (entry->d_type == DT_DIR)
        RemoveDeep(folder, entry->d_name);
      else
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(listing);
  }
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

TEST_F(FindWalk, ExaminesEveryEntryOnceAndNeverFollowsLinksIntoFolders) {
  Write("a.jpg");
  Write("b.JPG");
  Write("sub/c.jpg");
  Write("sub/deeper/d.jpg");
  Write(".hidden/e.jpg");
  ASSERT_EQ(::symlink("..", (Root + "/sub/deeper/loop.jpg").c_str()), 0);
  ASSERT_EQ(::symlink(".", (Root + "/sub/self").c_str()), 0);
  EXPECT_EQ(Walk(Named("*.jpg")), Paths({"/.hidden/e.jpg", "/a.jpg", "/b.JPG", "/sub/c.jpg",
                                         "/sub/deeper/d.jpg", "/sub/deeper/loop.jpg"}));
  EXPECT_TRUE(Completed);
  EXPECT_EQ(Walk(Named("*", TFindKind::Folders)), Paths({"/.hidden", "/sub", "/sub/deeper"}));
}

TEST_F(FindWalk, SizesAreSixtyFourBitAndFoldersShowTheirDirectContents) {
  Write("big.bin", 5'000'000'000); // sparse
  Write("pics/one.bin", 1000);
  Write("pics/two.bin", 24);
  Write("pics/inner/three.bin", 7);
  TFindCriteria criteria = Named("*");
  Walk(criteria);
  EXPECT_EQ(SizeOf("big.bin"), 5'000'000'000);
  EXPECT_EQ(SizeOf("pics"), 1024); // not the file inside "inner"
  criteria.Size = TSizeBounds{1000, 5'000'000'000};
  EXPECT_EQ(Walk(criteria), Paths({"/big.bin", "/pics/one.bin"}));
  criteria.Size = TSizeBounds{0, 10};
  EXPECT_EQ(Walk(criteria), Paths({"/pics", "/pics/inner", "/pics/inner/three.bin"}));
}

TEST_F(FindWalk, FoldersContainingListEachFolderOnce) {
  for (const char* name : {"a.jpg", "b.jpg", "sub/c.jpg", "c.jpg", "sub/d.jpg", "none/x.txt"})
    Write(name, 10);
  EXPECT_EQ(Walk(Named("*.jpg", TFindKind::FoldersContaining)), Paths({"", "/sub"}));
  EXPECT_EQ(SizeOf("sub"), 20);
}

TEST_F(FindWalk, TheVolumeRootIsNeverListedAsAContainer) {
  // The walk of "/" stops at its first hit: "/" itself holds matches but has no folder to be
  // listed in, so the first row is a folder below it.
  TFindCriteria criteria = Named("*", TFindKind::FoldersContaining);
  criteria.Limit = 1;
  std::atomic<bool> stop = false;
  std::vector<TFindHit> found;
  TFindWalk walk(criteria, stop, [&](TFindHit&& hit) { found.push_back(std::move(hit)); });
  EXPECT_FALSE(walk.Walk("/"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(found[0].Name.empty());
  EXPECT_EQ(found[0].Folder, "/");
}

TEST_F(FindWalk, TheLimitOfHitsStopsTheWalk) {
  for (int i = 0; i < 30; ++i)
    Write("f" + std::to_string(i) + ".x");
  TFindCriteria criteria = Named("*.x");
  criteria.Limit = 25;
  EXPECT_EQ(Walk(criteria).size(), 25u);
  EXPECT_FALSE(Completed);
  EXPECT_TRUE(LimitReached);
}

TEST_F(FindWalk, UnreadableFoldersAreSkippedSilently) {
  if (test::RerunUnprivileged()) return;
  Write("open/a.jpg");
  Write("closed/b.jpg");
  Write("closed.jpg/c.jpg");
  ASSERT_EQ(::chmod((Root + "/closed").c_str(), 0), 0);
  ASSERT_EQ(::chmod((Root + "/closed.jpg").c_str(), 0), 0);
  EXPECT_EQ(Walk(Named("*.jpg")), Paths({"/closed.jpg", "/open/a.jpg"}));
  EXPECT_TRUE(Completed);
  ::chmod((Root + "/closed").c_str(), 0700);
  ::chmod((Root + "/closed.jpg").c_str(), 0700);
}

TEST_F(FindWalk, ATreeChangingUnderTheWalk) {
  Write("first.x", 2);
  Write("gone/second.x", 2);
  Write("gone/deep/third.x", 2);
  Write("later/grows.x", 1);
  TFindCriteria criteria = Named("*.x");
  criteria.Size = TSizeBounds{2, std::numeric_limits<qint64>::max()};
  // Each folder's own entries come before its sub-folders: the first hit is first.x. Then one
  // folder vanishes and a file grows past 32 bits (sparse) before the walk reaches them.
  EXPECT_EQ(Walk(criteria,
                 [&](const TFindHit&) {
                   QDir(QString::fromStdString(Root + "/gone")).removeRecursively();
                   ::truncate((Root + "/later/grows.x").c_str(), 5'000'000'000);
                 }),
            Paths({"/first.x", "/later/grows.x"}));
  EXPECT_TRUE(Completed);
  EXPECT_EQ(SizeOf("grows.x"), 5'000'000'000); // the size the filter saw
}

TEST_F(FindWalk, PathsLongerThanTheSystemOpensAtOnce) {
  // 30 folders of 200 characters: 6,000 characters below the root.
  int folder = ::open(Root.c_str(), O_RDONLY | O_DIRECTORY);
  std::string expected;
  for (int i = 0; i < 30; ++i) {
    const std::string name = std::to_string(i) + std::string(200 - std::to_string(i).size(), 'n');
    ASSERT_EQ(::mkdirat(folder, name.c_str(), 0700), 0);
    const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(folder);
    folder = next;
    expected += "/" + name;
  }
  const int file = ::openat(folder, "deep.jpg", O_WRONLY | O_CREAT, 0600);
  ASSERT_EQ(::ftruncate(file, 4321), 0);
  ::close(file);
  ::close(folder);
  EXPECT_EQ(Walk(Named("deep")), Paths({expected + "/deep.jpg"}));
  ASSERT_EQ(Hits.size(), 1u);
  EXPECT_EQ(Hits[0].Size, 4321);
  EXPECT_GT(Hits[0].Path().size(), 6000u);
  RemoveDeep(AT_FDCWD, (Root + expected.substr(0, expected.find('/', 1))).c_str());
}

TEST_F(FindWalk, NamesThatAreNotUtf8AreFoundByteForByte) {
  const std::string name = "caf\xE9 \xFF.jpg"; // Latin-1, not UTF-8
  const int file = ::open((Root + "/" + name).c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(file, 0);
  ::close(file);
  EXPECT_EQ(Walk(Named("caf? ?.JPG")), Paths({"/" + name}));
  EXPECT_EQ(Walk(Named("caf?? ")), Paths());
  ::unlink((Root + "/" + name).c_str()); // a name the temporary folder cannot remove
}

TEST_F(FindWalk, DuplicatesAreExactlyTheFilesThatShareANameOrASize) {
  // 200 files of distinct names and sizes, among which some share a name and some a size.
  for (int i = 0; i < 194; ++i)
    Write("d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".jpg", 2000 + i);
  Write("d1/same.jpg", 10);
  Write("d4/same.jpg", 11);
  Write("d5/sub/same.jpg", 12);
  Write("d0/x.png", 777);
  Write("d2/y.png", 777);
  Write("d3/z.gif", 777);
  Walk(Named("*", TFindKind::FilesOnly));
  const auto paths = [](const std::vector<TFindHit>& hits) {
    std::vector<std::string> result;
    for (const TFindHit& hit : hits)
      result.push_back(hit.Name + " " + std::to_string(hit.Size));
    return result;
  };
  EXPECT_EQ(paths(Duplicates(Hits, TFindColumn::File)),
            Paths({"same.jpg 10", "same.jpg 11", "same.jpg 12"}));
  EXPECT_EQ(paths(Duplicates(Hits, TFindColumn::Size)),
            Paths({"x.png 777", "y.png 777", "z.gif 777"}));
}

} // namespace
} // namespace kestrel
