#include "app/view/ViewTexts.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/jpeg/JpegImage.h"

#include <QFileInfo>

namespace kestrel {
namespace {

// The "#.##" pattern: at most two decimals, trailing zeros and a bare point dropped.
QString Decimals(double value) {
  QString text = QString::number(value, 'f', 2);
  while (text.endsWith('0'))
    text.chop(1);
  if (text.endsWith('.')) text.chop(1);
  return text;
}

QString SizePrefix(int kind) {
  switch (kind) {
  case skPlain:
    return {};
  case skFile:
    return "Size: ";
  case skFreeSpace:
    return "Space Free: ";
  case skImageMemory:
    return "Memory Size of Image: ";
  default:
    return "Size:";
  }
}

QString BitmapFormatText(TPixelFormat format) {
  switch (format) {
  case pfDevice:
    return "pfDevice";
  case pfCustom:
    return "pfCustom";
  default:
    return QString::number(PixelFormatBits(format));
  }
}

QString DibFormatText(TImageFormat format) {
  switch (format) {
  case ifBlackWhite:
    return "1";
  case ifGray16:
  case ifColor16:
    return "4";
  case ifGray256:
  case ifColor256:
    return "8";
  case ifTrueColor:
    return "24";
  }
  return {};
}

} // namespace

QString SizeText(int kind, int64_t bytes) {
  if (bytes == 0) return {};
  double value = static_cast<double>(bytes);
  QString unit = " Bytes";
  if (value >= 1024) {
    value /= 1024;
    unit = " KB";
    if (value >= 1024) {
      value /= 1024;
      unit = " MB";
    }
  }
  return SizePrefix(kind) + Decimals(value) + unit;
}

QString PixelFormatText(const TGraphic* graphic) {
  QString text;
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic))
    text = BitmapFormatText(bitmap->PixelFormat());
  else if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(graphic))
    text = jpeg->PixelFormat() == jf8Bit ? "8" : "24";
  else if (const auto* dib = dynamic_cast<const TDibGraphic*>(graphic))
    text = DibFormatText(dib->ImageFormat());
  if (text.isEmpty()) return {};
  return " ( " + text + " bits/pixel" + " )";
}

QString CaptionText(int magnification, int reduction, const QString& path) {
  return QString("(Magn %1:1, Scale 1:%2) - %3").arg(magnification).arg(reduction).arg(path);
}

QString PaletteText(int entries, bool synthesized) {
  if (entries <= 0) return "No Palette";
  return QString::number(entries) + " Color" + (synthesized ? " Synthesized" : "") + " Palette";
}

QString ImageDescriptionText(const QString& path, const QString& pixelFormatText,
                             const QString& paletteText) {
  return "Editor Image: " + QFileInfo(path).completeBaseName() + " " + pixelFormatText + " - " +
         paletteText;
}

} // namespace kestrel
