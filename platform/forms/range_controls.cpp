// Scroll bars, the up-down and the progress bar.
#include <algorithm>
#include <cmath>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

// ---- ScrollBar -------------------------------------------------------------------------------
void ScrollBar::ResetDesign() {
  Control::ResetDesign();
  min_ = 0;
  max_ = 32767;
  value_ = 0;
  small_ = large_ = 1;
  trackStart_.reset();
}
bool ScrollBar::ApplyLayout(const std::string& key, const std::string& value) {
  auto num = [&] {
    long v = LayoutLong(value);
    if (v < -32768 || v > 32767) vb::Raise(380);
    return static_cast<int>(v);
  };
  if (key == "Min") min_ = num();
  else if (key == "Max") max_ = num();
  else if (key == "Value") value_ = num();
  else if (key == "SmallChange") small_ = std::max(1, num());
  else if (key == "LargeChange") large_ = std::max(1, num());
  else return Control::ApplyLayout(key, value);
  value_ = clampToRange(value_);
  return true;
}
void ScrollBar::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  auto& o = static_cast<const ScrollBar&>(other);
  min_ = o.min_;
  max_ = o.max_;
  value_ = o.value_;
  small_ = o.small_;
  large_ = o.large_;
}
int ScrollBar::clampToRange(long v) const {
  long lo = std::min(min_, max_), hi = std::max(min_, max_);
  return static_cast<int>(std::clamp(v, lo, hi));
}
int ScrollBar::Min() const { touch(); return min_; }
void ScrollBar::Min(int v) {
  touch();
  if (v < -32768 || v > 32767) vb::Raise(380);
  min_ = v;
  int nv = clampToRange(value_);
  bool moved = nv != value_;
  value_ = nv;
  notify(Prop::Range);
  if (moved) notify(Prop::Value);
}
int ScrollBar::Max() const { touch(); return max_; }
void ScrollBar::Max(int v) {
  touch();
  if (v < -32768 || v > 32767) vb::Raise(380);
  max_ = v;
  int nv = clampToRange(value_);
  bool moved = nv != value_;
  value_ = nv;
  notify(Prop::Range);
  if (moved) notify(Prop::Value);
}
int ScrollBar::Value() const { touch(); return value_; }
void ScrollBar::Value(int v) {
  touch();
  if (v != clampToRange(v)) vb::Raise(380);
  if (v == value_) return;
  value_ = v;
  notify(Prop::Value);
  raiseChange();
}
int ScrollBar::SmallChange() const { touch(); return small_; }
void ScrollBar::SmallChange(int v) {
  touch();
  if (v < 1 || v > 32767) vb::Raise(380);
  small_ = v;
  notify(Prop::Range);
}
int ScrollBar::LargeChange() const { touch(); return large_; }
void ScrollBar::LargeChange(int v) {
  touch();
  if (v < 1 || v > 32767) vb::Raise(380);
  large_ = v;
  notify(Prop::Range);
}

bool ScrollBar::UserScroll(Step step) {
  return detail::userInput("Scroll " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus()) return false;
    if (!HasFocus()) {
      form_->focusTo(this);
      if (!HasFocus()) return false;
    }
    applyKeyDown(step == Step::LineUp ? vbKeyUp : step == Step::LineDown ? vbKeyDown
                 : step == Step::PageUp ? vbKeyPageUp : step == Step::PageDown ? vbKeyPageDown
                 : step == Step::Top ? vbKeyHome : vbKeyEnd, 0);
    return true;
  });
}

void ScrollBar::applyKeyDown(int keyCode, int shift) {
  // Towards Min is up/left; a reversed bar (Min > Max) counts downwards.
  int sign = min_ <= max_ ? 1 : -1;
  long v = value_;
  switch (keyCode) {
    case vbKeyUp: case vbKeyLeft: v -= sign * small_; break;
    case vbKeyDown: case vbKeyRight: v += sign * small_; break;
    case vbKeyPageUp: v -= sign * large_; break;
    case vbKeyPageDown: v += sign * large_; break;
    case vbKeyHome: v = min_; break;
    case vbKeyEnd: v = max_; break;
    default: return;
  }
  v = clampToRange(v);
  if (v != value_) Value(static_cast<int>(v));
}

bool ScrollBar::startTrack() {
  if (trackStart_) return true;
  if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus()) return false;
  if (!HasFocus()) {
    form_->focusTo(this);
    if (!HasFocus()) return false;
  }
  trackStart_ = value_;
  return true;
}

bool ScrollBar::UserThumbMove(int position) {
  return detail::userInput("Track " + DisplayName(), [&] {
    if (!startTrack()) return false;
    int v = clampToRange(position);
    if (v != value_) {
      value_ = v;
      notify(Prop::Value);
      raiseScroll();
    }
    return true;
  });
}

bool ScrollBar::UserThumbRelease() {
  return detail::userInput("Track " + DisplayName(), [&] {
    if (!trackStart_) return false;
    int before = *trackStart_;
    trackStart_.reset();
    if (value_ != before) raiseChange();
    return true;
  });
}

bool ScrollBar::UserTrack(const std::vector<int>& positions) {
  return detail::userInput("Track " + DisplayName(), [&] {
    for (int p : positions)
      if (!UserThumbMove(p)) return false;
    return UserThumbRelease() || positions.empty();
  });
}

// ---- UpDown ----------------------------------------------------------------------------------
UpDown::~UpDown() {
  if (buddy_) buddy_->buddyOf_ = nullptr;
}
void UpDown::ResetDesign() {
  Control::ResetDesign();
  if (buddy_) buddy_->buddyOf_ = nullptr;
  buddy_ = nullptr;
  p_ = Props{};
}
bool UpDown::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Min") p_.Min = LayoutLong(value);
  else if (key == "Max") p_.Max = LayoutLong(value);
  else if (key == "Value") p_.Value = LayoutLong(value);
  else if (key == "Increment") p_.Increment = LayoutLong(value);
  else if (key == "Wrap") p_.Wrap = LayoutBool(value);
  else if (key == "SyncBuddy") p_.SyncBuddy = LayoutBool(value);
  else if (key == "BuddyProperty") p_.BuddyProperty = value;
  else if (key == "Orientation") p_.Orientation = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  p_.Value = std::clamp(p_.Value, std::min(p_.Min, p_.Max), std::max(p_.Min, p_.Max));
  return true;
}
void UpDown::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const UpDown&>(other).p_;
}
long UpDown::Min() const { touch(); return p_.Min; }
void UpDown::Min(long v) {
  touch();
  p_.Min = v;
  notify(Prop::Range);
  setValue(std::clamp(p_.Value, std::min(p_.Min, p_.Max), std::max(p_.Min, p_.Max)), false);
}
long UpDown::Max() const { touch(); return p_.Max; }
void UpDown::Max(long v) {
  touch();
  p_.Max = v;
  notify(Prop::Range);
  setValue(std::clamp(p_.Value, std::min(p_.Min, p_.Max), std::max(p_.Min, p_.Max)), false);
}
long UpDown::Value() const { touch(); return p_.Value; }
void UpDown::Value(long v) {
  touch();
  v = std::clamp(v, std::min(p_.Min, p_.Max), std::max(p_.Min, p_.Max));
  if (v != p_.Value) {
    setValue(v, false);
    return;
  }
  // The same value raises no Change, but a buddy that shows something else (a text the user
  // pasted) shows the value again.
  showInBuddy();
}
void UpDown::setValue(long v, bool force) {
  if (v == p_.Value && !force) return;
  p_.Value = v;
  notify(Prop::Value);
  showInBuddy();
  raiseChange();
}
void UpDown::showInBuddy() {
  if (buddy_ && p_.SyncBuddy && buddy_->kind() == Kind::TextBox)
    static_cast<TextBox*>(buddy_)->Text(std::to_string(p_.Value));
}
long UpDown::Increment() const { touch(); return p_.Increment; }
void UpDown::Increment(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  p_.Increment = v;
  notify(Prop::Range);
}
bool UpDown::Wrap() const { touch(); return p_.Wrap; }
void UpDown::Wrap(bool v) {
  touch();
  p_.Wrap = v;
  notify(Prop::Range);
}
Control* UpDown::BuddyControl() const { touch(); return buddy_; }
void UpDown::BuddyControl(Control* buddy) {
  touch();
  if (buddy && (buddy == this || &buddy->Parent() != form_ || !buddy->CanFocusKind())) vb::Raise(380);
  if (buddy_) buddy_->buddyOf_ = nullptr;
  buddy_ = buddy;
  if (buddy_) {
    if (buddy_->buddyOf_ && buddy_->buddyOf_ != this) buddy_->buddyOf_->buddy_ = nullptr;
    buddy_->buddyOf_ = this;
  }
  notify(Prop::Other);
  followBuddyText();
}
const std::string& UpDown::BuddyProperty() const { touch(); return p_.BuddyProperty; }
void UpDown::BuddyProperty(const std::string& v) {
  touch();
  p_.BuddyProperty = v;
}
bool UpDown::SyncBuddy() const { touch(); return p_.SyncBuddy; }
void UpDown::SyncBuddy(bool v) {
  touch();
  p_.SyncBuddy = v;
  followBuddyText();
}
int UpDown::Orientation() const { touch(); return p_.Orientation; }

void UpDown::followBuddy(const std::string& text) {
  if (!p_.SyncBuddy) return;
  long v;
  if (!detail::parseWhole(text, v)) return;
  if (v < std::min(p_.Min, p_.Max) || v > std::max(p_.Min, p_.Max) || v == p_.Value) return;
  p_.Value = v;
  notify(Prop::Value);
}

void UpDown::followBuddyText() {
  if (buddy_ && buddy_->kind() == Kind::TextBox) followBuddy(static_cast<TextBox*>(buddy_)->Text());
}

void UpDown::step(bool up) {
  long lo = std::min(p_.Min, p_.Max), hi = std::max(p_.Min, p_.Max);
  // Up always runs towards Max (downwards in numbers when Min > Max).
  long delta = (p_.Min <= p_.Max ? 1 : -1) * p_.Increment * (up ? 1 : -1);
  long v = p_.Value + delta;
  if (v > hi) v = p_.Wrap ? lo : hi;
  if (v < lo) v = p_.Wrap ? hi : lo;
  setValue(v, false);
  if (up) raiseUpClick();
  else raiseDownClick();
}

bool UpDown::UserUp() {
  return detail::userInput("Up " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !focusBuddy()) return false;
    step(true);
    return true;
  });
}
bool UpDown::UserDown() {
  return detail::userInput("Down " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !focusBuddy()) return false;
    step(false);
    return true;
  });
}
bool UpDown::focusBuddy() {
  Control* box = buddy_;
  if (!box || box->kind() != Kind::TextBox || box->HasFocus()) return true;
  if (!box->CanTakeFocus() || !box->IsShownInForm()) return true;  // the arrows step without it
  form_->focusTo(box);
  return box->HasFocus();
}
void UpDown::applyKeyDown(int keyCode, int shift) {
  if (keyCode == vbKeyUp || keyCode == vbKeyRight) step(true);
  else if (keyCode == vbKeyDown || keyCode == vbKeyLeft) step(false);
}

// ---- ProgressBar -----------------------------------------------------------------------------
void ProgressBar::ResetDesign() {
  Control::ResetDesign();
  min_ = 0;
  max_ = 100;
  value_ = 0;
  orientation_ = scrolling_ = 0;
}
bool ProgressBar::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Min") min_ = static_cast<float>(LayoutDouble(value));
  else if (key == "Max") max_ = static_cast<float>(LayoutDouble(value));
  else if (key == "Value") value_ = static_cast<float>(LayoutDouble(value));
  else if (key == "Orientation") orientation_ = static_cast<int>(LayoutLong(value));
  else if (key == "Scrolling") scrolling_ = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  return true;
}
void ProgressBar::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  auto& o = static_cast<const ProgressBar&>(other);
  min_ = o.min_;
  max_ = o.max_;
  value_ = o.value_;
  orientation_ = o.orientation_;
  scrolling_ = o.scrolling_;
}
float ProgressBar::Min() const { touch(); return min_; }
void ProgressBar::Min(float v) {
  touch();
  min_ = v;
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  notify(Prop::Range);
}
float ProgressBar::Max() const { touch(); return max_; }
void ProgressBar::Max(float v) {
  touch();
  max_ = v;
  value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
  notify(Prop::Range);
}
float ProgressBar::Value() const { touch(); return value_; }
void ProgressBar::Value(float v) {
  touch();
  if (v < std::min(min_, max_) || v > std::max(min_, max_)) vb::Raise(380);
  if (v == value_) return;
  value_ = v;
  notify(Prop::Value);
}
int ProgressBar::Orientation() const { touch(); return orientation_; }
int ProgressBar::Scrolling() const { touch(); return scrolling_; }

}  // namespace forms
