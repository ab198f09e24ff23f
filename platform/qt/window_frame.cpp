#include "platform/qt/window_frame.h"

#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qtview {

#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
xcb_connection_t* xConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atomOf(xcb_connection_t* c, const char* name) {
  static xcb_connection_t* atomConnection = nullptr;
  static std::map<std::string, xcb_atom_t> atoms;
  if (atomConnection != c) atoms.clear();
  atomConnection = c;
  if (auto it = atoms.find(name); it != atoms.end()) return it->second;
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, false, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atoms[name] = atom;
}

std::vector<uint32_t> windowProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
  std::vector<uint32_t> values;
  xcb_get_property_reply_t* reply =
      xcb_get_property_reply(c, xcb_get_property(c, false, window, name, type, 0, 1024), nullptr);
  if (!reply) return values;
  if (reply->format == 32) {
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    values.assign(v, v + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}
#endif

namespace {

#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
std::optional<QMargins> askWindowManager(bool toolWindow) {
  xcb_connection_t* c = xConnection();
  if (!c) return std::nullopt;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const xcb_atom_t request = atomOf(c, "_NET_REQUEST_FRAME_EXTENTS"), extents = atomOf(c, "_NET_FRAME_EXTENTS");
  if (windowProperty(c, root, atomOf(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty()) return std::nullopt;
  const std::vector<uint32_t> offered = windowProperty(c, root, atomOf(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
  if (std::find(offered.begin(), offered.end(), request) == offered.end()) return std::nullopt;

  // A window of the kind, never shown: the manager sets the frame it would draw on it.
  QWidget probe;
  Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint;
  if (toolWindow) flags |= Qt::Tool;
  probe.setWindowFlags(flags);
  probe.setFixedSize(100, 100);
  const auto window = static_cast<xcb_window_t>(probe.winId());
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = request;
  xcb_send_event(c, false, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&message));
  // Then a move of the window, which the manager passes on once it has taken the request
  // before it: a manager that has moved the window and set no frame does not answer the request
  // (fluxbox answers it only for the windows it manages), and is not waited for.
  const uint32_t movedX = 1;
  xcb_configure_window(c, window, XCB_CONFIG_WINDOW_X, &movedX);
  xcb_flush(c);
  const auto frameSet = [&]() -> std::optional<QMargins> {
    const std::vector<uint32_t> v = windowProperty(c, window, extents, XCB_ATOM_CARDINAL);
    if (v.size() != 4) return std::nullopt;  // left, right, top, bottom
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
  };
  const auto moved = [&] {
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const bool done = g && g->x == static_cast<int16_t>(movedX);
    std::free(g);
    return done;
  };
  // The manager answers as soon as it takes the request; one that is busy gets half a second.
  for (int i = 0; i < 250; ++i) {
    if (const std::optional<QMargins> frame = frameSet()) return frame;
    if (moved()) return frameSet();
    QThread::msleep(2);
  }
  return std::nullopt;
}
#else
std::optional<QMargins> askWindowManager(bool) { return std::nullopt; }
#endif

}  // namespace

#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
unsigned long managerFrameOf(const QWidget* w) {
  xcb_connection_t* c = xConnection();
  if (!c || !w->testAttribute(Qt::WA_WState_Created)) return 0;
  // The ancestor of the window that is a child of the root window (its own window when no
  // manager framed it).
  const auto own = static_cast<xcb_window_t>(w->winId());
  xcb_window_t window = own;
  for (int depth = 0; depth < 8; ++depth) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree) return 0;
    const xcb_window_t parent = tree->parent, root = tree->root;
    std::free(tree);
    if (parent == root || parent == XCB_WINDOW_NONE) return window == own ? 0 : window;
    window = parent;
  }
  return 0;
}

bool frameOnScreen(unsigned long frame) {
  xcb_connection_t* c = xConnection();
  if (!c || !frame) return false;
  xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
      c, xcb_get_window_attributes(c, static_cast<xcb_window_t>(frame)), nullptr);
  const bool shown = a && a->map_state == XCB_MAP_STATE_VIEWABLE;  // no reply: the frame is gone
  std::free(a);
  return shown;
}
#else
unsigned long managerFrameOf(const QWidget*) { return 0; }
bool frameOnScreen(unsigned long) { return false; }
#endif

bool windowManagerFrame(bool toolWindow, QMargins& frame) {
  static bool asked[2] = {false, false};
  static std::optional<QMargins> known[2];
  const int kind = toolWindow ? 1 : 0;
  if (!asked[kind]) {
    asked[kind] = true;
    known[kind] = askWindowManager(toolWindow);
  }
  if (!known[kind]) return false;
  frame = *known[kind];
  return true;
}

}  // namespace qtview
