#pragma once
// TIcon: the framework's icon, registered for ".ico" ("Icons"). It reads every image of an icon
// file (see IcoFile.h) and shows the largest, deepest one; drawing is transparent, taking the
// image's alpha or AND mask. Saving writes the file as it was read, or the single image made by
// SetImages.

#include "imaging/core/Graphic.h"
#include "imaging/icon/IcoFile.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace kestrel {

class TBitmap;

class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;

  const char* ClassName() const override { return "TIcon"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // A TIcon is copied; null empties the icon; anything else is asked to AssignTo this icon.
  void Assign(const TPersistent* source) override;

  // The shown image stretched into rect; transparent pixels leave the canvas alone and partly
  // transparent ones are blended.
  void Draw(TCanvas& canvas, const TRect& rect) override;

  // Reads the rest of the stream as an icon file; raises EInvalidGraphic when it is damaged (the
  // icon is left as it was).
  void LoadFromStream(TStream& stream) override;
  // Raises EInvalidGraphic "Cannot write an empty icon" when there is nothing to write.
  void SaveToStream(TStream& stream) override;
  TImageInfo Info() const override;
  TImageInfo ReadInfo(TStream& stream) const override;

  // Makes the icon one image from a colour bitmap and a mask of the same size (pixels of the mask
  // that are not black are transparent), as an icon built from two bitmaps. At most 256 x 256.
  void SetImages(const TBitmap& color, const TBitmap& mask);

  // Every image of the file, in file order, and the one shown (-1 when empty).
  const std::vector<TIcoEntry>& Entries() const { return entries_; }
  int ShownEntry() const { return shown_; }
  // The shown image with its transparency (QImage::Format_ARGB32; null when empty).
  const QImage& Image() const { return image_; }

protected:
  bool GetEmpty() const override { return image_.isNull(); }
  int GetWidth() const override { return image_.width(); }
  int GetHeight() const override { return image_.height(); }
  // Icons are always drawn transparently.
  bool GetTransparent() const override { return true; }
  void DoSetTransparent(bool) override {}
  // The size is the image's own: both raise EInvalidGraphicOperation.
  void DoSetWidth(int width) override;
  void DoSetHeight(int height) override;

private:
  void LoadFromBytes(std::vector<uint8_t> bytes);

  std::vector<uint8_t> file_;
  std::vector<TIcoEntry> entries_;
  int shown_ = -1;
  QImage image_;
};

} // namespace kestrel
