#include "app/view/Dpicture.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "platform/sound/SoundPlayer.h"

#include <QFile>

namespace kestrel {
namespace {

std::string FileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Each pixel keeps its index at the bitmap's depth.
void CopyIndices(const TDibGraphic& picture, TBitmap& bitmap) {
  const int from = picture.BitsPerPixel();
  const int to = bitmap.BitsPerPixel();
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* source = picture.ScanLine(y);
    uint8_t* target = bitmap.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x)
      PixelRows::SetIndex(target, x, to, PixelRows::GetIndex(source, x, from));
  }
}

} // namespace

std::unique_ptr<TBitmap> DeviceBitmapOf(TDibGraphic& picture, int kind, int screenDepth) {
  if (picture.Empty() || picture.Width() <= 0 || picture.Height() <= 0)
    throw EInvalidGraphic("Cannot Read DIB");
  const int bits = picture.BitsPerPixel();
  const int xPelsPerMeter = picture.XPelsPerMeter();
  const int yPelsPerMeter = picture.YPelsPerMeter();
  auto bitmap = std::make_unique<TBitmap>();
  if (bits > 8) {
    bitmap->AdoptPixels(picture.TakePixels(), pf24bit, {});
    if (screenDepth <= 8) bitmap->SetIgnorePalette(true);
  } else if (IsIconOrMetafile(kind)) {
    // No palette of its own: the colours take the nearest of the format's standard ones.
    bitmap->NewImage(picture.Width(), picture.Height(), bits <= 4 ? pf4bit : pf8bit, {});
    bitmap->Canvas().Draw(0, 0, picture);
  } else if (bits == 1) {
    // Drawn with the picture's own colours.
    bitmap->NewImage(picture.Width(), picture.Height(), pf4bit, picture.PaletteHandle());
    CopyIndices(picture, *bitmap);
  } else {
    const TPalette palette = picture.PaletteHandle();
    bitmap->AdoptPixels(picture.TakePixels(), bits == 4 ? pf4bit : pf8bit, palette);
  }
  bitmap->SetPelsPerMeter(xPelsPerMeter, yPelsPerMeter);
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
    if (auto* picture = dynamic_cast<TDibGraphic*>(graphic.get())) {
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

std::unique_ptr<TGraphic> ReadPictureGraphic(const std::string& path, int screenDepth) {
  TPictureRead read = ReadPictureFile(QString::fromStdString(path), screenDepth);
  if (read.Failed()) throw EInvalidGraphic(read.Error.toStdString());
  return std::move(read.Graphic);
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
