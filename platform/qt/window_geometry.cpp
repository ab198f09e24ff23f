#include "platform/qt/window_geometry.h"

#include <QEvent>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

#include "platform/qt/window_system.h"
#include "platform/vb/scoped_value.h"

namespace qtview {

namespace {

// A hold looks at the window every kLookIntervalMs (the manager changes a window in several
// steps, and may answer a request with no change at all, which it reports to nobody). It ends
// once the window has been back at its size and place, with neither state, for kSettledLooks
// looks in a row with no change of the manager's in between (a manager may move the window once
// more a little after it took a state back), or after kMaxLooks looks: the window is then left as
// the manager wants it.
constexpr int kLookIntervalMs = 20;
constexpr int kSettledLooks = 10;
constexpr int kMaxLooks = 150;
// Geometry requests in one hold, at most (a manager that answers each with its own geometry is
// not asked for ever).
constexpr int kMaxRequests = 20;
constexpr int kReaskEveryLooks = 5;
// How long a window stays where it was moved before the move counts as the user's (see moved).
constexpr int kUserMoveSettleMs = 200;

}  // namespace

WindowGeometry::WindowGeometry(QWidget* window, Owner owner) : QObject(window), window_(window), owner_(std::move(owner)) {
  window_->installEventFilter(this);
}

bool WindowGeometry::fixedSize() const { return window_->minimumSize() == window_->maximumSize(); }

// The frame the manager drew round this window as it mapped it, with neither state (a manager may
// draw another frame, or none, round a maximised or full-screen window, and may change the frame
// before it gives the state); until it has drawn one, the frame it said it draws for the kind of
// window (a manager may draw a thinner frame round a window of a fixed size than it said).
QMargins WindowGeometry::usualFrame() {
  if (window_->windowFlags() & Qt::FramelessWindowHint) return {};
  WindowSystem& ws = windowSystem();
  if (!noted_ && window_->isVisible() && !placing_ && !holding_ && !ws.maximisedOrFullScreen(window_))
    noted_ = ws.frameOf(window_);
  return noted_ ? *noted_ : ws.frameFor(window_->windowType() == Qt::Tool).value_or(QMargins());
}

QPoint WindowGeometry::belongs() const { return owner_.place ? owner_.place() : shownAt_; }

void WindowGeometry::setSize(const QSize& size, bool fixed) {
  const vb::ScopedValue<bool> syncing(syncing_, true);
  if (fixed) {
    window_->setFixedSize(size);
  } else {
    window_->setMinimumSize(1, 1);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(size);
  }
}

void WindowGeometry::moveTo(const QPoint& frameTopLeft) {
  const vb::ScopedValue<bool> syncing(syncing_, true);
  window_->move(frameTopLeft);
}

bool WindowGeometry::eventFilter(QObject* watched, QEvent* event) {
  QWindow* handle = window_->windowHandle();
  if (watched == window_) {
    switch (event->type()) {
      case QEvent::Show:
        if (!event->spontaneous()) shown();
        break;
      case QEvent::Hide: holding_ = false; break;
      case QEvent::Move: moved(); break;
      case QEvent::Resize:
        if (!syncing_ && !fixedSize() && window_->isVisible() && owner_.resized) owner_.resized(window_->size());
        break;
      default: break;
    }
    return false;
  }
  if (!handle || watched != handle) return false;
  switch (event->type()) {
    case QEvent::Expose:
      if (placing_ && handle->isExposed()) exposed();
      break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
      if (event->spontaneous()) managerChanged();
      break;
    default: break;
  }
  return false;
}

// The native window a show makes (anew after a change of flags) reports what the window manager
// does with it. A framed window of a fixed size tells the manager so before it is mapped.
void WindowGeometry::shown() {
  if (QWindow* handle = window_->windowHandle()) handle->installEventFilter(this);
  if (fixedSize() && !(window_->windowFlags() & Qt::FramelessWindowHint)) windowSystem().forbidResizing(window_);
  placing_ = true;
  noted_.reset();  // drawn anew as the manager maps the window
  shownAt_ = window_->pos();  // where Qt placed it, until the screen says
}

// On the screen: a window the manager placed elsewhere than asked goes where it belongs, frame
// and all (some managers put the client area, not the frame, at the place asked for); a window
// that belongs where it shows learns that place.
void WindowGeometry::exposed() {
  placing_ = false;
  const QMargins frame = usualFrame();  // noted while the window is as the manager mapped it
  WindowSystem& ws = windowSystem();
  if (!owner_.place) {
    // Where the X server has it. A manager's report of the mapping may have told Qt another
    // place (the client area one title bar lower): asked for the place it has, the manager
    // reports it again.
    const QRect area = ws.clientArea(window_);
    shownAt_ = area.topLeft() - QPoint(frame.left(), frame.top());
    if (area != window_->geometry()) ws.requestGeometry(window_, area, frame);
  } else if (const QPoint asked = owner_.place(); !window_->isMinimized() && window_->pos() != asked) {
    moveTo(asked);
  }
  managerChanged();  // a state or size the manager gave the window as it mapped it
}

// The window manager moved, resized, maximised or full-screened the window. A window of a fixed
// size that is no longer at its size, or that the manager calls maximised or full-screen, is held
// until it is back (the manager marks the window maximised before it moves and resizes it: those
// moves are not the user's).
void WindowGeometry::managerChanged() {
  // While the manager maps the window, its changes are its placement (looked at once the window
  // is on the screen).
  if (placing_ || !window_->isVisible() || !fixedSize()) return;
  if (!holding_) {
    WindowSystem& ws = windowSystem();
    if (ws.clientArea(window_).size() == window_->minimumSize() && !ws.maximisedOrFullScreen(window_)) {
      stateAsTheManagerSays();
      return;
    }
    holding_ = true;
    requests_ = looks_ = 0;
  }
  settledLooks_ = 0;
  lookAgain(0);
}

// The window moved, not by the program. It belongs where it went once it has stayed there, at its
// size and with neither state, for kUserMoveSettleMs (the user's move, or a manager's that frames
// a window more than once as it maps it): a manager that maximises or full-screens a window may
// move it first, before it gives the state, and that move is undone by the hold. The owner then
// learns where the frame is, as the X server has it (Qt's idea of the window's place lags behind
// the manager's moves).
void WindowGeometry::moved() {
  if (syncing_ || placing_ || holding_ || !window_->isVisible()) return;
  settling_.start(kUserMoveSettleMs, this);
}

void WindowGeometry::timerEvent(QTimerEvent* event) {
  if (event->timerId() == looking_.timerId()) {
    looking_.stop();
    restore();
    return;
  }
  if (event->timerId() != settling_.timerId()) return;
  settling_.stop();
  if (placing_ || holding_ || !window_->isVisible()) return;
  WindowSystem& ws = windowSystem();
  const QRect area = ws.clientArea(window_);
  if (ws.maximisedOrFullScreen(window_) || (fixedSize() && area.size() != window_->minimumSize())) return;
  const QMargins frame = usualFrame();
  const QPoint at = area.topLeft() - QPoint(frame.left(), frame.top());
  if (at == belongs()) return;
  if (owner_.place) owner_.moved(at);
  else shownAt_ = at;
}

void WindowGeometry::lookAgain(int delayMs) {
  if (!looking_.isActive()) looking_.start(delayMs, this);
}

void WindowGeometry::endHold() {
  holding_ = false;
  stateAsTheManagerSays();
  // Qt may have read the frame while the manager drew none (full screen), after the last change
  // of the frame it saw: it reads it again, and takes it up with the manager's answer to a
  // request for the place the window has.
  WindowSystem& ws = windowSystem();
  ws.rereadFrame(window_);
  const QRect outer = window_->frameGeometry(), inner = window_->geometry();
  const QMargins byQt(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                      outer.bottom() - inner.bottom());
  if (const std::optional<QMargins> frame = ws.frameOf(window_); frame && byQt != *frame)
    ws.requestGeometry(window_, ws.clientArea(window_), *frame);
}

// A manager that takes a state back by deleting the window's list of states leaves Qt believing
// the state is still given (a later show would ask for it again): Qt learns it is not.
void WindowGeometry::stateAsTheManagerSays() {
  const Qt::WindowStates states = Qt::WindowMaximized | Qt::WindowFullScreen;
  if (!(window_->windowState() & states) || !window_->isVisible() || windowSystem().maximisedOrFullScreen(window_)) return;
  const vb::ScopedValue<bool> syncing(syncing_, true);
  window_->setWindowState(window_->windowState() & ~states);
}

void WindowGeometry::restore() {
  if (!holding_) return;
  if (!window_->isVisible() || !fixedSize() || ++looks_ > kMaxLooks) {
    endHold();
    return;
  }
  WindowSystem& ws = windowSystem();
  const QMargins frame = usualFrame();
  const QRect target(belongs() + QPoint(frame.left(), frame.top()), window_->minimumSize());
  const bool stateGiven = ws.maximisedOrFullScreen(window_);
  const QRect area = ws.clientArea(window_);
  if (!stateGiven && area == target) {
    if (++settledLooks_ < kSettledLooks) {
      lookAgain(kLookIntervalMs);
      return;
    }
    endHold();
    return;
  }
  settledLooks_ = 0;
  if (stateGiven) ws.leaveMaximised(window_);
  // Asked again when the manager did something since the last look (it may ignore a request
  // while the window has its state), and now and then in case a request was lost.
  const bool changed = looks_ == 1 || area != lastArea_ || stateGiven != lastStateGiven_;
  if (area != target && (changed || looks_ % kReaskEveryLooks == 0) && requests_++ < kMaxRequests)
    ws.requestGeometry(window_, target, frame);
  lastArea_ = area;
  lastStateGiven_ = stateGiven;
  lookAgain(kLookIntervalMs);
}

}  // namespace qtview
