#pragma once
// What the view asks of the window system beyond Qt: the frame a window manager draws round a
// window, the states it gives a window, its reports of where a window is, the hints that keep a
// window's size, and whether the windows a closed one uncovers paint again. On an X server these
// are requests on the connection Qt opened; elsewhere (offscreen, Wayland) each does what Qt can
// do alone, or nothing. This is the one place that speaks X.
#include <QMargins>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace qtview {

// The longest a Refresh waits for the window system to put a window shown just now on the screen
// (see FormView::awaitFirstExposure). Window managers map a new window within a few tens of
// milliseconds, even on a busy machine; one that never maps it (it opens on another desktop, or
// minimised) holds the program's work up this long once for that show, never again.
constexpr qint64 kFirstExposureWaitMs = 500;
// The longest the program's work waits, after a window closed, for the window manager to take
// its frame away (see repaintUncovered). Managers do within milliseconds; one that hangs costs
// this once per closed window.
constexpr qint64 kUncoveredPaintWaitMs = 2000;
// The longest the program waits for a window manager to say which frame it would draw round a
// window (once per kind of window, at the start).
constexpr qint64 kFrameAnswerWaitMs = 500;

// Waits until `done` is true or `limitMs` have passed, and says which. Every wait of the view on
// the window system goes through here: `done` asks the window system (and may let its events
// in); the asks come quickly at first and less often as the wait goes on, so that a quick answer
// is seen at once and a slow one costs few round trips.
bool waitForWindowSystem(qint64 limitMs, const std::function<bool()>& done);

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // The frame (pixels) a window manager draws round a framed window of the kind (a tool window's
  // when `toolWindow`), known before any such window is shown; none where no window manager says
  // (offscreen, an X server alone, a manager that does not offer the request).
  virtual std::optional<QMargins> frameFor(bool toolWindow) = 0;
  // The window the window manager put `w`'s window in to draw its frame; 0 when it has none.
  // Asked while the window is on the screen.
  virtual unsigned long managerFrameOf(const QWidget* w) = 0;
  // True while the manager's frame `frame` (from managerFrameOf) is on the screen.
  virtual bool frameOnScreen(unsigned long frame) = 0;
  // The frame the window manager draws round `w` now (none while it has not said).
  virtual std::optional<QMargins> frameOf(QWidget* w) = 0;
  // Has Qt read the manager's frame of `w` anew: Qt keeps the frame it read last, which may be
  // the one of a state the manager has taken back since.
  virtual void rereadFrame(QWidget* w) = 0;
  // True while the window manager keeps `w` maximised (either way) or full-screen.
  virtual bool maximisedOrFullScreen(QWidget* w) = 0;
  // Asks the window manager to take back a maximised or full-screen state it gave `w`.
  virtual void leaveMaximised(QWidget* w) = 0;
  // The client area of `w` as the window system has it now (screen coordinates).
  virtual QRect clientArea(QWidget* w) = 0;
  // Asks for `w`'s client area at `client` (screen coordinates), its frame being `frame`.
  virtual void requestGeometry(QWidget* w, const QRect& client, const QMargins& frame) = 0;
  // Tells the window manager that the framed `w` keeps its size: no resizing and no maximise
  // button, but moving, and closing and minimising as its flags allow. Asked before each map.
  virtual void forbidResizing(QWidget* w) = 0;
  // True when the windows a closed window uncovers are asked to paint again (an X server
  // without a compositing manager); a compositor shows what they painted last.
  virtual bool uncoveredWindowsRepaint() = 0;
};

// Off an X server: Qt alone. No window manager says what frame it draws; the window's state and
// geometry are what Qt knows of them.
class QtOnlyWindowSystem : public WindowSystem {
 public:
  std::optional<QMargins> frameFor(bool) override { return std::nullopt; }
  unsigned long managerFrameOf(const QWidget*) override { return 0; }
  bool frameOnScreen(unsigned long) override { return false; }
  std::optional<QMargins> frameOf(QWidget* w) override {
    const QMargins frame = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    return frame.isNull() ? std::nullopt : std::optional<QMargins>(frame);
  }
  void rereadFrame(QWidget*) override {}
  bool maximisedOrFullScreen(QWidget* w) override { return w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen); }
  void leaveMaximised(QWidget* w) override {
    w->setWindowState(w->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
  }
  QRect clientArea(QWidget* w) override { return w->geometry(); }
  void requestGeometry(QWidget* w, const QRect& client, const QMargins&) override { w->setGeometry(client); }
  void forbidResizing(QWidget*) override {}
  bool uncoveredWindowsRepaint() override { return false; }
};

// The window system the program's windows are on (the X adapter on an X server), or the one
// put in its place with useWindowSystem.
WindowSystem& windowSystem();
// Puts `ws` in the place of the window system the windows are on (a test's window manager);
// nullptr puts the real one back.
void useWindowSystem(WindowSystem* ws);

// A dialog that notes, as it hides, the frame its window manager drew round it, so that the
// windows it uncovers can be painted again once that frame is gone (repaintUncovered).
template <class Dialog>
class NotesItsFrame : public Dialog {
 public:
  using Dialog::Dialog;
  unsigned long closedFrame() const { return closedFrame_; }

 protected:
  void setVisible(bool visible) override {
    if (!visible && this->isVisible()) closedFrame_ = windowSystem().managerFrameOf(this);
    Dialog::setVisible(visible);
  }

 private:
  unsigned long closedFrame_ = 0;
};

// A window of the program that its window manager had framed in `managerFrame` (0: none) closed
// in the middle of the program's work (a question box answered, a modal window done): the
// windows it covered are painted again before the work goes on.
void repaintUncovered(unsigned long managerFrame);

}  // namespace qtview
