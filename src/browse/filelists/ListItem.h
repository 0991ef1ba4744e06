#pragma once

#include "browse/filelists/Glyphs.h"

#include <QString>

#include <vector>

namespace kestrel {

// One line of an owner-drawn list: its text, the name it stands for, its glyph and indent.
struct TListItem {
  QString Text;
  QString Name;
  TGlyph Glyph = TGlyph::None;
  int Indent = 0;
};

// Sorts as a sorted list box does: by text without regard to case.
void SortItems(std::vector<TListItem>& items);

} // namespace kestrel
