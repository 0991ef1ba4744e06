#pragma once
// "Stay On &Top": the program's window above all normal windows, or back among them. Its tool
// windows belong to it and stay above it either way. Some Wayland compositors ignore the wish.

class QWidget;

namespace kestrel {

// Puts window in the top-most band (on) or takes it out, keeping its place, its size and its
// state, and showing it again (changing the band makes the window system show it anew).
void SetStayOnTop(QWidget& window, bool on);

} // namespace kestrel
