#pragma once
// Some windows say what they are about in their caption ("Target Folder for Copy/Move will be:",
// "Kestrel!: Copy File"), and a small window's title bar cuts it short. This is the width a
// window needs for its caption to be read whole, with room for the title bar's buttons, within
// three quarters of its screen.

#include <QString>

class QWidget;

namespace kestrel {

int CaptionWidth(const QWidget& window, const QString& caption);

} // namespace kestrel
