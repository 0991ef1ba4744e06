#include "imaging/gif/GIFImage.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Canvas.h"
#include "imaging/core/Clipboard.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"
#include "imaging/formats/FormatTable.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFProgress.h"

#include <algorithm>

namespace kestrel {

namespace {

// The most pixels one byte of LZW data can give: a code of at least one bit expands to at most the
// 4096 entries of the table, so 8 codes per byte. Real files stay far below.
constexpr uint64_t kPixelsPerDataByte = 8 * 4096;
// Every file may fill this much whatever its size, so cut files still load.
constexpr uint64_t kPixelsForAnyFile = uint64_t(1) << 24;

constexpr int kCubeLevels = 6;
constexpr int kCubeStep = 51;

int PeekByte(TStream& stream) {
  uint8_t byte = 0;
  if (stream.Read(&byte, 1) != 1) return -1;
  stream.Seek(-1, TSeekOrigin::Current);
  return byte;
}

void SkipZeros(TStream& stream) {
  uint8_t byte = 0;
  while (stream.Read(&byte, 1) == 1)
    if (byte != 0) {
      stream.Seek(-1, TSeekOrigin::Current);
      return;
    }
}

TPalette ColorCube() {
  std::vector<TPaletteEntry> entries;
  for (int r = 0; r < kCubeLevels; ++r)
    for (int g = 0; g < kCubeLevels; ++g)
      for (int b = 0; b < kCubeLevels; ++b)
        entries.push_back({static_cast<uint8_t>(r * kCubeStep), static_cast<uint8_t>(g * kCubeStep),
                           static_cast<uint8_t>(b * kCubeStep), 0});
  return TPalette(entries);
}

} // namespace

TGIFOptions& GIFDefaults() {
  static TGIFOptions defaults;
  return defaults;
}

void ApplyProgramGIFDefaults() {
  TGIFOptions& defaults = GIFDefaults();
  // Transparent drawing on, dithering off.
  defaults.DrawOptions = static_cast<TGIFDrawOptions>(
      (defaults.DrawOptions & ~(gdDither | gdTransparent)) | gdTransparent);
  defaults.ColorReduction = 8; // octree palette with the system colours
  defaults.ReductionBits = 8;
}

TGIFImage::TGIFImage() : header_(this), images_(this), options_(GIFDefaults()) {}

TGIFImage::~TGIFImage() {
  StopPainters();
}

std::unique_ptr<TGraphic> TGIFImage::NewInstance() const {
  return std::make_unique<TGIFImage>();
}

int TGIFImage::FrameCount() const {
  return static_cast<int>(std::count_if(images_.begin(), images_.end(), [](const auto& frame) {
    return frame->Width() > 0 && frame->Height() > 0;
  }));
}

void TGIFImage::Clear() {
  StopPainters();
  ownBitmap_.reset();
  images_.Clear();
  header_ = TGIFHeader(this);
  palette_.reset();
}

int TGIFImage::Add(const TPersistent* source) {
  if (const auto* gif = dynamic_cast<const TGIFImage*>(source)) {
    const int count = gif->images_.Count(); // the same image may be added to itself
    for (int i = 0; i < count; ++i)
      Add(&gif->images_[i]);
    return images_.Count() - 1;
  }
  if (const auto* frame = dynamic_cast<const TGIFSubImage*>(source)) {
    auto copy = std::make_unique<TGIFSubImage>(*frame);
    // A frame that used another image's global table keeps its colours in a table of its own.
    if (frame->Image() != this && frame->ColorMap().Empty() && !frame->ActiveColorMap().Empty())
      static_cast<TGIFColorMap&>(copy->ColorMap()) = frame->ActiveColorMap();
    return images_.Add(std::move(copy));
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(graphic);
    return images_.Add(std::move(frame));
  }
  throw GIFException("Object type not supported for operation");
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions options) {
  options_.DrawOptions = options;
  DropRendered();
  if (images_.Count() == 1 && GlobalColorMap().Empty() && !images_[0].ColorMap().Empty()) {
    static_cast<TGIFColorMap&>(GlobalColorMap()) = images_[0].ColorMap();
    GlobalColorMap().SetImage(this);
    images_[0].ColorMap().Clear();
  }
  Changed();
}

void TGIFImage::SetReductionBits(int bits) {
  if (bits < 3 || bits > 8) throw GIFException("Invalid Bits Per Pixel value");
  options_.ReductionBits = bits;
}

TColor TGIFImage::EffectiveBackgroundColor() const {
  if (options_.BackgroundColor != clNone) return options_.BackgroundColor;
  if (GlobalColorMap().Empty()) return ColorToRgb(clWindow);
  const TGIFColor c = GlobalColorMap().Color(header_.BackgroundColorIndex);
  return RgbColor(c.Red, c.Green, c.Blue);
}

bool TGIFImage::Dithering() const {
  return (options_.DrawOptions & gdDither) && !(options_.DrawOptions & gdDitherPalDevice);
}

bool TGIFImage::HasTransparentFrames() const {
  return std::any_of(images_.begin(), images_.end(),
                     [](const auto& frame) { return frame->Transparent(); });
}

int TGIFImage::FrameColorMapBits() const {
  int bits = 0;
  for (const auto& frame : images_)
    bits = std::max(bits, frame->ColorMap().BitsPerPixel());
  return bits;
}

int TGIFImage::BitsPerPixel() const {
  return std::max(GlobalColorMap().BitsPerPixel(), FrameColorMapBits());
}

TGIFVersion TGIFImage::NeededVersion() const {
  if (images_.Empty()) return TGIFVersion::Unknown;
  for (const auto& frame : images_)
    if (frame->Version() == TGIFVersion::GIF89a) return TGIFVersion::GIF89a;
  return TGIFVersion::GIF87a;
}

void TGIFImage::Warning(const void* sender, TGIFSeverity severity,
                        const std::string& message) const {
  if (OnWarning) return OnWarning(sender, severity, message);
  if (severity == TGIFSeverity::Error) throw GIFException(message);
}

namespace {

// Marks a draw in progress for the life of the object.
class TDrawingScope {
public:
  explicit TDrawingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TDrawingScope() { flag_ = false; }
  TDrawingScope(const TDrawingScope&) = delete;
  TDrawingScope& operator=(const TDrawingScope&) = delete;

private:
  bool& flag_;
};

} // namespace

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
  if (drawing_) return;
  const TDrawingScope drawing(drawing_);
  const TGIFDrawOptions options = options_.DrawOptions;
  if (!CanAnimate(options)) return DrawFirstFrame(canvas, rect);
  if (options & gdDirect) {
    if (!PainterRunsOn(canvas, rect)) {
      StopPainters();
      StartPainter(canvas, rect, options);
    }
    return;
  }
  if (!ownBitmap_ && !StartOwnPainter(canvas, rect, options)) return DrawFirstFrame(canvas, rect);
  canvas.StretchBlt(rect, ownBitmap_->Canvas().Surface(), ScreenRect());
}

void TGIFImage::DrawArea(TCanvas& canvas, const TRect& rect, const TRect& part) {
  if (!ownBitmap_ || drawing_) return Draw(canvas, rect);
  canvas.StretchBlt(rect, ownBitmap_->Canvas().Surface(), ScreenRect(), std::nullopt, part);
}

void TGIFImage::DrawFirstFrame(TCanvas& canvas, const TRect& rect) const {
  for (const auto& frame : images_)
    if (!frame->Empty())
      return frame->Draw(canvas, rect, options_.DrawOptions & gdTransparent,
                         options_.DrawOptions & gdTile);
}

bool TGIFImage::CanAnimate(TGIFDrawOptions options) const {
  if (!(options & gdAnimate) || FrameCount() < 2) return false;
  return !(options & gdAsync) || TGIFClock::Default()->TimersFireHere();
}

bool TGIFImage::PainterRunsOn(const TCanvas& canvas, const TRect& rect) const {
  return std::any_of(painters_.begin(), painters_.end(), [&](const auto& painter) {
    return painter->Running() && &painter->Canvas() == &canvas && painter->Rect() == rect;
  });
}

bool TGIFImage::StartOwnPainter(TCanvas& canvas, const TRect& rect, TGIFDrawOptions options) {
  StopPainters();
  const auto own = ImageLimits::PixelBytes(Width(), Height(), 32);
  const auto buffers = TGIFComposer::BufferBytes(*this, Width(), Height(), options);
  const auto total = own && buffers ? CheckedAdd(*own, *buffers) : std::nullopt;
  if (!total || *total > ImageLimits::MaxBytes()) return false;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pfDevice);
  bitmap->SetPalette(GetPalette());
  bitmap->Canvas().Brush.Color = EffectiveBackgroundColor();
  bitmap->SetSize(Width(), Height());
  // The animation plays over what the caller's rectangle holds.
  bitmap->Canvas().CopyRect(ScreenRect(), canvas, rect);
  ownBitmap_ = std::move(bitmap);
  StartPainter(ownBitmap_->Canvas(), ScreenRect(), options);
  return true;
}

std::shared_ptr<TGIFPainter> TGIFImage::StartPainter(TCanvas& canvas, const TRect& rect,
                                                     TGIFDrawOptions options) {
  if (Empty() || rect.IsEmpty()) return nullptr;
  if (FrameCount() < 2) options &= static_cast<TGIFDrawOptions>(~(gdAsync | gdAnimate));
  std::erase_if(painters_, [](const auto& painter) { return painter->Ended(); });
  auto painter = std::make_shared<TGIFPainter>(*this, canvas, rect, options, TGIFClock::Default());
  if (ownBitmap_ && &canvas == &ownBitmap_->Canvas())
    painter->OnFramePainted = [this](const TRect& area) { FramePainted(area); };
  painters_.push_back(painter);
  painter->Start();
  if (painter->Ended()) std::erase(painters_, painter);
  return painter;
}

void TGIFImage::StopPainters() {
  // Stopping may run end handlers that start painters again: those stay.
  const std::vector<std::shared_ptr<TGIFPainter>> stopping = std::move(painters_);
  painters_.clear();
  for (const auto& painter : stopping)
    painter->Stop();
}

bool TGIFImage::Animating() const {
  return std::any_of(painters_.begin(), painters_.end(),
                     [](const auto& painter) { return painter->Running(); });
}

void TGIFImage::FramePainted(const TRect& area) {
  // Inside Draw the caller gets the frame anyway.
  if (drawing_) return;
  // The handler may change or even destroy the image: nothing of it is touched after.
  if (const auto handler = OnFramePainted) return handler(*this, area);
  TGraphic::Changed();
}

// Reading and writing.

void TGIFImage::LoadFromStream(TStream& stream) {
  Load(stream, true);
  Changed();
}

void TGIFImage::Load(TStream& stream, bool pixels) {
  TGIFProgress progress(this, "Loading...");
  const int64_t start = stream.Position();
  Clear();
  const uint64_t dataBytes = static_cast<uint64_t>(std::max<int64_t>(0, stream.Size() - start));
  pixelBudget_ =
      std::min(ImageLimits::MaxBytes(), dataBytes * kPixelsPerDataByte + kPixelsForAnyFile);
  try {
    header_.LoadFromStream(stream);
    LoadFrames(stream, pixels, progress);
    TGIFTrailer(this).LoadFromStream(stream);
  } catch (...) {
    pixelBudget_.reset();
    stream.SetPosition(start);
    Clear();
    throw;
  }
  pixelBudget_.reset();
  progress.Done();
}

void TGIFImage::LoadFrames(TStream& stream, bool pixels, TGIFProgress& progress) {
  const int64_t size = stream.Size();
  for (;;) {
    SkipZeros(stream);
    const int next = PeekByte(stream);
    if (next < 0 || next == TGIFTrailer::kTrailer) return;
    if (next != TGIFExtension::kIntroducer && next != TGIFSubImage::kSeparator) {
      Warning(this, TGIFSeverity::Warning, "Unknown GIF block type");
      return;
    }
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Load(stream, pixels);
    // A block cut before anything of it could be read leaves nothing to keep.
    if (frame->Width() > 0 || !frame->Extensions().Empty()) images_.Add(std::move(frame));
    progress.Step(size > 0 ? static_cast<int>(stream.Position() * 100 / size) : 100);
  }
}

void TGIFImage::ClaimFramePixels(int64_t pixels) {
  const uint64_t count = static_cast<uint64_t>(std::max<int64_t>(0, pixels));
  const uint64_t allowed = pixelBudget_ ? *pixelBudget_ : ImageLimits::MaxBytes();
  if (count > allowed) throw GIFException("GIF frame exceeds the memory limit");
  if (pixelBudget_) *pixelBudget_ -= count;
}

void TGIFImage::SaveToStream(TStream& stream) {
  TGIFProgress progress(this, "Saving...");
  const TGIFVersion version = NeededVersion();
  if (version == TGIFVersion::Unknown) throw GIFException("Unsupported GIF version");
  header_.Save(stream, version, BitsPerPixel(), FrameColorMapBits());
  int written = 0;
  for (const auto& frame : images_) {
    frame->SaveToStream(stream);
    progress.Step(++written * 100 / images_.Count());
  }
  TGIFTrailer(this).SaveToStream(stream);
  progress.Done();
}

TImageInfo TGIFImage::Info() const {
  TImageInfo info;
  info.Width = Width();
  info.Height = Height();
  info.BitsPerPixel = BitsPerPixel();
  info.PaletteEntries = GetPalette().Count();
  info.Frames = FrameCount();
  return info;
}

TImageInfo TGIFImage::ReadInfo(TStream& stream) const {
  TGIFImage probe;
  probe.Load(stream, false);
  return probe.Info();
}

// Clipboard.

TClipboardFormat TGIFImage::ClipboardFormat() {
  static const TClipboardFormat format = TClipboard::RegisterFormat("GIF Image", "image/gif");
  return format;
}

void TGIFImage::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                                        const TPalette&) {
  if (format == ClipboardFormat() && !data.Bytes.empty()) {
    TSpanStream stream(data.Bytes);
    return LoadFromStream(stream);
  }
  if (format == CF_BITMAP && data.Bitmap) return Assign(data.Bitmap.get());
  throw GIFException("Unsupported clipboard format");
}

void TGIFImage::SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                                      TPalette& palette) const {
  TClipboard& clipboard = TClipboard::Instance();
  if (!clipboard.Available()) throw GIFException("Failed to store GIF on clipboard");
  TMemoryStream bytes;
  const_cast<TGIFImage*>(this)->SaveToStream(bytes);
  auto bitmap = std::make_shared<TBitmap>();
  AssignTo(*bitmap);
  TClipboardData gif;
  gif.Bytes = std::move(bytes.Bytes());
  clipboard.SetAsHandle(ClipboardFormat(), gif);
  format = CF_BITMAP;
  data.Bitmap = std::move(bitmap);
  palette = GetPalette();
}

// Assignment.

void TGIFImage::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    Clear();
    return Changed();
  }
  if (const auto* gif = dynamic_cast<const TGIFImage*>(source)) {
    Clear();
    header_ = gif->header_;
    header_.SetImage(this);
    Add(gif);
    return Changed();
  }
  if (const auto* frame = dynamic_cast<const TGIFSubImage*>(source)) {
    Clear();
    Add(frame);
    header_.Width = static_cast<uint16_t>(std::min(frame->Left() + frame->Width(), 0xFFFF));
    header_.Height = static_cast<uint16_t>(std::min(frame->Top() + frame->Height(), 0xFFFF));
    return Changed();
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) return AssignGraphic(*graphic);
  TGraphic::Assign(source);
}

void TGIFImage::AssignGraphic(const TGraphic& graphic) {
  Clear();
  try {
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(&graphic);
    header_.Width = static_cast<uint16_t>(frame->Width());
    header_.Height = static_cast<uint16_t>(frame->Height());
    if (!frame->Empty()) images_.Add(std::move(frame));
  } catch (const EConvertError&) {
    Clear();
    return TGraphic::Assign(&graphic);
  }
  Changed();
}

void TGIFImage::AssignTo(TPersistent& target) const {
  auto* bitmap = dynamic_cast<TBitmap*>(&target);
  if (!bitmap) return TGraphic::AssignTo(target);
  const auto first = std::find_if(images_.begin(), images_.end(),
                                  [](const auto& frame) { return !frame->Empty(); });
  if (first == images_.end()) return bitmap->Assign(nullptr);
  const TGIFSubImage& frame = **first;
  if (frame.BoundsRect() == Rect(0, 0, Width(), Height())) return frame.AssignTo(*bitmap);
  // A frame on part of the screen: drawn at its place over the background.
  bitmap->Assign(nullptr);
  bitmap->SetPixelFormat(pf24bit);
  bitmap->Canvas().Brush.Color = EffectiveBackgroundColor();
  bitmap->SetSize(Width(), Height());
  frame.Draw(bitmap->Canvas(), Rect(0, 0, Width(), Height()), true, false);
}

// State.

void TGIFImage::Changed() {
  StopPainters();
  ownBitmap_.reset();
  palette_.reset();
  TGraphic::Changed();
}

void TGIFImage::DropRendered() {
  StopPainters();
  ownBitmap_.reset();
  palette_.reset();
  for (const auto& frame : images_)
    frame->FreeBitmap();
}

TPalette TGIFImage::GetPalette() const {
  if (palette_) return *palette_;
  TPalette palette;
  if (Dithering())
    palette = ColorCube();
  else if (!GlobalColorMap().Empty())
    palette = GlobalColorMap().Palette(PC_NOCOLLAPSE);
  else if (!images_.Empty())
    palette = images_.First().ColorMap().Palette(PC_NOCOLLAPSE);
  palette_ = palette;
  return palette;
}

void TGIFImage::DoSetTransparent(bool value) {
  if (value == GetTransparent()) return;
  SetDrawOptions(static_cast<TGIFDrawOptions>(value ? options_.DrawOptions | gdTransparent
                                                    : options_.DrawOptions & ~gdTransparent));
}

void TGIFImage::DoSetWidth(int width) {
  CheckScreenSide(width, true);
  header_.Width = static_cast<uint16_t>(width);
  Changed();
}

void TGIFImage::DoSetHeight(int height) {
  CheckScreenSide(height, false);
  header_.Height = static_cast<uint16_t>(height);
  Changed();
}

void TGIFImage::CheckScreenSide(int value, bool horizontal) const {
  if (value > TGIFSubImage::kMaxSide) throw GIFException("Image too large for a GIF");
  bool fits = value >= 0;
  for (const auto& frame : images_)
    fits = fits &&
           value >= (horizontal ? frame->Left() + frame->Width() : frame->Top() + frame->Height());
  if (!fits)
    throw GIFException(horizontal ? "Image width too small for contained frames"
                                  : "Image height too small for contained frames");
}

// Registration.

void TGIFImage::Register() {
  const auto existing = TPicture::FindFileFormat("gif");
  if (existing && existing->Class != typeid(TGIFImage))
    throw GIFException("Another TGIFImage class has already been registered with TPicture");
  const TFormatRow* row = FindFormatRow(".gif");
  TPicture::RegisterFileFormat(row->Extension, row->Description, typeid(TGIFImage), row->Create);
  TPicture::RegisterClipboardFormat(ClipboardFormat(), typeid(TGIFImage),
                                    [] { return std::make_unique<TGIFImage>(); });
}

} // namespace kestrel
