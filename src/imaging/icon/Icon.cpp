#include "imaging/icon/Icon.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <QPainter>

namespace kestrel {

namespace {

// The rest of a stream, refused when it is larger than any picture may be.
std::vector<uint8_t> ReadRest(TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size < 0 || static_cast<uint64_t>(size) > ImageLimits::MaxBytes())
    throw EInvalidGraphic("Icon file too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (stream.Read(bytes.data(), size) != size) throw EInvalidGraphic("Icon file truncated");
  return bytes;
}

} // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

std::unique_ptr<TGraphic> TIcon::NewInstance() const {
  return std::make_unique<TIcon>();
}

void TIcon::Assign(const TPersistent* source) {
  if (source == this) return;
  if (!source) {
    file_.clear();
    entries_.clear();
    shown_ = -1;
    image_ = QImage();
    Changed();
    return;
  }
  if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
    file_ = icon->file_;
    entries_ = icon->entries_;
    shown_ = icon->shown_;
    image_ = icon->image_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  canvas.PaintOnCopy(rect, [&](QPainter& painter) {
    painter.drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), image_);
  });
}

void TIcon::LoadFromBytes(std::vector<uint8_t> bytes) {
  std::vector<TIcoEntry> entries = ReadIcoDirectory(bytes);
  const int shown = ShownIcoEntry(entries);
  QImage image = DecodeIcoEntry(bytes, entries[static_cast<size_t>(shown)]);
  file_ = std::move(bytes);
  entries_ = std::move(entries);
  shown_ = shown;
  image_ = std::move(image);
  Changed();
}

void TIcon::LoadFromStream(TStream& stream) {
  LoadFromBytes(ReadRest(stream));
}

void TIcon::SaveToStream(TStream& stream) {
  if (Empty()) throw EInvalidGraphic("Cannot write an empty icon");
  stream.WriteBuffer(file_.data(), static_cast<int64_t>(file_.size()));
}

void TIcon::SetImages(const TBitmap& color, const TBitmap& mask) {
  LoadFromBytes(WriteIcoFile(color, mask));
}

TImageInfo TIcon::Info() const {
  TImageInfo info;
  info.Width = Width();
  info.Height = Height();
  info.Frames = std::max<int>(1, static_cast<int>(entries_.size()));
  if (shown_ >= 0) {
    info.BitsPerPixel = entries_[static_cast<size_t>(shown_)].BitsPerPixel;
    info.PaletteEntries = entries_[static_cast<size_t>(shown_)].PaletteEntries;
  }
  return info;
}

TImageInfo TIcon::ReadInfo(TStream& stream) const {
  const std::vector<uint8_t> bytes = ReadRest(stream);
  const std::vector<TIcoEntry> entries = ReadIcoDirectory(bytes);
  const TIcoEntry& shown = entries[static_cast<size_t>(ShownIcoEntry(entries))];
  TImageInfo info;
  info.Width = shown.Width;
  info.Height = shown.Height;
  info.BitsPerPixel = shown.BitsPerPixel;
  info.PaletteEntries = shown.PaletteEntries;
  info.Frames = static_cast<int>(entries.size());
  return info;
}

void TIcon::DoSetWidth(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::DoSetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

} // namespace kestrel
