#pragma once
// Which windows the program asked the window system to activate, and whether an activation the
// window system reports answers such a request or is the user's switch.
//
// The model decides which form is active (Show, Hide, Unload) and the view then asks the window
// system to activate that form's window; the window system answers later, possibly after the
// model has moved on, or not at all (a window manager that prevents focus stealing ignores the
// request). The rules:
// - an activation of a window the program asked for answers that request and the requests made
//   before it;
// - any other activation is the user's switch (or the window manager's own choice, which the
//   model follows as well), and ends every request standing: those it overtook are no longer
//   answered by a later activation, which is then the user's too;
// - a request whose window has gone from the screen, or that has waited kActivationAnswerWaitMs,
//   is no longer answered.
// A request is made only when the window would not end up active anyway, so no answer ever asks
// again.
#include <QtGlobal>
#include <deque>
#include <functional>

namespace qtview {

// How long an activation the program asked for may take to come. A window manager answers within
// milliseconds; one that has not answered by then refused the request or found the window active
// already.
constexpr qint64 kActivationAnswerWaitMs = 2000;

class ActivationRecord {
 public:
  using Window = const void*;
  // `nowMs`: a clock in milliseconds; `shown`: whether a window is still on the screen (only a
  // shown window can be activated).
  ActivationRecord(std::function<qint64()> nowMs, std::function<bool(Window)> shown)
      : nowMs_(std::move(nowMs)), shown_(std::move(shown)) {}

  // The window that will be active once every request standing is answered; `active` (the one
  // active now) when none stands.
  Window toBeActive(Window active);
  // The program asks for `window`.
  void requested(Window window);
  // The window system activated `window`: true when that answers a request of the program.
  bool answers(Window window);

 private:
  struct Request {
    Window window;
    qint64 madeMs;
  };
  void dropUnanswerable();
  std::function<qint64()> nowMs_;
  std::function<bool(Window)> shown_;
  std::deque<Request> requests_;
};

}  // namespace qtview
