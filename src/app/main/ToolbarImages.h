#pragma once

#include <QIcon>
#include <QString>

namespace kestrel {

// The 16 x 16 image of a toolbar button, drawn by our own code; empty for an unknown name.
QIcon ToolbarImage(const QString& buttonName);

} // namespace kestrel
