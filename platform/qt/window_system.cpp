#include "platform/qt/window_system.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#define ORVADEX_X_ADAPTER 1
#endif

#include "platform/qt/view_support.h"

namespace qtview {

// The longest pause between two asks of a wait: an answer is seen at most this late.
constexpr unsigned long kLongestPauseMs = 8;

bool waitForWindowSystem(qint64 limitMs, const std::function<bool()>& done) {
  QElapsedTimer waited;
  waited.start();
  unsigned long pauseMs = 1;
  while (!done()) {
    if (waited.hasExpired(limitMs)) return false;
    QThread::msleep(pauseMs);
    pauseMs = std::min(pauseMs * 2, kLongestPauseMs);
  }
  return true;
}

namespace {

#if defined(ORVADEX_X_ADAPTER)
class XAdapter : public WindowSystem {
 public:
  explicit XAdapter(xcb_connection_t* c) : c_(c), root_(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root) {}

  std::optional<QMargins> frameFor(bool toolWindow) override {
    const int kind = toolWindow ? 1 : 0;
    if (!asked_[kind]) {
      asked_[kind] = true;
      frames_[kind] = askFrame(toolWindow);
    }
    return frames_[kind];
  }

  unsigned long managerFrameOf(const QWidget* w) override {
    if (!w->testAttribute(Qt::WA_WState_Created)) return 0;
    // The window's parent, when the manager reparented it into a frame: that frame leaves the
    // screen when the manager takes the window away (its outer frame unmapped, or destroyed).
    // A parent that is a root to the manager (a virtual root, which stays on the screen) is no
    // frame.
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(c_, xcb_query_tree(c_, static_cast<xcb_window_t>(w->winId())), nullptr);
    if (!tree) return 0;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == root_ || parent == XCB_WINDOW_NONE || virtualRoot(parent)) return 0;
    return parent;
  }

  bool frameOnScreen(unsigned long frame) override {
    if (!frame) return false;
    xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
        c_, xcb_get_window_attributes(c_, static_cast<xcb_window_t>(frame)), nullptr);
    const bool shown = a && a->map_state == XCB_MAP_STATE_VIEWABLE;  // no reply: the frame is gone
    std::free(a);
    return shown;
  }

  std::optional<QMargins> frameOf(QWidget* w) override {
    const std::vector<uint32_t> v = property(id(w), atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    return marginsOf(v);
  }

  // Qt reads the frame again when the property that holds it changes: it is written anew with the
  // value the manager gave it.
  void rereadFrame(QWidget* w) override {
    const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");
    const std::vector<uint32_t> v = property(id(w), extents, XCB_ATOM_CARDINAL);
    if (v.size() != 4) return;
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id(w), extents, XCB_ATOM_CARDINAL, 32, 4, v.data());
    xcb_flush(c_);
  }

  bool maximisedOrFullScreen(QWidget* w) override {
    const std::vector<uint32_t> states = property(id(w), atom("_NET_WM_STATE"), XCB_ATOM_ATOM);
    return std::any_of(states.begin(), states.end(), [this](uint32_t s) {
      return s == atom("_NET_WM_STATE_MAXIMIZED_VERT") || s == atom("_NET_WM_STATE_MAXIMIZED_HORZ") ||
             s == atom("_NET_WM_STATE_FULLSCREEN");
    });
  }

  void leaveMaximised(QWidget* w) override {
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = id(w);
    e.type = atom("_NET_WM_STATE");
    // One request a state (full screen; both halves of maximised), each removing one or two.
    const xcb_atom_t removed[][2] = {{atom("_NET_WM_STATE_FULLSCREEN"), XCB_ATOM_NONE},
                                     {atom("_NET_WM_STATE_MAXIMIZED_VERT"), atom("_NET_WM_STATE_MAXIMIZED_HORZ")}};
    for (const auto& states : removed) {
      e.data.data32[0] = 0;  // remove
      e.data.data32[1] = states[0];
      e.data.data32[2] = states[1];
      e.data.data32[3] = 1;  // from an application
      toManager(e);
    }
    xcb_flush(c_);
  }

  QRect clientArea(QWidget* w) override {
    const xcb_window_t window = id(w);
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, window, root_, 0, 0), nullptr);
    QRect r = w->geometry();
    if (g && t) r = QRect(t->dst_x, t->dst_y, g->width, g->height);
    std::free(g);
    std::free(t);
    return r;
  }

  // The request goes straight to the X server: Qt keeps the geometry it asked for last, which a
  // window manager may not have given, and would send nothing for a geometry it takes for the
  // window's already. The place is the one the window's gravity asks for: the frame's corner
  // (north-west, as a move sets it) or the client area's (static).
  void requestGeometry(QWidget* w, const QRect& client, const QMargins& frame) override {
    const xcb_window_t window = id(w);
    const std::vector<uint32_t> hints = property(window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    enum : uint32_t { kGravityGiven = 1u << 9, kStaticGravity = 10 };
    const bool isStatic = hints.size() >= 18 && (hints[0] & kGravityGiven) && hints[17] == kStaticGravity;
    const QPoint at = isStatic ? client.topLeft() : client.topLeft() - QPoint(frame.left(), frame.top());
    const uint32_t values[] = {static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y()),
                               static_cast<uint32_t>(client.width()), static_cast<uint32_t>(client.height())};
    xcb_configure_window(c_, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(c_);
  }

  // The size hints (minimum equal to maximum) are not enough for every manager: some go by the
  // Motif hints, which Qt writes with resizing always allowed, and again whenever the window's
  // flags change: these are written before each map.
  void forbidResizing(QWidget* w) override {
    const xcb_atom_t hintsAtom = atom("_MOTIF_WM_HINTS");
    if (hintsAtom == XCB_ATOM_NONE) return;
    enum : uint32_t { kFunctions = 1, kDecorations = 2 };
    enum : uint32_t { kFuncMove = 4, kFuncMinimize = 8, kFuncClose = 32 };
    enum : uint32_t { kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32 };
    const Qt::WindowFlags flags = w->windowFlags();
    uint32_t hints[5] = {kFunctions | kDecorations, kFuncMove, kDecorBorder | kDecorTitle, 0, 0};
    if (flags & Qt::WindowMinimizeButtonHint) {
      hints[1] |= kFuncMinimize;
      hints[2] |= kDecorMinimize;
    }
    if (flags & Qt::WindowCloseButtonHint) hints[1] |= kFuncClose;
    if (flags & Qt::WindowSystemMenuHint) hints[2] |= kDecorMenu;
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, id(w), hintsAtom, hintsAtom, 32, 5, hints);
    xcb_flush(c_);
  }

  bool uncoveredWindowsRepaint() override {
    // The compositing manager of the display's first screen, where the program's windows are.
    const xcb_atom_t selection = atom("_NET_WM_CM_S0");
    if (selection == XCB_ATOM_NONE) return true;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, selection), nullptr);
    const bool composited = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return !composited;
  }

 private:
  static xcb_window_t id(const QWidget* w) { return static_cast<xcb_window_t>(w->winId()); }

  xcb_atom_t atom(const char* name) {
    if (auto it = atoms_.find(name); it != atoms_.end()) return it->second;
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c_, xcb_intern_atom(c_, false, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t a = reply->atom;
    std::free(reply);
    return atoms_[name] = a;
  }

  // The 32-bit values of a property of `window` (none when it has not got it).
  std::vector<uint32_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c_, xcb_get_property(c_, false, window, name, type, 0, 1024), nullptr);
    if (!reply) return values;
    if (reply->format == 32) {
      const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
      values.assign(v, v + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
  }

  // _NET_FRAME_EXTENTS: left, right, top, bottom.
  static std::optional<QMargins> marginsOf(const std::vector<uint32_t>& v) {
    if (v.size() != 4) return std::nullopt;
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
  }

  bool virtualRoot(xcb_window_t window) {
    const std::vector<uint32_t> roots = property(root_, atom("_NET_VIRTUAL_ROOTS"), XCB_ATOM_WINDOW);
    return std::find(roots.begin(), roots.end(), window) != roots.end() ||
           !property(window, atom("__SWM_VROOT"), XCB_ATOM_WINDOW).empty();
  }

  void toManager(const xcb_client_message_event_t& e) {
    xcb_send_event(c_, false, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
  }

  // Asks the window manager which frame it would draw round a window of the kind, with a window
  // of the kind that is never shown (_NET_REQUEST_FRAME_EXTENTS).
  std::optional<QMargins> askFrame(bool toolWindow) {
    const xcb_atom_t request = atom("_NET_REQUEST_FRAME_EXTENTS"), extents = atom("_NET_FRAME_EXTENTS");
    if (property(root_, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty()) return std::nullopt;
    const std::vector<uint32_t> offered = property(root_, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (std::find(offered.begin(), offered.end(), request) == offered.end()) return std::nullopt;

    QWidget probe;
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (toolWindow) flags |= Qt::Tool;
    probe.setWindowFlags(flags);
    probe.setFixedSize(100, 100);
    const xcb_window_t window = id(&probe);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    toManager(message);
    // Then a move of the window, which the manager passes on once it has taken the request
    // before it: a manager that has moved the window and set no frame does not answer the
    // request (it answers only for the windows it manages), and is not waited for.
    const uint32_t movedX = 1;
    xcb_configure_window(c_, window, XCB_CONFIG_WINDOW_X, &movedX);
    xcb_flush(c_);
    std::optional<QMargins> frame;
    const auto frameSet = [&] {
      frame = marginsOf(property(window, extents, XCB_ATOM_CARDINAL));
      return frame.has_value();
    };
    const auto moved = [&] {
      xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
      const bool done = g && g->x == static_cast<int16_t>(movedX);
      std::free(g);
      return done;
    };
    waitForWindowSystem(kFrameAnswerWaitMs, [&] { return frameSet() || moved(); });
    if (!frame) frameSet();
    return frame;
  }

  xcb_connection_t* c_;
  xcb_window_t root_;
  std::map<std::string, xcb_atom_t> atoms_;
  bool asked_[2] = {false, false};
  std::optional<QMargins> frames_[2];
};
#endif

}  // namespace

namespace {
WindowSystem* used = nullptr;
}  // namespace

void useWindowSystem(WindowSystem* ws) { used = ws; }

WindowSystem& windowSystem() {
  if (used) return *used;
  static QtOnlyWindowSystem qtOnly;
#if defined(ORVADEX_X_ADAPTER)
  // One adapter for the connection Qt has open now (a program, or a test, may open the
  // application anew).
  static std::unique_ptr<XAdapter> adapter;
  static xcb_connection_t* adapted = nullptr;
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (c != adapted) {
    adapter = c ? std::make_unique<XAdapter>(c) : nullptr;
    adapted = c;
  }
  if (adapter) return *adapter;
#endif
  return qtOnly;
}

// A window that closes in the middle of the program's work (a question box answered, a modal
// window done) leaves its picture on the windows it covered until they are painted again, and
// the work may not let the window system in for a long time (a connect that probes a camera that
// does not answer): they are painted now. The window system asks the windows it uncovers to
// paint again (exposures) as the window manager takes the closed window's frame away, which a
// busy manager may do well after the close: the work waits for that, then lets the exposures in.
// With no manager's frame the exposures came with the close itself. Under a compositing manager,
// and elsewhere than on an X server, nothing needs doing.
void repaintUncovered(unsigned long managerFrame) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  const bool anyOnScreen = std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
    return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
  });
  WindowSystem& ws = windowSystem();
  if (!anyOnScreen || !ws.uncoveredWindowsRepaint()) return;
  waitForWindowSystem(kUncoveredPaintWaitMs, [&] { return !ws.frameOnScreen(managerFrame); });
  QGuiApplication::sync();  // the exposures are in
  flushPaint();
  QGuiApplication::sync();  // the pixels are on the screen
}

}  // namespace qtview
