#pragma once
// The file list's mask in "&All Files" mode, made from the filter text the user types.

#include <QString>

namespace kestrel {

// Semicolons dropped, a "*" put before a text that does not begin with one and after a text that
// does not end with one, and a final ";": "jpg" gives "*jpg*;".
QString FilterMask(const QString& text);

} // namespace kestrel
