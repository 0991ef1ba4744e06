#include "imaging/metafile/Metafile.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Screen.h"
#include "imaging/core/Stream.h"
#include "imaging/metafile/EmfWriter.h"
#include "imaging/metafile/MetafilePlayer.h"
#include "imaging/metafile/WmfWriter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace kestrel {

namespace {

constexpr double kHundredthsMmPerInch = 2540;
// A plain metafile without a placeable header gives no units per inch; it is taken to be drawn
// in screen pixels.
constexpr int kPlainUnitsPerInch = 96;

// What a plain metafile without a placeable header says about its size: its first window, or
// else the extent of the coordinates it draws at.
class TPlainExtent {
public:
  void Add(const TMetaCommand& c) {
    switch (c.Op) {
    case TMetaOp::SetWindowOrg:
      if (!window_) origin_ = c.Points[0];
      return;
    case TMetaOp::SetWindowExt:
      if (!window_)
        window_ = TRect{origin_.X, origin_.Y, origin_.X + c.Points[0].X, origin_.Y + c.Points[0].Y};
      return;
    case TMetaOp::MoveTo:
    case TMetaOp::LineTo:
    case TMetaOp::Polyline:
    case TMetaOp::Polygon:
    case TMetaOp::PolyPolygon:
    case TMetaOp::SetPixel:
      for (const TPoint& p : c.Points)
        Include(p);
      return;
    case TMetaOp::Rectangle:
    case TMetaOp::RoundRect:
    case TMetaOp::Ellipse:
    case TMetaOp::Arc:
    case TMetaOp::Pie:
    case TMetaOp::Chord:
    case TMetaOp::PatBlt:
    case TMetaOp::Blt:
      Include({c.Box.Left, c.Box.Top});
      Include({c.Box.Right, c.Box.Bottom});
      return;
    case TMetaOp::TextOut:
      Include(c.Points[0]);
      return;
    default:
      return;
    }
  }
  TRect Extent() const { return window_ ? *window_ : drawn_.value_or(TRect{}); }

private:
  void Include(const TPoint& p) {
    if (!drawn_) {
      drawn_ = TRect{p.X, p.Y, p.X, p.Y};
      return;
    }
    drawn_ = TRect{std::min(drawn_->Left, p.X), std::min(drawn_->Top, p.Y),
                   std::max(drawn_->Right, p.X), std::max(drawn_->Bottom, p.Y)};
  }
  TPoint origin_;
  std::optional<TRect> window_;
  std::optional<TRect> drawn_;
};

void SetFrame(TMetafileHeader& h, const TRect& frame, double unitsPerInch) {
  h.FrameLeft = frame.Left;
  h.FrameTop = frame.Top;
  h.FrameRight = frame.Right;
  h.FrameBottom = frame.Bottom;
  h.UnitsPerMmX = h.UnitsPerMmY = unitsPerInch / 25.4;
  h.MmWidth = std::llround(double(frame.Right) - frame.Left) * kHundredthsMmPerInch / unitsPerInch;
  h.MmHeight = std::llround(double(frame.Bottom) - frame.Top) * kHundredthsMmPerInch / unitsPerInch;
}

// The frame of an enhanced metafile in its reference device's pixels; an empty frame falls back
// to the bounds.
void SetEnhancedFrame(TMetafileHeader& h) {
  auto perMm = [](int pixels, int mm) { return pixels > 0 && mm > 0 ? double(pixels) / mm : 0.0; };
  h.UnitsPerMmX = perMm(h.Device.Width, h.Millimeters.Width);
  h.UnitsPerMmY = perMm(h.Device.Height, h.Millimeters.Height);
  if (h.UnitsPerMmX == 0 || h.UnitsPerMmY == 0) h.UnitsPerMmX = h.UnitsPerMmY = 96 / 25.4;
  const TRect& f = h.EmfFrame;
  if (f.Right > f.Left && f.Bottom > f.Top) {
    h.FrameLeft = f.Left * h.UnitsPerMmX / 100;
    h.FrameTop = f.Top * h.UnitsPerMmY / 100;
    h.FrameRight = f.Right * h.UnitsPerMmX / 100;
    h.FrameBottom = f.Bottom * h.UnitsPerMmY / 100;
    h.MmWidth = int64_t(f.Right) - f.Left;
    h.MmHeight = int64_t(f.Bottom) - f.Top;
    return;
  }
  const TRect& b = h.EmfBounds;
  h.FrameLeft = b.Left;
  h.FrameTop = b.Top;
  h.FrameRight = double(b.Right) + 1;
  h.FrameBottom = double(b.Bottom) + 1;
  h.MmWidth = std::llround((h.FrameRight - h.FrameLeft) * 100 / h.UnitsPerMmX);
  h.MmHeight = std::llround((h.FrameBottom - h.FrameTop) * 100 / h.UnitsPerMmY);
}

int PixelsOf(int64_t hundredthsMm, int dpi) {
  const double pixels = std::abs(double(hundredthsMm)) * dpi / kHundredthsMmPerInch;
  return pixels > ImageLimits::kMaxDimension ? -1 : static_cast<int>(std::lround(pixels));
}

std::vector<uint8_t> ReadRest(TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size < 0 || static_cast<uint64_t>(size) > ImageLimits::MaxBytes())
    throw EInvalidGraphic("Metafile too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (stream.Read(bytes.data(), size) != size) throw EInvalidGraphic("Metafile truncated");
  return bytes;
}

} // namespace

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

std::unique_ptr<TGraphic> TMetafile::NewInstance() const {
  auto made = std::make_unique<TMetafile>();
  made->enhanced_ = enhanced_;
  return made;
}

void TMetafile::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    bytes_.clear();
    header_ = TMetafileHeader();
    width_ = height_ = 0;
    Changed();
    return;
  }
  if (const auto* other = dynamic_cast<const TMetafile*>(source)) {
    bytes_ = other->bytes_;
    header_ = other->header_;
    enhanced_ = other->enhanced_;
    width_ = other->width_;
    height_ = other->height_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::LoadFromBytes(std::vector<uint8_t> bytes) {
  auto reader = OpenMetaReader(bytes);
  TMetafileHeader header = reader->Header();
  // Every record is decoded once here, so a damaged file is refused now, not when drawn.
  TPlainExtent extent;
  TMetaCommand command;
  while (reader->Next(command))
    if (!header.Enhanced) extent.Add(command);
  const size_t end = reader->Position();
  if (header.Enhanced)
    SetEnhancedFrame(header);
  else if (header.Placeable)
    SetFrame(header, header.Bounds, header.Inch);
  else
    SetFrame(header, extent.Extent(), kPlainUnitsPerInch);
  const int width = PixelsOf(header.MmWidth, ScreenLogicalDpiX());
  const int height = PixelsOf(header.MmHeight, ScreenLogicalDpiY());
  if (width < 0 || height < 0 || (width > 0 && height > 0 && !ImageLimits::Fits(width, height, 32)))
    throw EInvalidGraphic("Metafile picture exceeds the memory limit");
  bytes.resize(end);
  bytes_ = std::move(bytes);
  header_ = header;
  enhanced_ = header.Enhanced;
  width_ = width;
  height_ = height;
  Changed();
}

void TMetafile::LoadFromStream(TStream& stream) {
  LoadFromBytes(ReadRest(stream));
}

std::vector<uint8_t> TMetafile::Encode(bool enhanced) const {
  if (Empty()) throw EInvalidGraphic("Cannot write an empty metafile");
  if (enhanced == header_.Enhanced) return bytes_;
  auto reader = OpenMetaReader(bytes_);
  TMetaCommand command;
  if (enhanced) {
    TEmfWriter writer(header_);
    while (reader->Next(command))
      writer.Write(command);
    return writer.Finish();
  }
  TWmfWriter writer(header_);
  while (reader->Next(command))
    writer.Write(command);
  return writer.Finish();
}

void TMetafile::SaveToStream(TStream& stream) {
  const std::vector<uint8_t> bytes = Encode(enhanced_);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TMetafile::SaveToFile(const std::string& path) {
  const std::string extension = LowerExtension(path);
  const bool enhanced = extension == "wmf" ? false : extension == "emf" ? true : enhanced_;
  const std::vector<uint8_t> bytes = Encode(enhanced);
  TFileStream stream(path, TFileMode::Create);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.Flush();
}

void TMetafile::SetEnhanced(bool value) {
  if (value == enhanced_) return;
  enhanced_ = value;
  Changed();
}

int TMetafile::MMWidth() const {
  return static_cast<int>(std::clamp<int64_t>(header_.MmWidth, INT32_MIN, INT32_MAX));
}

int TMetafile::MMHeight() const {
  return static_cast<int>(std::clamp<int64_t>(header_.MmHeight, INT32_MIN, INT32_MAX));
}

void TMetafile::DoSetWidth(int width) {
  width_ = std::max(0, width);
  Changed();
}

void TMetafile::DoSetHeight(int height) {
  height_ = std::max(0, height);
  Changed();
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  canvas.PaintOnCopy(rect, [&](QPainter& painter) {
    TMetafilePlayer player(painter, header_,
                           QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()));
    auto reader = OpenMetaReader(bytes_);
    TMetaCommand command;
    while (reader->Next(command))
      player.Play(command);
  });
}

} // namespace kestrel
