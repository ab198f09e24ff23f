#pragma once
// A window of a fixed size (its minimum size equal to its maximum) that the window manager
// resizes all the same goes back to its size and place. The size hints are not enough for
// every manager: fluxbox maximises any window it is asked to (Alt+F10), and a dialog laid out
// for its size then shows its content in a corner of the screen.
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace qtview {

// Asks the window manager to take back a maximised or full-screen state it gave `window`.
void leaveMaximised(QWidget* window);

class SizeKeeper : public QObject {
 public:
  // Keeps the top-level `window` (and is deleted with it). `place` says where the window's
  // frame belongs (its top-left corner); without it, the window goes back to where it was
  // shown (a message box: the window manager moves it as it frames it, fluxbox twice, and
  // those moves cannot be told from the user's).
  explicit SizeKeeper(QWidget* window, std::function<QPoint()> place = {});

  // From the window manager's resize until the window is back at its size and place. The
  // window's moves meanwhile are the manager's, not the user's.
  bool holding() const { return holding_; }
  // Notes the frame the window manager draws round the window at its size (once known; a
  // maximised window's frame may differ: fluxbox leaves out the borders).
  void noteFrame();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool fixedSize() const;
  QMargins usualFrame() const;
  // The window manager said where the window is now (its client area, `reported_`).
  void reported();
  void queueRestore(int delayMs);
  void restore();

  QWidget* window_;
  std::function<QPoint()> place_;
  QPoint shownAt_;     // where the frame was put as the window was shown (without `place_`)
  QRect reported_;     // the client area as the window manager last reported it
  QMargins noted_;
  bool holding_ = false;
  bool queued_ = false;
  int tries_ = 0;      // restores asked for in this hold
  int rechecks_ = 0;   // looks at a window back in place whose manager still called it maximised
};

}  // namespace qtview
