#pragma once
// Writing the text box's lines into a picture: every line, trailing blanks removed, is drawn in
// the box's font and colour on a block of the box's background colour, as wide as the widest line
// and as high as the lines; the block lands with its top-left corner at the given point. In
// transparent mode only the letters are written and the picture shows between them.

#include "imaging/core/Color.h"
#include "imaging/core/Types.h"

#include <QFont>
#include <QStringList>

namespace kestrel {

class TBitmap;

struct TTextStyle {
  QFont Font;
  TColor Color = clBlack;
  TColor Background = clWhite;
  bool Transparent = false;
};

// The size of the block the lines make (0 x 0 when every line is blank).
TSize TextBlockSize(const QStringList& lines, const QFont& font);
// Writes the lines into picture at topLeft (needs a QGuiApplication for fonts). Returns the
// rectangle of the picture written, clipped to it; empty when there is nothing to write.
TRect WriteTextOnPicture(TBitmap& picture, TPoint topLeft, const QStringList& lines,
                         const TTextStyle& style);

} // namespace kestrel
