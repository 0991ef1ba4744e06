#pragma once
// The result codes of the picture index engine and the words shown for them. One code is the
// result of every step; a cell's code is reset once the cell is done, so only a failure to make
// the page itself is left at the end of a run.

#include <string>

namespace kestrel {

enum TIndexCode : int {
  icNone = 0,
  icLoadWallpaper = 1, // reserved
  icDrawCentreWallpaper = 2,
  icTileWallpaper = 3,
  icOutOfMemory = 4,
  icCreatePage = 5,
  icNoClipboardGraphic = 6,
  icBadWallpaper = 7,
  icUnknown = 8, // reserved
  icComplete = 9,
  icImageTooSmall = 10,
  icMakeLabel = 11,
  icThumbnailBorder = 12,
  icLabelBitmap = 13,
  icSourceAssign = 14,
  icSourceScale = 15,
  icSourceDraw = 16,
  icCreateTile = 17
};

// "ERR_OUT_OF_MEMORY", "NORMAL COMPLETE", ...; "" for 0 and for numbers outside the table.
std::string IndexCodeText(int code);

// A final code the user is told of: anything but 0 and "NORMAL COMPLETE".
inline bool IndexCodeShown(int code) {
  return code > icNone && code != icComplete;
}

} // namespace kestrel
