#include "imaging/gif/GIFSubImage.h"

#include "imaging/core/BitmapReducer.h"
#include "imaging/core/Canvas.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFFrameCoder.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFProgress.h"
#include "imaging/gif/GIFStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kestrel {

namespace {

constexpr int kDescriptorSize = 10;
constexpr uint8_t kLocalTableFlag = 0x80;
constexpr uint8_t kSortedFlag = 0x20;
// Descriptor bits kept on writing a frame without a local table: interlace and the reserved bits.
constexpr uint8_t kKeptFlags = 0x58;
// Reduction codes of the colour reducer used here.
constexpr int kReduceWebCube = 6;
constexpr int kReduceCustomPalette = 9;
constexpr int kDitherFloydSteinberg = 1;
// Marks a pixel under the mask when frames are drawn transparently: no colour has the top byte
// set, so it never matches a real pixel.
constexpr TPixelColor kMasked = 0xFF000000u;

int PeekByte(TStream& stream) {
  uint8_t byte = 0;
  if (stream.Read(&byte, 1) != 1) return -1;
  stream.Seek(-1, TSeekOrigin::Current);
  return byte;
}

// A rendered frame as the canvas reads it, with the masked pixels marked.
class TFrameSource : public TImageSource {
public:
  TFrameSource(const TBitmap& bitmap, const TBitmap* mask) : bitmap_(bitmap), mask_(mask) {}
  int SourceWidth() const override { return bitmap_.Width(); }
  int SourceHeight() const override { return bitmap_.Height(); }
  void ReadPixels(int x0, int y, int count, TPixelColor* out) const override {
    PixelRows::Read(bitmap_.ScanLine(y), bitmap_.BitsPerPixel(), x0, count, bitmap_.ColorTable(),
                    out);
    if (!mask_) return;
    const uint8_t* row = mask_->ScanLine(y);
    for (int i = 0; i < count; ++i)
      if (PixelRows::GetIndex(row, x0 + i, 1)) out[i] = kMasked;
  }
  // Without a mask the stored indices can be copied as they are onto a bitmap of the same colours.
  const TPixelStorage* RawStorage() const override { return mask_ ? nullptr : &bitmap_.Storage(); }
  const TColorTable* RawColorTable() const override { return &bitmap_.ColorTable(); }

private:
  const TBitmap& bitmap_;
  const TBitmap* mask_;
};

// Restores the canvas's stretch mode when drawing is done.
class TStretchModeScope {
public:
  TStretchModeScope(TCanvas& canvas, TStretchMode mode)
      : canvas_(canvas), saved_(canvas.StretchMode) {
    canvas_.StretchMode = mode;
  }
  ~TStretchModeScope() { canvas_.StretchMode = saved_; }
  TStretchModeScope(const TStretchModeScope&) = delete;
  TStretchModeScope& operator=(const TStretchModeScope&) = delete;

private:
  TCanvas& canvas_;
  TStretchMode saved_;
};

} // namespace

TGIFSubImage::TGIFSubImage(TGIFImage* image)
    : TGIFItem(image), colorMap_(image), extensions_(image) {}

TGIFSubImage::TGIFSubImage(const TGIFSubImage& other)
    : TGIFItem(other), left_(other.left_), top_(other.top_), width_(other.width_),
      height_(other.height_), flags_(other.flags_), colorMap_(other.colorMap_),
      extensions_(other.Image()), pixels_(other.pixels_) {
  for (const auto& extension : other.extensions_)
    extensions_.Add(extension->Clone());
}

TGIFSubImage::~TGIFSubImage() = default;

void TGIFSubImage::SetImage(TGIFImage* image) {
  TGIFItem::SetImage(image);
  colorMap_.SetImage(image);
  extensions_.SetImage(image);
  FreeBitmap();
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height) {
  for (int v : {left, top, width, height})
    if (v < 0 || v > kMaxSide) throw GIFException("Invalid pixel coordinates");
  left_ = left;
  top_ = top;
  if (width != width_ || height != height_) {
    if (!ImageLimits::Fits(width, height, 8) && width > 0 && height > 0)
      throw GIFException("GIF frame exceeds the memory limit");
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  }
  Changed();
}

void TGIFSubImage::SetInterlaced(bool value) {
  flags_ = static_cast<uint8_t>(value ? flags_ | kInterlacedFlag : flags_ & ~kInterlacedFlag);
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const {
  if (!colorMap_.Empty() || !Image()) return colorMap_;
  return Image()->GlobalColorMap();
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const {
  for (const auto& extension : extensions_)
    if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(extension.get())) return control;
  return nullptr;
}

bool TGIFSubImage::Transparent() const {
  const TGIFGraphicControlExtension* control = GraphicControlExtension();
  return control && control->Transparent;
}

int TGIFSubImage::TransparentColorIndex() const {
  return Transparent() ? GraphicControlExtension()->TransparentColorIndex : -1;
}

uint8_t* TGIFSubImage::ScanLine(int y) {
  return const_cast<uint8_t*>(std::as_const(*this).ScanLine(y));
}

const uint8_t* TGIFSubImage::ScanLine(int y) const {
  if (Empty()) throw GIFException("Image is empty");
  if (y < 0 || y >= height_) throw GIFException("Invalid pixel coordinates");
  return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
}

uint8_t TGIFSubImage::Pixel(int x, int y) const {
  const uint8_t* row = ScanLine(y);
  if (x < 0 || x >= width_) throw GIFException("Invalid pixel coordinates");
  return row[x];
}

void TGIFSubImage::SetPixel(int x, int y, uint8_t index) {
  uint8_t* row = ScanLine(y);
  if (x < 0 || x >= width_) throw GIFException("Invalid pixel coordinates");
  row[x] = index;
  FreeBitmap();
}

TGIFVersion TGIFSubImage::Version() const {
  if (colorMap_.Optimized() || !extensions_.Empty()) return TGIFVersion::GIF89a;
  return TGIFVersion::GIF87a;
}

// Loading.

void TGIFSubImage::Load(TStream& stream, bool pixels) {
  left_ = top_ = width_ = height_ = 0;
  flags_ = 0;
  pixels_.clear();
  extensions_.Clear();
  colorMap_.Clear();
  FreeBitmap();
  LoadExtensions(stream);
  if (!LoadDescriptor(stream)) return;
  if (flags_ & kLocalTableFlag) {
    colorMap_.LoadEntries(stream, 2 << (flags_ & 7));
    colorMap_.SetOptimized((flags_ & kSortedFlag) != 0);
  }
  CheckTransparentIndex();
  if (pixels)
    LoadPixels(stream);
  else
    SkipPixels(stream);
}

void TGIFSubImage::LoadExtensions(TStream& stream) {
  for (;;) {
    const int next = PeekByte(stream);
    if (next < 0 || next == kSeparator || next == TGIFTrailer::kTrailer) return;
    if (next != TGIFExtension::kIntroducer) {
      Warning(TGIFSeverity::Warning, "Invalid extension introducer");
      return;
    }
    uint8_t head[2] = {};
    if (stream.Read(head, 2) != 2) {
      Warning(TGIFSeverity::Warning, "Premature end of data");
      return;
    }
    std::unique_ptr<TGIFExtension> extension = TGIFExtension::Create(head[1], stream);
    if (!extension) {
      // The blocks are framed, so a kind we do not know can be stepped over whole.
      Warning(TGIFSeverity::Warning, "Unknown extension type");
      ReadGIFBlocks(stream, [this](const std::string& m) { Warning(TGIFSeverity::Warning, m); });
      continue;
    }
    stream.Seek(-2, TSeekOrigin::Current);
    extension->SetImage(Image());
    extension->LoadFromStream(stream);
    if (dynamic_cast<TGIFGraphicControlExtension*>(extension.get()) && GraphicControlExtension())
      Warning(TGIFSeverity::Warning, "Frame contains multiple Graphic Control Extension blocks");
    extensions_.Add(std::move(extension));
  }
}

bool TGIFSubImage::LoadDescriptor(TStream& stream) {
  // Anything but an image separator here (the trailer, padding, the end of the data or a damaged
  // block that the extension reader stopped at) leaves a frame of extensions only.
  if (PeekByte(stream) != kSeparator) return false;
  uint8_t d[kDescriptorSize];
  if (stream.Read(d, kDescriptorSize) != kDescriptorSize) {
    Warning(TGIFSeverity::Warning, "Premature end of data");
    return false;
  }
  left_ = GIFWord(d + 1);
  top_ = GIFWord(d + 3);
  width_ = GIFWord(d + 5);
  height_ = GIFWord(d + 7);
  flags_ = d[9];
  if (width_ == 0 || height_ == 0) {
    width_ = Image() ? Image()->Width() : 0;
    height_ = Image() ? Image()->Height() : 0;
    Warning(TGIFSeverity::Warning, "Image exceeds Logical Screen size");
  }
  FitLogicalScreen();
  return true;
}

void TGIFSubImage::FitLogicalScreen() {
  TGIFImage* image = Image();
  if (!image) return;
  TGIFHeader& header = image->Header();
  if (width_ <= header.Width && height_ <= header.Height) return;
  // Each side grows only: shrinking the other would cut frames already read.
  header.Width = static_cast<uint16_t>(std::max<int>(header.Width, width_));
  header.Height = static_cast<uint16_t>(std::max<int>(header.Height, height_));
  left_ = top_ = 0;
  Warning(TGIFSeverity::Warning, "Image exceeds Logical Screen size");
}

void TGIFSubImage::CheckTransparentIndex() {
  TGIFGraphicControlExtension* control = GraphicControlExtension();
  if (!control || !control->Transparent) return;
  auto& map = const_cast<TGIFColorMap&>(ActiveColorMap());
  const int index = control->TransparentColorIndex;
  if (map.Empty() || index < map.Count()) return;
  if (index == map.Count()) {
    map.Add({});
    Warning(TGIFSeverity::Warning, "Invalid color index - color map expanded");
  } else {
    Warning(TGIFSeverity::Warning, "Invalid color index");
    control->TransparentColorIndex = 0;
  }
}

void TGIFSubImage::AllocatePixels(int64_t count) {
  if (Image())
    Image()->ClaimFramePixels(count);
  else if (!ImageLimits::Fits(width_, height_, 8))
    throw GIFException("GIF frame exceeds the memory limit");
  try {
    pixels_.resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    throw GIFException("GIF frame exceeds the memory limit");
  }
}

void TGIFSubImage::LoadPixels(TStream& stream) {
  const int64_t count = int64_t(width_) * height_;
  if (count == 0) return SkipPixels(stream);
  AllocatePixels(count);
  const int fill = std::max(0, TransparentColorIndex());
  if (stream.Position() >= stream.Size()) {
    Warning(TGIFSeverity::Warning, "Premature end of data");
    std::fill(pixels_.begin(), pixels_.end(), static_cast<uint8_t>(fill));
    return;
  }
  DecodeGIFFrame(stream, width_, height_, Interlaced(), static_cast<uint8_t>(fill), pixels_.data(),
                 WarningEvent());
}

void TGIFSubImage::SkipPixels(TStream& stream) {
  uint8_t codeSize = 0;
  if (stream.Read(&codeSize, 1) != 1) return;
  TGIFReader(stream, WarningEvent()).SkipToEnd();
}

// Saving.

int TGIFSubImage::CodeBits(int colorCount) const {
  if (!colorMap_.Empty()) return colorMap_.BitsPerPixel();
  const int imageBits = Image() ? Image()->BitsPerPixel() : 0;
  if (colorCount > 0) return std::max(imageBits, TGIFColorMap::BitsPerPixelOf(colorCount));
  // No table at all: as many bits as the pixels need.
  const uint8_t highest = pixels_.empty() ? 0 : *std::max_element(pixels_.begin(), pixels_.end());
  return TGIFColorMap::BitsPerPixelOf(highest + 1);
}

void TGIFSubImage::SaveToStream(TStream& stream) {
  for (const auto& extension : extensions_)
    extension->SaveToStream(stream);
  if (Empty()) return;
  uint8_t flags = flags_ & kKeptFlags;
  if (!colorMap_.Empty())
    flags = static_cast<uint8_t>((colorMap_.BitsPerPixel() - 1) | kLocalTableFlag |
                                 (colorMap_.Optimized() ? kSortedFlag : 0));
  uint8_t d[kDescriptorSize] = {kSeparator};
  PutGIFWord(d + 1, left_);
  PutGIFWord(d + 3, top_);
  PutGIFWord(d + 5, width_);
  PutGIFWord(d + 7, height_);
  d[9] = flags;
  stream.WriteBuffer(d, kDescriptorSize);
  colorMap_.SaveToStream(stream);
  int colors = ActiveColorMap().Count();
  const int bits = std::max(1, CodeBits(colors));
  if (colors == 0) colors = 1 << bits;
  const TGIFCompression compression = Image() ? Image()->Compression() : GIFDefaults().Compression;
  EncodeGIFFrame(stream, bits, colors, pixels_.data(), (flags & kInterlacedFlag) != 0, height_,
                 width_, WarningEvent(), compression);
}

// Assignment.

void TGIFSubImage::Assign(const TPersistent* source) {
  if (source == this) return;
  if (const auto* frame = dynamic_cast<const TGIFSubImage*>(source)) {
    left_ = frame->left_;
    top_ = frame->top_;
    width_ = frame->width_;
    height_ = frame->height_;
    flags_ = frame->flags_;
    static_cast<TGIFColorMap&>(colorMap_) = frame->colorMap_;
    colorMap_.SetImage(Image());
    extensions_.Clear();
    for (const auto& extension : frame->extensions_)
      extensions_.Add(extension->Clone());
    pixels_ = frame->pixels_;
    return Changed();
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) return AssignBitmap(*bitmap);
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    TBitmap drawn;
    drawn.Assign(graphic);
    return AssignBitmap(drawn);
  }
  TGIFItem::Assign(source);
}

void TGIFSubImage::AssignBitmap(const TBitmap& source) {
  TGIFProgress progress(Image(), "Converting...");
  const TGIFOptions& options = Image() ? Image()->Options() : GIFDefaults();
  std::unique_ptr<TBitmap> reduced;
  const TBitmap* bitmap = &source;
  if (!source.Empty() && source.BitsPerPixel() > 8) {
    const TPalette custom =
        options.ColorReduction == kReduceCustomPalette ? source.OwnPalette() : TPalette();
    reduced = ReduceBitmap(source, options.ColorReduction, options.DitherMode,
                           options.ReductionBits, custom);
    // Mode "none" gives true colour back, and unknown codes nothing at all.
    if (reduced->Empty() || reduced->BitsPerPixel() > 8)
      throw GIFException("Invalid color reduction method");
    bitmap = reduced.get();
  }
  if (bitmap->Width() > kMaxSide || bitmap->Height() > kMaxSide)
    throw GIFException("Image too large for a GIF frame");
  extensions_.Clear();
  colorMap_.Clear();
  left_ = top_ = 0;
  flags_ = 0;
  width_ = bitmap->Width();
  height_ = bitmap->Height();
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
  const int highest = CopyBitmapPixels(*bitmap, progress);
  // A reduced bitmap carries its palette padded to 256 entries; the padding is no colour of ours.
  if (reduced) colorMap_.Truncate(highest + 1);
  if (!Empty() && source.Transparent()) MakeTransparent(source);
  Changed();
  progress.Done();
}

int TGIFSubImage::CopyBitmapPixels(const TBitmap& bitmap, TGIFProgress& progress) {
  const int bits = bitmap.BitsPerPixel();
  int highest = 0;
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    uint8_t* out = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
    for (int x = 0; x < width_; ++x) {
      out[x] = static_cast<uint8_t>(PixelRows::GetIndex(row, x, bits));
      highest = std::max<int>(highest, out[x]);
    }
    if ((y & 63) == 63) progress.Step(static_cast<int>(int64_t(y) * 100 / height_));
  }
  // The bitmap's palette, and the colours its table gives indices past the palette, if any.
  colorMap_.AssignPalette(bitmap.OwnPalette());
  const TColorTable& table = bitmap.ColorTable();
  for (int i = colorMap_.Count(); i <= highest && !Empty(); ++i) {
    const TPixelColor c = table.Colors[i];
    colorMap_.Add(
        {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
  }
  return highest;
}

void TGIFSubImage::MakeTransparent(const TBitmap& source) {
  const std::span<uint8_t> pixels(pixels_);
  colorMap_.Optimize({&pixels, 1});
  if (colorMap_.Count() < 1 || colorMap_.Count() >= TGIFColorMap::kMaxColors) return;
  const int transparent = colorMap_.Add({});
  const QImage mask = source.TransparencyMask();
  bool any = false;
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = mask.constScanLine(y);
    uint8_t* out = ScanLine(y);
    for (int x = 0; x < width_; ++x)
      if (PixelRows::GetIndex(row, x, 1)) {
        out[x] = static_cast<uint8_t>(transparent);
        any = true;
      }
  }
  if (!any) return colorMap_.Truncate(transparent);
  auto control = std::make_unique<TGIFGraphicControlExtension>();
  control->Transparent = true;
  control->TransparentColorIndex = static_cast<uint8_t>(transparent);
  extensions_.Add(std::move(control));
  const TColor color = ColorToRgb(source.TransparentColor());
  colorMap_.SetColor(transparent, {RedOf(color), GreenOf(color), BlueOf(color)});
}

void TGIFSubImage::AssignTo(TPersistent& target) const {
  auto* bitmap = dynamic_cast<TBitmap*>(&target);
  if (!bitmap) return TGIFItem::AssignTo(target);
  if (Empty()) return bitmap->Assign(nullptr);
  bitmap->Assign(&Bitmap());
  if (!Mask()) return;
  const TGIFColor c = ActiveColorMap().Color(TransparentColorIndex());
  bitmap->SetTransparentColor(RgbColor(c.Red, c.Green, c.Blue));
  bitmap->SetTransparent(true);
}

// Rendering and drawing.

const TBitmap& TGIFSubImage::Bitmap() const {
  if (bitmap_) return *bitmap_;
  if (Empty()) throw GIFException("Image is empty");
  TGIFImage* image = Image();
  TGIFProgress progress(image, "Rendering...");
  const TGIFColorMap& map = ActiveColorMap();
  auto bitmap = std::make_unique<TBitmap>();
  // Without any colour table the pixels take the default 256-colour table.
  bitmap->NewImage(width_, height_, pf8bit, map.Empty() ? TPalette() : map.Palette());
  const int count = map.Empty() ? TGIFColorMap::kMaxColors : map.Count();
  bool outside = false;
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = ScanLine(y);
    uint8_t* out = bitmap->ScanLine(y);
    for (int x = 0; x < width_; ++x) {
      const bool valid = row[x] < count;
      outside = outside || !valid;
      out[x] = valid ? row[x] : 0;
    }
  }
  if (outside) Warning(TGIFSeverity::Warning, "Invalid color index");
  if (image && image->Dithering())
    bitmap = ReduceBitmap(*bitmap, kReduceWebCube, kDitherFloydSteinberg, 8, TPalette());
  bitmap_ = std::move(bitmap);
  progress.Done();
  return *bitmap_;
}

const TBitmap* TGIFSubImage::Mask() const {
  if (maskChecked_) return mask_.get();
  const int transparent = TransparentColorIndex();
  if (transparent < 0 || Empty() ||
      std::find(pixels_.begin(), pixels_.end(), transparent) == pixels_.end()) {
    maskChecked_ = true;
    return nullptr;
  }
  auto mask = std::make_unique<TBitmap>();
  mask->NewImage(width_, height_, pf1bit, BlackWhitePalette());
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = ScanLine(y);
    uint8_t* out = mask->ScanLine(y);
    std::memset(out, 0, static_cast<size_t>(mask->BytesPerLine()));
    for (int x = 0; x < width_; ++x)
      if (row[x] == transparent) PixelRows::SetIndex(out, x, 1, 1);
  }
  mask_ = std::move(mask);
  maskChecked_ = true;
  return mask_.get();
}

void TGIFSubImage::FreeBitmap() const {
  bitmap_.reset();
  mask_.reset();
  maskChecked_ = false;
}

void TGIFSubImage::Changed() {
  FreeBitmap();
}

void TGIFSubImage::Draw(TCanvas& canvas, const TRect& target, bool transparent, bool tile) const {
  if (Empty() || target.IsEmpty()) return;
  if (!tile) return DrawPart(canvas, PlaceIn(target), {0, 0, width_, height_}, transparent);
  for (int y = target.Top; y < target.Bottom; y += height_)
    for (int x = target.Left; x < target.Right; x += width_) {
      const TRect part = IntersectRects(Bounds(x, y, width_, height_), target);
      DrawPart(canvas, part, {part.Left - x, part.Top - y, part.Right - x, part.Bottom - y},
               transparent);
    }
}

TRect TGIFSubImage::PlaceIn(const TRect& target) const {
  const int64_t screenW = Image() && Image()->Width() > 0 ? Image()->Width() : left_ + width_;
  const int64_t screenH = Image() && Image()->Height() > 0 ? Image()->Height() : top_ + height_;
  if (screenW <= 0 || screenH <= 0) return {target.Left, target.Top, target.Left, target.Top};
  const int64_t w = target.Width(), h = target.Height();
  return {static_cast<int>(target.Left + left_ * w / screenW),
          static_cast<int>(target.Top + top_ * h / screenH),
          static_cast<int>(target.Left + (left_ + width_) * w / screenW),
          static_cast<int>(target.Top + (top_ + height_) * h / screenH)};
}

void TGIFSubImage::DrawPart(TCanvas& canvas, const TRect& dest, const TRect& source,
                            bool transparent) const {
  const TBitmap& bitmap = Bitmap();
  const TBitmap* mask = transparent ? Mask() : nullptr;
  const TFrameSource frame(bitmap, mask);
  if (!mask) return canvas.StretchBlt(dest, frame, source);
  // Averaging would blend the marked pixels into their neighbours.
  const TStretchModeScope plain(canvas, smDeleteScans);
  canvas.StretchBlt(dest, frame, source, kMasked);
}

} // namespace kestrel
