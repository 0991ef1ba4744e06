#include "app/view/ImageKind.h"

#include <QFileInfo>

#include <utility>

namespace kestrel {

TImageKind ImageKindOf(const QString& path) {
  static const std::pair<const char*, TImageKind> kinds[] = {
      {"jpg", ikJpeg},  {"jpe", ikJpeg}, {"jpeg", ikJpeg}, {"bmp", ikBmp}, {"ico", ikIcon},
      {"wmf", ikWmf},   {"emf", ikEmf},  {"gif", ikGif},   {"png", ikPng}, {"tif", ikTiff},
      {"tiff", ikTiff}, {"vst", ikVst},  {"tga", ikTga},   {"afi", ikAfi}, {"pcc", ikPcc},
      {"pcx", ikPcx},   {"dcx", ikDcx},  {"wav", ikSound}};
  const QString extension = QFileInfo(path).suffix().toLower();
  for (const auto& [name, kind] : kinds)
    if (extension == QLatin1String(name)) return kind;
  return ikNone;
}

} // namespace kestrel
