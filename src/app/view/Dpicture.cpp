#include "app/view/Dpicture.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "platform/sound/SoundPlayer.h"

#include <QFile>

#include <cstring>

namespace kestrel {
namespace {

std::string FileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

void CopyRows(const TDibGraphic& picture, TBitmap& bitmap) {
  const int width = picture.Width();
  const int from = picture.BitsPerPixel();
  const int to = bitmap.BitsPerPixel();
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* source = picture.ScanLine(y);
    uint8_t* target = bitmap.ScanLine(y);
    if (from == to) {
      std::memcpy(target, source, static_cast<size_t>((width * to + 7) / 8));
      continue;
    }
    for (int x = 0; x < width; ++x)
      PixelRows::SetIndex(target, x, to, PixelRows::GetIndex(source, x, from));
  }
}

} // namespace

std::unique_ptr<TBitmap> DeviceBitmapOf(const TDibGraphic& picture, int kind, int screenDepth) {
  if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0)
    throw EInvalidGraphic("Cannot Read DIB");
  const int bits = picture.BitsPerPixel();
  auto bitmap = std::make_unique<TBitmap>();
  if (bits > 8) {
    bitmap->NewImage(picture.Width(), picture.Height(), pf24bit, {});
    CopyRows(picture, *bitmap);
    if (screenDepth <= 8) bitmap->SetIgnorePalette(true);
  } else {
    const TPixelFormat format = bits <= 4 ? pf4bit : pf8bit;
    if (IsIconOrMetafile(kind)) {
      // No palette of its own: the colours take the nearest of the format's standard ones.
      bitmap->NewImage(picture.Width(), picture.Height(), format, {});
      bitmap->Canvas().Draw(0, 0, const_cast<TDibGraphic&>(picture));
    } else {
      // Drawn with the picture's own colours, each pixel keeps its index.
      bitmap->NewImage(picture.Width(), picture.Height(), format, picture.PaletteHandle());
      CopyRows(picture, *bitmap);
    }
  }
  bitmap->SetPelsPerMeter(picture.XPelsPerMeter(), picture.YPelsPerMeter());
  return bitmap;
}

TPictureRead ReadPictureFile(const QString& path, int screenDepth) {
  TPictureRead read;
  read.Kind = ImageKindOf(path);
  if (read.Kind == ikNone || read.Kind == ikSound) return read;
  try {
    if (read.Kind == ikBmp) {
      auto bitmap = std::make_unique<TBitmap>();
      if (screenDepth <= 8) bitmap->SetIgnorePalette(true);
      bitmap->LoadFromFile(FileName(path));
      read.Graphic = std::move(bitmap);
      return read;
    }
    const auto format = TPicture::FindFileFormat(FileName(path));
    if (!format)
      throw EInvalidGraphic(formatMessage("Unknown picture file extension (.%s)",
                                          LowerExtension(FileName(path)).c_str()));
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->LoadFromFile(FileName(path));
    if (const auto* picture = dynamic_cast<const TDibGraphic*>(graphic.get())) {
      read.IsDIB = true;
      graphic = DeviceBitmapOf(*picture, read.Kind, screenDepth);
    }
    read.Graphic = std::move(graphic);
  } catch (const std::exception& error) {
    read.Graphic.reset();
    read.IsDIB = false;
    read.Error = QString::fromStdString(error.what());
    if (read.Error.isEmpty()) read.Error = "Cannot read " + path;
  }
  return read;
}

void TDpicture::Load(const QString& path, int screenDepth) {
  IsDIB = false;
  ImgType = ImageKindOf(path);
  if (ImgType == ikSound) {
    PlaySoundAsync(path);
    return;
  }
  TPictureRead read = ReadPictureFile(path, screenDepth);
  if (read.Failed()) throw EInvalidGraphic(read.Error.toStdString());
  Adopt(std::move(read));
}

void TDpicture::Adopt(TPictureRead&& read) {
  ImgType = read.Kind;
  IsDIB = read.IsDIB;
  if (read.Graphic) SetGraphic(std::move(read.Graphic));
}

} // namespace kestrel
