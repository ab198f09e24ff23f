// The control base: common properties, observers, focus and user input; colours, kinds,
// the screen and small helpers of the forms layer.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

// ---- Colours ---------------------------------------------------------------------------------
long RGB(int r, int g, int b) {
  auto c = [](int v) { return static_cast<long>(std::clamp(v, 0, 255)); };
  return c(r) + c(g) * 256 + c(b) * 65536;
}

long QBColor(int n) {
  static const long palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  if (n < 0 || n > 15) vb::Raise(5);
  return palette[n];
}

long ResolveColor(long color) {
  uint32_t u = static_cast<uint32_t>(color);
  if ((u & 0xFF000000u) != 0x80000000u) return color & 0xFFFFFF;
  static const long scheme[31] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
      0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF9933, 0xC8D0D4};
  uint32_t index = u & 0xFF;
  return index < 31 ? scheme[index] : 0;
}

// ---- Kinds -----------------------------------------------------------------------------------
namespace {
const char* const kindNames[] = {"Form", "TextBox", "Label", "CheckBox", "OptionButton", "Frame",
                                 "CommandButton", "HScrollBar", "VScrollBar", "ComboBox",
                                 "PictureBox", "Shape", "Line", "Image", "Menu", "UpDown",
                                 "SSTab", "ProgressBar", "CommonDialog"};
}

const char* KindName(Kind kind) { return kindNames[static_cast<int>(kind)]; }

std::optional<Kind> KindFromName(std::string_view name) {
  for (int i = 0; i < static_cast<int>(std::size(kindNames)); ++i)
    if (name == kindNames[i]) return static_cast<Kind>(i);
  return std::nullopt;
}

// ---- Screen, help, options -------------------------------------------------------------------
ScreenObject Screen;

namespace {
bool changeOnSameText = false;
bool programEnding = false;
}  // namespace

void SetChangeOnSameText(bool on) { changeOnSameText = on; }
void BeginProgramEnd() { programEnding = true; }
bool ProgramEnding() { return programEnding; }
namespace detail {
void EndOfProgramEnd() { programEnding = false; }
}
namespace detail {
bool ChangeOnSameText() { return changeOnSameText; }
}

void ScreenObject::MousePointer(int v) {
  if (v == mousePointer_) return;
  mousePointer_ = v;
  host().MousePointerChanged(v);
}

// ---- Helpers ---------------------------------------------------------------------------------
namespace detail {

int& inputDepth() {
  static int depth = 0;
  return depth;
}

int asciiForKey(int keyCode, int shift) {
  if (shift & (vbCtrlMask | vbAltMask)) return 0;
  bool sh = shift & vbShiftMask;
  if (keyCode >= vbKeyA && keyCode <= vbKeyZ) return sh ? keyCode : keyCode + 32;
  if (keyCode >= vbKey0 && keyCode <= vbKey9) {
    if (!sh) return keyCode;
    static const char shifted[] = ")!@#$%^&*(";
    return shifted[keyCode - vbKey0];
  }
  switch (keyCode) {
    case vbKeyBack: case vbKeyReturn: case vbKeyEscape: case vbKeySpace: return keyCode;
    case 189: return sh ? '_' : '-';
    case 190: return sh ? '>' : '.';
    case 188: return sh ? '<' : ',';
    case 187: return sh ? '+' : '=';
    case 186: return sh ? ':' : ';';
    case 191: return sh ? '?' : '/';
    case 192: return sh ? '~' : '`';
    case 219: return sh ? '{' : '[';
    case 220: return sh ? '|' : '\\';
    case 221: return sh ? '}' : ']';
    case 222: return sh ? '"' : '\'';
    case 109: return '-';  // numeric keypad
    case 110: return '.';
    case 107: return '+';
    case 106: return '*';
    case 111: return '/';
    default: break;
  }
  if (keyCode >= 96 && keyCode <= 105) return '0' + keyCode - 96;
  return 0;
}

void keyForChar(unsigned char ch, int& keyCode, int& shift) {
  shift = 0;
  if (ch >= 'a' && ch <= 'z') { keyCode = ch - 32; return; }
  if (ch >= 'A' && ch <= 'Z') { keyCode = ch; shift = vbShiftMask; return; }
  if (ch >= '0' && ch <= '9') { keyCode = ch; return; }
  switch (ch) {
    case ' ': keyCode = vbKeySpace; return;
    case '\r': case '\n': keyCode = vbKeyReturn; return;
    case '\t': keyCode = vbKeyTab; return;
    case '\b': keyCode = vbKeyBack; return;
    case 27: keyCode = vbKeyEscape; return;
    case '-': keyCode = 189; return;
    case '_': keyCode = 189; shift = vbShiftMask; return;
    case '.': keyCode = 190; return;
    case '>': keyCode = 190; shift = vbShiftMask; return;
    case ',': keyCode = 188; return;
    case '<': keyCode = 188; shift = vbShiftMask; return;
    case '=': keyCode = 187; return;
    case '+': keyCode = 187; shift = vbShiftMask; return;
    case ';': keyCode = 186; return;
    case ':': keyCode = 186; shift = vbShiftMask; return;
    case '/': keyCode = 191; return;
    case '?': keyCode = 191; shift = vbShiftMask; return;
    default: keyCode = 0; return;  // other characters: no key code of their own
  }
}

std::string withoutMnemonic(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

int accessKeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return std::toupper(static_cast<unsigned char>(caption[i + 1]));
  }
  return 0;
}

bool parseWhole(const std::string& text, long& value) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  while (n > i && text[n - 1] == ' ') --n;
  if (i >= n) return false;
  bool neg = false;
  if (text[i] == '+' || text[i] == '-') {
    neg = text[i] == '-';
    ++i;
  }
  if (i >= n) return false;
  long long v = 0;
  for (; i < n; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (neg) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  value = static_cast<long>(v);
  return true;
}

}  // namespace detail

// ---- Control ---------------------------------------------------------------------------------
Control::Control(Kind kind, Form* form, std::string name)
    : kind_(kind), form_(form), name_(std::move(name)) {  // a Form sets form_ to itself
  if (kind != Kind::Form) {
    if (!form_) vb::Raise(91);
    form_->registerMember(this);
  }
}

Control::Control(Kind kind, Form* form, std::string name, int index, ControlArrayBase* array)
    : kind_(kind), form_(form), name_(std::move(name)), index_(index), array_(array) {}

Control::~Control() {
  if (buddyOf_) buddyOf_->buddy_ = nullptr;
  if (kind_ != Kind::Form && form_) form_->unregisterMember(this);
}

std::string Control::DisplayName() const {
  return index_ >= 0 ? name_ + "(" + std::to_string(index_) + ")" : name_;
}

void Control::touch() const {
  if (form_ && !form_->Loaded() && !form_->loading() && !form_->unloading() && !programEnding)
    form_->beginImplicitLoad();
}

void Control::notify(Prop what) {
  if (observers_.empty()) return;
  auto copy = observers_;  // observers may unsubscribe while notified
  for (auto& [id, fn] : copy)
    if (fn) fn(*this, what);
}

int Control::Subscribe(Observer observer) {
  int id = nextObserver_++;
  observers_[id] = std::move(observer);
  return id;
}

void Control::Unsubscribe(int id) { observers_.erase(id); }

void Control::ResetDesign() {
  Control* keepNothing = nullptr;
  c_ = Common{};
  c_.Container = keepNothing;
  switch (kind_) {
    case Kind::TextBox:
    case Kind::ComboBox:
      c_.BackColor = vbWindowBackground;
      c_.ForeColor = vbWindowText;
      break;
    case Kind::Form:
    case Kind::Label:
    case Kind::Frame:
    case Kind::Shape:
    case Kind::Line:
    case Kind::Image:
    case Kind::Menu:
    case Kind::CommonDialog:
    case Kind::ProgressBar:
      c_.TabStop = false;
      break;
    default:
      break;
  }
  if (kind_ == Kind::PictureBox) c_.BackColor = vbButtonFace;
}

void Control::CopyFrom(const Control& other) {
  Control* container = other.c_.Container;
  int tab = other.c_.ContainerTab;
  int tabIndex = c_.TabIndex;
  c_ = other.c_;
  c_.Container = container;
  c_.ContainerTab = tab;
  c_.TabIndex = tabIndex;
  c_.Visible = false;
}

bool Control::InTabOrder() const {
  switch (kind_) {
    case Kind::Form: case Kind::Shape: case Kind::Line: case Kind::Image: case Kind::Menu:
    case Kind::CommonDialog: case Kind::ProgressBar:
      return false;
    default:
      return true;
  }
}

bool Control::CanFocusKind() const {
  switch (kind_) {
    case Kind::TextBox: case Kind::CheckBox: case Kind::OptionButton: case Kind::CommandButton:
    case Kind::HScrollBar: case Kind::VScrollBar: case Kind::ComboBox: case Kind::PictureBox:
    case Kind::UpDown: case Kind::SSTab:
      return true;
    default:
      return false;
  }
}

// Container / geometry ------------------------------------------------------------------------
Control* Control::Container() const { touch(); return c_.Container; }
int Control::ContainerTab() const { touch(); return c_.ContainerTab; }
void Control::Container(Control* container, int tab) {
  touch();
  if (container == this) vb::Raise(5);
  for (Control* p = container; p; p = p->c_.Container)
    if (p == this) vb::Raise(5);  // no cycles
  if (container && container->kind_ != Kind::Frame && container->kind_ != Kind::PictureBox &&
      container->kind_ != Kind::SSTab && !(kind_ == Kind::Menu && container->kind_ == Kind::Menu))
    vb::Raise(5);
  if (container && &container->Parent() != form_) vb::Raise(5);
  c_.Container = container;
  c_.ContainerTab = container && container->kind_ == Kind::SSTab ? std::max(tab, 0) : -1;
  notify(Prop::Geometry);
}

#define FORMS_PROP(Type, Name, group)                      \
  Type Control::Name() const {                             \
    touch();                                               \
    return c_.Name;                                        \
  }                                                        \
  void Control::Name(Type v) {                             \
    touch();                                               \
    if (c_.Name == v) return;                              \
    c_.Name = v;                                           \
    notify(group);                                         \
  }
FORMS_PROP(long, Left, Prop::Geometry)
FORMS_PROP(long, Top, Prop::Geometry)
FORMS_PROP(bool, TabStop, Prop::Other)
FORMS_PROP(long, HelpContextID, Prop::Other)
FORMS_PROP(bool, CausesValidation, Prop::Other)
FORMS_PROP(long, BackColor, Prop::Colors)
FORMS_PROP(long, ForeColor, Prop::Colors)
FORMS_PROP(int, OLEDropMode, Prop::Other)
FORMS_PROP(long, WindowStyle, Prop::Appearance)
#undef FORMS_PROP

long Control::Width() const { touch(); return c_.Width; }
void Control::Width(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  if (c_.Width == v) return;
  c_.Width = v;
  notify(Prop::Geometry);
  if (kind_ == Kind::Form) static_cast<Form*>(this)->Form_Resize();
}
long Control::Height() const { touch(); return c_.Height; }
void Control::Height(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  if (c_.Height == v) return;
  c_.Height = v;
  notify(Prop::Geometry);
  if (kind_ == Kind::Form) static_cast<Form*>(this)->Form_Resize();
}

void Control::Move(long left, long top, long width, long height) {
  touch();
  if ((width < -1) || (height < -1)) vb::Raise(380);
  bool resized = (width >= 0 && width != c_.Width) || (height >= 0 && height != c_.Height);
  c_.Left = left;
  c_.Top = top;
  if (width >= 0) c_.Width = width;
  if (height >= 0) c_.Height = height;
  notify(Prop::Geometry);
  if (resized && kind_ == Kind::Form) static_cast<Form*>(this)->Form_Resize();
}

bool Control::Visible() const { touch(); return c_.Visible; }
void Control::Visible(bool v) {
  if (kind_ == Kind::Form) {
    auto* f = static_cast<Form*>(this);
    if (v) f->Show(); else f->Hide();
    return;
  }
  touch();
  if (c_.Visible == v) return;
  c_.Visible = v;
  notify(Prop::Visible);
}

bool Control::Enabled() const { touch(); return c_.Enabled; }
void Control::Enabled(bool v) {
  touch();
  if (c_.Enabled == v) return;
  c_.Enabled = v;
  notify(Prop::Enabled);
}

int Control::TabIndex() const { touch(); return c_.TabIndex; }
void Control::TabIndex(int v) {
  touch();
  if (v < 0 || v > 32767) vb::Raise(380);
  if (!InTabOrder()) vb::Raise(438);
  form_->placeInTabOrder(this, v);
}

const std::string& Control::Tag() const { touch(); return c_.Tag; }
void Control::Tag(const std::string& v) { touch(); c_.Tag = v; }
const std::string& Control::ToolTipText() const { touch(); return c_.ToolTipText; }
void Control::ToolTipText(const std::string& v) {
  touch();
  if (c_.ToolTipText == v) return;
  c_.ToolTipText = v;
  notify(Prop::ToolTip);
}
int Control::MousePointer() const { touch(); return c_.MousePointer; }
void Control::MousePointer(int v) {
  touch();
  if ((v < 0 || v > 15) && v != 99) vb::Raise(380);
  if (c_.MousePointer == v) return;
  c_.MousePointer = v;
  notify(Prop::MousePointer);
}
const forms::Font& Control::Font() const { touch(); return c_.Font; }
void Control::Font(const forms::Font& f) {
  touch();
  if (c_.Font == f) return;
  c_.Font = f;
  notify(Prop::Font);
  AfterLayout();  // a label sized to its text follows its font
}
void Control::FontName(const std::string& v) { auto f = Font(); f.Name = v; Font(f); }
void Control::FontSize(double v) {
  if (v <= 0 || v > 2048) vb::Raise(380);
  auto f = Font();
  f.Size = v;
  Font(f);
}
void Control::FontBold(bool v) { auto f = Font(); f.Bold = v; Font(f); }

bool Control::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Left") c_.Left = LayoutLong(value);
  else if (key == "Top") c_.Top = LayoutLong(value);
  else if (key == "Width") c_.Width = LayoutLong(value);
  else if (key == "Height") c_.Height = LayoutLong(value);
  else if (key == "Visible") c_.Visible = LayoutBool(value);
  else if (key == "Enabled") c_.Enabled = LayoutBool(value);
  else if (key == "TabIndex") c_.TabIndex = static_cast<int>(LayoutLong(value));
  else if (key == "TabStop") c_.TabStop = LayoutBool(value);
  else if (key == "Tag") c_.Tag = value;
  else if (key == "ToolTipText") c_.ToolTipText = value;
  else if (key == "HelpContextID") c_.HelpContextID = LayoutLong(value);
  else if (key == "CausesValidation") c_.CausesValidation = LayoutBool(value);
  else if (key == "BackColor") c_.BackColor = LayoutLong(value);
  else if (key == "ForeColor") c_.ForeColor = LayoutLong(value);
  else if (key == "MousePointer") c_.MousePointer = static_cast<int>(LayoutLong(value));
  else if (key == "FontName") c_.Font.Name = value;
  else if (key == "FontSize") c_.Font.Size = LayoutDouble(value);
  else if (key == "FontBold") c_.Font.Bold = LayoutBool(value);
  else if (key == "FontItalic") c_.Font.Italic = LayoutBool(value);
  else if (key == "FontUnderline") c_.Font.Underline = LayoutBool(value);
  else if (key == "OLEDropMode") c_.OLEDropMode = static_cast<int>(LayoutLong(value));
  else if (key == "WindowStyle") c_.WindowStyle = LayoutLong(value);
  else return false;
  return true;
}

// Effective state -----------------------------------------------------------------------------
bool Control::IsShownInForm() const {
  for (const Control* p = this; p; p = p->c_.Container) {
    if (!p->c_.Visible) return false;
    const Control* ct = p->c_.Container;
    if (ct && ct->kind_ == Kind::SSTab) {
      auto* tab = static_cast<const SSTab*>(ct);
      int page = p->c_.ContainerTab;
      if (page != tab->tab_ || page < 0 || page >= static_cast<int>(tab->pages_.size()) ||
          !tab->pages_[page].visible)
        return false;
    }
  }
  return true;
}

bool Control::IsEnabledInForm() const {
  for (const Control* p = this; p; p = p->c_.Container) {
    if (!p->c_.Enabled) return false;
    const Control* ct = p->c_.Container;
    if (ct && ct->kind_ == Kind::SSTab) {
      auto* tab = static_cast<const SSTab*>(ct);
      int page = p->c_.ContainerTab;
      if (page >= 0 && page < static_cast<int>(tab->pages_.size()) && !tab->pages_[page].enabled) return false;
    }
  }
  return true;
}

bool Control::CanTakeFocus() const {
  if (!CanFocusKind() || !form_->Loaded()) return false;
  if (!form_->c_.Visible || !form_->c_.Enabled) return false;
  for (const Control* p = this; p; p = p->c_.Container)
    if (!p->c_.Visible || !p->c_.Enabled) return false;
  return true;
}

bool Control::HasFocus() const { return form_->ActiveControl() == this; }

void Control::SetFocus() {
  touch();
  if (kind_ == Kind::Form) {
    auto* f = static_cast<Form*>(this);
    if (!c_.Visible || !c_.Enabled) vb::Raise(5);
    f->activate();
    return;
  }
  if (!CanTakeFocus()) vb::Raise(5);
  if (Screen.ActiveForm() != form_) form_->activate();
  form_->focusTo(this);
}

void Control::Refresh() {
  touch();
  notify(Prop::Refresh);
}

void Control::ZOrder(int position) {
  touch();
  if (kind_ != Kind::Form) {
    auto& live = form_->live_;
    auto it = std::find(live.begin(), live.end(), this);
    if (it != live.end()) {
      live.erase(it);
      if (position == 0) live.push_back(this);
      else live.insert(live.begin(), this);
    }
  } else {
    static_cast<Form*>(this)->sentToBack_ = position != 0;
  }
  notify(Prop::ZOrder);
}

// Event raising -------------------------------------------------------------------------------
void Control::raiseClick() { FORMS_RAISE(Click); }
void Control::raiseChange() { FORMS_RAISE(Change); }
void Control::raiseDblClick() { FORMS_RAISE(DblClick); }
void Control::raiseGotFocus() { FORMS_RAISE(GotFocus); }
void Control::raiseLostFocus() { FORMS_RAISE(LostFocus); }
bool Control::raiseValidate() {
  bool cancel = false;
  FORMS_RAISE(Validate, cancel);
  return cancel;
}
void Control::raiseKeyDown(int& keyCode, int shift) { FORMS_RAISE(KeyDown, keyCode, shift); }
void Control::raiseKeyPress(int& ascii) { FORMS_RAISE(KeyPress, ascii); }
void Control::raiseKeyUp(int& keyCode, int shift) { FORMS_RAISE(KeyUp, keyCode, shift); }
void Control::raiseMouse(int which, int button, int shift, float x, float y) {
  if (which == 0) FORMS_RAISE(MouseDown, button, shift, x, y);
  else if (which == 1) FORMS_RAISE(MouseMove, button, shift, x, y);
  else FORMS_RAISE(MouseUp, button, shift, x, y);
}
void Control::raiseScroll() { FORMS_RAISE(Scroll); }
void Control::raiseUpClick() { FORMS_RAISE(UpClick); }
void Control::raiseDownClick() { FORMS_RAISE(DownClick); }
void Control::raiseDropDown() { FORMS_RAISE(DropDown); }
void Control::raiseOLEDragDrop(const DataObject& data) { FORMS_RAISE(OLEDragDrop, data); }

void Control::toScale(double xPixels, double yPixels, float& x, float& y) const {
  x = static_cast<float>(xPixels * Screen.TwipsPerPixelX());
  y = static_cast<float>(yPixels * Screen.TwipsPerPixelY());
}

// User input ----------------------------------------------------------------------------------
namespace {
bool buttonLike(Kind k) {
  return k == Kind::CommandButton || k == Kind::CheckBox || k == Kind::OptionButton;
}
}  // namespace

void Control::onUserClick() { raiseClick(); }

bool Control::press(int button, int shift, float x, float y) {
  raiseMouse(0, button, shift, x, y);
  if (clickTakesFocus() && !HasFocus()) {
    if (!CanTakeFocus()) return false;
    form_->focusTo(this);
    if (!HasFocus()) return false;  // Validate kept the focus elsewhere
  }
  return true;
}

void Control::release(int button, int shift, float x, float y, bool click) {
  if (click && buttonLike(kind_)) onUserClick();
  raiseMouse(2, button, shift, x, y);
  if (click && !buttonLike(kind_)) onUserClick();
}

bool Control::UserClick() {
  return detail::userInput("Click " + DisplayName(), [&] {
    if (kind_ == Kind::Form) {
      auto* f = static_cast<Form*>(this);
      if (!f->AcceptsInput()) return false;
      f->Form_MouseDown(vbLeftButton, 0, 0, 0);
      f->Form_MouseUp(vbLeftButton, 0, 0, 0);
      f->Form_Click();
      return true;
    }
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    if (!press(vbLeftButton, 0, 0, 0)) return false;
    release(vbLeftButton, 0, 0, 0, true);
    return true;
  });
}

bool Control::UserDblClick() {
  return detail::userInput("DblClick " + DisplayName(), [&] {
    if (kind_ == Kind::Form) {
      auto* f = static_cast<Form*>(this);
      if (!f->AcceptsInput()) return false;
      f->Form_DblClick();
      return true;
    }
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    raiseDblClick();
    return true;
  });
}

bool Control::UserFocus() {
  return detail::userInput("Focus " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus()) return false;
    form_->focusTo(this);
    return HasFocus();
  });
}

bool Control::UserMouseDown(int button, int shift, double xPixels, double yPixels) {
  return detail::userInput("MouseDown " + DisplayName(), [&] {
    float x, y;
    toScale(xPixels, yPixels, x, y);
    if (kind_ == Kind::Form) {
      auto* f = static_cast<Form*>(this);
      if (!f->AcceptsInput()) return false;
      f->Form_MouseDown(button, shift, x, y);
      return true;
    }
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    return press(button, shift, x, y);
  });
}

bool Control::UserMouseMove(int button, int shift, double xPixels, double yPixels) {
  return detail::userInput("MouseMove " + DisplayName(), [&] {
    float x, y;
    toScale(xPixels, yPixels, x, y);
    if (kind_ == Kind::Form) {
      auto* f = static_cast<Form*>(this);
      if (!f->AcceptsInput()) return false;
      f->Form_MouseMove(button, shift, x, y);
      return true;
    }
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    raiseMouse(1, button, shift, x, y);
    return true;
  });
}

bool Control::UserMouseUp(int button, int shift, double xPixels, double yPixels) {
  return mouseUp(button, shift, xPixels, yPixels, false);
}

bool Control::UserMouseUpClick(int button, int shift, double xPixels, double yPixels) {
  return mouseUp(button, shift, xPixels, yPixels, true);
}

bool Control::mouseUp(int button, int shift, double xPixels, double yPixels, bool click) {
  return detail::userInput(click ? "Click " + DisplayName() : "MouseUp " + DisplayName(), [&] {
    float x, y;
    toScale(xPixels, yPixels, x, y);
    if (kind_ == Kind::Form) {
      auto* f = static_cast<Form*>(this);
      if (!f->AcceptsInput()) return false;
      f->Form_MouseUp(button, shift, x, y);
      if (click) f->Form_Click();
      return true;
    }
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    release(button, shift, x, y, click);
    return true;
  });
}

bool Control::UserDropFiles(const std::vector<std::string>& files) {
  return detail::userInput("OLEDragDrop " + DisplayName(), [&] {
    if (!form_->AcceptsInput()) return false;
    DataObject data{files};
    for (Control* p = this; p; p = p->c_.Container) {
      if (p->kind_ == Kind::Form) break;
      if (p->c_.OLEDropMode == vbOLEDropManual) {
        if (!p->IsShownInForm() || !p->IsEnabledInForm()) return false;
        p->raiseOLEDragDrop(data);
        return true;
      }
    }
    if (form_->c_.OLEDropMode == vbOLEDropManual) {
      form_->Form_OLEDragDrop(data);
      return true;
    }
    return false;
  });
}

}  // namespace forms
