#pragma once
// The one table of the file formats the program knows: extension, kind code, reading class and
// the description it is registered under with the picture container. The rows stand in
// registration order, which is the order of the file list's mask and of the open filter; the
// container's registry is filled from them (see RegisterFormatTable), so no codec registers
// itself and the two cannot drift apart.

#include "imaging/core/Picture.h"

#include <optional>
#include <string>
#include <typeindex>
#include <vector>

namespace kestrel {

// Kind codes of files. The shown picture's kind adds 7 (made by editing) and 16 (cut out by the
// crop tool), which no file has.
enum TFileKind : int {
  fkNone = 0,
  fkJpeg = 1,
  fkBmp = 2,
  fkIcon = 3,
  fkWmf = 4,
  fkEmf = 5,
  fkGif = 6,
  fkPng = 8,
  fkTiff = 9,
  fkVst = 10,
  fkTga = 11,
  fkAfi = 12,
  fkPcc = 13,
  fkPcx = 14,
  fkDcx = 15,
  fkSound = 17
};

struct TFormatRow {
  std::string Extension; // lower case, without the dot
  TFileKind Kind;
  std::string Description;
  // The reading class; none for a row whose class the viewer registers itself (the sound), or
  // whose class does not exist in this build.
  std::optional<std::type_index> Class;
  TGraphicFactory Create;
};

// Every row, in registration order.
const std::vector<TFormatRow>& FormatTable();
// The row of an extension ("png", ".PNG" or a path), compared in lower case; nothing for others.
const TFormatRow* FindFormatRow(const std::string& extensionOrPath);
// The kind of a path by its extension; fkNone for an unknown one.
TFileKind KindOfPath(const std::string& path);

// Registers every row that has its class with the picture container, in table order (done once
// when the image library starts; registering again changes nothing).
void RegisterFormatTable();
// Registers a row whose class the viewer supplies (the sound) under the row's description.
void RegisterFormatRow(const std::string& extension, std::type_index graphicClass,
                       TGraphicFactory create);

// Every extension of the table in order ("bmp", "ico", ...).
std::vector<std::string> TableExtensions();
// The container's filter of readable files without the sound entry:
// "All (*.bmp;...)|*.bmp;...|Bitmaps (*.bmp)|*.bmp|..." less "*.wav" and "Sound WAVE File".
std::string OpenFilter();

} // namespace kestrel
