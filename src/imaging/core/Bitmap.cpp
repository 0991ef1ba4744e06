#include "imaging/core/Bitmap.h"

#include "imaging/bmp/BmpFile.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/StorageSurface.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace kestrel {

int PixelFormatBits(TPixelFormat format) {
  switch (format) {
  case pf1bit:
    return 1;
  case pf4bit:
    return 4;
  case pf8bit:
    return 8;
  case pf15bit:
    return 15;
  case pf16bit:
    return 16;
  case pf24bit:
    return 24;
  case pfDevice:
  case pf32bit:
    return 32;
  default:
    return 0;
  }
}

TPixelFormat PixelFormatOfBits(int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
    return pf1bit;
  case 4:
    return pf4bit;
  case 8:
    return pf8bit;
  case 15:
    return pf15bit;
  case 16:
    return pf16bit;
  case 24:
    return pf24bit;
  case 32:
    return pf32bit;
  default:
    return pfCustom;
  }
}

TPixelFormat PixelFormatOfDepth(int bitsPerPixel) {
  if (bitsPerPixel >= 2 && bitsPerPixel <= 4) return pf4bit;
  if (bitsPerPixel >= 5 && bitsPerPixel <= 8) return pf8bit;
  const TPixelFormat exact = PixelFormatOfBits(bitsPerPixel);
  return exact == pfCustom ? pfDevice : exact;
}

namespace {

bool IsPaletteFormat(TPixelFormat format) {
  return format == pf1bit || format == pf4bit || format == pf8bit;
}

// The palette a palette format gets when it has none that fits.
const TPalette& DefaultPaletteOf(TPixelFormat format) {
  static const TPalette colors256 = DefaultDibPalette(ifColor256)->ToPalette();
  switch (format) {
  case pf1bit:
    return BlackWhitePalette();
  case pf4bit:
    return SystemPalette16();
  default:
    return colors256;
  }
}

// The palette a bitmap of format keeps when given palette.
TPalette FittingPalette(TPixelFormat format, const TPalette& palette) {
  if (!IsPaletteFormat(format)) return palette;
  const int size = 1 << PixelFormatBits(format);
  if (palette.IsNull() || palette.Count() > size) return DefaultPaletteOf(format);
  return palette;
}

QList<QRgb> QtColorTable(const TColorTable& table, int entries) {
  QList<QRgb> colors(entries);
  for (int i = 0; i < entries; ++i)
    colors[i] = 0xFF000000u | table.Colors[i];
  return colors;
}

} // namespace

// The canvas's view of the bitmap.
class TBitmap::Surface : public TStorageSurface {
public:
  explicit Surface(TBitmap& bitmap) : TStorageSurface(bitmap.storage_, bitmap.table_), b_(bitmap) {}
  void SurfaceChanged() override { b_.Changed(); }

protected:
  TRgbToPaletteConverter& Converter() override { return b_.Converter(); }

private:
  TBitmap& b_;
};

TBitmap::TBitmap()
    : converter_(std::make_unique<TRgbToPaletteConverter>(dibPalette_)),
      surface_(std::make_unique<Surface>(*this)), canvas_(std::make_unique<TCanvas>(*surface_)) {
  PaletteChanged();
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : TBitmap() {
  SetPixelFormat(format);
  SetSize(width, height);
}

TBitmap::~TBitmap() = default;

std::unique_ptr<TGraphic> TBitmap::NewInstance() const {
  return std::make_unique<TBitmap>();
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    storage_.Release();
    Changed();
    return;
  }
  if (const auto* other = dynamic_cast<const TBitmap*>(source)) {
    // The pixels are shared until either bitmap is written: a copy for display costs nothing.
    TPixelStorage copy;
    copy.ShareFrom(other->storage_);
    ignorePalette_ = other->ignorePalette_;
    transparentColor_ = other->transparentColor_;
    transparentMode_ = other->transparentMode_;
    xPelsPerMeter_ = other->xPelsPerMeter_;
    yPelsPerMeter_ = other->yPelsPerMeter_;
    TGraphic::DoSetTransparent(other->Transparent());
    ReplaceStorage(std::move(copy), other->format_, other->palette_);
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::TooLarge(int width, int height) const {
  throw EInvalidGraphic(
      formatMessage("Bitmap of %d x %d pixels exceeds the memory limit", width, height));
}

TRgbToPaletteConverter& TBitmap::Converter() {
  return *converter_;
}

void TBitmap::PaletteChanged() {
  table_ = TColorTable::From(palette_);
  dibPalette_ = TDibPalette::FromPalette(palette_);
  converter_->Reset();
}

void TBitmap::ReplaceStorage(TPixelStorage&& storage, TPixelFormat format,
                             const TPalette& palette) {
  storage_ = std::move(storage);
  format_ = format;
  palette_ = FittingPalette(format, palette);
  PaletteChanged();
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  if (format == format_) return;
  if (storage_.Empty()) {
    format_ = format;
    palette_ = FittingPalette(format, palette_);
    PaletteChanged();
    Changed();
    return;
  }
  Reformat(format, palette_);
}

void TBitmap::Reformat(TPixelFormat format, const TPalette& palette) {
  const TPalette target = FittingPalette(format, palette);
  const int bits = PixelFormatBits(format);
  const int w = storage_.Width(), h = storage_.Height();
  TPixelStorage converted;
  if (!converted.Allocate(w, h, bits, TRowOrder::TopDown)) TooLarge(w, h);
  const bool keepIndices =
      IsPaletteFormat(format_) && IsPaletteFormat(format) && target == palette_;
  TDibPalette targetDib = TDibPalette::FromPalette(target);
  TRgbToPaletteConverter targetConverter(targetDib);
  std::vector<TPixelColor> colors(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = std::as_const(storage_).Row(y);
    uint8_t* to = converted.Row(y);
    if (keepIndices) {
      for (int x = 0; x < w; ++x)
        PixelRows::SetIndex(to, x, bits, PixelRows::GetIndex(from, x, storage_.BitsPerPixel()));
      continue;
    }
    PixelRows::Read(from, storage_.BitsPerPixel(), 0, w, table_, colors.data());
    PixelRows::Write(to, bits, 0, w, colors.data(), &targetConverter);
  }
  ReplaceStorage(std::move(converted), format, target);
}

void TBitmap::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  if (width <= 0 || height <= 0) {
    storage_.Release();
    Changed();
    return;
  }
  const int bits = PixelFormatBits(format_);
  TPixelStorage resized;
  if (!resized.Allocate(width, height, bits, TRowOrder::TopDown)) TooLarge(width, height);
  // The brush colour as this format stores it, in every pixel.
  const TPixelColor brush = PixelColorOf(ColorToRgb(canvas_->Brush.Color));
  std::vector<TPixelColor> line(static_cast<size_t>(width), brush);
  PixelRows::Write(resized.Row(0), bits, 0, width, line.data(), &Converter());
  for (int y = 1; y < height; ++y)
    std::memcpy(resized.Row(y), resized.Row(0), static_cast<size_t>(resized.BytesPerLine()));
  const int keepW = std::min(width, Width()), keepH = std::min(height, Height());
  for (int y = 0; y < keepH; ++y) {
    if (bits >= 8) {
      std::memcpy(resized.Row(y), std::as_const(storage_).Row(y),
                  static_cast<size_t>(keepW) * ((bits + 7) / 8));
    } else {
      const uint8_t* from = std::as_const(storage_).Row(y);
      for (int x = 0; x < keepW; ++x)
        PixelRows::SetIndex(resized.Row(y), x, bits, PixelRows::GetIndex(from, x, bits));
    }
  }
  storage_ = std::move(resized);
  Changed();
}

void TBitmap::NewImage(int width, int height, TPixelFormat format, const TPalette& palette) {
  if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  TPixelStorage fresh;
  if (!fresh.Allocate(width, height, PixelFormatBits(format), TRowOrder::TopDown))
    TooLarge(width, height);
  ReplaceStorage(std::move(fresh), format, palette);
}

void TBitmap::AdoptPixels(TPixelStorage&& storage, TPixelFormat format, const TPalette& palette) {
  if (format == pfCustom || storage.BitsPerPixel() != PixelFormatBits(format))
    throw EInvalidGraphic("Invalid pixel format");
  storage.SetOrder(TRowOrder::TopDown);
  ReplaceStorage(std::move(storage), format, palette);
}

uint8_t* TBitmap::ScanLine(int row) {
  if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return storage_.Row(row);
}

const uint8_t* TBitmap::ScanLine(int row) const {
  if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return storage_.Row(row);
}

void TBitmap::SetIgnorePalette(bool value) {
  if (value == ignorePalette_) return;
  ignorePalette_ = value;
  Changed();
}

TPalette TBitmap::GetPalette() const {
  return ignorePalette_ ? TPalette() : palette_;
}

void TBitmap::DoSetPalette(const TPalette& palette) {
  if (IsPaletteFormat(format_) && !palette.IsNull() &&
      palette.Count() > (1 << PixelFormatBits(format_))) {
    TPalette cut = palette;
    cut.Resize(1 << PixelFormatBits(format_));
    palette_ = cut;
  } else {
    palette_ = FittingPalette(format_, palette);
  }
  PaletteChanged();
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (transparentMode_ == tmFixed) return transparentColor_;
  if (Empty()) return clDefault;
  return ColorOfPixel(PixelColor(0, Height() - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

QImage TBitmap::TransparencyMask() const {
  if (Empty()) return {};
  const TPixelColor key = surface_->Representable(PixelColorOf(ColorToRgb(TransparentColor())));
  QImage mask(Width(), Height(), QImage::Format_Mono);
  mask.setColorTable({0xFF000000u, 0xFFFFFFFFu});
  std::vector<TPixelColor> colors(static_cast<size_t>(Width()));
  for (int y = 0; y < Height(); ++y) {
    surface_->ReadPixels(0, y, Width(), colors.data());
    uint8_t* line = mask.scanLine(y);
    for (int x = 0; x < Width(); ++x)
      PixelRows::SetIndex(line, x, 1, colors[x] == key);
  }
  return mask;
}

void TBitmap::SetPelsPerMeter(int x, int y) {
  xPelsPerMeter_ = x;
  yPelsPerMeter_ = y;
}

QImage TBitmap::Image() const {
  if (Empty()) return {};
  const int bits = storage_.BitsPerPixel();
  if (bits == 4) {
    QImage copy(Width(), Height(), QImage::Format_Indexed8);
    copy.setColorTable(QtColorTable(table_, 16));
    for (int y = 0; y < Height(); ++y) {
      uint8_t* to = copy.scanLine(y);
      for (int x = 0; x < Width(); ++x)
        to[x] = static_cast<uint8_t>(PixelRows::GetIndex(storage_.Row(y), x, 4));
    }
    return copy;
  }
  // A view: the storage is ours and outlives the image as long as the bitmap keeps its layout.
  QImage view(const_cast<uint8_t*>(storage_.Bits()), Width(), Height(), BytesPerLine(),
              QtFormatOfDepth(bits));
  if (bits <= 8) view.setColorTable(QtColorTable(table_, 1 << bits));
  return view;
}

void TBitmap::LoadFromImage(const QImage& image) {
  if (image.isNull()) {
    Assign(nullptr);
    return;
  }
  QImage source = image;
  TPixelFormat format = pf32bit;
  TPalette palette;
  switch (image.format()) {
  case QImage::Format_Mono:
  case QImage::Format_MonoLSB:
    source = image.convertToFormat(QImage::Format_Mono);
    format = pf1bit;
    break;
  case QImage::Format_Indexed8:
    format = pf8bit;
    break;
  case QImage::Format_RGB555:
    format = pf15bit;
    break;
  case QImage::Format_RGB16:
    format = pf16bit;
    break;
  case QImage::Format_RGB888:
  case QImage::Format_BGR888:
    source = image.convertToFormat(QImage::Format_BGR888);
    format = pf24bit;
    break;
  default:
    // Alpha is dropped onto black: the premultiplied values are the composite.
    source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  if (format == pf1bit || format == pf8bit) {
    palette = TPalette::Black(std::min<int>(static_cast<int>(source.colorCount()), 256));
    for (int i = 0; i < palette.Count(); ++i)
      palette.SetColor(i, ColorOfPixel(source.color(i)));
  }
  TPixelStorage fresh;
  if (!fresh.Allocate(source.width(), source.height(), PixelFormatBits(format), TRowOrder::TopDown))
    TooLarge(source.width(), source.height());
  const size_t rowBytes = std::min<size_t>(static_cast<size_t>(fresh.BytesPerLine()),
                                           static_cast<size_t>(source.bytesPerLine()));
  for (int y = 0; y < source.height(); ++y) {
    std::memcpy(fresh.Row(y), source.constScanLine(y), rowBytes);
    if (format == pf32bit) {
      auto* p = reinterpret_cast<uint32_t*>(fresh.Row(y));
      for (int x = 0; x < source.width(); ++x)
        p[x] |= 0xFF000000u;
    }
  }
  ReplaceStorage(std::move(fresh), format, palette);
}

TPixelColor TBitmap::PixelColor(int x, int y) const {
  TPixelColor c = 0;
  PixelRows::Read(storage_.Row(y), storage_.BitsPerPixel(), x, 1, table_, &c);
  return c;
}

const TColorTable& TBitmap::ColorTable() const {
  return table_;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  std::optional<TPixelColor> key;
  if (Transparent()) key = surface_->Representable(PixelColorOf(ColorToRgb(TransparentColor())));
  canvas.StretchBlt(rect, *surface_, {0, 0, Width(), Height()}, key);
}

void TBitmap::LoadFromStream(TStream& stream) {
  ReadBmpFile(stream, *this);
}

void TBitmap::SaveToStream(TStream& stream) {
  WriteBmpFile(stream, *this);
}

void TBitmap::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                                      const TPalette& palette) {
  if (format != CF_BITMAP || !data.Bitmap)
    return TGraphic::LoadFromClipboardFormat(format, data, palette);
  Assign(data.Bitmap.get());
  if (!palette.IsNull() && !IsPaletteFormat(format_)) SetPalette(palette);
}

void TBitmap::SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                                    TPalette& palette) const {
  format = CF_BITMAP;
  auto copy = std::make_shared<TBitmap>();
  copy->Assign(this);
  data.Bitmap = std::move(copy);
  palette = GetPalette();
}

TImageInfo TBitmap::Info() const {
  TImageInfo info = TGraphic::Info();
  info.BitsPerPixel = BitsPerPixel();
  info.PaletteEntries = palette_.Count();
  return info;
}

TImageInfo TBitmap::ReadInfo(TStream& stream) const {
  const TBmpHeader header = ReadBmpHeader(stream);
  TImageInfo info;
  info.Width = header.Width;
  info.Height = header.Height;
  info.BitsPerPixel = header.BitCount;
  info.PaletteEntries = header.PaletteEntries;
  return info;
}

} // namespace kestrel
