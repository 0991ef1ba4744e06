#pragma once
// The kind code of the shown picture (ImageKind): which file kind it came from, or what made it.

#include <QString>

namespace kestrel {

enum TImageKind : int {
  ikNone = 0,
  ikJpeg = 1,
  ikBmp = 2,
  ikIcon = 3,
  ikWmf = 4,
  ikEmf = 5,
  ikGif = 6,
  ikEdited = 7, // made by editing, no file behind it
  ikPng = 8,
  ikTiff = 9,
  ikVst = 10,
  ikTga = 11,
  ikAfi = 12,
  ikPcc = 13,
  ikPcx = 14,
  ikDcx = 15,
  ikCrop = 16, // cut out by the crop tool
  ikSound = 17 // a WAVE file: played, nothing shown
};

// The kind of a file by its extension in any case; ikNone for an unknown one.
TImageKind ImageKindOf(const QString& path);

// Kinds whose pictures are drawn by a class outside the image library: icons and metafiles.
inline bool IsIconOrMetafile(int kind) {
  return kind == ikIcon || kind == ikWmf || kind == ikEmf;
}

} // namespace kestrel
