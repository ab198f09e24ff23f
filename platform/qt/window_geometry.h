#pragma once
// The one owner of a top-level window's geometry: it puts the window where its owner says (the
// form's Left and Top, or where a message box was shown), at its size, with the frame the window
// manager draws, and answers in one place everything that moves or resizes the window afterwards:
// - the window manager's placement as it maps the window: some managers put the client area, not
//   the frame, at the place asked for; once the window is on the screen it goes where it belongs;
// - the window manager's states and resizes of a window of a fixed size: the size hints (minimum
//   equal to maximum, no resizing in the Motif hints) are not enough for every manager; a manager
//   that maximises or full-screens such a window all the same, or resizes it, is asked to take the
//   state back and the window goes back to its size and place; the manager's moves meanwhile are
//   its own, not the user's;
// - the user's moves (and, for a window of no fixed size, the user's resizes): the owner learns
//   them. A move is measured with the frame the manager drew round the window as it mapped it,
//   not with Qt's idea of the frame, which lags behind a manager that takes the frame away (full
//   screen) and gives it back.
#include <QBasicTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

class QWidget;

namespace qtview {

class WindowGeometry : public QObject {
  Q_OBJECT
 public:
  struct Owner {
    // Where the window's frame belongs (its top-left corner, screen pixels); without it, the
    // window belongs where it shows on the screen (a message box), or where the user moved it.
    std::function<QPoint()> place;
    // The user moved the frame's top-left corner to here (with `place`).
    std::function<void(QPoint)> moved;
    // The user resized the client area of a window of no fixed size to this.
    std::function<void(QSize)> resized;
  };

  // Keeps the top-level `window` (and is deleted with it).
  WindowGeometry(QWidget* window, Owner owner);

  // The program sizes the window: `fixed` keeps it at `size` whatever the manager does, else the
  // user may resize it.
  void setSize(const QSize& size, bool fixed);
  // The program moves the window's frame to `frameTopLeft`.
  void moveTo(const QPoint& frameTopLeft);
  // True from a show until the window system has put the window on the screen.
  bool placing() const { return placing_; }
  // True from a change of the window manager's until the window is back at its size and place.
  bool holding() const { return holding_; }
  // True while the window is where it belongs as far as the window manager's changes and the
  // user's moves go: none of them is being answered or waited out.
  bool settled() const { return !placing_ && !holding_ && !settling_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  bool fixedSize() const;
  // The frame the window manager draws round the window when it is neither maximised nor
  // full-screen.
  QMargins usualFrame();
  QPoint belongs() const;
  void shown();
  void exposed();
  void managerChanged();
  void moved();
  void lookAgain(int delayMs);
  void restore();
  void endHold();
  void stateAsTheManagerSays();

  QWidget* window_;
  Owner owner_;
  bool syncing_ = false;  // the program itself moves or resizes the window
  bool placing_ = false;  // shown, and not yet on the screen where it belongs
  QPoint shownAt_;        // where the frame belongs without owner_.place
  std::optional<QMargins> noted_;  // the frame the manager drew round the window without a state
  QBasicTimer settling_;  // from a move until it counts as the user's
  QBasicTimer looking_;   // the hold's next look at the window
  bool holding_ = false;
  int requests_ = 0;      // geometry requests in this hold
  int looks_ = 0;         // looks at the window in this hold
  int settledLooks_ = 0;  // looks in a row that found the window back
  QRect lastArea_;        // the client area at the last look
  bool lastStateGiven_ = false;
};

}  // namespace qtview
