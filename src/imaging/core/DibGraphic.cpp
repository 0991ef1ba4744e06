#include "imaging/core/DibGraphic.h"

#include "imaging/core/Clipboard.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Screen.h"
#include "imaging/core/StorageSurface.h"
#include "imaging/core/Stream.h"
#include "platform/display/ScreenDepth.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

constexpr double kInchesPerMetre = 39.370078740157480317;

int PelsPerMeterOfDpi(unsigned dpi) {
  return static_cast<int>(std::lround(dpi * kInchesPerMetre));
}

uint16_t DpiOfPelsPerMeter(int pelsPerMeter) {
  const long dpi = std::lround(pelsPerMeter * 0.0254);
  return static_cast<uint16_t>(std::clamp<long>(dpi, 0, 65535));
}

// The device bitmap format of the screen ("compatible with the screen"). Depths the formats do
// not name behave as 32 bits, as a device bitmap does.
TPixelFormat ScreenPixelFormat() {
  const TPixelFormat format = PixelFormatOfDepth(std::max(ScreenDepth(), 1));
  return format == pfDevice ? pf32bit : format;
}

std::vector<TDibGraphic::TAssignToHandler>& AssignToHandlers() {
  static std::vector<TDibGraphic::TAssignToHandler> handlers;
  return handlers;
}

TPixelColor GetIndexed(const TDibGraphic& g, int x, int y) {
  return g.Palette().Value(PixelRows::GetIndex(g.ScanLine(y), x, g.BitsPerPixel()));
}

TPixelColor GetTrueColor(const TDibGraphic& g, int x, int y) {
  const uint8_t* p = g.ScanLine(y) + 3 * x;
  return static_cast<TPixelColor>(p[2]) << 16 | p[1] << 8 | p[0];
}

void SetTrueColor(TDibGraphic& g, int x, int y, TPixelColor value) {
  uint8_t* p = g.ScanLine(y) + 3 * x;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
}

// Registered at start-up: the picture container reads clipboard bitmaps through this class.
const bool registered = [] {
  TPicture::RegisterClipboardFormat(CF_BITMAP, typeid(TDibGraphic),
                                    [] { return std::make_unique<TDibGraphic>(); });
  return true;
}();

} // namespace

// The canvas's view of the picture: bottom-up storage, palette formats map to the nearest entry.
class TDibGraphic::Surface : public TStorageSurface {
public:
  explicit Surface(TDibGraphic& g) : TStorageSurface(g.storage_, g.table_), g_(g) {}
  void SurfaceChanged() override { g_.Changed(); }

protected:
  TRgbToPaletteConverter& Converter() override { return *g_.converter_; }

private:
  TDibGraphic& g_;
};

TDibGraphic::TDibGraphic()
    : surface_(std::make_unique<Surface>(*this)), canvas_(std::make_unique<TCanvas>(*surface_)) {
  (void)registered;
}

TDibGraphic::~TDibGraphic() {
  StopTimer();
}

std::unique_ptr<TGraphic> TDibGraphic::NewInstance() const {
  return std::make_unique<TDibGraphic>();
}

void TDibGraphic::RegisterAssignToHandler(TAssignToHandler handler) {
  AssignToHandlers().push_back(std::move(handler));
}

void TDibGraphic::Release() {
  storage_.Release();
  converter_.reset();
  table_ = {};
  xPelsPerMeter_ = yPelsPerMeter_ = 0;
  pixelGetter_ = nullptr;
  pixelSetter_ = nullptr;
}

void TDibGraphic::NewImage(int width, int height, TImageFormat format, const TDibPalette* palette,
                           uint16_t xDpi, uint16_t yDpi) {
  Release();
  if (!IsValidImageFormat(format)) throw EZeduziziError("Internal error: Invalid image format");
  if (importedPixels_)
    storage_.ShareFrom(*importedPixels_);
  else if (!storage_.Allocate(width, height, FormatBitsPerPixel(format), TRowOrder::BottomUp))
    throw EZeduziziError("CreateDibSection failed");
  const TDibPalette* given =
      HasPalette(format) ? (palette ? palette : DefaultDibPalette(format)) : nullptr;
  format_ = format;
  xPelsPerMeter_ = PelsPerMeterOfDpi(xDpi ? xDpi : static_cast<unsigned>(ScreenLogicalDpiX()));
  yPelsPerMeter_ = PelsPerMeterOfDpi(yDpi ? yDpi : static_cast<unsigned>(ScreenLogicalDpiY()));
  palette_ = TDibPalette{};
  if (given) {
    palette_.Version = TDibPalette::kVersion;
    palette_.Count = std::min<uint16_t>(given->Count, TDibPalette::kMaxEntries);
    std::copy_n(given->Entries, palette_.Count, palette_.Entries);
    table_ = TColorTable::From(palette_);
    converter_ = std::make_unique<TRgbToPaletteConverter>(palette_);
    pixelGetter_ = GetIndexed;
    pixelSetter_ = [](TDibGraphic& g, int x, int y, TPixelColor value) {
      PixelRows::SetIndex(g.ScanLine(y), x, g.BitsPerPixel(), g.converter_->NearestIndex(value));
    };
  } else {
    pixelGetter_ = GetTrueColor;
    pixelSetter_ = SetTrueColor;
  }
}

TPixelStorage TDibGraphic::TakePixels() {
  TPixelStorage pixels = std::move(storage_);
  storage_ = TPixelStorage();
  Release();
  Changed();
  return pixels;
}

void TDibGraphic::CopyPixelsFrom(const TDibGraphic& source) {
  Release();
  if (source.Width() <= 0 || source.Height() <= 0) return;
  const TDibPalette palette = source.palette_;
  NewImage(source.Width(), source.Height(), source.format_, &palette, source.XDotsPerInch(),
           source.YDotsPerInch());
  // The dots-per-inch view rounds; keep the exact pixels per metre.
  xPelsPerMeter_ = source.xPelsPerMeter_;
  yPelsPerMeter_ = source.yPelsPerMeter_;
  FrameInterval = source.FrameInterval;
  // Row by row: the two pictures may keep their rows in different orders.
  const auto rowBytes = static_cast<size_t>(storage_.BytesPerLine());
  for (int y = 0; y < Height(); ++y)
    std::memcpy(storage_.Row(y), source.storage_.Row(y), rowBytes);
}

void TDibGraphic::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    Release();
    Changed();
    return;
  }
  if (const auto* dib = dynamic_cast<const TDibGraphic*>(source)) {
    CopyPixelsFrom(*dib);
    Changed();
    return;
  }
  if (const auto* clipboard = dynamic_cast<const TClipboard*>(source)) {
    auto& c = const_cast<TClipboard&>(*clipboard);
    TClipboardSession session(c);
    LoadFromClipboardFormat(CF_BITMAP, c.GetAsHandle(CF_BITMAP), TPalette());
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    AssignBitmap(*bitmap);
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    AssignDrawn(*graphic);
    return;
  }
  TGraphic::Assign(source);
}

void TDibGraphic::AssignBitmap(const TBitmap& bitmap) {
  // A device bitmap has the screen's depth: convert first, then import.
  const TPixelFormat screen = ScreenPixelFormat();
  if (bitmap.BitsPerPixel() == PixelFormatBits(screen)) return ImportBitmapHandle(bitmap);
  TBitmap device;
  device.Assign(&bitmap);
  device.SetPixelFormat(screen);
  ImportBitmapHandle(device);
}

void TDibGraphic::AssignDrawn(const TGraphic& graphic) {
  if (graphic.Empty()) {
    Release();
    Changed();
    return;
  }
  NewImage(graphic.Width(), graphic.Height(), ifTrueColor, nullptr, 0, 0);
  std::memset(storage_.Bits(), 0, storage_.ByteCount());
  Canvas().StretchDraw({0, 0, graphic.Width(), graphic.Height()}, const_cast<TGraphic&>(graphic));
  Changed();
}

void TDibGraphic::AssignTo(TPersistent& target) const {
  if (auto* dib = dynamic_cast<TDibGraphic*>(&target)) return dib->Assign(this);
  if (auto* bitmap = dynamic_cast<TBitmap*>(&target)) {
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(Width(), Height());
    if (!bitmap->Empty())
      const_cast<TDibGraphic*>(this)->Draw(bitmap->Canvas(), {0, 0, Width(), Height()});
    return;
  }
  for (const auto& handler : AssignToHandlers())
    if (handler(*this, target)) return;
  throw EZeduziziError(
      formatMessage("Cannot assign a %s to a %s", "TDibGraphic", target.ClassName()));
}

void TDibGraphic::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  // A plain copy, stretched without blending for true colour and averaged for palettes.
  const TStretchMode savedStretch = canvas.StretchMode;
  const TCopyMode savedCopy = canvas.CopyMode;
  canvas.StretchMode = format_ == ifTrueColor ? smDeleteScans : smHalftone;
  canvas.CopyMode = cmSrcCopy;
  struct Restore {
    TCanvas& c;
    TStretchMode stretch;
    TCopyMode copy;
    ~Restore() {
      c.StretchMode = stretch;
      c.CopyMode = copy;
    }
  } restore{canvas, savedStretch, savedCopy};
  canvas.StretchBlt(rect, *surface_, {0, 0, Width(), Height()});
}

void TDibGraphic::LoadFromStream(TStream& stream) {
  const bool wasAnimating = animate_;
  SetAnimate(false);
  try {
    int64_t start = 0;
    int count = 1;
    if (LoadAllFrames) {
      start = stream.Position();
      count = ImageCountInStream(stream);
      // Counting may have read on; every image is read from where the file starts.
      stream.SetPosition(start);
      if (count == 1) LoadAllFrames = false;
    }
    if (LoadAllFrames) {
      frames_.clear();
      currentFrame_ = -1;
      for (int i = 1; i <= count; ++i) {
        auto made = NewInstance();
        auto* frame = dynamic_cast<TDibGraphic*>(made.get());
        if (!frame || typeid(*frame) != typeid(*this))
          throw EZeduziziError(
              formatMessage("Internal error: %s makes no frames of its own class", ClassName()));
        made.release();
        frames_.emplace_back(frame);
        stream.SetPosition(start);
        frame->SingleLoadFromStream(stream, i);
      }
      ShowFrame(1);
    } else {
      SingleLoadFromStream(stream, ImageIndex);
    }
  } catch (...) {
    SetAnimate(wasAnimating);
    throw;
  }
  SetAnimate(wasAnimating);
}

void TDibGraphic::SaveToStream(TStream&) {}

int TDibGraphic::ImageCountInStream(TStream&) {
  return 1;
}

void TDibGraphic::SingleLoadFromStream(TStream&, int) {}

void TDibGraphic::AppendToStream(TStream&) {
  throw EZeduziziError(
      formatMessage("The %s format does not support multiple images", ClassName()));
}

void TDibGraphic::LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                                          const TPalette&) {
  if (format != CF_BITMAP || !data.Bitmap)
    throw EInvalidGraphic(formatMessage("Unknown clipboard format, %u", format));
  ImportBitmapHandle(*data.Bitmap);
}

void TDibGraphic::SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                                        TPalette&) const {
  format = CF_BITMAP;
  auto bitmap = std::make_shared<TBitmap>();
  try {
    bitmap->SetPixelFormat(format_ == ifBlackWhite ? pf1bit : ScreenPixelFormat());
    bitmap->SetSize(Width(), Height());
  } catch (const EInvalidGraphic&) {
    throw EZeduziziError("CopyBitmap: CreateBitmap failed");
  }
  if (bitmap->Empty()) throw EZeduziziError("CopyBitmap: CreateBitmap failed");
  bitmap->Canvas().StretchBlt({0, 0, Width(), Height()}, *surface_, {0, 0, Width(), Height()});
  data.Bitmap = std::move(bitmap);
}

TImageInfo TDibGraphic::Info() const {
  TImageInfo info = TGraphic::Info();
  info.BitsPerPixel = Empty() ? 0 : BitsPerPixel();
  info.PaletteEntries = !Empty() && HasPalette(format_) ? palette_.Count : 0;
  info.Frames = std::max(1, FrameCount());
  return info;
}

TImageInfo TDibGraphic::ReadInfo(TStream& stream) const {
  auto made = NewInstance();
  auto* picture = dynamic_cast<TDibGraphic*>(made.get());
  const int64_t start = stream.Position();
  const int frames = picture->ImageCountInStream(stream);
  stream.SetPosition(start);
  picture->SingleLoadFromStream(stream, 1);
  TImageInfo info = picture->Info();
  info.Frames = frames;
  return info;
}

uint8_t* TDibGraphic::ScanLine(int row) {
  if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return storage_.Row(row);
}

const uint8_t* TDibGraphic::ScanLine(int row) const {
  if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return storage_.Row(row);
}

void TDibGraphic::CheckPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height())
    throw EZeduziziError("Pixel coordinates out of range");
}

TPixelColor TDibGraphic::Pixel(int x, int y) const {
  CheckPixel(x, y);
  return pixelGetter_(*this, x, y);
}

void TDibGraphic::SetPixel(int x, int y, TPixelColor value) {
  CheckPixel(x, y);
  pixelSetter_(*this, x, y, value & 0xFFFFFF);
}

int TDibGraphic::PixelIndex(int x, int y) const {
  if (format_ == ifTrueColor) throw EZeduziziError("The image does not have a palette");
  CheckPixel(x, y);
  return PixelRows::GetIndex(storage_.Row(y), x, BitsPerPixel());
}

void TDibGraphic::SetPixelIndex(int x, int y, int index) {
  if (format_ == ifTrueColor) throw EZeduziziError("The image does not have a palette");
  CheckPixel(x, y);
  PixelRows::SetIndex(storage_.Row(y), x, BitsPerPixel(),
                      BitsPerPixel() == 1 ? index : index & 0xFF);
}

uint16_t TDibGraphic::XDotsPerInch() const {
  return DpiOfPelsPerMeter(xPelsPerMeter_);
}

uint16_t TDibGraphic::YDotsPerInch() const {
  return DpiOfPelsPerMeter(yPelsPerMeter_);
}

void TDibGraphic::SetXDotsPerInch(uint16_t dpi) {
  xPelsPerMeter_ = PelsPerMeterOfDpi(dpi);
}

void TDibGraphic::SetYDotsPerInch(uint16_t dpi) {
  yPelsPerMeter_ = PelsPerMeterOfDpi(dpi);
}

TPalette TDibGraphic::PaletteHandle() const {
  if (Empty() || !HasPalette(format_)) return {};
  return palette_.ToPalette();
}

TCanvas& TDibGraphic::Canvas() {
  if (Empty()) throw EZeduziziError("The image is empty");
  return *canvas_;
}

void TDibGraphic::ImportBitmapHandle(const TBitmap& bitmap) {
  if (bitmap.Empty()) throw EInvalidGraphic("Invalid bitmap");
  const int bits = bitmap.BitsPerPixel();
  const int bitCount = bits > 8 ? 24 : bits;
  TImageFormat format = ifTrueColor;
  if (bitCount == 1) format = ifBlackWhite;
  if (bitCount == 4) format = ifColor16;
  if (bitCount == 8) format = ifColor256;
  std::optional<TDibPalette> palette;
  const int entries = bitmap.OwnPalette().Count();
  if (bitCount <= 8 && entries >= 1 && entries <= 256)
    palette = TDibPalette::FromPalette(bitmap.OwnPalette());
  auto dpi = [](int pelsPerMeter) -> uint16_t {
    if (pelsPerMeter <= 0) return 0;
    const long v = std::lround(pelsPerMeter * 0.0254);
    return v > 65535 ? 0 : static_cast<uint16_t>(v);
  };
  // The same packing: the pixels are shared until either side writes them, so a writer that
  // imports the picture it saves costs no copy of it. NewImage (which a codec may extend) takes
  // them instead of new storage.
  const bool same = bits == bitCount;
  importedPixels_ = same ? &bitmap.Storage() : nullptr;
  struct TForget {
    const TPixelStorage*& pixels;
    ~TForget() { pixels = nullptr; }
  } forget{importedPixels_};
  NewImage(bitmap.Width(), bitmap.Height(), format, palette ? &*palette : nullptr,
           dpi(bitmap.XPelsPerMeter()), dpi(bitmap.YPelsPerMeter()));
  std::vector<TPixelColor> colors(static_cast<size_t>(same ? 0 : Width()));
  for (int y = 0; y < Height() && !same; ++y) {
    PixelRows::Read(bitmap.ScanLine(y), bits, 0, Width(), bitmap.ColorTable(), colors.data());
    PixelRows::Write(storage_.Row(y), 24, 0, Width(), colors.data(), nullptr);
  }
  Changed();
}

void TDibGraphic::DoSetWidth(int) {
  throw EZeduziziError("Dimensions must be change with the NewImage method");
}

void TDibGraphic::DoSetHeight(int) {
  throw EZeduziziError("Dimensions must be change with the NewImage method");
}

void TDibGraphic::ShowFrame(int n) {
  if (n == currentFrame_) return;
  if (n - 1 < 0 || n - 1 >= FrameCount())
    throw EZeduziziError(formatMessage("Frame %d does not exist", n));
  CopyPixelsFrom(*frames_[static_cast<size_t>(n - 1)]);
  Changed();
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
  currentFrame_ = n;
}

void TDibGraphic::SetAnimate(bool value) {
  animate_ = value;
  UpdateTimer();
}

void TDibGraphic::UpdateTimer() {
  timerEnabled_ = animate_ && !frames_.empty();
  if (timerEnabled_)
    StartTimer();
  else
    StopTimer();
}

// The timer is made on first use, in the thread that animates the picture: pictures are often
// read on worker threads, which must not own it.
void TDibGraphic::StartTimer() {
  if (!QCoreApplication::instance()) return;
  if (!frameTimer_) {
    frameTimer_ = std::make_unique<QTimer>();
    QObject::connect(frameTimer_.get(), &QTimer::timeout, [this] {
      // An error of one frame must not escape into the event loop; the next tick tries again.
      try {
        FrameTimerTick();
      } catch (const Exception&) {
      }
    });
  }
  frameTimer_->setInterval(FrameInterval);
  frameTimer_->start();
}

void TDibGraphic::StopTimer() {
  if (frameTimer_) frameTimer_->stop();
}

bool TDibGraphic::FrameTimerActive() const {
  return timerEnabled_;
}

void TDibGraphic::FrameTimerTick() {
  if (frames_.empty()) return;
  StopTimer();
  timerEnabled_ = false;
  struct Restart {
    TDibGraphic& g;
    ~Restart() {
      g.timerEnabled_ = true;
      g.StartTimer();
    }
  } restart{*this};
  ShowFrame(currentFrame_ == FrameCount() ? 1 : currentFrame_ + 1);
}

} // namespace kestrel
