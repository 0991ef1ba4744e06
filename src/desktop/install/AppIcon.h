#pragma once
// The program's icon, drawn at any size: the launchers, the icon theme files a package installs
// and the windows use it.

#include <QIcon>
#include <QImage>

namespace kestrel {

// The sizes of the icon theme's folders ("16x16" ... "256x256").
inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage AppIcon(int size);
// Every size of kAppIconSizes.
QIcon AppIconSet();

} // namespace kestrel
