#pragma once
// Headless forms and controls with the event semantics of the Windows forms the windows are
// written against. Every property is kept here and every event is raised synchronously,
// exactly where the platform raises it; a view (platform/qt) only mirrors the model and
// feeds user input back into it.
//
// ---- For the view (and for tests that play the user) --------------------------------------
// * Forms: every window class derives from Form. AllForms() lists the existing forms;
//   Host::FormLoaded / Host::FormUnloaded tell when a form's controls come and go.
//   Form::Controls() lists its live controls in z-order (later = in front).
// * Every control has kind(), Name(), Index() (-1 outside an array), Parent() (its form),
//   Container() (nullptr = the form itself; a Frame, PictureBox or SSTab otherwise) with
//   ContainerTab() (the SSTab page, -1 otherwise), and geometry Left/Top/Width/Height in
//   twips relative to its container (15 twips per pixel, Screen.TwipsPerPixelX). Menus use
//   Container() for the parent menu item. Line controls use X1/Y1/X2/Y2 instead.
//   Colours are &H00BBGGRR longs; ResolveColor() turns system colours (&H8000000F...) into RGB.
// * Observer: Control::Subscribe(fn) calls fn(control, Prop) after a property changes
//   (declared controls outlive an unload: unsubscribe when Host::FormUnloaded comes)
//   (Prop tells which group: Text, Caption, Value, Geometry, Visible, ...). A Form's
//   subscribers also get Prop::ControlAdded / Prop::ControlRemoved with the control that was
//   added (array member loaded) or is about to be destroyed. Prop::Refresh asks for an
//   immediate repaint; Prop::Drawing says a picture box's display list changed.
// * User input entry points (named User...): they raise the model's events in the
//   platform's order, refuse input the platform would not deliver (disabled or hidden
//   control, a form other than the topmost modal one) and return false then:
//     Control::UserClick()       mouse click (focus moves first where the kind takes focus)
//     Control::UserDblClick()    double click
//     Control::UserFocus()       focus moved to the control (Tab key or click)
//     Control::UserMouseDown/Move/Up(button, shift, xPixels, yPixels)
//     Control::UserDropFiles(files)  file drop (bubbles to the nearest container, then the
//                                form, whose OLEDropMode is manual)
//     Form::UserKey(KeyCode, Shift) / UserKeyStroke(KeyCode, Shift, character)
//                                one key pressed and released on the focused control: the
//                                view sends keys here instead of letting its widget edit
//                                itself, then mirrors Text/SelStart/SelLength back
//     Form::UserType(text)       characters typed into the focused control
//     Form::UserClose()          the close box (QueryUnload with vbFormControlMenu)
//     Form::UserActivate()       the user switched to the form's window: Deactivate of the
//                                active form, then Activate (nothing when it is active)
//     Form::UserMoveResize(...)  the window was moved or resized
//     TextBox::UserType / UserPaste / UserSelect; ComboBox::UserSelect / UserType;
//     ScrollBar::UserScroll / UserThumbMove / UserThumbRelease; UpDown::UserUp / UserDown;
//     SSTab::UserSelectTab; Menu::UserOpen / UserClick / UserChoose.
//   An error escaping a handler raised by user input goes to Host::UnhandledError.
//   Validate may refuse a focus move: after a User call the view re-reads
//   Form::ActiveControl() (the form also notifies Prop::Focus when the focus moves).
// * A modal Show calls Host::RunModal(form), which must return once Form::ModalDone().
// -----------------------------------------------------------------------------------------
//
// For the program's windows:
// * A window class derives from Form, declares its controls as members with the specified
//   names (TextBox txtPortNo{this, "txtPortNo"}; ControlArray<TextBox> txtNum{this, "txtNum"};)
//   and overrides the Form_ handlers it has. Control events are std::function slots bound in
//   the constructor (cmdOk.Click = [this] { cmdOk_Click(); }; array slots get the Index
//   first: txtNum.KeyDown = [this](int Index, int& KeyCode, int Shift) {...}).
// * Its layout (resources/forms/<form name>.txt, see layout.h) is applied at every load:
//   members are reset to their design state, array members are created, controls that the
//   class does not declare (decorative labels, lines) are created and owned by the form.
// * Touching a control of a form that is not loaded loads it (implicit load). Reach each
//   window through DefaultInstance<T>(), which creates it on first use.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace forms {

// ---- Constants -----------------------------------------------------------------------------
enum KeyCodeConstants : int {
  vbKeyBack = 8, vbKeyTab = 9, vbKeyReturn = 13, vbKeyShift = 16, vbKeyControl = 17,
  vbKeyMenu = 18, vbKeyEscape = 27, vbKeySpace = 32, vbKeyPageUp = 33, vbKeyPageDown = 34,
  vbKeyEnd = 35, vbKeyHome = 36, vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39,
  vbKeyDown = 40, vbKeyInsert = 45, vbKeyDelete = 46, vbKey0 = 48, vbKey9 = 57, vbKeyA = 65,
  vbKeyZ = 90, vbKeyF1 = 112, vbKeyF12 = 123, vbKeyF16 = 127,
};
enum ShiftConstants : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum MouseButtonConstants : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum MousePointerConstants : int {
  vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbIbeam = 3, vbIconPointer = 4,
  vbSizePointer = 5, vbSizeNESW = 6, vbSizeNS = 7, vbSizeNWSE = 8, vbSizeWE = 9,
  vbUpArrow = 10, vbHourglass = 11, vbNoDrop = 12, vbArrowHourglass = 13,
  vbArrowQuestion = 14, vbSizeAll = 15, vbCustom = 99,
};
enum FormShowConstants : int { vbModeless = 0, vbModal = 1 };
enum QueryUnloadConstants : int {
  vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3,
  vbFormMDIForm = 4, vbFormOwner = 5,
};
enum CheckBoxConstants : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };
enum ScaleModeConstants : int {
  vbUser = 0, vbTwips = 1, vbPoints = 2, vbPixels = 3, vbCharacters = 4, vbInches = 5,
  vbMillimeters = 6, vbCentimeters = 7,
};
enum ComboStyleConstants : int { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };
enum AlignmentConstants : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
enum WindowStateConstants : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum OLEDropConstants : int { vbOLEDropNone = 0, vbOLEDropManual = 1 };
enum StartUpPositionConstants : int { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3 };
// Edit style bit of a text box: digits only from the keyboard (pasting is not checked).
inline constexpr long ES_NUMBER = 0x2000;

// CommonDialog flags and its cancel error.
enum CommonDialogConstants : long {
  cdlOFNReadOnly = 0x1, cdlOFNOverwritePrompt = 0x2, cdlOFNHideReadOnly = 0x4,
  cdlOFNNoChangeDir = 0x8, cdlOFNHelpButton = 0x10, cdlOFNNoValidate = 0x100,
  cdlOFNAllowMultiselect = 0x200, cdlOFNExtensionDifferent = 0x400,
  cdlOFNPathMustExist = 0x800, cdlOFNFileMustExist = 0x1000, cdlOFNCreatePrompt = 0x2000,
  cdlOFNShareAware = 0x4000, cdlOFNNoReadOnlyReturn = 0x8000, cdlOFNExplorer = 0x80000,
  cdlOFNLongNames = 0x200000,
  cdlCancel = 32755,
};

// Colours (&H00BBGGRR).
inline constexpr long vbBlack = 0x000000, vbRed = 0x0000FF, vbGreen = 0x00FF00,
                      vbYellow = 0x00FFFF, vbBlue = 0xFF0000, vbMagenta = 0xFF00FF,
                      vbCyan = 0xFFFF00, vbWhite = 0xFFFFFF;
inline constexpr long vbButtonFace = static_cast<long>(0x8000000FL), vbButtonText = static_cast<long>(0x80000012L),
                      vbWindowBackground = static_cast<long>(0x80000005L), vbWindowText = static_cast<long>(0x80000008L),
                      vbHighlight = static_cast<long>(0x8000000DL), vbHighlightText = static_cast<long>(0x8000000EL),
                      vbGrayText = static_cast<long>(0x80000011L), vbInfoBackground = static_cast<long>(0x80000018L),
                      vbInfoText = static_cast<long>(0x80000017L), vbWindowFrame = static_cast<long>(0x80000006L),
                      vbMenuBar = static_cast<long>(0x80000004L), vbMenuText = static_cast<long>(0x80000007L);
// RGB(r, g, b) = r + g*256 + b*65536; arguments above 255 count as 255, below 0 as 0.
long RGB(int r, int g, int b);
// The classic 16-colour palette (0-15); 5 outside.
long QBColor(int n);
// A system colour (&H80000000 + index) resolved to RGB with the classic Windows scheme;
// other values are returned unchanged.
long ResolveColor(long color);

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

// ---- Standard controls -----------------------------------------------------------------------
class TextBox : public Control {
 public:
  TextBox(Form* form, std::string name) : Control(Kind::TextBox, form, std::move(name)) { ResetDesign(); }
  // Writing a different text raises Change inside the write and puts the caret at 0; writing
  // the same text does nothing at all (no Change, the caret and selection stay).
  const std::string& Text() const;
  void Text(const std::string& v);
  long SelStart() const;
  void SelStart(long v);
  long SelLength() const;
  void SelLength(long v);
  std::string SelText() const;
  void SelText(const std::string& v);  // replaces the selection (Change when it changes)
  long MaxLength() const;
  void MaxLength(long v);
  bool Locked() const;
  void Locked(bool v);
  bool MultiLine() const;
  int ScrollBars() const;
  std::string PasswordChar() const;
  void PasswordChar(const std::string& v);
  int Alignment() const;
  void Alignment(int v);

  // The user types characters (each one a full key stroke: KeyDown, KeyPress, the
  // change, KeyUp); the box takes the focus first when it has not got it.
  bool UserType(const std::string& text);
  // The user pastes text over the selection (digits-only style does not apply; Locked and
  // MaxLength do).
  bool UserPaste(const std::string& text);
  // The user selects text with the mouse (no events).
  bool UserSelect(long start, long length);

  struct Props {
    std::string Text;
    long SelStart = 0, SelLength = 0, MaxLength = 0;
    bool Locked = false, MultiLine = false;
    int ScrollBars = 0;
    std::string PasswordChar;
    int Alignment = 0;
  };
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  friend class Control;
  template <class T>
  friend class ControlArray;
  friend class Form;
  TextBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::TextBox, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void applyChar(int ascii) override;
  // A click raises Click (after MouseUp), as Control does.
  // Replaces [start, start+len) by `s` as the user would (Locked, MaxLength); caret after it.
  bool userEdit(long start, long len, const std::string& s, bool checkDigits);
  void setText(const std::string& v, long caret);
  Props t_;
};

class Label : public Control {
 public:
  Label(Form* form, std::string name) : Control(Kind::Label, form, std::move(name)) { ResetDesign(); }
  // Raises Change when the caption really changes; AutoSize fits the label to the text.
  const std::string& Caption() const;
  void Caption(const std::string& v);
  bool AutoSize() const;
  void AutoSize(bool v);
  bool WordWrap() const;
  void WordWrap(bool v);
  int Alignment() const;
  void Alignment(int v);
  int BackStyle() const;  // 0 transparent, 1 opaque
  void BackStyle(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  bool UseMnemonic() const;
  void UseMnemonic(bool v);

  struct Props {
    std::string Caption;
    bool AutoSize = false, WordWrap = false, UseMnemonic = true;
    int Alignment = 0, BackStyle = 1, BorderStyle = 0;
  };
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;
  void AfterLayout() override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Label(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Label, form, std::move(name), index, array) { ResetDesign(); }
  void fitToText();
  Props l_;
};

// Caption, Alignment and Style shared by the button-like controls.
class ButtonBase : public Control {
 public:
  const std::string& Caption() const;
  void Caption(const std::string& v);
  int Alignment() const;
  void Alignment(int v);
  int Style() const;  // 0 standard, 1 graphical
  const std::string& Picture() const;
  void Picture(const std::string& v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  using Control::Control;
  struct Props {
    std::string Caption, Picture;
    int Alignment = 0, Style = 0;
  };
  Props b_;
};

class CheckBox : public ButtonBase {
 public:
  CheckBox(Form* form, std::string name) : ButtonBase(Kind::CheckBox, form, std::move(name)) { ResetDesign(); }
  // 0, 1 or 2 (380 otherwise); a different value raises Click.
  int Value() const;
  void Value(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  CheckBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : ButtonBase(Kind::CheckBox, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override;  // toggles: 0 -> 1, 1 -> 0, 2 -> 1
  void applyChar(int ascii) override;
  int value_ = 0;
};

class OptionButton : public ButtonBase {
 public:
  OptionButton(Form* form, std::string name) : ButtonBase(Kind::OptionButton, form, std::move(name)) { ResetDesign(); }
  // True: clears the other option buttons of the same container (all pages of an SSTab
  // count as one container) without their Click, then raises Click on this one; nothing
  // happens when it is already True. False: no event, no other button is selected.
  bool Value() const;
  void Value(bool v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  OptionButton(Form* form, std::string name, int index, ControlArrayBase* array)
      : ButtonBase(Kind::OptionButton, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override;
  void applyChar(int ascii) override;
  bool value_ = false;
};

class CommandButton : public ButtonBase {
 public:
  CommandButton(Form* form, std::string name) : ButtonBase(Kind::CommandButton, form, std::move(name)) { ResetDesign(); }
  bool Default() const;
  void Default(bool v);  // one Default button per form
  bool Cancel() const;
  void Cancel(bool v);   // one Cancel button per form
  // Value = true raises Click (the value reads False afterwards).
  bool Value() const { return false; }
  void Value(bool v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  CommandButton(Form* form, std::string name, int index, ControlArrayBase* array)
      : ButtonBase(Kind::CommandButton, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override;
  void applyChar(int ascii) override;
  bool default_ = false, cancel_ = false;
};

class Frame : public Control {
 public:
  Frame(Form* form, std::string name) : Control(Kind::Frame, form, std::move(name)) { ResetDesign(); }
  const std::string& Caption() const;
  void Caption(const std::string& v);
  int BorderStyle() const;  // 0 none (no border, no caption shown), 1 fixed single
  void BorderStyle(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Frame(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Frame, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override {}
  std::string caption_;
  int borderStyle_ = 1;
};

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

class ComboBox : public Control {
 public:
  ComboBox(Form* form, std::string name) : Control(Kind::ComboBox, form, std::move(name)) { ResetDesign(); }
  int Style() const;  // design time only
  bool Sorted() const;
  bool Locked() const;
  void Locked(bool v);
  // Appends, or inserts at `index` (5 when index > ListCount); Sorted ignores the index.
  void AddItem(const std::string& item, int index = -1);
  void RemoveItem(int index);  // 5 when out of range
  void Clear();                // ListIndex -1, Text ""
  int ListCount() const;
  std::string List(int index) const;  // "" when out of range
  void List(int index, const std::string& v);  // 381 when out of range
  long ItemData(int index) const;              // 381 when out of range
  void ItemData(int index, long v);
  int NewIndex() const;
  // -1..ListCount-1 else 380; a different index selects the item, sets Text, raises Click.
  int ListIndex() const;
  void ListIndex(int v);
  // Style 0/1: free text, a different text raises Change. Style 2: the text of the selected
  // item; assigning an item's text selects it, any other text raises 383.
  const std::string& Text() const;
  void Text(const std::string& v);

  // The user drops the list down and picks item i (focus, DropDown, Click).
  bool UserSelect(int index);
  // The user types into the edit part (styles 0 and 1): focus, keys, Change.
  bool UserType(const std::string& text);

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  ComboBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::ComboBox, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void applyChar(int ascii) override;
  // A combo box's Click means "the selection changed" (UserSelect, ListIndex): a click into
  // the box itself raises none.
  void onUserClick() override {}
  struct Item {
    std::string text;
    long data = 0;
  };
  struct Props {
    int Style = 0;
    bool Sorted = false, Locked = false;
    std::vector<Item> Items;
    int ListIndex = -1, NewIndex = -1;
    std::string Text;
  };
  void setText(const std::string& v);
  Props p_;
};

// One drawing operation of a picture box, in pixels of its client area.
struct DrawOp {
  enum Type { Line, Box, FilledBox, Circle, Point } type = Line;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line/Box: the two corners; Circle/Point: x1, y1
  double radius = 0;                       // Circle, pixels
  long color = 0;                          // pen colour
  int drawWidth = 1;                       // pixels
  int drawStyle = 0;                       // 0 solid, 1 dash, 2 dot, ...
  long fillColor = 0;
  int fillStyle = 1;                       // 0 solid, 1 transparent, ...
};

class PictureBox : public Control {
 public:
  PictureBox(Form* form, std::string name) : Control(Kind::PictureBox, form, std::move(name)) { ResetDesign(); }
  // Scale. A non-zero ScaleMode resets ScaleLeft/Top and derives ScaleWidth/Height from the
  // client area; assigning ScaleWidth/Height/Left/Top switches to user scale (0).
  int ScaleMode() const;
  void ScaleMode(int v);
  double ScaleWidth() const;
  void ScaleWidth(double v);
  double ScaleHeight() const;
  void ScaleHeight(double v);
  double ScaleLeft() const;
  void ScaleLeft(double v);
  double ScaleTop() const;
  void ScaleTop(double v);
  // Client area in pixels (inside a 2-pixel border when BorderStyle is 1).
  double ClientWidthPixels() const;
  double ClientHeightPixels() const;
  int BorderStyle() const;
  void BorderStyle(int v);
  bool AutoRedraw() const;
  void AutoRedraw(bool v);
  long FillColor() const;
  void FillColor(long v);
  int FillStyle() const;
  void FillStyle(int v);
  int DrawWidth() const;
  void DrawWidth(int v);
  int DrawStyle() const;
  void DrawStyle(int v);
  double CurrentX() const;
  void CurrentX(double v);
  double CurrentY() const;
  void CurrentY(double v);
  const std::string& Picture() const;
  void Picture(const std::string& v);

  // Drawing, in the current scale. color -1 = ForeColor.
  void Cls();
  void Line(double x1, double y1, double x2, double y2, long color = -1);
  void LineTo(double x2, double y2, long color = -1);  // from (CurrentX, CurrentY)
  void Box(double x1, double y1, double x2, double y2, long color = -1, bool filled = false);
  void Circle(double x, double y, double radius, long color = -1);
  void PSet(double x, double y, long color = -1);
  // The display list since the last Cls, in client pixels.
  const std::vector<DrawOp>& DisplayList() const;

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  PictureBox(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::PictureBox, form, std::move(name), index, array) { ResetDesign(); }
  void toScale(double xPixels, double yPixels, float& x, float& y) const override;
  double xPixel(double x) const;
  double yPixel(double y) const;
  double unitTwips() const;  // twips per scale unit for modes 1..7
  void add(DrawOp op);
  struct Props {
    int ScaleMode = vbTwips;
    double userLeft = 0, userTop = 0, userWidth = 0, userHeight = 0;
    int BorderStyle = 1;
    bool AutoRedraw = false;
    long FillColor = 0;
    int FillStyle = 1, DrawWidth = 1, DrawStyle = 0;
    double CurrentX = 0, CurrentY = 0;
    std::string Picture;
  };
  Props p_;
  std::vector<DrawOp> list_;
};

class Shape : public Control {
 public:
  Shape(Form* form, std::string name) : Control(Kind::Shape, form, std::move(name)) { ResetDesign(); }
  int ShapeType() const;  // the Shape property: 0 rectangle .. 5 rounded square
  void ShapeType(int v);
  int FillStyle() const;  // 0 solid, 1 transparent (default)
  void FillStyle(int v);
  long FillColor() const;
  void FillColor(long v);
  int BackStyle() const;  // 0 transparent (default), 1 opaque
  void BackStyle(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  long BorderColor() const;
  void BorderColor(long v);
  int BorderWidth() const;
  void BorderWidth(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Shape(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Shape, form, std::move(name), index, array) { ResetDesign(); }
  struct Props {
    int ShapeType = 0, FillStyle = 1, BackStyle = 0, BorderStyle = 1, BorderWidth = 1;
    long FillColor = 0, BorderColor = vbWindowText;
  };
  Props p_;
};

class Line : public Control {
 public:
  Line(Form* form, std::string name) : Control(Kind::Line, form, std::move(name)) { ResetDesign(); }
  long X1() const;
  void X1(long v);
  long Y1() const;
  void Y1(long v);
  long X2() const;
  void X2(long v);
  long Y2() const;
  void Y2(long v);
  long BorderColor() const;
  void BorderColor(long v);
  int BorderWidth() const;
  void BorderWidth(int v);
  int BorderStyle() const;
  void BorderStyle(int v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Line(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Line, form, std::move(name), index, array) { ResetDesign(); }
  struct Props {
    long X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, BorderColor = vbWindowText;
    int BorderWidth = 1, BorderStyle = 1;
  };
  Props p_;
};

class Image : public Control {
 public:
  Image(Form* form, std::string name) : Control(Kind::Image, form, std::move(name)) { ResetDesign(); }
  // The picture: a resource path ("images/logo.png") or "" for none.
  const std::string& Picture() const;
  void Picture(const std::string& v);
  bool Stretch() const;
  void Stretch(bool v);
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Image(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Image, form, std::move(name), index, array) { ResetDesign(); }
  void onUserClick() override {}
  std::string picture_;
  bool stretch_ = false;
};

class Menu : public Control {
 public:
  Menu(Form* form, std::string name) : Control(Kind::Menu, form, std::move(name)) { ResetDesign(); }
  // "-" is a separator; "&" marks the access key.
  const std::string& Caption() const;
  void Caption(const std::string& v);
  bool Checked() const;
  void Checked(bool v);
  const std::string& Shortcut() const;
  // The parent menu item (nullptr for a title of the menu bar).
  Menu* ParentMenu() const;
  // The items directly below this one, in layout order (visible or not).
  std::vector<Menu*> Items() const;
  bool IsSeparator() const { return Caption() == "-"; }

  // The user opens this title or submenu (its Click, as the platform raises it when a
  // menu opens).
  bool UserOpen();
  // The user chooses this item (its Click only).
  bool UserClick();
  // Opens every menu above the item, then chooses it.
  bool UserChoose();

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  Menu(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::Menu, form, std::move(name), index, array) { ResetDesign(); }
  bool reachable() const;
  std::string caption_, shortcut_;
  bool checked_ = false;
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
  // the buddy (SyncBuddy) and then raises Change.
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
  // Change). The up-down does not take the focus.
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
  void followBuddy(const std::string& text);
  void followBuddyText();  // follows the buddy's present text
  void step(bool up);
  void setValue(long v, bool force);
  struct Props {
    long Min = 0, Max = 10, Value = 0, Increment = 1;
    bool Wrap = false, SyncBuddy = false;
    std::string BuddyProperty;
    int Orientation = 0;
  };
  Props p_;
  Control* buddy_ = nullptr;
};

// The tabbed dialog control. Each child control sits on one page (Control::ContainerTab);
// controls of the pages not shown are hidden from the user but keep their own Visible
// (and their Left: the model does not shift them off-screen).
class SSTab : public Control {
 public:
  SSTab(Form* form, std::string name) : Control(Kind::SSTab, form, std::move(name)) { ResetDesign(); }
  int Tabs() const;
  void Tabs(int v);  // new pages get "Tab n"; the current page moves into range
  // 0-based current page; out of range 380; a different page raises Click(PreviousTab).
  int Tab() const;
  void Tab(int v);
  std::string TabCaption(int tab) const;  // 381 out of range
  void TabCaption(int tab, const std::string& v);
  bool TabVisible(int tab) const;
  void TabVisible(int tab, bool v);  // hiding the current page moves to the first visible one
  bool TabEnabled(int tab) const;
  void TabEnabled(int tab, bool v);
  int TabsPerRow() const;
  void TabsPerRow(int v);
  int Style() const;
  std::string Caption() const { return TabCaption(Tab()); }
  void Caption(const std::string& v) { TabCaption(Tab(), v); }

  // Click(PreviousTab): raised after the current page changed.
  std::function<void(int PreviousTab)> Click;

  // The user clicks the page's tab: the page changes (Click), then the tab control takes the
  // focus. False for a hidden or disabled page.
  bool UserSelectTab(int tab);

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  friend class Control;
  SSTab(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::SSTab, form, std::move(name), index, array) { ResetDesign(); }
  void applyKeyDown(int keyCode, int shift) override;
  void onUserClick() override {}
  void checkTab(int tab) const;
  void raiseTabClick(int previous);
  struct Page {
    std::string caption;
    bool visible = true, enabled = true;
  };
  std::vector<Page> pages_;
  int tab_ = 0, tabsPerRow_ = 3, style_ = 0;
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

// File open and save dialogs, answered by the host.
class CommonDialog : public Control {
 public:
  CommonDialog(Form* form, std::string name) : Control(Kind::CommonDialog, form, std::move(name)) { ResetDesign(); }
  const std::string& FileName() const;
  void FileName(const std::string& v);
  const std::string& FileTitle() const;
  const std::string& Filter() const;
  void Filter(const std::string& v);
  int FilterIndex() const;
  void FilterIndex(int v);
  const std::string& DialogTitle() const;
  void DialogTitle(const std::string& v);
  const std::string& DefaultExt() const;
  void DefaultExt(const std::string& v);
  const std::string& InitDir() const;
  void InitDir(const std::string& v);
  long Flags() const;
  void Flags(long v);
  bool CancelError() const;
  void CancelError(bool v);
  // Shows the dialog modally. On OK: FileName (DefaultExt added when the chosen name has no
  // extension), FileTitle and FilterIndex are set. On Cancel: error 32755 "Cancel was
  // selected." with CancelError, else nothing changes.
  void ShowOpen();
  void ShowSave();
  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;
  void CopyFrom(const Control& other) override;

 protected:
  template <class T>
  friend class ControlArray;
  friend class Form;
  CommonDialog(Form* form, std::string name, int index, ControlArrayBase* array)
      : Control(Kind::CommonDialog, form, std::move(name), index, array) { ResetDesign(); }
  void show(bool save);
  struct Props {
    std::string FileName, FileTitle, Filter, DialogTitle, DefaultExt, InitDir;
    int FilterIndex = 0;
    long Flags = 0;
    bool CancelError = false;
  };
  Props p_;
};

// ---- Control arrays --------------------------------------------------------------------------
class ControlArrayBase : public Events<int> {
 public:
  ControlArrayBase(Form* form, std::string name, Kind kind);
  virtual ~ControlArrayBase();
  ControlArrayBase(const ControlArrayBase&) = delete;
  ControlArrayBase& operator=(const ControlArrayBase&) = delete;
  const std::string& Name() const { return name_; }
  Kind kind() const { return kind_; }
  Form& Parent() const { return *form_; }

  // Loaded indexes in ascending order.
  std::vector<int> Indexes() const;
  int Count() const;
  int LBound() const;  // 9 when empty
  int UBound() const;
  bool Exists(int index) const;
  // The member (340 "Control array element 'i' doesn't exist" when missing).
  Control& Member(int index) const;
  Control* Find(int index) const;
  // Load arr(i): a new member copying the lowest member (invisible, in the same container,
  // last in the tab order); 360 when the index exists, 341 outside 0..32767.
  void Load(int index);
  // Unload arr(i): 340 when missing, 362 for a member of the layout.
  void Unload(int index);
  bool IsDesignMember(int index) const { return design_.count(index) != 0; }

  // Used by the form and its layout.
  Control& CreateMember(int index, bool design);
  void DestroyAll();
  // Click of SSTab arrays is not supported (no such arrays).

 protected:
  friend class Form;
  virtual std::unique_ptr<Control> make(int index) = 0;
  void touch() const;
  Form* form_;
  std::string name_;
  Kind kind_;
  std::map<int, std::unique_ptr<Control>> members_;
  std::set<int> design_;
};

template <class T>
struct KindOf;
#define FORMS_KIND_OF(T, K) \
  template <>               \
  struct KindOf<T> {        \
    static constexpr Kind value = Kind::K; \
  };
FORMS_KIND_OF(TextBox, TextBox)
FORMS_KIND_OF(Label, Label)
FORMS_KIND_OF(CheckBox, CheckBox)
FORMS_KIND_OF(OptionButton, OptionButton)
FORMS_KIND_OF(CommandButton, CommandButton)
FORMS_KIND_OF(Frame, Frame)
FORMS_KIND_OF(HScrollBar, HScrollBar)
FORMS_KIND_OF(VScrollBar, VScrollBar)
FORMS_KIND_OF(ComboBox, ComboBox)
FORMS_KIND_OF(PictureBox, PictureBox)
FORMS_KIND_OF(Shape, Shape)
FORMS_KIND_OF(Line, Line)
FORMS_KIND_OF(Image, Image)
FORMS_KIND_OF(Menu, Menu)
FORMS_KIND_OF(UpDown, UpDown)
FORMS_KIND_OF(SSTab, SSTab)
FORMS_KIND_OF(ProgressBar, ProgressBar)
FORMS_KIND_OF(CommonDialog, CommonDialog)
#undef FORMS_KIND_OF

template <class T>
class ControlArray : public ControlArrayBase {
 public:
  ControlArray(Form* form, std::string name) : ControlArrayBase(form, std::move(name), KindOf<T>::value) {}
  T& operator()(int index) const { return static_cast<T&>(Member(index)); }
  T& Item(int index) const { return (*this)(index); }

  class iterator {
   public:
    using Inner = std::map<int, std::unique_ptr<Control>>::const_iterator;
    explicit iterator(Inner it) : it_(it) {}
    T& operator*() const { return static_cast<T&>(*it_->second); }
    T* operator->() const { return static_cast<T*>(it_->second.get()); }
    iterator& operator++() { ++it_; return *this; }
    bool operator!=(const iterator& o) const { return it_ != o.it_; }
    bool operator==(const iterator& o) const { return it_ == o.it_; }
   private:
    Inner it_;
  };
  // For Each: the loaded members in index order (do not Load/Unload while iterating).
  iterator begin() const { touch(); return iterator(members_.begin()); }
  iterator end() const { return iterator(members_.end()); }

 protected:
  std::unique_ptr<Control> make(int index) override {
    return std::unique_ptr<Control>(new T(form_, name_, index, this));
  }
};

// ---- Form ------------------------------------------------------------------------------------
// A window. Derive from it, declare the controls as members, override the Form_ handlers.
class Form : public Control {
 public:
  // `layout`: the resource path of the layout ("" = "forms/<name>.txt"; NoLayout = none).
  explicit Form(std::string name, std::string layout = "");
  ~Form() override;
  static constexpr const char* NoLayout = "-";
  // Use a layout given as text instead of the resource (tests).
  void UseLayoutText(std::string text);

  // Life cycle.
  bool Loaded() const { return loaded_; }
  // Load: the layout, then Form_Load. Nothing when loaded already.
  void Load();
  // Show: loads first if needed; modal Show returns when the form is hidden or unloaded
  // (400 when the form is visible already; 401 for a modeless Show while a modal form is
  // up; 364 when the form unloaded itself while loading).
  void Show(int modal = vbModeless);
  void Hide();
  // Unload: QueryUnload(Cancel, vbFormCode), Unload(Cancel); either may keep the form.
  // Nothing when not loaded. Returns true when the form was unloaded.
  bool Unload() { return unload(vbFormCode); }
  bool IsModal() const { return modal_; }
  // True when a modal Show may return (the form is hidden or unloaded).
  bool ModalDone() const { return !loaded_ || !c_.Visible; }

  // Properties (Left/Top/Width/Height are the outer window in twips).
  const std::string& Caption() const;
  void Caption(const std::string& v);
  const std::string& Icon() const;
  void Icon(const std::string& v);
  long ScaleWidth() const;   // client area, twips
  long ScaleHeight() const;
  void ClientSize(long width, long height);  // sets Width/Height from a client size
  int WindowState() const;
  void WindowState(int v);
  bool KeyPreview() const;
  void KeyPreview(bool v);
  int BorderStyle() const;
  void BorderStyle(int v);
  bool ControlBox() const;
  bool MinButton() const;
  bool MaxButton() const;
  int StartUpPosition() const;
  Control* ActiveControl() const { return active_; }
  // Non-client allowance (twips) between Width/Height and the client area.
  long FrameWidth() const;
  long FrameHeight() const;

  // Every live control of the form, in z-order (later = in front). Empty when not loaded.
  std::vector<Control*> Controls() const;
  // A control by name ("lblData") and index (-1 for a non-array control); nullptr if none.
  Control* FindControl(const std::string& name, int index = -1) const;
  // The controls in tab order.
  std::vector<Control*> TabOrder() const;
  // The menu titles (top-level menu items) in layout order.
  std::vector<Menu*> MenuBar() const;
  CommandButton* DefaultButton() const;
  CommandButton* CancelButton() const;

  // User input on the form (to the focused control, or the form when none has the focus).
  // UserKey: a key by its code (the character it types follows from the code and Shift, US
  // layout); UserKeyStroke: a key with the character the keyboard gave (0 for none; a
  // Unicode code point otherwise), as a view gets it; UserType: characters.
  bool UserKey(int keyCode, int shift = 0);
  bool UserKeyStroke(int keyCode, int shift, int character);
  bool UserType(const std::string& text);
  // The user moved or resized the window (twips); Form_Resize when the size changed.
  bool UserMoveResize(long left, long top, long width, long height);
  bool UserClose();  // QueryUnload(vbFormControlMenu); true when the form was unloaded
  // The user made the form's window the active one: the active form gets Deactivate, this
  // one Activate (and its first control the focus when none has it). True when the form is
  // the active form afterwards; false (no events) when it takes no input (hidden,
  // disabled, below a modal form).
  bool UserActivate();
  // Whether the form takes user input now (loaded, visible, enabled, not below a modal form).
  bool AcceptsInput() const;

  // Event handlers of the window (override the ones the window has).
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Deactivate() {}
  virtual void Form_QueryUnload(int& Cancel, int UnloadMode) {}
  virtual void Form_Unload(int& Cancel) {}
  virtual void Form_Resize() {}
  virtual void Form_GotFocus() {}
  virtual void Form_LostFocus() {}
  virtual void Form_KeyDown(int& KeyCode, int Shift) {}
  virtual void Form_KeyPress(int& KeyAscii) {}
  virtual void Form_KeyUp(int& KeyCode, int Shift) {}
  virtual void Form_Click() {}
  virtual void Form_DblClick() {}
  virtual void Form_MouseDown(int Button, int Shift, float X, float Y) {}
  virtual void Form_MouseMove(int Button, int Shift, float X, float Y) {}
  virtual void Form_MouseUp(int Button, int Shift, float X, float Y) {}
  virtual void Form_OLEDragDrop(const DataObject& Data) {}

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;

  // --- used by the forms layer ---
  void registerMember(Control* c);
  void unregisterMember(Control* c);
  void registerArray(ControlArrayBase* a);
  void unregisterArray(ControlArrayBase* a);
  void addLive(Control* c);      // a control came to life (array member loaded)
  void removeLive(Control* c);   // a control is about to be destroyed
  void placeInTabOrder(Control* c, int index);  // -1 = last
  void focusTo(Control* target);  // the focus move (checks done by the caller)
  void keyStroke(Control* target, int keyCode, int shift, int ascii);
  void activate();
  bool unload(int mode);
  bool unloading() const { return unloading_; }
  bool loading() const { return loading_; }
  void beginImplicitLoad();
  void setDefaultButton(CommandButton* b, bool on);
  void setCancelButton(CommandButton* b, bool on);
  void tabNavigate(bool backwards);

 protected:
  void onUserClick() override;
  void toScale(double xPixels, double yPixels, float& x, float& y) const override;

 private:
  friend class Control;
  friend class Menu;
  long pendingClientWidth_ = -1, pendingClientHeight_ = -1;
  bool announced_ = false;  // the host has been told of the load
  void notifyAbout(Control& c, Prop what);
  void activatePrevious();
  bool isLive(const Control* c) const;
  bool tabCandidate(Control* c) const;
  Control* nextInTabOrder(Control* from, bool backwards) const;
  void applyLayout();
  void destroyLive();
  // A control of the layout that the class does not declare.
  std::unique_ptr<Control> createExtra(Kind kind, const std::string& name);
  ControlArrayBase* createExtraArray(Kind kind, const std::string& name);
  std::vector<std::unique_ptr<ControlArrayBase>> extraArrays_;
  void centre();
  struct Props {
    std::string Caption, Icon;
    int WindowState = 0, BorderStyle = 2, StartUpPosition = 3;
    bool KeyPreview = false, ControlBox = true, MinButton = true, MaxButton = true;
  };
  Props f_;
  std::string layoutName_;
  std::optional<std::string> layoutText_;
  std::vector<Control*> members_;                 // declared controls
  std::vector<ControlArrayBase*> arrays_;         // declared arrays
  std::vector<std::unique_ptr<Control>> extras_;  // layout controls the class does not declare
  std::vector<Control*> live_;                    // z-order
  std::vector<Control*> tabOrder_;
  Control* active_ = nullptr;
  CommandButton* default_ = nullptr;
  CommandButton* cancel_ = nullptr;
  bool loaded_ = false, loading_ = false, unloading_ = false, modal_ = false;
  bool focusMoving_ = false;
  Control* focusTarget_ = nullptr;
  int loadGeneration_ = 0;
};

// Free forms of the statements.
inline void Load(Form& f) { f.Load(); }
inline bool Unload(Form& f) { return f.Unload(); }

// ---- The application's forms and the screen ------------------------------------------------
// Every existing form (created, loaded or not), in creation order.
std::vector<Form*> AllForms();
// The loaded forms (the Forms collection).
std::vector<Form*> LoadedForms();
// The topmost modal form, or nullptr.
Form* TopModalForm();

// The default instance of a window class, created on first use (the window's name used as
// a variable). ReleaseDefaultInstances() unloads (without events) and destroys them all.
namespace detail {
void registerInstance(void (*release)());
}
template <class T>
T& DefaultInstance() {
  static T* instance = nullptr;
  if (!instance) {
    instance = new T();
    detail::registerInstance([] {
      delete instance;
      instance = nullptr;
    });
  }
  return *instance;
}
void ReleaseDefaultInstances();

class ScreenObject {
 public:
  // The screen's pointer overrides every form's until set back to 0; changes go to the host.
  int MousePointer() const { return mousePointer_; }
  void MousePointer(int v);
  Form* ActiveForm() const;
  Control* ActiveControl() const;
  long Width() const { return width_; }
  long Height() const { return height_; }
  void SetSize(long widthTwips, long heightTwips) { width_ = widthTwips; height_ = heightTwips; }
  static constexpr long TwipsPerPixelX() { return 15; }
  static constexpr long TwipsPerPixelY() { return 15; }

 private:
  int mousePointer_ = 0;
  long width_ = 1920 * 15, height_ = 1080 * 15;
};
extern ScreenObject Screen;

// comctl32 InitCommonControls: nothing to do here; kept so that windows can say it.
inline void InitCommonControls() {}

// Whether assigning the same text to a TextBox or Label raises Change (default: no).
void SetChangeOnSameText(bool on);

}  // namespace forms
