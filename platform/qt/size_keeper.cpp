#include "platform/qt/size_keeper.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>

#include "platform/qt/window_frame.h"

namespace qtview {

namespace {

// Restores asked for in one hold before the window is left as the manager wants it (a manager
// that answers every request with its own size would otherwise be asked for ever).
constexpr int kMaxTries = 20;
// A window back at its size and place whose manager has not yet taken its maximised state
// away is looked at again after kRecheckMs, kMaxRechecks times at most.
constexpr int kRecheckMs = 20;
constexpr int kMaxRechecks = 100;

// True while the window manager keeps `window` maximised (either way) or full-screen.
bool maximised(QWidget* window) {
#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
  if (xcb_connection_t* c = xConnection()) {
    const std::vector<uint32_t> states = windowProperty(c, static_cast<xcb_window_t>(window->winId()),
                                                        atomOf(c, "_NET_WM_STATE"), XCB_ATOM_ATOM);
    return std::any_of(states.begin(), states.end(), [c](uint32_t s) {
      return s == atomOf(c, "_NET_WM_STATE_MAXIMIZED_VERT") || s == atomOf(c, "_NET_WM_STATE_MAXIMIZED_HORZ") ||
             s == atomOf(c, "_NET_WM_STATE_FULLSCREEN");
    });
  }
#endif
  return window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

// Asks for the window's client area at `client` (screen coordinates), its frame being `frame`.
// On an X server the request goes out whatever Qt takes the window's geometry to be (Qt keeps
// the geometry it asked for last, which a window manager may not have given), with the place
// the window's gravity asks for: the frame's corner (north-west, as a move sets it) or the
// client area's (static).
void requestGeometry(QWidget* window, const QRect& client, const QMargins& frame) {
#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
  if (xcb_connection_t* c = xConnection()) {
    const auto id = static_cast<xcb_window_t>(window->winId());
    const std::vector<uint32_t> hints = windowProperty(c, id, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    enum : uint32_t { kGravityGiven = 1u << 9, kStaticGravity = 10 };
    const bool isStatic = hints.size() >= 18 && (hints[0] & kGravityGiven) && hints[17] == kStaticGravity;
    const QPoint at = isStatic ? client.topLeft() : client.topLeft() - QPoint(frame.left(), frame.top());
    const uint32_t values[] = {static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y()),
                               static_cast<uint32_t>(client.width()), static_cast<uint32_t>(client.height())};
    xcb_configure_window(c, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(c);
    return;
  }
#endif
  (void)frame;
  window->setGeometry(client);
}

}  // namespace

void leaveMaximised(QWidget* window) {
#if defined(ORVADEX_XCB) && QT_CONFIG(xcb)
  xcb_connection_t* c = xConnection();
  if (!c) return;
  xcb_client_message_event_t e{};
  e.response_type = XCB_CLIENT_MESSAGE;
  e.format = 32;
  e.window = static_cast<xcb_window_t>(window->winId());
  e.type = atomOf(c, "_NET_WM_STATE");
  for (const char* state : {"_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_MAXIMIZED_VERT"}) {
    e.data.data32[0] = 0;  // remove
    e.data.data32[1] = atomOf(c, state);
    e.data.data32[2] = std::strcmp(state, "_NET_WM_STATE_FULLSCREEN") ? atomOf(c, "_NET_WM_STATE_MAXIMIZED_HORZ") : 0;
    e.data.data32[3] = 1;  // from an application
    xcb_send_event(c, false, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&e));
  }
  xcb_flush(c);
#else
  window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
#endif
}

SizeKeeper::SizeKeeper(QWidget* window, std::function<QPoint()> place)
    : QObject(window), window_(window), place_(std::move(place)) {
  window_->installEventFilter(this);
}

bool SizeKeeper::fixedSize() const {
  return window_->isWindow() && window_->minimumSize() == window_->maximumSize();
}

void SizeKeeper::noteFrame() {
  QWindow* handle = window_->windowHandle();
  if (!noted_.isNull() || holding_ || !fixedSize() || window_->size() != window_->minimumSize() || !handle) return;
  noted_ = handle->frameMargins();
}

// The frame the window manager says it draws round a window of the kind, else the one noted
// (which may be the maximised frame already: fluxbox changes the frame before the size).
QMargins SizeKeeper::usualFrame() const {
  QMargins frame;
  if (!windowManagerFrame(window_->windowType() == Qt::Tool, frame)) frame = noted_;
  return frame;
}

bool SizeKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_) {
    // The native window a show makes (anew after a change of flags) reports what the window
    // manager does with it.
    if (event->type() == QEvent::Show && window_->windowHandle()) {
      window_->windowHandle()->installEventFilter(this);
      reported_ = window_->geometry();
      if (!holding_) shownAt_ = window_->pos();
    } else if (event->type() == QEvent::Hide) {
      holding_ = false;
    }
    return false;
  }
  if (watched != window_->windowHandle() || !event->spontaneous()) return false;
  switch (event->type()) {
    case QEvent::Resize: reported_.setSize(static_cast<QResizeEvent*>(event)->size()); break;
    case QEvent::Move: reported_.moveTopLeft(static_cast<QMoveEvent*>(event)->pos()); break;
    case QEvent::WindowStateChange: break;
    default: return false;
  }
  reported();
  return false;
}

void SizeKeeper::reported() {
  if (!window_->isVisible() || !fixedSize()) return;
  if (!holding_) {
    // The manager marks the window maximised before it moves and resizes it (fluxbox moves it
    // first): those moves are not the user's.
    if (reported_.size() == window_->minimumSize() && !maximised(window_)) {
      noteFrame();
      return;
    }
    holding_ = true;
    tries_ = rechecks_ = 0;
  }
  queueRestore(0);
}

void SizeKeeper::queueRestore(int delayMs) {
  if (queued_) return;
  queued_ = true;
  // Once the window manager's change is through (it may resize the window in several steps).
  QTimer::singleShot(delayMs, this, [this] {
    queued_ = false;
    restore();
  });
}

void SizeKeeper::restore() {
  if (!holding_) return;
  if (!window_->isVisible() || !fixedSize()) {
    holding_ = false;
    return;
  }
  const QMargins frame = usualFrame();
  const QRect target((place_ ? place_() : shownAt_) + QPoint(frame.left(), frame.top()), window_->minimumSize());
  const bool stillMaximised = maximised(window_);
  if (reported_ == target && !stillMaximised) {
    holding_ = false;
    return;
  }
  if (stillMaximised) leaveMaximised(window_);
  if (reported_ != target) {
    if (++tries_ > kMaxTries) {
      holding_ = false;
      return;
    }
    requestGeometry(window_, target, frame);
  } else if (++rechecks_ <= kMaxRechecks) {
    queueRestore(kRecheckMs);  // the manager's state follows its change of the window
  } else {
    holding_ = false;
  }
}

}  // namespace qtview
