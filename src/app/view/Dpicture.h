#pragma once
// TDpicture: the picture holder of the viewer. It reads a file through the class registered for
// its extension and keeps what the viewer shows from: pictures read by the image library are
// turned into plain device bitmaps, so everything after the load deals with a TBitmap, a JPEG, a
// GIF, an icon or a metafile.
//
// Reading is split from taking the result, so that a file can be read on a worker thread while
// the holder stays with the window: ReadPictureFile makes the graphic, Adopt takes it.

#include "app/view/ImageKind.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"

#include <QString>

#include <memory>

namespace kestrel {

class TDibGraphic;

// What reading one file gave.
struct TPictureRead {
  TImageKind Kind = ikNone;
  bool IsDIB = false;                // read by the image library and made a device bitmap
  std::unique_ptr<TGraphic> Graphic; // null for an unknown kind, a sound, or a failure
  QString Error;                     // why reading failed; empty when it did not
  bool Failed() const { return !Error.isEmpty(); }
};

// Reads path by its kind (screenDepth: the screen's bits per pixel). A bitmap file is read
// straight into a device bitmap (ignoring its palette on screens of 8 bits or fewer); a sound or
// an unknown extension reads nothing; anything else goes through the registered class, and an
// image-library picture then becomes a device bitmap (DeviceBitmapOf). Errors are caught and
// reported in Error. Safe on any thread.
TPictureRead ReadPictureFile(const QString& path, int screenDepth);

// The graphic of path as ReadPictureFile reads it for screenDepth: null for a sound or an unknown
// kind; a failure raises EInvalidGraphic with the reason. Safe on any thread.
std::unique_ptr<TGraphic> ReadPictureGraphic(const std::string& path, int screenDepth);

// The device bitmap of an image-library picture of kind: above 8 bits per pixel a 24-bit copy
// (without a palette, and ignoring palettes on screens of 8 bits or fewer); otherwise a 4-bit
// (up to 4 bits) or 8-bit bitmap with the picture's colours as its palette, or, for icons and
// metafiles, with no palette of its own and the picture drawn on it. Where the bitmap keeps the
// picture's own packing it takes the pixels over, leaving the picture empty, so a large picture is
// never held twice. An empty picture raises EInvalidGraphic "Cannot Read DIB".
std::unique_ptr<TBitmap> DeviceBitmapOf(TDibGraphic& picture, int kind, int screenDepth);

class TDpicture : public TPicture {
public:
  const char* ClassName() const override { return "TDpicture"; }

  int ImgType = ikNone; // kind of the last file loaded
  bool IsDIB = false;   // that file was read by the image library

  // Loads path (the holder's own load): a sound is played and the graphic kept, an unknown
  // extension keeps the graphic too; a failure raises EInvalidGraphic with the reason and leaves
  // the graphic as it was.
  void Load(const QString& path, int screenDepth);
  // Takes what ReadPictureFile gave: the kind and, when a graphic was read, the graphic.
  void Adopt(TPictureRead&& read);
};

} // namespace kestrel
