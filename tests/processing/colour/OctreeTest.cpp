#include "processing/colour/ColorQuantizer.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/colour/OctreePalette.h"

#include "PaletteTestSupport.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>
#include <vector>

using namespace kestrel;

namespace {

Entries Reds(std::initializer_list<int> reds) {
  Entries e;
  for (int r : reds)
    e.push_back(Rgb(r, 0, 0));
  return e;
}

// Pixels as a single-row picture for OctreePaletteEntries.
struct Row {
  std::vector<uint8_t> bgr;
  void Add(const TPaletteEntry& c, int times = 1) {
    for (int i = 0; i < times; ++i)
      bgr.insert(bgr.end(), {c.Blue, c.Green, c.Red});
  }
  int Width() const { return static_cast<int>(bgr.size() / 3); }
  TBgrRowSource Source() const {
    return [this](int) { return bgr.data(); };
  }
};

// The quantizer as the rules state it: owned child pointers, one stack of reducible nodes per level
// (the node pushed last is merged first), a merge loop after every insertion.
class ModelOctree {
public:
  ModelOctree(int maxColors, int colorBits) : max_(maxColors), bits_(colorBits) {}

  void Add(const TPaletteEntry& c) {
    std::unique_ptr<Node>* slot = &root_;
    for (int level = 0;; ++level) {
      if (!*slot) *slot = Make(level);
      Node* n = slot->get();
      if (n->leaf) {
        n->count += 1;
        n->r += c.Red;
        n->g += c.Green;
        n->b += c.Blue;
        break;
      }
      int bit = 7 - level;
      slot =
          &n->child[((c.Red >> bit) & 1) * 4 + ((c.Green >> bit) & 1) * 2 + ((c.Blue >> bit) & 1)];
    }
    while (leaves_ > max_)
      Merge();
  }

  Entries Table() const {
    Entries out;
    Collect(root_.get(), out);
    return out;
  }

private:
  struct Node {
    bool leaf = false;
    uint64_t count = 0, r = 0, g = 0, b = 0;
    std::unique_ptr<Node> child[8];
  };

  std::unique_ptr<Node> Make(int level) {
    auto n = std::make_unique<Node>();
    if (level == bits_) {
      n->leaf = true;
      ++leaves_;
    } else {
      stacks_[level].push_back(n.get());
    }
    return n;
  }

  void Merge() {
    int level = bits_ - 1;
    while (level > 0 && stacks_[level].empty())
      --level;
    Node* n = stacks_[level].back();
    stacks_[level].pop_back();
    int kids = 0;
    for (auto& c : n->child)
      if (c) {
        n->count += c->count;
        n->r += c->r;
        n->g += c->g;
        n->b += c->b;
        c.reset();
        ++kids;
      }
    n->leaf = true;
    leaves_ += 1 - kids;
  }

  static void Collect(const Node* n, Entries& out) {
    if (!n) return;
    if (n->leaf) {
      out.push_back(n->count ? Rgb(int(n->r / n->count), int(n->g / n->count), int(n->b / n->count))
                             : Rgb(0, 0, 0));
      return;
    }
    for (const auto& c : n->child)
      Collect(c.get(), out);
  }

  int max_, bits_, leaves_ = 0;
  std::unique_ptr<Node> root_;
  std::vector<Node*> stacks_[8];
};

} // namespace

TEST(Octree, ThreeColoursGiveExactlyThoseInTreeOrder) {
  Row row;
  row.Add(Rgb(255, 0, 0), 3);
  row.Add(Rgb(0, 255, 0));
  row.Add(Rgb(0, 0, 255), 2);
  row.Add(Rgb(255, 0, 0));
  Entries palette = Of(OctreePalette(row.Width(), 1, row.Source(), 256, 8, false));
  ASSERT_EQ(palette.size(), 256u);
  // Child numbers at the first level: blue 1, green 2, red 4.
  EXPECT_EQ(palette[0], Rgb(0, 0, 255));
  EXPECT_EQ(palette[1], Rgb(0, 255, 0));
  EXPECT_EQ(palette[2], Rgb(255, 0, 0));
  for (size_t i = 3; i < palette.size(); ++i)
    EXPECT_EQ(palette[i], Rgb(0, 0, 0));
}

TEST(Octree, DeepestLevelMergesFirstEvenWithoutGain) {
  // Reds 0 and 1 share a level-7 node, 2 has its own. With 2 colours the third leaf forces merges
  // at level 7: first the node of 2 (one child, nothing gained), then that of 0 and 1.
  TColorQuantizer q(2, 8);
  for (int r : {0, 1, 2})
    q.AddColor(r, 0, 0);
  EXPECT_EQ(q.LeafCount(), 2);
  EXPECT_EQ(q.GetColorTable(), Reds({0, 2}));
}

TEST(Octree, SeventeenColoursIntoSixteen) {
  // Reds 0..16: pairs {0,1} .. {14,15} share level-7 nodes, 16 has its own. The 17th leaf merges
  // the node of 16 (no gain), then the most recent pair, {14,15}, into 14.
  TColorQuantizer q(16, 8);
  for (int r = 0; r <= 16; ++r)
    q.AddColor(r, 0, 0);
  EXPECT_EQ(q.LeafCount(), 16);
  EXPECT_EQ(q.GetColorTable(), Reds({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16}));
}

TEST(Octree, MostRecentNodeOfALevelMergesFirstAndMergedLeavesTakeLaterColours) {
  // Depth 4, 4 colours; reds by their top four bits: 0 = 0000, 16 = 0001, 64 = 0100, 128 = 1000,
  // 144 = 1001. Level-3 nodes are created for 0 (C), 64 (E), 128 (H); the fifth leaf (144 under
  // H) merges H, the last pushed, though C also has two children.
  TColorQuantizer q(4, 4);
  for (int r : {0, 16, 64, 128, 144})
    q.AddColor(r, 0, 0);
  EXPECT_EQ(q.GetColorTable(), Reds({0, 16, 64, 136}));
  // 192 = 1100 adds J at level 3; the merges then take J (one child), E (one child) and C.
  q.AddColor(192, 0, 0);
  EXPECT_EQ(q.GetColorTable(), Reds({8, 64, 136, 192}));
  // C is a leaf now and takes 8 and 24 (paths 0000 and 0001) without a new leaf.
  q.AddColor(8, 0, 0);
  q.AddColor(24, 0, 0);
  EXPECT_EQ(q.LeafCount(), 4);
  EXPECT_EQ(q.GetColorTable(), Reds({12, 64, 136, 192})); // (0 + 16 + 8 + 24) / 4
}

TEST(Octree, ManyColoursMatchTheModel) {
  // 300 distinct colours with different pixel counts, in a scattered order.
  Row row;
  std::set<std::tuple<int, int, int>> seen;
  for (int i = 0; i < 300; ++i) {
    TPaletteEntry c = Rgb((i * 37) & 255, (i * 91 + 13) & 255, (i * 53 + i / 7) & 255);
    seen.insert({c.Red, c.Green, c.Blue});
    row.Add(c, 1 + i % 5);
  }
  ASSERT_EQ(seen.size(), 300u);
  for (int colors : {256, 16, 1}) {
    ModelOctree model(colors, 8);
    for (size_t i = 0; i < row.bgr.size(); i += 3)
      model.Add(Rgb(row.bgr[i + 2], row.bgr[i + 1], row.bgr[i]));
    Entries expected = model.Table();
    ASSERT_LE(expected.size(), static_cast<size_t>(colors));
    expected.resize(colors);
    EXPECT_EQ(Of(OctreePalette(row.Width(), 1, row.Source(), colors, 8, false)), expected)
        << colors;
  }
  // With the system colours: 236 quantized colours between the system colours' two halves.
  ModelOctree model(236, 8);
  for (size_t i = 0; i < row.bgr.size(); i += 3)
    model.Add(Rgb(row.bgr[i + 2], row.bgr[i + 1], row.bgr[i]));
  Entries table = model.Table();
  Entries palette = Of(OctreePalette(row.Width(), 1, row.Source(), 16, 8, true));
  ASSERT_EQ(palette.size(), 256u);
  ASSERT_EQ(table.size(), 236u);
  const Entries& system = Of(SystemPalette20());
  EXPECT_EQ(Entries(palette.begin(), palette.begin() + 10),
            Entries(system.begin(), system.begin() + 10));
  EXPECT_EQ(Entries(palette.begin() + 10, palette.begin() + 246), table);
  EXPECT_EQ(Entries(palette.begin() + 246, palette.end()),
            Entries(system.begin() + 10, system.end()));
}

TEST(Octree, ShallowTreesAverageWholeRanges) {
  // Depth 1 files colours by their top bits only: two leaves, the means of each half.
  TColorQuantizer q(8, 1);
  for (int r : {10, 20, 200, 250})
    q.AddColor(r, 5, 5);
  EXPECT_EQ(q.GetColorTable(), (Entries{Rgb(15, 5, 5), Rgb(225, 5, 5)}));
  // Depths outside 1..8 are brought into range rather than reading outside the tree.
  TColorQuantizer deep(8, 12), none(8, 0);
  deep.AddColor(1, 2, 3);
  none.AddColor(1, 2, 3);
  EXPECT_EQ(deep.GetColorTable(), Entries{Rgb(1, 2, 3)});
  EXPECT_EQ(none.GetColorTable(), Entries{Rgb(1, 2, 3)});
}

TEST(Octree, DegenerateRequests) {
  Row row;
  row.Add(Rgb(10, 20, 30));
  row.Add(Rgb(30, 40, 50));
  EXPECT_TRUE(Of(OctreePalette(row.Width(), 1, row.Source(), 0, 8, false)).empty());
  EXPECT_TRUE(Of(OctreePalette(row.Width(), 1, row.Source(), -3, 8, false)).empty());
  EXPECT_EQ(Of(OctreePalette(row.Width(), 1, row.Source(), 1, 8, false)), Entries{Rgb(20, 30, 40)});
  EXPECT_EQ(Of(OctreePalette(row.Width(), 1, row.Source(), 1000, 8, false)).size(), 256u);
  // No pixels: the asked number of black entries.
  EXPECT_EQ(Of(OctreePalette(0, 0, row.Source(), 4, 8, false)), Entries(4));
  // A quantizer that may keep no colour still keeps the one leaf it cannot merge away.
  TColorQuantizer q(0, 8);
  q.AddColor(1, 1, 1);
  q.AddColor(3, 3, 3);
  EXPECT_EQ(q.GetColorTable(), Entries{Rgb(2, 2, 2)});
}

TEST(Octree, LargeLeavesKeepTheirMean) {
  // 4096 x 4200 pixels of white in one leaf: the sums pass 2^32.
  std::vector<uint8_t> white(3 * 4096, 255);
  Entries palette = Of(OctreePalette(
      4096, 4200, [&](int) { return white.data(); }, 2, 8, false));
  EXPECT_EQ(palette, (Entries{Rgb(255, 255, 255), Rgb(0, 0, 0)}));
}
