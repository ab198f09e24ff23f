#pragma once
// The base of every control: kinds, property groups for observers, event slots, and the
// properties, focus rules and user-input entry points every control shares (see forms.h).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/constants.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace forms {

// ---- Kinds and property groups --------------------------------------------------------------
enum class Kind {
  Form, TextBox, Label, CheckBox, OptionButton, Frame, CommandButton, HScrollBar, VScrollBar,
  ComboBox, PictureBox, Shape, Line, Image, Menu, UpDown, SSTab, ProgressBar, CommonDialog,
};
// "TextBox", "HScrollBar", ... as used in layouts.
const char* KindName(Kind kind);
std::optional<Kind> KindFromName(std::string_view name);

// What changed, for observers.
enum class Prop {
  Text,          // TextBox/ComboBox text
  Selection,     // SelStart/SelLength
  Caption,       // caption of a form, label, button, frame, menu, check/option box
  Value,         // Value of check/option/scroll/up-down/progress; ListIndex of a combo box
  Range,         // Min/Max/SmallChange/LargeChange/Increment/Wrap
  Items,         // combo box list
  Geometry,      // Left/Top/Width/Height (X1.. of a line), container
  Visible, Enabled, Colors, Font, ToolTip, Appearance,  // Appearance: style, border, alignment...
  Locked, Checked, Picture, MousePointer,
  Tabs,          // SSTab pages: count, captions, visibility, enabled state
  CurrentTab,    // SSTab Tab
  Drawing,       // picture box display list
  Focus,         // the form's active control changed (sent by the form)
  Activated,     // the form became the active form (sent by the form)
  ZOrder, Refresh,
  ControlAdded, ControlRemoved,  // sent by the form, with the control concerned
  Other,
};

struct Font {
  std::string Name = "MS UI Gothic";
  double Size = 9;
  bool Bold = false, Italic = false, Underline = false;
  bool operator==(const Font&) const = default;
};

// Dropped data: the file names, in the order given (VB's Data.Files(1) is Files[0]).
struct DataObject {
  std::vector<std::string> Files;
};

class Form;
class ControlArrayBase;
class UpDown;

// Event slots. Array members raise the slots of their ControlArray with the Index first.
template <class... I>
struct Events {
  std::function<void(I...)> Click, DblClick, Change, GotFocus, LostFocus;
  std::function<void(I..., bool& Cancel)> Validate;
  std::function<void(I..., int& KeyCode, int Shift)> KeyDown, KeyUp;
  std::function<void(I..., int& KeyAscii)> KeyPress;
  std::function<void(I..., int Button, int Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
  std::function<void(I...)> Scroll, UpClick, DownClick, DropDown;
  std::function<void(I..., const DataObject& Data)> OLEDragDrop;
};

// ---- Control ---------------------------------------------------------------------------------
class Control : public Events<> {
 public:
  // A member control of a window class: registers with the form; its design state comes
  // from the form's layout at every load.
  Control(Kind kind, Form* form, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 when not a member of a control array
  bool IsArrayMember() const { return array_ != nullptr; }
  ControlArrayBase* Array() const { return array_; }
  Form& Parent() const { return *form_; }
  // "txtData(5)" or "txtData".
  std::string DisplayName() const;

  // Container: nullptr = the form. `tab` is the SSTab page when the container is an SSTab.
  Control* Container() const;
  int ContainerTab() const;
  void Container(Control* container, int tab = -1);

  // Geometry in twips, relative to the container.
  long Left() const;
  void Left(long v);
  long Top() const;
  void Top(long v);
  long Width() const;
  void Width(long v);
  long Height() const;
  void Height(long v);
  void Move(long left, long top, long width = -1, long height = -1);

  bool Visible() const;
  void Visible(bool v);
  bool Enabled() const;
  void Enabled(bool v);
  int TabIndex() const;
  void TabIndex(int v);  // unique per form: the others shift
  bool TabStop() const;
  void TabStop(bool v);
  const std::string& Tag() const;
  void Tag(const std::string& v);
  const std::string& ToolTipText() const;
  void ToolTipText(const std::string& v);
  long HelpContextID() const;
  void HelpContextID(long v);
  bool CausesValidation() const;
  void CausesValidation(bool v);
  long BackColor() const;
  void BackColor(long v);
  long ForeColor() const;
  void ForeColor(long v);
  int MousePointer() const;
  void MousePointer(int v);
  const forms::Font& Font() const;
  void Font(const forms::Font& f);
  void FontName(const std::string& v);
  void FontSize(double v);
  void FontBold(bool v);
  int OLEDropMode() const;
  void OLEDropMode(int v);
  // The window style bits (GetWindowLong/SetWindowLong(GWL_STYLE)); ES_NUMBER is honoured.
  long WindowStyle() const;
  void WindowStyle(long v);

  // Gives the control the focus: error 5 unless the control can take the focus and it, its
  // containers and its form are visible and enabled. Moving the focus from A to B raises
  // A.Validate (when B.CausesValidation; Cancel keeps the focus on A), A.LostFocus and
  // B.GotFocus. A SetFocus inside Validate or LostFocus redirects the move.
  void SetFocus();
  // Repaint now (observers get Prop::Refresh).
  void Refresh();
  // 0 = bring to front, 1 = send to back.
  void ZOrder(int position = 0);

  // Kinds that can ever take the focus.
  bool CanFocusKind() const;
  // Visible here and in every container (and on the SSTab's current page).
  bool IsShownInForm() const;
  // Enabled here and in every container (and on an enabled SSTab page).
  bool IsEnabledInForm() const;
  // True when SetFocus would succeed.
  bool CanTakeFocus() const;
  bool HasFocus() const;

  // Observers.
  using Observer = std::function<void(Control& control, Prop what)>;
  int Subscribe(Observer observer);
  void Unsubscribe(int id);

  // User input (see the comment at the top).
  bool UserClick();
  bool UserDblClick();
  bool UserFocus();
  bool UserMouseDown(int button, int shift, double xPixels, double yPixels);
  bool UserMouseMove(int button, int shift, double xPixels, double yPixels);
  bool UserMouseUp(int button, int shift, double xPixels, double yPixels);
  // The release that completes a click (the left button let go over the control it went
  // down on): MouseUp at the pointer and the kind's Click, in the platform's order.
  bool UserMouseUpClick(int button, int shift, double xPixels, double yPixels);
  bool UserDropFiles(const std::vector<std::string>& files);

  // --- used by the forms layer ---
  struct Common {
    long Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true, Enabled = true;
    int TabIndex = 0;
    bool TabStop = true;
    std::string Tag, ToolTipText;
    long HelpContextID = 0;
    bool CausesValidation = true;
    long BackColor = vbButtonFace, ForeColor = vbButtonText;
    int MousePointer = 0;
    forms::Font Font;
    int OLEDropMode = 0;
    long WindowStyle = 0;
    Control* Container = nullptr;
    int ContainerTab = -1;
  };
  // Back to the state of a new control of this kind (before the layout is applied).
  virtual void ResetDesign();
  // Applies one layout property; false when the kind has no such property.
  virtual bool ApplyLayout(const std::string& key, const std::string& value);
  // Copies the properties of another control of the same kind (Load of an array member).
  virtual void CopyFrom(const Control& other);
  // Called once all the layout properties of the control have been applied.
  virtual void AfterLayout() {}
  // Whether the control takes a place in the form's tab order.
  bool InTabOrder() const;

 protected:
  friend class Form;
  friend class ControlArrayBase;
  friend class UpDown;
  friend class OptionButton;
  template <class T>
  friend class ControlArray;
  // Array member or control created by the layout (owned by its array or by the form).
  Control(Kind kind, Form* form, std::string name, int index, ControlArrayBase* array);

  void notify(Prop what);
  // Loads the form if it is not loaded (a control touched before the form is loaded).
  void touch() const;
  // Hook: the key's effect on the control after KeyDown/KeyPress (not raised events).
  virtual void applyKeyDown(int keyCode, int shift) {}
  virtual void applyChar(int ascii) {}
  // Whether a user click moves the focus to this control.
  virtual bool clickTakesFocus() const { return CanFocusKind(); }
  virtual void onUserClick();  // the kind's effect of a click (after any focus move)
  // A mouse button goes down: MouseDown, then the focus moves here where a click takes it;
  // false when the focus could not move (the press goes no further).
  bool press(int button, int shift, float x, float y);
  // A mouse button comes up: MouseUp and, for a click, the kind's Click (a button-like
  // control's Click comes before its MouseUp).
  void release(int button, int shift, float x, float y, bool click);
  bool mouseUp(int button, int shift, double xPixels, double yPixels, bool click);
  void raiseClick();
  void raiseChange();
  void raiseDblClick();
  void raiseGotFocus();
  void raiseLostFocus();
  bool raiseValidate();  // true when cancelled
  void raiseKeyDown(int& keyCode, int shift);
  void raiseKeyPress(int& ascii);
  void raiseKeyUp(int& keyCode, int shift);
  void raiseMouse(int which, int button, int shift, float x, float y);
  void raiseScroll();
  void raiseUpClick();
  void raiseDownClick();
  void raiseDropDown();
  void raiseOLEDragDrop(const DataObject& data);
  // Mouse coordinates of the events in the control's scale (twips, or the picture's scale).
  virtual void toScale(double xPixels, double yPixels, float& x, float& y) const;

  Common c_;
  Kind kind_;
  Form* form_;
  std::string name_;
  int index_ = -1;
  ControlArrayBase* array_ = nullptr;
  UpDown* buddyOf_ = nullptr;  // the up-down whose buddy this is
  std::map<int, Observer> observers_;
  int nextObserver_ = 1;
};

}  // namespace forms
