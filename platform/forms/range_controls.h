#pragma once
// Scroll bars, the up-down and the progress bar: controls that hold a value within a range.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

// HScrollBar and VScrollBar.
class ScrollBar : public Control {
 public:
  ScrollBar(Kind kind, Form* form, std::string name) : Control(kind, form, std::move(name)) { ResetDesign(); }
  int Min() const;
  void Min(int v);  // -32768..32767 else 380; Value moves into range silently
  int Max() const;
  void Max(int v);
  // Between Min and Max (either order) else 380; a different value raises Change.
  int Value() const;
  void Value(int v);
  int SmallChange() const;
  void SmallChange(int v);  // 1..32767 else 380
  int LargeChange() const;
  void LargeChange(int v);

  // The user moves the bar: the bar takes the focus first, then the value changes (Change).
  enum class Step { LineUp, LineDown, PageUp, PageDown, Top, Bottom };
  bool UserScroll(Step step);
  // Thumb drag: Scroll for each position while dragging, Change once on release
  // (UserTrack does a whole drag; a view calls UserThumbMove per move, then UserThumbRelease).
  bool UserTrack(const std::vector<int>& positions);
  bool UserThumbMove(int position);
  bool UserThumbRelease();

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  ScrollBar(Kind kind, Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(kind, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void onUserClick() override {}
  int clampToRange(long v) const;
  bool startTrack();
  int min_ = 0, max_ = 32767, value_ = 0, small_ = 1, large_ = 1;
  std::optional<int> trackStart_;  // the value when a thumb drag began
};

class HScrollBar : public ScrollBar {
 public:
  HScrollBar(Form* form, std::string name) : ScrollBar(Kind::HScrollBar, form, std::move(name)) {}
 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  HScrollBar(Form* form, std::string name, int index, ControlArrayBase* array)
      : ScrollBar(Kind::HScrollBar, form, std::move(name), index, array) {}
};

class VScrollBar : public ScrollBar {
 public:
  VScrollBar(Form* form, std::string name) : ScrollBar(Kind::VScrollBar, form, std::move(name)) {}
 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  VScrollBar(Form* form, std::string name, int index, ControlArrayBase* array)
      : ScrollBar(Kind::VScrollBar, form, std::move(name), index, array) {}
};

// The spin control. With a buddy text box and SyncBuddy it writes its value into the
// buddy's text whenever the value changes (which raises the buddy's Change), and follows a
// buddy text that is a whole number within Min..Max silently (so an arrow steps from what
// the box shows): when the text changes, and when the pair is made (the layout's buddy at
// load, BuddyControl or SyncBuddy set in code) so that a box that starts with "12" steps
// from 12.
class UpDown : public Control {
 public:
  UpDown(Form* form, std::string name) : Control(Kind::UpDown, form, std::move(name)) { ResetDesign(); }
  ~UpDown() override;
  long Min() const;
  void Min(long v);  // Value moves into range (with buddy write and Change)
  long Max() const;
  void Max(long v);
  // Kept within Min..Max (out-of-range assignments are clamped). A different value writes
  // the buddy (SyncBuddy) and then raises Change; the same value raises nothing, but a buddy
  // that shows another text is written again.
  long Value() const;
  void Value(long v);
  long Increment() const;
  void Increment(long v);
  bool Wrap() const;
  void Wrap(bool v);
  Control* BuddyControl() const;
  void BuddyControl(Control* buddy);  // a text box (or nullptr)
  const std::string& BuddyProperty() const;
  void BuddyProperty(const std::string& v);
  bool SyncBuddy() const;
  void SyncBuddy(bool v);
  int Orientation() const;  // 0 vertical, 1 horizontal

  // The user presses an arrow: value steps towards Max (up) or Min (down), or wraps; the
  // buddy is written, Change raised, then UpClick/DownClick (also at a limit, without
  // Change). The up-down does not take the focus: an arrow pressed gives it to a buddy text
  // box first (Validate and LostFocus of the control that had it, GotFocus of the box), so that
  // the keys go where the caret is; a Validate that keeps the focus elsewhere stops the press.
  bool UserUp();
  bool UserDown();

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  friend class TextBox;
  friend class Control;
  template <class T>
  friend class ControlArray;
  friend class Form;
  UpDown(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::UpDown, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  bool clickTakesFocus() const override { return false; }
  void onUserClick() override {}
  bool focusBuddy();  // false: the focus stayed elsewhere, the press goes no further
  void followBuddy(const std::string& text);
  void followBuddyText();  // follows the buddy's present text
  void step(bool up);
  void setValue(long v, bool force);
  void showInBuddy();  // writes the value into the buddy (SyncBuddy)
  struct Props {
    long Min = 0, Max = 10, Value = 0, Increment = 1;
    bool Wrap = false, SyncBuddy = false;
    std::string BuddyProperty;
    int Orientation = 0;
  };
  Props p_;
  Control* buddy_ = nullptr;
};

class ProgressBar : public Control {
 public:
  ProgressBar(Form* form, std::string name) : Control(Kind::ProgressBar, form, std::move(name)) { ResetDesign(); }
  float Min() const;
  void Min(float v);  // Value moves into range
  float Max() const;
  void Max(float v);
  float Value() const;
  void Value(float v);  // outside Min..Max: 380. No event.
  int Orientation() const;
  int Scrolling() const;
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  ProgressBar(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::ProgressBar, form, std::move(name), index, array) { ResetDesign(); }
  float min_ = 0, max_ = 100, value_ = 0;
  int orientation_ = 0, scrolling_ = 0;
};

}  // namespace forms
