// Text box, label and combo box.
#include <algorithm>
#include <cctype>
#include <cstdlib>

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
  undo_ = {};
  typingRun_ = false;
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
  if (v != t_.Text) {
    undo_ = {};
    typingRun_ = false;
  }
  // The caret and the selection keep their place in the text that stays. The part that differs
  // lies between the longest common start and the longest common end of the two texts; an end
  // of the selection inside it goes to its edge, so that a rewrite of "05" as "5" with the
  // caret at the end leaves the caret after the 5, and a box that was all selected stays so.
  const std::string& old = t_.Text;
  const long oldSize = static_cast<long>(old.size()), newSize = static_cast<long>(v.size());
  long head = 0;
  while (head < oldSize && head < newSize && old[head] == v[head]) ++head;
  while (head > 0 && head < oldSize && (static_cast<unsigned char>(old[head]) & 0xC0) == 0x80) --head;
  long tail = 0;
  while (tail < oldSize - head && tail < newSize - head && old[oldSize - 1 - tail] == v[newSize - 1 - tail]) ++tail;
  while (tail > 0 && (static_cast<unsigned char>(old[oldSize - tail]) & 0xC0) == 0x80) --tail;
  const auto place = [&](long pos, bool selectionEnd) {
    if (pos <= head) return pos;
    if (pos >= oldSize - tail) return pos - oldSize + newSize;
    return selectionEnd ? newSize - tail : head;
  };
  const long start = place(t_.SelStart, t_.SelLength == 0);
  const long end = t_.SelLength > 0 ? place(t_.SelStart + t_.SelLength, true) : start;
  const KeySelection keys = keySel_;
  const bool keysHeld = keys.length > 0 && keys.start == t_.SelStart && keys.length == t_.SelLength;
  setText(v, start, end - start);
  if (keysHeld && end > start) keySel_ = {start, end - start, keys.caretAtStart};
}

void TextBox::setText(const std::string& v, long caret, long selLength) {
  bool changed = v != t_.Text;
  t_.Text = v;
  t_.SelStart = std::clamp(caret, 0L, static_cast<long>(v.size()));
  t_.SelLength = std::clamp(selLength, 0L, static_cast<long>(v.size()) - t_.SelStart);
  keySel_ = {};
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
  keySel_ = {};
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
  // Characters typed one after the other make one edit to undo.
  if (!(checkDigits && typingRun_ && len == 0 && start == runEnd_ && undo_.valid))
    undo_ = {true, t_.Text, t_.SelStart + t_.SelLength};
  typingRun_ = checkDigits;
  runEnd_ = caret;
  setText(next, caret);
  return true;
}

void TextBox::undo() {
  if (!undo_.valid || t_.Locked) return;
  Undo back = undo_;
  undo_ = {true, t_.Text, t_.SelStart + t_.SelLength};
  typingRun_ = false;
  if (back.text == t_.Text) return;
  setText(back.text, back.caret);
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

bool TextBox::CaretAtSelStart() const {
  touch();
  return t_.SelLength > 0 && keySel_.caretAtStart && keySel_.start == t_.SelStart && keySel_.length == t_.SelLength;
}

void TextBox::applyKeyDown(int keyCode, int shift) {
  if (keyCode == vbKeyZ && (shift & (vbCtrlMask | vbAltMask | vbShiftMask)) == vbCtrlMask) {
    undo();
    return;
  }
  long size = static_cast<long>(t_.Text.size());
  if (keyCode == vbKeyDelete) {
    if (t_.SelLength > 0) userEdit(t_.SelStart, t_.SelLength, "", false);
    else if (t_.SelStart < size) userEdit(t_.SelStart, nextCp(t_.Text, t_.SelStart) - t_.SelStart, "", false);
    return;
  }
  // The caret is the moving end of the selection; with Shift the other end (the anchor) stays.
  const bool extend = (shift & vbShiftMask) != 0;
  const bool atStart = CaretAtSelStart();
  const long selEnd = t_.SelStart + t_.SelLength;
  const long caret = atStart ? t_.SelStart : selEnd, anchor = atStart ? selEnd : t_.SelStart;
  long to;
  switch (keyCode) {
    case vbKeyLeft: to = extend || !t_.SelLength ? prevCp(t_.Text, caret) : t_.SelStart; break;
    case vbKeyRight: to = extend || !t_.SelLength ? nextCp(t_.Text, caret) : selEnd; break;
    case vbKeyHome: to = 0; break;
    case vbKeyEnd: to = size; break;
    default: return;
  }
  if (extend) {
    t_.SelStart = std::min(anchor, to);
    t_.SelLength = std::abs(to - anchor);
    keySel_ = {t_.SelStart, t_.SelLength, to < anchor};
  } else {
    t_.SelStart = to;
    t_.SelLength = 0;
  }
  typingRun_ = false;  // moving the caret ends a run of typing
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
    keySel_ = {};
    typingRun_ = false;
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

}  // namespace forms
