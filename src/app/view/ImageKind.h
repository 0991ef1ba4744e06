#pragma once
// The kind code of the shown picture (ImageKind): which file kind it came from, or what made it.

#include "imaging/formats/FormatTable.h"

#include <QString>

namespace kestrel {

enum TImageKind : int {
  ikNone = fkNone,
  ikJpeg = fkJpeg,
  ikBmp = fkBmp,
  ikIcon = fkIcon,
  ikWmf = fkWmf,
  ikEmf = fkEmf,
  ikGif = fkGif,
  ikEdited = 7, // made by editing, no file behind it
  ikPng = fkPng,
  ikTiff = fkTiff,
  ikVst = fkVst,
  ikTga = fkTga,
  ikAfi = fkAfi,
  ikPcc = fkPcc,
  ikPcx = fkPcx,
  ikDcx = fkDcx,
  ikCrop = 16, // cut out by the crop tool
  ikSound = fkSound
};

// The kind of a file by its extension in any case (the format table's); ikNone for an unknown one.
TImageKind ImageKindOf(const QString& path);

// Pictures with no file behind them (made by editing or cut out by the crop tool) are never shown
// reduced.
inline bool NeverReduced(int kind) {
  return kind == ikEdited || kind == ikCrop;
}

// Kinds whose pictures are drawn by a class outside the image library: icons and metafiles.
inline bool IsIconOrMetafile(int kind) {
  return kind == ikIcon || kind == ikWmf || kind == ikEmf;
}

} // namespace kestrel
