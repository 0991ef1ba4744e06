#pragma once
// The labels of an index page: the title, the footer and each picture's caption, drawn on a
// bitmap of their own that the page then takes (the label's background left out when the label
// is transparent). A caption wider than its cell is broken into two lines.

#include "imaging/core/Bitmap.h"

#include <QString>

#include <functional>

namespace kestrel {

struct TCaptionLines {
  QString First;
  QString Second; // empty for a text that stays on one line
};

// Breaks text in two when widthOf(text) is not below limit. From the end, the break goes before
// the last character that is neither a letter, a digit nor "!" and whose text up to and
// including it is narrower than limit; failing that, before the last such upper-case letter A-Z;
// failing that, at the middle (length / 2). The second line starts with the character broken
// before ("IMG_0001.JPG" gives "IMG_0001" and ".JPG"). A break never leaves the first line empty.
TCaptionLines BreakCaption(const QString& text, int limit,
                           const std::function<int(const QString&)>& widthOf);

// Makes labels on a bitmap of its own, in the page's background colour.
class TIndexLabel {
public:
  // wrapLimit: the width a wrapped label must stay under (the cell width less the spacing).
  TIndexLabel(TColor background, int wrapLimit);

  // Draws text in font on the label bitmap, which becomes one pixel wider than the widest line
  // and one pixel taller than its lines; each line is centred. A transparent label is drawn
  // without its background. Raises on failure (no fonts, no memory).
  TBitmap& Make(const QString& text, const TFont& font, bool transparent, bool wrap);
  TBitmap& Bitmap() { return bitmap_; }
  void SetWrapLimit(int limit) { wrapLimit_ = limit; }

private:
  TBitmap bitmap_;
  TColor background_;
  int wrapLimit_;
};

// The longest name by its number of characters (the first of equals); empty for none.
QString LongestName(const std::vector<QString>& names);

} // namespace kestrel
