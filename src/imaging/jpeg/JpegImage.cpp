#include "imaging/jpeg/JpegImage.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegDecoder.h"
#include "imaging/jpeg/JpegEncoder.h"
#include "platform/display/ScreenDepth.h"

#include <algorithm>

namespace kestrel {

namespace {

// The rest of stream, within the memory limit.
std::vector<uint8_t> ReadRest(TStream& stream) {
  const int64_t count = std::max<int64_t>(stream.Remaining(), 0);
  if (static_cast<uint64_t>(count) > ImageLimits::MaxBytes())
    throw EJpegError("JPEG file exceeds the memory limit");
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  stream.ReadBuffer(bytes.data(), count);
  return bytes;
}

} // namespace

TJPEGImage::TJPEGImage() : pixelFormat_(DefaultPixelFormat()) {}

TJPEGImage::~TJPEGImage() = default;

std::unique_ptr<TGraphic> TJPEGImage::NewInstance() const {
  return std::make_unique<TJPEGImage>();
}

TJPEGPixelFormat TJPEGImage::DefaultPixelFormat() {
  return ScreenDepth() <= 8 ? jf8Bit : jf24Bit;
}

void TJPEGImage::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    data_.clear();
    header_ = {};
    bitmap_.reset();
    bitmapIsSource_ = false;
    warning_.clear();
    Changed();
    return;
  }
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
    data_ = jpeg->data_;
    header_ = jpeg->header_;
    bitmap_.reset();
    if (jpeg->bitmap_) {
      bitmap_ = std::make_unique<TBitmap>();
      bitmap_->Assign(jpeg->bitmap_.get());
    }
    bitmapIsSource_ = jpeg->bitmapIsSource_;
    warning_ = jpeg->warning_;
    quality_ = jpeg->quality_;
    progressive_ = jpeg->progressive_;
    performance_ = jpeg->performance_;
    pixelFormat_ = jpeg->pixelFormat_;
    grayscale_ = jpeg->grayscale_;
    scale_ = jpeg->scale_;
    Changed();
    return;
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->Assign(source); // a bitmap is copied; other graphics draw themselves into it
  data_.clear();
  header_ = {};
  bitmap_ = std::move(bitmap);
  bitmapIsSource_ = true;
  warning_.clear();
  Changed();
}

void TJPEGImage::AssignTo(TPersistent& target) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&target)) {
    bitmap->Assign(&const_cast<TJPEGImage*>(this)->Bitmap());
    return;
  }
  TGraphic::AssignTo(target);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  canvas.StretchDraw(rect, const_cast<TBitmap&>(Bitmap()));
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> data = ReadRest(stream);
  const TJpegHeader header = ReadJpegHeader(data, scale_);
  data_ = std::move(data);
  header_ = header;
  progressive_ = header.Progressive;
  bitmap_.reset();
  bitmapIsSource_ = false;
  warning_.clear();
  Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) {
  if (data_.empty()) Compress();
  stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

TImageInfo TJPEGImage::Info() const {
  TImageInfo info = TGraphic::Info();
  if (bitmap_) {
    info.BitsPerPixel = bitmap_->BitsPerPixel();
    info.PaletteEntries = bitmap_->OwnPalette().Count();
  } else if (!data_.empty()) {
    const bool eightBits =
        header_.Grey || (!header_.Cmyk && (grayscale_ || pixelFormat_ == jf8Bit));
    info.BitsPerPixel = eightBits ? 8 : 24;
    info.PaletteEntries = eightBits ? 256 : 0;
  }
  return info;
}

TImageInfo TJPEGImage::ReadInfo(TStream& stream) const {
  TJPEGImage picture;
  picture.pixelFormat_ = pixelFormat_;
  picture.grayscale_ = grayscale_;
  picture.scale_ = scale_;
  picture.LoadFromStream(stream);
  return picture.Info();
}

void TJPEGImage::SetCompressionQuality(int quality) {
  quality = std::clamp(quality, 1, 100);
  if (quality == quality_) return;
  quality_ = quality;
  EncoderOptionChanged();
}

void TJPEGImage::SetProgressiveEncoding(bool progressive) {
  if (progressive == progressive_) return;
  progressive_ = progressive;
  EncoderOptionChanged();
}

void TJPEGImage::SetPerformance(TJPEGPerformance performance) {
  if (performance == performance_) return;
  performance_ = performance;
  DecoderOptionChanged();
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat format) {
  if (format == pixelFormat_) return;
  pixelFormat_ = format;
  DecoderOptionChanged();
}

void TJPEGImage::SetGrayscale(bool grayscale) {
  if (grayscale == grayscale_) return;
  grayscale_ = grayscale;
  DecoderOptionChanged();
}

void TJPEGImage::SetScale(TJPEGScale scale) {
  if (scale == scale_) return;
  scale_ = scale;
  DecoderOptionChanged();
}

void TJPEGImage::DecoderOptionChanged() {
  // A source bitmap is the picture itself: nothing to decode again.
  if (!bitmapIsSource_ && !data_.empty()) {
    bitmap_.reset();
    header_ = ReadJpegHeader(data_, scale_);
  }
  Changed();
}

void TJPEGImage::EncoderOptionChanged() {
  if (bitmapIsSource_) {
    data_.clear(); // encoded with the old options: the next save encodes again
    header_ = {};
  } else {
    bitmap_.reset();
  }
  Changed();
}

void TJPEGImage::Compress() {
  DIBNeeded();
  if (!bitmap_ || bitmap_->Empty()) throw EJpegError("Cannot compress an empty image");
  data_ = EncodeJpeg(*bitmap_, {quality_, progressive_, performance_, grayscale_});
  header_ = ReadJpegHeader(data_, jsFullSize);
  bitmapIsSource_ = true;
}

void TJPEGImage::DIBNeeded() {
  if (bitmap_ || data_.empty()) return;
  auto bitmap = std::make_unique<TBitmap>();
  warning_ = DecodeJpeg(data_, {scale_, pixelFormat_, grayscale_, performance_}, *bitmap);
  bitmap_ = std::move(bitmap);
}

const TBitmap& TJPEGImage::Bitmap() {
  DIBNeeded();
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return *bitmap_;
}

int TJPEGImage::ImageWidth() const {
  return bitmapIsSource_ && bitmap_ ? bitmap_->Width() : header_.Width;
}

int TJPEGImage::ImageHeight() const {
  return bitmapIsSource_ && bitmap_ ? bitmap_->Height() : header_.Height;
}

bool TJPEGImage::GetEmpty() const {
  return data_.empty() && (!bitmap_ || bitmap_->Empty());
}

int TJPEGImage::GetWidth() const {
  return bitmap_ ? bitmap_->Width() : header_.OutputWidth;
}

int TJPEGImage::GetHeight() const {
  return bitmap_ ? bitmap_->Height() : header_.OutputHeight;
}

void TJPEGImage::DoSetWidth(int) {
  throw EInvalidGraphicOperation("The size of a JPEG image cannot be changed");
}

void TJPEGImage::DoSetHeight(int) {
  throw EInvalidGraphicOperation("The size of a JPEG image cannot be changed");
}

} // namespace kestrel
