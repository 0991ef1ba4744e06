#include "processing/colour/ColorQuantizer.h"

#include <algorithm>

namespace kestrel {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : nodes_(1), maxColors_(maxColors), colorBits_(std::clamp(colorBits, 1, 8)),
      cacheLevel_(std::min(colorBits_, 4)), cache_(size_t(1) << (3 * cacheLevel_), 0) {}

uint32_t TColorQuantizer::NewNode(int level) {
  uint32_t n;
  if (!free_.empty()) {
    n = free_.back();
    free_.pop_back();
    nodes_[n] = TOctreeNode{};
  } else {
    n = static_cast<uint32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  TOctreeNode& node = nodes_[n];
  node.Level = static_cast<uint8_t>(level);
  if (level == colorBits_) {
    node.Leaf = true;
    ++leafCount_;
  } else {
    node.Next = reducible_[level];
    reducible_[level] = n;
  }
  return n;
}

void TColorQuantizer::FreeChildren(uint32_t node) {
  for (uint32_t& child : nodes_[node].Children) {
    if (child) {
      FreeChildren(child);
      free_.push_back(child);
      child = 0;
    }
  }
}

uint32_t TColorQuantizer::Descend(uint32_t node, uint8_t red, uint8_t green, uint8_t blue,
                                  int level) {
  while (!nodes_[node].Leaf && nodes_[node].Level < level) {
    int shift = 7 - nodes_[node].Level;
    int index = ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
    uint32_t child = nodes_[node].Children[index];
    if (!child) {
      child = NewNode(nodes_[node].Level + 1); // may move the pool
      nodes_[node].Children[index] = child;
    }
    node = child;
  }
  return node;
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
  if (!root_) root_ = NewNode(0);
  int leavesBefore = leafCount_;
  int shift = 8 - cacheLevel_;
  size_t key = size_t(red >> shift) << (2 * cacheLevel_) | size_t(green >> shift) << cacheLevel_ |
               size_t(blue >> shift);
  uint32_t node = cache_[key];
  if (!node) node = cache_[key] = Descend(root_, red, green, blue, cacheLevel_);
  node = Descend(node, red, green, blue, colorBits_);
  TOctreeNode& leaf = nodes_[node];
  ++leaf.PixelCount;
  leaf.RedSum += red;
  leaf.GreenSum += green;
  leaf.BlueSum += blue;
  if (leafCount_ != leavesBefore)
    while (leafCount_ > maxColors_ && Reduce()) {
    }
}

void TColorQuantizer::AddRow(const uint8_t* bgr, int width) {
  for (int x = 0; x < width; ++x, bgr += 3)
    AddColor(bgr[2], bgr[1], bgr[0]);
}

bool TColorQuantizer::Reduce() {
  int level = colorBits_ - 1;
  while (level > 0 && !reducible_[level])
    --level;
  uint32_t n = reducible_[level];
  if (!n) return false;
  TOctreeNode& node = nodes_[n];
  reducible_[level] = node.Next;
  node.Next = 0;
  int children = 0;
  for (uint32_t child : node.Children) {
    if (child) {
      const TOctreeNode& c = nodes_[child];
      node.PixelCount += c.PixelCount;
      node.RedSum += c.RedSum;
      node.GreenSum += c.GreenSum;
      node.BlueSum += c.BlueSum;
      ++children;
    }
  }
  FreeChildren(n);
  node.Leaf = true;
  leafCount_ += 1 - children;
  if (level < cacheLevel_) std::fill(cache_.begin(), cache_.end(), 0);
  return true;
}

void TColorQuantizer::Collect(uint32_t n, std::vector<TPaletteEntry>& table) const {
  const TOctreeNode& node = nodes_[n];
  if (node.Leaf) {
    TPaletteEntry e;
    if (node.PixelCount) {
      e.Red = static_cast<uint8_t>(node.RedSum / node.PixelCount);
      e.Green = static_cast<uint8_t>(node.GreenSum / node.PixelCount);
      e.Blue = static_cast<uint8_t>(node.BlueSum / node.PixelCount);
    }
    table.push_back(e);
    return;
  }
  for (uint32_t child : node.Children)
    if (child) Collect(child, table);
}

std::vector<TPaletteEntry> TColorQuantizer::GetColorTable() const {
  std::vector<TPaletteEntry> table;
  if (root_) Collect(root_, table);
  return table;
}

} // namespace kestrel
