#pragma once
// Byte counts as the program shows them everywhere: the status line, the pop-up menus, the find
// window's size column.

#include <QString>

namespace kestrel {

// A byte count as text: the prefix of kind (0 none, 1 "Size: ", 2 "Space Free: ", 3 "Memory Size
// of Image: ", any other "Size:"), the value with up to two decimals in " Bytes", " KB" or " MB".
// A value of 0 gives an empty text.
QString SizeText(int kind, qint64 value);

} // namespace kestrel
