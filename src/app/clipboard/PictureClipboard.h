#pragma once
// "&Copy Image" and "&Paste Image": the shown picture to the clipboard as a bitmap, and a picture
// from the clipboard as a bitmap of the depth it came with.
//
// A paste takes the clipboard's bitmap when there is one, else its "GIF Image". What another
// program put there is read by the program's own readers, so a damaged file or one that claims a
// picture past the memory limit is refused like a bad file, and the shown picture stays.

#include "imaging/core/Color.h"

#include <QString>

#include <memory>

namespace kestrel {

class TBitmap;
class TGraphic;

// Puts bitmap on the clipboard (nothing for an empty bitmap).
void CopyPicture(const TBitmap& bitmap);

struct TPasted {
  enum class TOutcome { Nothing, Failed, Picture };
  TOutcome Outcome = TOutcome::Nothing; // Nothing: the clipboard holds no picture (text, say)
  std::unique_ptr<TBitmap> Bitmap;      // the picture
  QString Reason;                       // why a picture there could not be read
};

// The clipboard's picture. Its depth decides the bitmap's (1 bit, 4 for 2 to 4, 8 for 5 to 8;
// 15, 16, 24 and 32 as they are; other depths the device's), and its palette comes along; where
// it does not cover the bitmap, background shows.
TPasted PastePicture(TColor background);

// graphic as a bitmap of the depth it has (as above), drawn on background.
std::unique_ptr<TBitmap> BitmapOfDepth(TGraphic& graphic, TColor background);

} // namespace kestrel
