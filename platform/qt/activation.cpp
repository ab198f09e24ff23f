#include "platform/qt/activation.h"

#include <algorithm>

namespace qtview {

void ActivationRecord::dropUnanswerable() {
  const qint64 now = nowMs_();
  requests_.erase(std::remove_if(requests_.begin(), requests_.end(),
                                 [&](const Request& r) {
                                   return !shown_(r.window) || now - r.madeMs >= kActivationAnswerWaitMs;
                                 }),
                  requests_.end());
}

ActivationRecord::Window ActivationRecord::toBeActive(Window active) {
  dropUnanswerable();
  return requests_.empty() ? active : requests_.back().window;
}

void ActivationRecord::requested(Window window) { requests_.push_back({window, nowMs_()}); }

bool ActivationRecord::answers(Window window) {
  dropUnanswerable();
  auto it = std::find_if(requests_.begin(), requests_.end(), [window](const Request& r) { return r.window == window; });
  if (it == requests_.end()) {
    requests_.clear();  // overtaken by the user's switch
    return false;
  }
  requests_.erase(requests_.begin(), it + 1);
  return true;
}

}  // namespace qtview
