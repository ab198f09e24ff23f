#include "qt_support.h"

#include "platform/qt/window_geometry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#if defined(ORVADEX_XCB)
#include <xcb/xcb.h>
#endif

#include "platform/forms/forms.h"

namespace qttest {

namespace {

QApplication* instance = nullptr;

// Deletes the application before the program's static objects go, which Qt needs.
class AppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete instance;
    instance = nullptr;
  }
};
const auto* registered = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

QApplication& app() {
  if (!instance) {
    // Offscreen, unless the run asks for the X server it set up (a private one, with a window
    // manager: see scripts/run_under_window_manager.sh).
    if (qgetenv("QT_QPA_PLATFORM") != "xcb") qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    instance = new QApplication(argc, argv);
    // The text cursor does not blink: a picture of a box with the focus shows it whenever taken.
    QApplication::setCursorFlashTime(0);
    // The windows open on a screen with a panel at the bottom: offscreen one of 1366 x 768
    // pixels, on an X server its own (scripts/run_under_window_manager.sh sets its size).
    QSize size(kScreenWidth, kScreenHeight);
    if (onX11() && QGuiApplication::primaryScreen()) size = QGuiApplication::primaryScreen()->geometry().size();
    forms::Screen.SetSize(size.width() * 15, size.height() * 15);
    forms::Screen.SetWorkArea({0, 0, size.width() * 15, (size.height() - kPanelHeight) * 15});
  }
  return *instance;
}

QString screenshot(QWidget* w, const QString& name) {
  QDir dir(QString(ORVADEX_BINARY_DIR) + "/screenshots");
  dir.mkpath(".");
  const QString prefix = qEnvironmentVariable("ORVADEX_SCREENSHOT_PREFIX");
  QString path = dir.filePath(prefix + name + ".png");
  // On an X server the screen as the user sees it, the window manager's frames included.
  if (onX11()) {
    if (QScreen* screen = w->screen()) screen->grabWindow(0).save(path);
  } else {
    w->grab().save(path);
  }
  return path;
}

QSize screenSize() {
  app();
  return {static_cast<int>(forms::Screen.Width() / 15), static_cast<int>(forms::Screen.Height() / 15)};
}

bool onX11() { return QGuiApplication::platformName() == "xcb"; }

QString windowProperty(QWidget* w, const QString& name) {
  QProcess xprop;
  xprop.start("xprop", w ? QStringList{"-id", QString::number(w->winId()), name} : QStringList{"-root", name});
  if (!xprop.waitForFinished(10000)) return {};
  return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
}

void expectFixedSizeForWindowManager(QWidget* w) {
  if (!onX11() || !qEnvironmentVariableIsSet("ORVADEX_WM_PID")) return;
  // The manager writes the actions anew when the window's hints change (as it is shown).
  QString actions;
  (void)QTest::qWaitFor(
      [&] { return (actions = windowProperty(w, "_NET_WM_ALLOWED_ACTIONS")).contains("_NET_WM_ACTION_"); }, 10000);
  EXPECT_TRUE(actions.contains("_NET_WM_ACTION_MOVE")) << actions.toStdString();
  EXPECT_FALSE(actions.contains("_NET_WM_ACTION_RESIZE")) << actions.toStdString();
  EXPECT_FALSE(actions.contains("_NET_WM_ACTION_MAXIMIZE")) << actions.toStdString();
}

#if defined(ORVADEX_XCB)
namespace {
// A connection to the tests' X server of its own, closed when it goes.
struct XConnection {
  XConnection() : c(xcb_connect(nullptr, &screenNumber)) {
    if (xcb_connection_has_error(c)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (it.rem) root = it.data->root;
  }
  ~XConnection() { xcb_disconnect(c); }
  xcb_atom_t atom(const std::string& name) const {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return a;
  }
  xcb_connection_t* c;
  int screenNumber = 0;
  xcb_window_t root = XCB_WINDOW_NONE;
};
}  // namespace
#endif

unsigned long putIntoWindow(QWidget* w, bool virtualRoot) {
#if defined(ORVADEX_XCB)
  static XConnection x;  // its windows live as long as the tests
  if (!onX11() || xcb_connection_has_error(x.c)) return 0;
  const xcb_window_t outer = xcb_generate_id(x.c);
  xcb_create_window(x.c, XCB_COPY_FROM_PARENT, outer, x.root, 0, 0, 400, 300, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  if (virtualRoot) {
    const xcb_window_t self = outer;
    xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, outer, x.atom("__SWM_VROOT"), XCB_ATOM_WINDOW, 32, 1, &self);
  }
  xcb_map_window(x.c, outer);
  xcb_reparent_window(x.c, static_cast<xcb_window_t>(w->winId()), outer, 10, 10);
  std::free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));  // done
  return outer;
#else
  (void)w, (void)virtualRoot;
  return 0;
#endif
}

bool onScreen(unsigned long window) {
#if defined(ORVADEX_XCB)
  XConnection x;
  if (!window || xcb_connection_has_error(x.c)) return false;
  xcb_get_window_attributes_reply_t* a =
      xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, static_cast<xcb_window_t>(window)), nullptr);
  const bool shown = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(a);
  return shown;
#else
  (void)window;
  return false;
#endif
}

#if defined(ORVADEX_XCB)
namespace {
// screenRect over the connection `x`.
QRect clientOnServer(XConnection& x, QWidget* w) {
  const QRect byQt(w->mapToGlobal(QPoint(0, 0)), w->size());
  xcb_translate_coordinates_reply_t* r = xcb_translate_coordinates_reply(
      x.c, xcb_translate_coordinates(x.c, static_cast<xcb_window_t>(w->window()->winId()), x.root, 0, 0), nullptr);
  if (!r) return byQt;
  QRect byServer(QPoint(r->dst_x, r->dst_y) + w->mapTo(w->window(), QPoint(0, 0)), w->size());
  std::free(r);
  // A window's size too is the server's (a window manager may have resized it).
  if (w->isWindow()) {
    xcb_get_geometry_reply_t* g =
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, static_cast<xcb_window_t>(w->winId())), nullptr);
    if (g) byServer.setSize(QSize(g->width, g->height));
    std::free(g);
  }
  return byServer;
}

// The outer edges of an X window, its border included, in its parent.
QRect outerRect(XConnection& x, xcb_window_t window) {
  xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr);
  if (!g) return {};
  const QRect r(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
  std::free(g);
  return r;
}

// The window of `w` with the frame its window manager draws round it, as the X server has it:
// its client area grown by the frame the manager names (_NET_FRAME_EXTENTS; the manager's own
// window round it may be larger, with borders nobody sees), else the ancestor of the window
// that is a child of the root window (the window itself where no manager framed it).
QRect frameOnServer(XConnection& x, QWidget* w) {
  auto window = static_cast<xcb_window_t>(w->window()->winId());
  xcb_get_property_reply_t* r = xcb_get_property_reply(
      x.c, xcb_get_property(x.c, false, window, x.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4), nullptr);
  const bool named = r && r->format == 32 && xcb_get_property_value_length(r) == 16;
  QMargins frame;
  if (named) {
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));  // left, right, top, bottom
    frame = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
  }
  std::free(r);
  if (named) return clientOnServer(x, w->window()).marginsAdded(frame);
  for (int depth = 0; depth < 8; ++depth) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, window), nullptr);
    if (!tree) return {};
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == x.root || parent == XCB_WINDOW_NONE) break;
    window = parent;
  }
  return outerRect(x, window);
}

// The maximised and full-screen states the window manager gives the window of `w` now (its
// _NET_WM_STATE), as "MAXIMIZED_VERT MAXIMIZED_HORZ FULLSCREEN" or the part of it that holds.
std::string sizeStatesOnServer(XConnection& x, QWidget* w) {
  xcb_get_property_reply_t* r = xcb_get_property_reply(
      x.c, xcb_get_property(x.c, false, static_cast<xcb_window_t>(w->window()->winId()), x.atom("_NET_WM_STATE"),
                            XCB_ATOM_ATOM, 0, 64),
      nullptr);
  std::string states;
  if (r && r->format == 32) {
    const auto* v = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
    const int n = xcb_get_property_value_length(r) / 4;
    for (const char* s : {"MAXIMIZED_VERT", "MAXIMIZED_HORZ", "FULLSCREEN"})
      if (std::find(v, v + n, x.atom(std::string("_NET_WM_STATE_") + s)) != v + n) states += (states.empty() ? "" : " ") + std::string(s);
  }
  std::free(r);
  return states;
}

std::string text(const QRect& r) {
  return std::to_string(r.width()) + "x" + std::to_string(r.height()) + " at " + std::to_string(r.x()) + "," +
         std::to_string(r.y());
}

// What is wrong with where the message box `box` lies (empty: over its window, on the screen).
std::string notOverItsWindow(XConnection& x, QWidget* box) {
  const QRect frame = frameOnServer(x, box), screen = outerRect(x, x.root);
  QWidget* owner = box->parentWidget() ? box->parentWidget()->window() : nullptr;
  const QRect under = owner && owner->isVisible() ? frameOnServer(x, owner) : screen;
  // The middle half of what it is over (a box in a corner of a window that fills the screen is
  // not over it); all of a window less than twice the box's size.
  const bool small = under.width() < 2 * frame.width() || under.height() < 2 * frame.height();
  const QRect middle = small ? under : under.adjusted(under.width() / 4, under.height() / 4, -under.width() / 4, -under.height() / 4);
  std::string wrong;
  if (!middle.contains(frame.center()))
    wrong += "its frame (" + text(frame) + ") is not over the middle of " + (owner ? "its window (" : "the screen (") +
             text(under) + "); ";
  if (!screen.contains(frame)) wrong += "its frame (" + text(frame) + ") is not wholly on the screen (" + text(screen) + "); ";
  return wrong;
}

// The window manager's round trip: a window of the tests' own, never shown, moved by a
// request the manager passes on once it has taken every request sent to it before.
class ManagerSync {
 public:
  ManagerSync() {
    if (xcb_connection_has_error(x.c)) return;
    probe_ = xcb_generate_id(x.c);
    xcb_create_window(x.c, XCB_COPY_FROM_PARENT, probe_, x.root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(x.c);
  }
  ~ManagerSync() {
    if (probe_) xcb_destroy_window(x.c, probe_);
    xcb_flush(x.c);
  }
  // True once the manager has taken what was sent to it before, within `timeoutMs`.
  bool operator()(int timeoutMs) {
    if (!probe_) return false;
    const uint32_t at = ++moves_ % 100 + 1;
    xcb_configure_window(x.c, probe_, XCB_CONFIG_WINDOW_X, &at);
    xcb_flush(x.c);
    return QTest::qWaitFor([&] { return outerRect(x, probe_).x() == static_cast<int>(at); }, timeoutMs);
  }
  XConnection x;

 private:
  xcb_window_t probe_ = 0;
  uint32_t moves_ = 0;
};
}  // namespace
#endif

QRect frameRect(QWidget* w) {
#if defined(ORVADEX_XCB)
  if (onX11()) {
    XConnection x;
    if (!xcb_connection_has_error(x.c)) return frameOnServer(x, w);
  }
#endif
  return w->frameGeometry();
}

QRect screenRect(QWidget* w) {
#if defined(ORVADEX_XCB)
  XConnection x;
  if (onX11() && !xcb_connection_has_error(x.c)) return clientOnServer(x, w);
#endif
  return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

bool compositing() {
#if defined(ORVADEX_XCB)
  XConnection x;
  if (xcb_connection_has_error(x.c)) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(x.c, xcb_get_selection_owner(x.c, x.atom("_NET_WM_CM_S" + std::to_string(x.screenNumber))), nullptr);
  const bool composited = owner && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  return composited;
#else
  return false;
#endif
}

QImage screenArea(const QRect& area) {
#if defined(ORVADEX_XCB)
  if (!onX11() || area.isEmpty()) return {};
  XConnection x;
  if (x.root == XCB_WINDOW_NONE) return {};
  xcb_get_image_reply_t* r = xcb_get_image_reply(
      x.c,
      xcb_get_image(x.c, XCB_IMAGE_FORMAT_Z_PIXMAP, x.root, static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                    static_cast<uint16_t>(area.width()), static_cast<uint16_t>(area.height()), ~0u),
      nullptr);
  if (!r) return {};
  QImage image(area.size(), QImage::Format_RGB32);
  const int length = xcb_get_image_data_length(r);
  if (length == area.width() * area.height() * 4) std::memcpy(image.bits(), xcb_get_image_data(r), length);
  else image = {};
  std::free(r);
  return image;
#else
  (void)area;
  return {};
#endif
}

void sendToWindowManager(QWidget* w, const std::string& type, const std::vector<std::string>& values) {
#if defined(ORVADEX_XCB)
  if (!onX11()) return;
  XConnection x;
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = w ? static_cast<xcb_window_t>(w->winId()) : x.root;
  e.type = x.atom(type);
  for (size_t i = 0; i < values.size() && i < 5; ++i) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(values[i].c_str(), &end, 0);
    e.data.data32[i] = end && *end == '\0' && !values[i].empty() ? static_cast<uint32_t>(n) : x.atom(values[i]);
  }
  xcb_send_event(x.c, false, x.root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&e));
  free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));  // delivered
#else
  (void)w, (void)type, (void)values;
#endif
}

void expectOverItsWindow(QWidget* box, int timeoutMs) {
#if defined(ORVADEX_XCB)
  XConnection x;
  if (!onX11() || xcb_connection_has_error(x.c)) return;
  std::string wrong;
  (void)QTest::qWaitFor([&] { return (wrong = notOverItsWindow(x, box)).empty(); }, timeoutMs);
  auto* message = qobject_cast<QMessageBox*>(box);
  EXPECT_EQ(wrong, "") << "\"" << (message ? message->text() : box->windowTitle()).toStdString() << "\"";
#else
  (void)box, (void)timeoutMs;
#endif
}

void expectStaysPutWhenMaximisedOrFullScreen(QWidget* w, int timeoutMs) {
#if defined(ORVADEX_XCB)
  if (!onX11() || !qEnvironmentVariableIsSet("ORVADEX_WM_PID")) return;
  ManagerSync sync;
  XConnection& x = sync.x;
  struct Place {
    QRect client, frame, byQt, frameByQt;
    std::string states;  // the manager's
    bool enlargedByQt;   // maximised or full-screen to the program
  };
  const auto now = [&] {
    return Place{clientOnServer(x, w), frameOnServer(x, w), w->geometry(), w->frameGeometry(), sizeStatesOnServer(x, w),
                 (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0};
  };
  const auto describe = [](const Place& p) {
    return p.client.isNull() ? std::string("unknown")
                             : qttest::text(p.client) + " in a frame at " + std::to_string(p.frame.x()) + "," +
                                   std::to_string(p.frame.y()) + ", to the program " + qttest::text(p.byQt) +
                                   " in a frame at " + std::to_string(p.frameByQt.x()) + "," + std::to_string(p.frameByQt.y()) +
                                   (p.enlargedByQt ? " maximised or full-screen" : "") +
                                   (p.states.empty() ? "" : ", to the window manager " + p.states);
  };
  // Where it is once framed, the manager has taken what came before, and the program knows it.
  Place at;
  // The program has taken up every change of the window manager's too (a manager's move counts
  // as the window's new place once the window has stayed there a moment).
  auto* keeper = w->findChild<qtview::WindowGeometry*>();
  const auto settled = [&] {
    at = now();
    return !w->windowHandle()->frameMargins().isNull() && at.client == at.byQt && at.states.empty() && !at.enlargedByQt &&
           (!keeper || keeper->settled());
  };
  EXPECT_TRUE(QTest::qWaitFor(settled, timeoutMs) && sync(timeoutMs) && QTest::qWaitFor(settled, timeoutMs))
      << "never settled: " << describe(at);
  const bool box = qobject_cast<QMessageBox*>(w) != nullptr;

  struct Sizes : QObject {
    QSize fixed, other;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Resize && static_cast<QResizeEvent*>(e)->size() != fixed)
        other = static_cast<QResizeEvent*>(e)->size();
      return false;
    }
  } sizes;
  sizes.fixed = w->size();
  w->installEventFilter(&sizes);
  // Back: where it was on the X server, in neither state, and where the program had it (which
  // is where the X server has it, unless reported above), its frame too (or where the X server
  // has that).
  Place got;
  const auto back = [&] {
    got = now();
    return got.client == at.client && got.frame.topLeft() == at.frame.topLeft() && got.states.empty() &&
           got.byQt == at.byQt && !got.enlargedByQt;
  };
  for (int request = 1; request <= 6; ++request) {
    const bool fullScreen = request % 2 == 0;
    sizes.other = {};
    if (fullScreen) sendToWindowManager(w, "_NET_WM_STATE", {"1", "_NET_WM_STATE_FULLSCREEN", "0", "1"});
    else sendToWindowManager(w, "_NET_WM_STATE", {"1", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "1"});
    // The manager has taken the request (and granted it or not); the window is back, and
    // stays back once the manager has taken what it did meanwhile.
    EXPECT_TRUE(sync(timeoutMs)) << "the window manager never took the request";
    const std::string granted = sizes.other.isValid() ? "resized to " + std::to_string(sizes.other.width()) + "x" +
                                                            std::to_string(sizes.other.height())
                                                      : "not resized";
    const std::string statesThen = now().states;
    const bool stays = QTest::qWaitFor(back, timeoutMs) && sync(timeoutMs) && QTest::qWaitFor(back, timeoutMs);
    std::string wrong = stays ? "" : "now " + describe(got) + ", was " + describe(at) + "; ";
    if (box) wrong += notOverItsWindow(x, w);
    EXPECT_EQ(wrong, "") << "after request " << request << " (" << (fullScreen ? "full screen" : "maximise")
                         << "; the window manager " << granted << (statesThen.empty() ? "" : ", called it " + statesThen)
                         << ")";
    if (!wrong.empty()) break;  // the rest would start from elsewhere
  }
  w->removeEventFilter(&sizes);
#else
  (void)w, (void)timeoutMs;
#endif
}

bool appears(QWidget* w, int timeoutMs) {
  if (!w) return false;
  return QTest::qWaitFor([w] { return w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed(); },
                         timeoutMs);
}

void whenModal(std::function<void(QWidget*)> act, int timeoutMs) {
  auto* timer = new QTimer(&app());
  auto start = std::make_shared<qint64>(0);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act, start, timeoutMs] {
    *start += 10;
    QWidget* m = QApplication::activeModalWidget();
    if (m && m->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(m);
    } else if (*start > timeoutMs) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start();
}

void clickScrollBar(QScrollBar* bar, QStyle::SubControl part) {
  ASSERT_NE(bar, nullptr);
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  opt.upsideDown = bar->invertedAppearance();
  const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
  ASSERT_FALSE(r.isEmpty());
  QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
}

void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace qttest
