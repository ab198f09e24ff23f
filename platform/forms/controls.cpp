// Text box, label, buttons, frame, scroll bars, combo box, up-down, tab control, progress
// bar and common dialog.
#include <algorithm>
#include <cctype>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {
namespace detail {
bool ChangeOnSameText();
}

namespace {

std::string utf8(int cp) {
  std::string s;
  if (cp < 0) cp = '?';
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

// Byte position of the code point before / after `pos`.
long prevCp(const std::string& s, long pos) {
  if (pos <= 0) return 0;
  --pos;
  while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  return pos;
}
long nextCp(const std::string& s, long pos) {
  long n = static_cast<long>(s.size());
  if (pos >= n) return n;
  ++pos;
  while (pos < n && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

// Code points of a UTF-8 text ("\r\n" counts as one Enter).
std::vector<int> codePoints(const std::string& s) {
  std::vector<int> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      out.push_back('\r');
      i += 2;
      continue;
    }
    int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    int cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp == '\n' ? '\r' : cp);
    i += len;
  }
  return out;
}

bool iequal(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int ilt(const std::string& a, const std::string& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

namespace detail {
// Types `text` into the focused control of `form`, `first` taking the focus first.
bool typeInto(Control& first, Form& form, const std::string& text) {
  if (!form.AcceptsInput() || !first.IsShownInForm() || !first.IsEnabledInForm() || !first.CanTakeFocus()) return false;
  if (!first.HasFocus()) {
    form.focusTo(&first);
    if (!first.HasFocus()) return false;
  }
  for (int cp : codePoints(text)) {
    if (!form.Loaded() || !form.AcceptsInput()) break;
    int keyCode = 0, shift = 0;
    if (cp < 0x80) keyForChar(static_cast<unsigned char>(cp), keyCode, shift);
    int ascii = cp == '\t' ? 0 : cp;
    form.keyStroke(form.ActiveControl(), keyCode, shift, ascii);
  }
  return true;
}
}  // namespace detail

// ---- TextBox ---------------------------------------------------------------------------------
void TextBox::ResetDesign() {
  Control::ResetDesign();
  t_ = Props{};
}

bool TextBox::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Text") t_.Text = value;
  else if (key == "MaxLength") t_.MaxLength = LayoutLong(value);
  else if (key == "Locked") t_.Locked = LayoutBool(value);
  else if (key == "MultiLine") t_.MultiLine = LayoutBool(value);
  else if (key == "ScrollBars") t_.ScrollBars = static_cast<int>(LayoutLong(value));
  else if (key == "PasswordChar") t_.PasswordChar = value;
  else if (key == "Alignment") t_.Alignment = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  return true;
}

void TextBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  t_ = static_cast<const TextBox&>(other).t_;
}

const std::string& TextBox::Text() const { touch(); return t_.Text; }
void TextBox::Text(const std::string& v) {
  touch();
  if (v == t_.Text && !detail::ChangeOnSameText()) return;
  setText(v, 0);
}

void TextBox::setText(const std::string& v, long caret) {
  bool changed = v != t_.Text;
  t_.Text = v;
  t_.SelStart = std::clamp(caret, 0L, static_cast<long>(v.size()));
  t_.SelLength = 0;
  notify(Prop::Text);
  if (changed && buddyOf_) buddyOf_->followBuddy(v);
  raiseChange();
}

long TextBox::SelStart() const { touch(); return t_.SelStart; }
void TextBox::SelStart(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  t_.SelStart = std::min(v, static_cast<long>(t_.Text.size()));
  t_.SelLength = 0;
  notify(Prop::Selection);
}
long TextBox::SelLength() const { touch(); return t_.SelLength; }
void TextBox::SelLength(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  t_.SelLength = std::min(v, static_cast<long>(t_.Text.size()) - t_.SelStart);
  notify(Prop::Selection);
}
std::string TextBox::SelText() const {
  touch();
  return t_.Text.substr(t_.SelStart, t_.SelLength);
}
void TextBox::SelText(const std::string& v) {
  touch();
  std::string s = t_.Text;
  long start = t_.SelStart;
  s.replace(start, t_.SelLength, v);
  if (s == t_.Text) return;
  setText(s, start + static_cast<long>(v.size()));
}
long TextBox::MaxLength() const { touch(); return t_.MaxLength; }
void TextBox::MaxLength(long v) {
  touch();
  if (v < 0) vb::Raise(380);
  t_.MaxLength = v;
}
bool TextBox::Locked() const { touch(); return t_.Locked; }
void TextBox::Locked(bool v) {
  touch();
  if (t_.Locked == v) return;
  t_.Locked = v;
  notify(Prop::Locked);
}
bool TextBox::MultiLine() const { touch(); return t_.MultiLine; }
int TextBox::ScrollBars() const { touch(); return t_.ScrollBars; }
std::string TextBox::PasswordChar() const { touch(); return t_.PasswordChar; }
void TextBox::PasswordChar(const std::string& v) {
  touch();
  t_.PasswordChar = v.substr(0, 1);
  notify(Prop::Appearance);
}
int TextBox::Alignment() const { touch(); return t_.Alignment; }
void TextBox::Alignment(int v) {
  touch();
  if (v < 0 || v > 2) vb::Raise(380);
  t_.Alignment = v;
  notify(Prop::Appearance);
}

bool TextBox::userEdit(long start, long len, const std::string& s, bool checkDigits) {
  if (t_.Locked) return false;
  std::string insert = s;
  if (checkDigits && (c_.WindowStyle & ES_NUMBER)) {
    for (char ch : insert)
      if (!std::isdigit(static_cast<unsigned char>(ch))) return false;
  }
  long size = static_cast<long>(t_.Text.size());
  start = std::clamp(start, 0L, size);
  len = std::clamp(len, 0L, size - start);
  if (t_.MaxLength > 0) {
    long room = t_.MaxLength - (size - len);
    if (room <= 0 && !insert.empty()) return false;
    if (static_cast<long>(insert.size()) > room) {
      long cut = room;
      while (cut > 0 && (static_cast<unsigned char>(insert[cut]) & 0xC0) == 0x80) --cut;
      insert.resize(cut);
    }
  }
  std::string next = t_.Text;
  next.replace(start, len, insert);
  long caret = start + static_cast<long>(insert.size());
  if (next == t_.Text) {
    t_.SelStart = caret;
    t_.SelLength = 0;
    notify(Prop::Selection);
    return true;
  }
  setText(next, caret);
  return true;
}

void TextBox::applyChar(int ascii) {
  if (ascii == vbKeyBack) {
    if (t_.SelLength > 0) userEdit(t_.SelStart, t_.SelLength, "", false);
    else if (t_.SelStart > 0) {
      long from = prevCp(t_.Text, t_.SelStart);
      userEdit(from, t_.SelStart - from, "", false);
    }
    return;
  }
  if (ascii == vbKeyReturn) {
    if (t_.MultiLine) userEdit(t_.SelStart, t_.SelLength, "\r\n", false);
    return;
  }
  if (ascii < 32) return;
  userEdit(t_.SelStart, t_.SelLength, utf8(ascii), true);
}

void TextBox::applyKeyDown(int keyCode, int shift) {
  long size = static_cast<long>(t_.Text.size());
  switch (keyCode) {
    case vbKeyDelete:
      if (t_.SelLength > 0) userEdit(t_.SelStart, t_.SelLength, "", false);
      else if (t_.SelStart < size) userEdit(t_.SelStart, nextCp(t_.Text, t_.SelStart) - t_.SelStart, "", false);
      return;
    case vbKeyLeft: t_.SelStart = t_.SelLength ? t_.SelStart : prevCp(t_.Text, t_.SelStart); break;
    case vbKeyRight: t_.SelStart = t_.SelLength ? t_.SelStart + t_.SelLength : nextCp(t_.Text, t_.SelStart); break;
    case vbKeyHome: t_.SelStart = 0; break;
    case vbKeyEnd: t_.SelStart = size; break;
    default: return;
  }
  t_.SelLength = 0;
  notify(Prop::Selection);
}

bool TextBox::UserType(const std::string& text) {
  return detail::userInput("Type " + DisplayName(), [&] { return detail::typeInto(*this, *form_, text); });
}

bool TextBox::UserPaste(const std::string& text) {
  return detail::userInput("Paste " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus()) return false;
    if (!HasFocus()) {
      form_->focusTo(this);
      if (!HasFocus()) return false;
    }
    return userEdit(t_.SelStart, t_.SelLength, text, false);
  });
}

bool TextBox::UserSelect(long start, long length) {
  return detail::userInput("Select " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus()) return false;
    if (!HasFocus()) {
      form_->focusTo(this);
      if (!HasFocus()) return false;
    }
    long size = static_cast<long>(t_.Text.size());
    t_.SelStart = std::clamp(start, 0L, size);
    t_.SelLength = std::clamp(length, 0L, size - t_.SelStart);
    notify(Prop::Selection);
    return true;
  });
}

// ---- Label -----------------------------------------------------------------------------------
void Label::ResetDesign() {
  Control::ResetDesign();
  l_ = Props{};
}

bool Label::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Caption") l_.Caption = value;
  else if (key == "AutoSize") l_.AutoSize = LayoutBool(value);
  else if (key == "WordWrap") l_.WordWrap = LayoutBool(value);
  else if (key == "UseMnemonic") l_.UseMnemonic = LayoutBool(value);
  else if (key == "Alignment") l_.Alignment = static_cast<int>(LayoutLong(value));
  else if (key == "BackStyle") l_.BackStyle = static_cast<int>(LayoutLong(value));
  else if (key == "BorderStyle") l_.BorderStyle = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  return true;
}

void Label::AfterLayout() {
  if (l_.AutoSize) fitToText();
}

void Label::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  l_ = static_cast<const Label&>(other).l_;
}

const std::string& Label::Caption() const { touch(); return l_.Caption; }
void Label::Caption(const std::string& v) {
  touch();
  if (v == l_.Caption && !detail::ChangeOnSameText()) return;
  l_.Caption = v;
  if (l_.AutoSize) fitToText();
  notify(Prop::Caption);
  raiseChange();
}

void Label::fitToText() {
  std::string text = l_.UseMnemonic ? detail::withoutMnemonic(l_.Caption) : l_.Caption;
  long border = l_.BorderStyle ? 60 : 0;
  if (!l_.WordWrap) {
    TextSize size = host().MeasureText(text, c_.Font);
    c_.Width = size.Width + border;
    c_.Height = size.Height + border;
  } else {
    // Width fixed; the height grows to the wrapped lines.
    long width = std::max(c_.Width - border, 1L);
    long lineHeight = host().MeasureText("X", c_.Font).Height;
    long lines = 0;
    size_t pos = 0;
    for (;;) {
      size_t end = text.find('\n', pos);
      std::string para = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      if (!para.empty() && para.back() == '\r') para.pop_back();
      std::string current;
      long paraLines = 1;
      size_t w = 0;
      while (w < para.size()) {
        size_t next = para.find(' ', w);
        std::string word = para.substr(w, next == std::string::npos ? std::string::npos : next - w + 1);
        w = next == std::string::npos ? para.size() : next + 1;
        std::string candidate = current + word;
        if (!current.empty() && host().MeasureText(candidate, c_.Font).Width > width) {
          ++paraLines;
          current = word;
        } else {
          current = candidate;
        }
      }
      lines += paraLines;
      if (end == std::string::npos) break;
      pos = end + 1;
    }
    c_.Height = lines * lineHeight + border;
  }
  notify(Prop::Geometry);
}

bool Label::AutoSize() const { touch(); return l_.AutoSize; }
void Label::AutoSize(bool v) {
  touch();
  l_.AutoSize = v;
  if (v) fitToText();
}
bool Label::WordWrap() const { touch(); return l_.WordWrap; }
void Label::WordWrap(bool v) {
  touch();
  l_.WordWrap = v;
  if (l_.AutoSize) fitToText();
  notify(Prop::Appearance);
}
int Label::Alignment() const { touch(); return l_.Alignment; }
void Label::Alignment(int v) {
  touch();
  if (v < 0 || v > 2) vb::Raise(380);
  l_.Alignment = v;
  notify(Prop::Appearance);
}
int Label::BackStyle() const { touch(); return l_.BackStyle; }
void Label::BackStyle(int v) {
  touch();
  if (v < 0 || v > 1) vb::Raise(380);
  l_.BackStyle = v;
  notify(Prop::Appearance);
}
int Label::BorderStyle() const { touch(); return l_.BorderStyle; }
void Label::BorderStyle(int v) {
  touch();
  if (v < 0 || v > 1) vb::Raise(380);
  l_.BorderStyle = v;
  if (l_.AutoSize) fitToText();
  notify(Prop::Appearance);
}
bool Label::UseMnemonic() const { touch(); return l_.UseMnemonic; }
void Label::UseMnemonic(bool v) {
  touch();
  l_.UseMnemonic = v;
  if (l_.AutoSize) fitToText();
  notify(Prop::Appearance);
}

// ---- Buttons ---------------------------------------------------------------------------------
void ButtonBase::ResetDesign() {
  Control::ResetDesign();
  b_ = Props{};
}
bool ButtonBase::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Caption") b_.Caption = value;
  else if (key == "Alignment") b_.Alignment = static_cast<int>(LayoutLong(value));
  else if (key == "Style") b_.Style = static_cast<int>(LayoutLong(value));
  else if (key == "Picture") b_.Picture = value;
  else return Control::ApplyLayout(key, value);
  return true;
}
void ButtonBase::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  b_ = static_cast<const ButtonBase&>(other).b_;
}
const std::string& ButtonBase::Caption() const { touch(); return b_.Caption; }
void ButtonBase::Caption(const std::string& v) {
  touch();
  if (b_.Caption == v) return;
  b_.Caption = v;
  notify(Prop::Caption);
}
int ButtonBase::Alignment() const { touch(); return b_.Alignment; }
void ButtonBase::Alignment(int v) {
  touch();
  b_.Alignment = v;
  notify(Prop::Appearance);
}
int ButtonBase::Style() const { touch(); return b_.Style; }
const std::string& ButtonBase::Picture() const { touch(); return b_.Picture; }
void ButtonBase::Picture(const std::string& v) {
  touch();
  b_.Picture = v;
  notify(Prop::Picture);
}

void CheckBox::ResetDesign() {
  ButtonBase::ResetDesign();
  value_ = 0;
}
bool CheckBox::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Value") {
    long v = LayoutLong(value);
    if (v < 0 || v > 2) vb::Raise(380);
    value_ = static_cast<int>(v);
    return true;
  }
  return ButtonBase::ApplyLayout(key, value);
}
void CheckBox::CopyFrom(const Control& other) {
  ButtonBase::CopyFrom(other);
  value_ = static_cast<const CheckBox&>(other).value_;
}
int CheckBox::Value() const { touch(); return value_; }
void CheckBox::Value(int v) {
  touch();
  if (v < 0 || v > 2) vb::Raise(380);
  if (v == value_) return;
  value_ = v;
  notify(Prop::Value);
  raiseClick();
}
void CheckBox::onUserClick() { Value(value_ == vbChecked ? vbUnchecked : vbChecked); }
void CheckBox::applyChar(int ascii) {
  if (ascii == vbKeySpace) onUserClick();
}

void OptionButton::ResetDesign() {
  ButtonBase::ResetDesign();
  value_ = false;
}
bool OptionButton::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Value") {
    value_ = LayoutBool(value);
    return true;
  }
  return ButtonBase::ApplyLayout(key, value);
}
void OptionButton::CopyFrom(const Control& other) {
  ButtonBase::CopyFrom(other);
  value_ = false;
}
bool OptionButton::Value() const { touch(); return value_; }
void OptionButton::Value(bool v) {
  touch();
  if (v == value_) return;
  if (v) {
    for (Control* c : form_->Controls()) {
      if (c == this || c->kind() != Kind::OptionButton) continue;
      if (c->Container() != c_.Container) continue;
      auto* o = static_cast<OptionButton*>(c);
      if (o->value_) {
        o->value_ = false;
        o->notify(Prop::Value);
      }
    }
  }
  value_ = v;
  notify(Prop::Value);
  if (v) raiseClick();
}
void OptionButton::onUserClick() { Value(true); }
void OptionButton::applyChar(int ascii) {
  if (ascii == vbKeySpace) Value(true);
}

void CommandButton::ResetDesign() {
  if (form_ && default_) form_->setDefaultButton(this, false);
  if (form_ && cancel_) form_->setCancelButton(this, false);
  ButtonBase::ResetDesign();
  default_ = cancel_ = false;
}
bool CommandButton::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Default") {
    form_->setDefaultButton(this, LayoutBool(value));
    return true;
  }
  if (key == "Cancel") {
    form_->setCancelButton(this, LayoutBool(value));
    return true;
  }
  return ButtonBase::ApplyLayout(key, value);
}
void CommandButton::CopyFrom(const Control& other) { ButtonBase::CopyFrom(other); }
bool CommandButton::Default() const { touch(); return default_; }
void CommandButton::Default(bool v) {
  touch();
  form_->setDefaultButton(this, v);
  notify(Prop::Appearance);
}
bool CommandButton::Cancel() const { touch(); return cancel_; }
void CommandButton::Cancel(bool v) {
  touch();
  form_->setCancelButton(this, v);
}
void CommandButton::Value(bool v) {
  touch();
  if (v) raiseClick();
}
void CommandButton::onUserClick() { raiseClick(); }
void CommandButton::applyChar(int ascii) {
  if (ascii == vbKeySpace) raiseClick();
}

// ---- Frame -----------------------------------------------------------------------------------
void Frame::ResetDesign() {
  Control::ResetDesign();
  caption_.clear();
  borderStyle_ = 1;
}
bool Frame::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Caption") caption_ = value;
  else if (key == "BorderStyle") borderStyle_ = static_cast<int>(LayoutLong(value));
  else return Control::ApplyLayout(key, value);
  return true;
}
void Frame::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const Frame&>(other).caption_;
  borderStyle_ = static_cast<const Frame&>(other).borderStyle_;
}
const std::string& Frame::Caption() const { touch(); return caption_; }
void Frame::Caption(const std::string& v) {
  touch();
  if (caption_ == v) return;
  caption_ = v;
  notify(Prop::Caption);
}
int Frame::BorderStyle() const { touch(); return borderStyle_; }
void Frame::BorderStyle(int v) {
  touch();
  if (v < 0 || v > 1) vb::Raise(380);
  borderStyle_ = v;
  notify(Prop::Appearance);
}

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

// ---- ComboBox --------------------------------------------------------------------------------
void ComboBox::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
}
bool ComboBox::ApplyLayout(const std::string& key, const std::string& value) {
  auto [name, index] = SplitIndexedName(key);
  if (key == "Style") {
    long v = LayoutLong(value);
    if (v < 0 || v > 2) vb::Raise(380);
    p_.Style = static_cast<int>(v);
  } else if (key == "Sorted") p_.Sorted = LayoutBool(value);
  else if (key == "Locked") p_.Locked = LayoutBool(value);
  else if (key == "Text") p_.Text = value;
  else if (name == "List" && index >= 0) {
    if (index > static_cast<int>(p_.Items.size())) vb::Raise(381);
    if (index == static_cast<int>(p_.Items.size())) p_.Items.push_back({value, 0});
    else p_.Items[index].text = value;
  } else if (name == "ItemData" && index >= 0) {
    if (index >= static_cast<int>(p_.Items.size())) vb::Raise(381);
    p_.Items[index].data = LayoutLong(value);
  } else if (key == "ListIndex") {
    long v = LayoutLong(value);
    if (v < -1 || v >= static_cast<long>(p_.Items.size())) vb::Raise(380);
    p_.ListIndex = static_cast<int>(v);
    if (v >= 0) p_.Text = p_.Items[v].text;
  } else return Control::ApplyLayout(key, value);
  return true;
}
void ComboBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const ComboBox&>(other).p_;
}
int ComboBox::Style() const { touch(); return p_.Style; }
bool ComboBox::Sorted() const { touch(); return p_.Sorted; }
bool ComboBox::Locked() const { touch(); return p_.Locked; }
void ComboBox::Locked(bool v) {
  touch();
  p_.Locked = v;
  notify(Prop::Locked);
}
int ComboBox::ListCount() const { touch(); return static_cast<int>(p_.Items.size()); }
int ComboBox::NewIndex() const { touch(); return p_.NewIndex; }
void ComboBox::AddItem(const std::string& item, int index) {
  touch();
  int count = static_cast<int>(p_.Items.size());
  if (index < -1 || index > count) vb::Raise(5);
  int pos = index < 0 ? count : index;
  if (p_.Sorted) {
    pos = count;
    for (int i = 0; i < count; ++i)
      if (ilt(item, p_.Items[i].text) < 0) {
        pos = i;
        break;
      }
  }
  p_.Items.insert(p_.Items.begin() + pos, Item{item, 0});
  if (p_.ListIndex >= pos) ++p_.ListIndex;
  p_.NewIndex = pos;
  notify(Prop::Items);
}
void ComboBox::RemoveItem(int index) {
  touch();
  if (index < 0 || index >= static_cast<int>(p_.Items.size())) vb::Raise(5);
  p_.Items.erase(p_.Items.begin() + index);
  if (p_.ListIndex == index) {
    p_.ListIndex = -1;
    if (p_.Style == vbComboDropdownList) p_.Text.clear();
    notify(Prop::Value);
    notify(Prop::Text);
  } else if (p_.ListIndex > index) {
    --p_.ListIndex;
  }
  p_.NewIndex = -1;
  notify(Prop::Items);
}
void ComboBox::Clear() {
  touch();
  p_.Items.clear();
  p_.ListIndex = -1;
  p_.NewIndex = -1;
  p_.Text.clear();
  notify(Prop::Items);
  notify(Prop::Value);
  notify(Prop::Text);
}
std::string ComboBox::List(int index) const {
  touch();
  if (index < 0 || index >= static_cast<int>(p_.Items.size())) return "";
  return p_.Items[index].text;
}
void ComboBox::List(int index, const std::string& v) {
  touch();
  if (index < 0 || index >= static_cast<int>(p_.Items.size())) vb::Raise(381);
  p_.Items[index].text = v;
  if (index == p_.ListIndex) {
    p_.Text = v;
    notify(Prop::Text);
  }
  notify(Prop::Items);
}
long ComboBox::ItemData(int index) const {
  touch();
  if (index < 0 || index >= static_cast<int>(p_.Items.size())) vb::Raise(381);
  return p_.Items[index].data;
}
void ComboBox::ItemData(int index, long v) {
  touch();
  if (index < 0 || index >= static_cast<int>(p_.Items.size())) vb::Raise(381);
  p_.Items[index].data = v;
}
int ComboBox::ListIndex() const { touch(); return p_.ListIndex; }
void ComboBox::ListIndex(int v) {
  touch();
  if (v < -1 || v >= static_cast<int>(p_.Items.size())) vb::Raise(380);
  if (v == p_.ListIndex) return;
  p_.ListIndex = v;
  p_.Text = v >= 0 ? p_.Items[v].text : std::string();
  notify(Prop::Value);
  notify(Prop::Text);
  raiseClick();
}
const std::string& ComboBox::Text() const { touch(); return p_.Text; }
void ComboBox::Text(const std::string& v) {
  touch();
  if (p_.Style == vbComboDropdownList) {
    for (int i = 0; i < static_cast<int>(p_.Items.size()); ++i)
      if (iequal(p_.Items[i].text, v)) {
        ListIndex(i);
        return;
      }
    vb::Raise(383, "'Text' property is read-only");
  }
  if (v == p_.Text && !detail::ChangeOnSameText()) return;
  setText(v);
}
void ComboBox::setText(const std::string& v) {
  p_.Text = v;
  notify(Prop::Text);
  raiseChange();
}

bool ComboBox::UserSelect(int index) {
  return detail::userInput("Select " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm() || !CanTakeFocus() || p_.Locked) return false;
    if (index < 0 || index >= static_cast<int>(p_.Items.size())) return false;
    raiseDropDown();
    if (!HasFocus()) {
      form_->focusTo(this);
      if (!HasFocus()) return false;
    }
    ListIndex(index);
    return true;
  });
}

bool ComboBox::UserType(const std::string& text) {
  return detail::userInput("Type " + DisplayName(), [&] {
    if (p_.Style == vbComboDropdownList) return false;
    return detail::typeInto(*this, *form_, text);
  });
}

void ComboBox::applyChar(int ascii) {
  if (p_.Locked || p_.Style == vbComboDropdownList) return;
  std::string next = p_.Text;
  if (ascii == vbKeyBack) {
    if (next.empty()) return;
    next.erase(prevCp(next, static_cast<long>(next.size())));
  } else if (ascii >= 32) {
    next += utf8(ascii);
  } else {
    return;
  }
  if (next != p_.Text) setText(next);
}

void ComboBox::applyKeyDown(int keyCode, int shift) {
  if (p_.Locked || p_.Items.empty()) return;
  if (keyCode == vbKeyDown && p_.ListIndex + 1 < static_cast<int>(p_.Items.size())) ListIndex(p_.ListIndex + 1);
  else if (keyCode == vbKeyUp && p_.ListIndex > 0) ListIndex(p_.ListIndex - 1);
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
  setValue(std::clamp(v, std::min(p_.Min, p_.Max), std::max(p_.Min, p_.Max)), false);
}
void UpDown::setValue(long v, bool force) {
  if (v == p_.Value && !force) return;
  p_.Value = v;
  notify(Prop::Value);
  if (buddy_ && p_.SyncBuddy && buddy_->kind() == Kind::TextBox)
    static_cast<TextBox*>(buddy_)->Text(std::to_string(v));
  raiseChange();
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
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    step(true);
    return true;
  });
}
bool UpDown::UserDown() {
  return detail::userInput("Down " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    step(false);
    return true;
  });
}
void UpDown::applyKeyDown(int keyCode, int shift) {
  if (keyCode == vbKeyUp || keyCode == vbKeyRight) step(true);
  else if (keyCode == vbKeyDown || keyCode == vbKeyLeft) step(false);
}

// ---- SSTab -----------------------------------------------------------------------------------
void SSTab::ResetDesign() {
  Control::ResetDesign();
  pages_.assign(3, Page{});
  for (int i = 0; i < 3; ++i) pages_[i].caption = "Tab " + std::to_string(i);
  tab_ = 0;
  tabsPerRow_ = 3;
  style_ = 0;
}
bool SSTab::ApplyLayout(const std::string& key, const std::string& value) {
  auto [name, index] = SplitIndexedName(key);
  if (key == "Tabs") {
    long n = LayoutLong(value);
    if (n < 1 || n > 256) vb::Raise(380);
    size_t old = pages_.size();
    pages_.resize(n);
    for (size_t i = old; i < pages_.size(); ++i) pages_[i].caption = "Tab " + std::to_string(i);
    tab_ = std::min(tab_, static_cast<int>(n) - 1);
  } else if (key == "Tab") {
    long t = LayoutLong(value);
    if (t < 0 || t >= static_cast<long>(pages_.size())) vb::Raise(380);
    tab_ = static_cast<int>(t);
  } else if (key == "TabsPerRow") tabsPerRow_ = static_cast<int>(LayoutLong(value));
  else if (key == "Style") style_ = static_cast<int>(LayoutLong(value));
  else if (index >= 0 && (name == "TabCaption" || name == "TabVisible" || name == "TabEnabled")) {
    if (index >= static_cast<int>(pages_.size())) vb::Raise(381);
    if (name == "TabCaption") pages_[index].caption = value;
    else if (name == "TabVisible") pages_[index].visible = LayoutBool(value);
    else pages_[index].enabled = LayoutBool(value);
  } else return Control::ApplyLayout(key, value);
  return true;
}
void SSTab::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  auto& o = static_cast<const SSTab&>(other);
  pages_ = o.pages_;
  tab_ = o.tab_;
  tabsPerRow_ = o.tabsPerRow_;
  style_ = o.style_;
}
void SSTab::checkTab(int tab) const {
  if (tab < 0 || tab >= static_cast<int>(pages_.size())) vb::Raise(381);
}
void SSTab::raiseTabClick(int previous) {
  if (Click) Click(previous);
}
int SSTab::Tabs() const { touch(); return static_cast<int>(pages_.size()); }
void SSTab::Tabs(int v) {
  touch();
  if (v < 1 || v > 256) vb::Raise(380);
  size_t old = pages_.size();
  pages_.resize(v);
  for (size_t i = old; i < pages_.size(); ++i) pages_[i].caption = "Tab " + std::to_string(i);
  notify(Prop::Tabs);
  if (tab_ >= v) {
    int prev = tab_;
    tab_ = v - 1;
    notify(Prop::CurrentTab);
    raiseTabClick(prev);
  }
}
int SSTab::Tab() const { touch(); return tab_; }
void SSTab::Tab(int v) {
  touch();
  if (v < 0 || v >= static_cast<int>(pages_.size())) vb::Raise(380);
  if (v == tab_) return;
  int prev = tab_;
  tab_ = v;
  notify(Prop::CurrentTab);
  raiseTabClick(prev);
}
std::string SSTab::TabCaption(int tab) const {
  touch();
  checkTab(tab);
  return pages_[tab].caption;
}
void SSTab::TabCaption(int tab, const std::string& v) {
  touch();
  checkTab(tab);
  pages_[tab].caption = v;
  notify(Prop::Tabs);
}
bool SSTab::TabVisible(int tab) const {
  touch();
  checkTab(tab);
  return pages_[tab].visible;
}
void SSTab::TabVisible(int tab, bool v) {
  touch();
  checkTab(tab);
  if (pages_[tab].visible == v) return;
  pages_[tab].visible = v;
  notify(Prop::Tabs);
  if (!v && tab == tab_) {
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
      if (pages_[i].visible) {
        Tab(i);
        break;
      }
  }
}
bool SSTab::TabEnabled(int tab) const {
  touch();
  checkTab(tab);
  return pages_[tab].enabled;
}
void SSTab::TabEnabled(int tab, bool v) {
  touch();
  checkTab(tab);
  pages_[tab].enabled = v;
  notify(Prop::Tabs);
}
int SSTab::TabsPerRow() const { touch(); return tabsPerRow_; }
void SSTab::TabsPerRow(int v) {
  touch();
  if (v < 1) vb::Raise(380);
  tabsPerRow_ = v;
  notify(Prop::Tabs);
}
int SSTab::Style() const { touch(); return style_; }

bool SSTab::UserSelectTab(int tab) {
  return detail::userInput("SelectTab " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || !IsShownInForm() || !IsEnabledInForm()) return false;
    if (tab < 0 || tab >= static_cast<int>(pages_.size())) return false;
    if (!pages_[tab].visible || !pages_[tab].enabled) return false;
    if (tab != tab_) Tab(tab);
    if (!HasFocus() && CanTakeFocus()) form_->focusTo(this);
    return true;
  });
}

void SSTab::applyKeyDown(int keyCode, int shift) {
  int dir = keyCode == vbKeyRight ? 1 : keyCode == vbKeyLeft ? -1 : 0;
  if (!dir) return;
  for (int i = tab_ + dir; i >= 0 && i < static_cast<int>(pages_.size()); i += dir)
    if (pages_[i].visible && pages_[i].enabled) {
      Tab(i);
      return;
    }
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

// ---- CommonDialog ----------------------------------------------------------------------------
void CommonDialog::ResetDesign() {
  Control::ResetDesign();
  p_ = Props{};
}
bool CommonDialog::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "FileName") p_.FileName = value;
  else if (key == "Filter") p_.Filter = value;
  else if (key == "FilterIndex") p_.FilterIndex = static_cast<int>(LayoutLong(value));
  else if (key == "DialogTitle") p_.DialogTitle = value;
  else if (key == "DefaultExt") p_.DefaultExt = value;
  else if (key == "InitDir") p_.InitDir = value;
  else if (key == "Flags") p_.Flags = LayoutLong(value);
  else if (key == "CancelError") p_.CancelError = LayoutBool(value);
  else return Control::ApplyLayout(key, value);
  return true;
}
void CommonDialog::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  p_ = static_cast<const CommonDialog&>(other).p_;
}
#define FORMS_CD_PROP(Type, Name)                     \
  Type CommonDialog::Name() const {                   \
    touch();                                          \
    return p_.Name;                                   \
  }
FORMS_CD_PROP(const std::string&, FileName)
FORMS_CD_PROP(const std::string&, FileTitle)
FORMS_CD_PROP(const std::string&, Filter)
FORMS_CD_PROP(int, FilterIndex)
FORMS_CD_PROP(const std::string&, DialogTitle)
FORMS_CD_PROP(const std::string&, DefaultExt)
FORMS_CD_PROP(const std::string&, InitDir)
FORMS_CD_PROP(long, Flags)
FORMS_CD_PROP(bool, CancelError)
#undef FORMS_CD_PROP
void CommonDialog::FileName(const std::string& v) { touch(); p_.FileName = v; }
void CommonDialog::Filter(const std::string& v) { touch(); p_.Filter = v; }
void CommonDialog::FilterIndex(int v) { touch(); p_.FilterIndex = v; }
void CommonDialog::DialogTitle(const std::string& v) { touch(); p_.DialogTitle = v; }
void CommonDialog::DefaultExt(const std::string& v) { touch(); p_.DefaultExt = v; }
void CommonDialog::InitDir(const std::string& v) { touch(); p_.InitDir = v; }
void CommonDialog::Flags(long v) { touch(); p_.Flags = v; }
void CommonDialog::CancelError(bool v) { touch(); p_.CancelError = v; }
void CommonDialog::ShowOpen() { show(false); }
void CommonDialog::ShowSave() { show(true); }

void CommonDialog::show(bool save) {
  touch();
  FileDialogRequest r;
  r.Save = save;
  r.DialogTitle = p_.DialogTitle;
  r.Filter = p_.Filter;
  r.FilterIndex = p_.FilterIndex < 1 ? 1 : p_.FilterIndex;
  r.InitDir = p_.InitDir;
  r.DefaultExt = p_.DefaultExt;
  r.Flags = p_.Flags;
  r.FileName = p_.FileName;
  if (!host().FileDialog(r)) {
    if (p_.CancelError) vb::Raise(cdlCancel, "Cancel was selected.");
    return;
  }
  std::string name = r.FileName;
  size_t slash = name.find_last_of("/\\");
  std::string title = slash == std::string::npos ? name : name.substr(slash + 1);
  if (!p_.DefaultExt.empty() && !title.empty() && title.find('.') == std::string::npos) {
    name += "." + p_.DefaultExt;
    title += "." + p_.DefaultExt;
  }
  p_.FileName = name;
  p_.FileTitle = title;
  p_.FilterIndex = r.FilterIndex;
}

}  // namespace forms
