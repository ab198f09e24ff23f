#include "qt_support.h"

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

QRect screenRect(QWidget* w) {
  const QRect byQt(w->mapToGlobal(QPoint(0, 0)), w->size());
#if defined(ORVADEX_XCB)
  XConnection x;
  if (!onX11() || xcb_connection_has_error(x.c)) return byQt;
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
#else
  return byQt;
#endif
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

void expectKeepsItsSizeWhenMaximised(QWidget* w, int timeoutMs) {
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
  // fluxbox frames a message box twice as it maps it, moving it by a pixel meanwhile: the box's
  // place is compared from its second maximise on.
  const int rounds = qobject_cast<QMessageBox*>(w) ? 2 : 1;
  for (int round = 0; round < rounds; ++round) {
    // Where it is once the program knows where the X server has it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->windowHandle()->frameMargins().isNull() && screenRect(w) == w->geometry(); },
                                timeoutMs)) << "never framed";
    const QRect at = screenRect(w);
    const bool samePlace = round == rounds - 1;
    sizes.other = {};
    sendToWindowManager(w, "_NET_WM_STATE", {"1", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ", "1"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return sizes.other.isValid(); }, timeoutMs)) << "the window manager never maximised it";
    // Back where it was on the X server (what the user sees), as the program knows too.
    QRect shown;
    EXPECT_TRUE(QTest::qWaitFor([&] {
      shown = screenRect(w);
      return (samePlace ? shown == at : shown.size() == at.size()) && w->geometry() == shown &&
             !windowProperty(w, "_NET_WM_STATE").contains("MAXIMIZED");
    }, timeoutMs)) << "maximised to " << sizes.other.width() << "x" << sizes.other.height() << ", now " << shown.width()
                   << "x" << shown.height() << " at " << shown.x() << "," << shown.y() << " (was at " << at.x() << ","
                   << at.y() << "), to the program at " << w->x() << "," << w->y() << " "
                   << windowProperty(w, "_NET_WM_STATE").toStdString();
  }
  w->removeEventFilter(&sizes);
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
