#pragma once
// The 16 x 16 glyphs of the drive box and the two lists, drawn by our own code. Each is painted on
// a key colour and shown transparently where a pixel has the colour of its bottom-left pixel.

#include <QImage>
#include <QPixmap>

namespace kestrel {

enum class TGlyph {
  None,
  Floppy,
  Hard,
  Network,
  CDRom,
  Ram,
  OpenFolder,
  ClosedFolder,
  CurrentFolder,
  Executable,
  UnknownFile,
};

// The glyph as painted, with its key colour (16 x 16).
QImage GlyphImage(TGlyph glyph);
// The glyph ready to draw: transparent where the key colour was. Made once per glyph; GUI thread
// only. TGlyph::None gives a null pixmap.
const QPixmap& GlyphPixmap(TGlyph glyph);

// The folder list's glyph bitmap: a 16 x 16 glyph with its transparent colour.
class TFolderBitmap : public QPixmap {
public:
  explicit TFolderBitmap(TGlyph glyph) : QPixmap(GlyphPixmap(glyph)) {}
};

} // namespace kestrel
