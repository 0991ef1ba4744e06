#pragma once
// Reading the screen's pixels, finding the window in front, and the Ctrl key: what the captures
// need of the desktop. On X11 the screen is read through the window system; the window in front
// is the one _NET_ACTIVE_WINDOW names (or, without a window manager, the top-level window holding
// the keyboard focus) with its frame (_NET_FRAME_EXTENTS). Wayland keeps other windows' pixels
// from programs: there grabbing is not available.

#include <QImage>
#include <QRect>

#include <optional>

namespace kestrel {

// Whether this desktop lets a program read the screen.
bool ScreenGrabAvailable();
// The pixels of area (in screen coordinates) of the primary screen, or of the whole of it when
// area is empty; a null image when they cannot be read.
QImage GrabScreen(const QRect& area = QRect());
// The outer rectangle, frame included, of the window in front, clipped to its screen; nothing
// when no window is in front or the desktop does not tell.
std::optional<QRect> ActiveWindowFrame();
// Whether a Ctrl key is down now, wherever the keyboard focus is.
bool CtrlKeyDown();

} // namespace kestrel
