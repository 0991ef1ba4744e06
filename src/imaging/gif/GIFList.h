#pragma once
// Owned lists of GIF items that all belong to one image: the frames of an image and the extensions
// of a frame.

#include <cstddef>
#include <memory>
#include <vector>

namespace kestrel {

class TGIFImage;
class TGIFSubImage;
class TGIFExtension;

template <class T> class TGIFList {
public:
  explicit TGIFList(TGIFImage* image = nullptr) : image_(image) {}
  TGIFList(const TGIFList&) = delete;
  TGIFList& operator=(const TGIFList&) = delete;

  TGIFImage* Image() const { return image_; }
  // Moves the list and its items to another image.
  void SetImage(TGIFImage* image) {
    image_ = image;
    for (auto& item : items_)
      item->SetImage(image);
  }

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  T& operator[](int index) const { return *items_.at(static_cast<size_t>(index)); }
  T& First() const { return *items_.front(); }

  // Takes item, makes it belong to this list's image and returns its index.
  int Add(std::unique_ptr<T> item) {
    item->SetImage(image_);
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  TGIFImage* image_;
  std::vector<std::unique_ptr<T>> items_;
};

// The frames of an image, in file order.
class TGIFImageList : public TGIFList<TGIFSubImage> {
public:
  using TGIFList::TGIFList;
};

// The extensions in front of a frame, in file order.
class TGIFExtensionList : public TGIFList<TGIFExtension> {
public:
  using TGIFList::TGIFList;
};

} // namespace kestrel
