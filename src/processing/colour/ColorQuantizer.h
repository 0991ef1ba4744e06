#pragma once
// Octree colour quantizer: every colour is filed under the tree path of its bits (one level per
// bit, most significant first); when there are more leaves than wanted colours, the most recently
// created node of the deepest level that still has children is merged into one leaf. The palette is
// the mean colour of each leaf, in depth-first order.

#include "imaging/core/Palette.h"

#include <vector>

#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {

// A tree node; nodes live in the quantizer's pool and refer to each other by pool index (0 = none).
struct TOctreeNode {
  std::array<uint32_t, 8> Children{};
  uint32_t Next = 0; // next node in the reducible list of its level
  uint8_t Level = 0;
  bool Leaf = false;
  // 64-bit so that a leaf holding a whole large picture cannot overflow.
  uint64_t PixelCount = 0;
  uint64_t RedSum = 0;
  uint64_t GreenSum = 0;
  uint64_t BlueSum = 0;
};

class TColorQuantizer {
public:
  // maxColors: the most leaves kept (at least 1 is kept in any case); colorBits: the tree depth,
  // 1..8 (values outside are brought into that range).
  TColorQuantizer(int maxColors, int colorBits);

  void AddColor(uint8_t red, uint8_t green, uint8_t blue);
  // Adds the width pixels of a 24-bit blue-green-red row, left to right.
  void AddRow(const uint8_t* bgr, int width);

  int LeafCount() const { return leafCount_; }
  // The leaves' mean colours (black for a leaf without pixels), depth first, children 0 to 7.
  std::vector<TPaletteEntry> GetColorTable() const;

private:
  uint32_t NewNode(int level);
  void FreeChildren(uint32_t node);
  // Descends from node along the colour's path, creating missing nodes, until a leaf or the level.
  uint32_t Descend(uint32_t node, uint8_t red, uint8_t green, uint8_t blue, int level);
  // Merges one node into a leaf; false when nothing is left to merge.
  bool Reduce();
  void Collect(uint32_t node, std::vector<TPaletteEntry>& table) const;

  std::vector<TOctreeNode> nodes_; // index 0 is the null node
  std::vector<uint32_t> free_;
  std::array<uint32_t, 8> reducible_{};
  uint32_t root_ = 0;
  int leafCount_ = 0;
  int maxColors_;
  int colorBits_;
  // Node reached by the first cacheLevel_ bits of each channel (or the leaf above it); cleared
  // whenever a merge above that level may have freed such a node.
  int cacheLevel_;
  std::vector<uint32_t> cache_;
};

} // namespace kestrel
