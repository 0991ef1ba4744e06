#include "app/view/ViewTexts.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/jpeg/JpegImage.h"

#include <QFileInfo>

namespace kestrel {
namespace {

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

QString PixelFormatText(const TGraphic* graphic) {
  QString text;
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic))
    text = BitmapFormatText(bitmap->PixelFormat());
  else if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(graphic))
    text = jpeg->PixelFormat() == jf8Bit ? "8" : "24";
  else if (const auto* gif = dynamic_cast<const TGIFImage*>(graphic))
    text = QString::number(gif->BitsPerPixel());
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
