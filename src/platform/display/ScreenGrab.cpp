#include "platform/display/ScreenGrab.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace kestrel {
namespace {

struct TFree {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T> using TReply = std::unique_ptr<T, TFree>;

xcb_connection_t* X11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// count 32-bit values of a property, or nothing when the window lacks it.
std::optional<std::vector<uint32_t>> Property(xcb_connection_t* c, xcb_window_t window,
                                              const char* name, xcb_atom_t type, uint32_t count) {
  const xcb_atom_t atom = Atom(c, name);
  if (atom == XCB_ATOM_NONE) return std::nullopt;
  TReply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, type, 0, count), nullptr));
  if (!reply || reply->format != 32 ||
      xcb_get_property_value_length(reply.get()) < static_cast<int>(count * sizeof(uint32_t)))
    return std::nullopt;
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + count);
}

xcb_window_t RootWindow(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The child of the root window that holds window.
xcb_window_t TopLevelOf(xcb_connection_t* c, xcb_window_t window, xcb_window_t root) {
  while (window != XCB_WINDOW_NONE && window != root) {
    TReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree) return XCB_WINDOW_NONE;
    if (tree->parent == root) return window;
    window = tree->parent;
  }
  return XCB_WINDOW_NONE;
}

xcb_window_t WindowInFront(xcb_connection_t* c, xcb_window_t root) {
  if (const auto active = Property(c, root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, 1);
      active && (*active)[0] != XCB_WINDOW_NONE)
    return (*active)[0];
  // No window manager says which: the window with the keyboard focus.
  TReply<xcb_get_input_focus_reply_t> focus(
      xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
    return XCB_WINDOW_NONE;
  return TopLevelOf(c, focus->focus, root);
}

// The window's outer rectangle on the root window, border and frame included.
std::optional<QRect> OuterRect(xcb_connection_t* c, xcb_window_t window, xcb_window_t root) {
  TReply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  TReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
      c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
  if (!geometry || !origin) return std::nullopt;
  const int border = geometry->border_width;
  QRect rect(origin->dst_x - border, origin->dst_y - border, geometry->width + 2 * border,
             geometry->height + 2 * border);
  // Left, right, top, bottom: the decorations a window manager put round the window.
  if (const auto frame = Property(c, window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, 4))
    rect.adjust(-static_cast<int>((*frame)[0]), -static_cast<int>((*frame)[2]),
                static_cast<int>((*frame)[1]), static_cast<int>((*frame)[3]));
  return rect;
}

} // namespace

bool ScreenGrabAvailable() {
  return QGuiApplication::primaryScreen() != nullptr &&
         !QGuiApplication::platformName().startsWith("wayland");
}

QImage GrabScreen(const QRect& area) {
  if (!ScreenGrabAvailable()) return {};
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect whole = screen->geometry();
  const QRect part = area.isEmpty() ? whole : area.intersected(whole);
  if (part.isEmpty()) return {};
  // The window system's coordinates are the screen's own, from its top-left corner.
  const QPixmap pixels = screen->grabWindow(0, part.x() - whole.x(), part.y() - whole.y(),
                                            part.width(), part.height());
  return pixels.toImage();
}

std::optional<QRect> ActiveWindowFrame() {
  xcb_connection_t* c = X11Connection();
  if (!c) return std::nullopt;
  const xcb_window_t root = RootWindow(c);
  const xcb_window_t front = WindowInFront(c, root);
  if (front == XCB_WINDOW_NONE) return std::nullopt;
  const auto rect = OuterRect(c, front, root);
  if (!rect) return std::nullopt;
  const QRect shown = rect->intersected(QGuiApplication::primaryScreen()->geometry());
  if (shown.isEmpty()) return std::nullopt;
  return shown;
}

bool CtrlKeyDown() {
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

} // namespace kestrel
