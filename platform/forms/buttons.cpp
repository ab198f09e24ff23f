// Check box, option button, command button and frame.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

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
void OptionButton::applyKeyDown(int keyCode, int shift) {
  const int dir = keyCode == vbKeyDown || keyCode == vbKeyRight ? 1 : keyCode == vbKeyUp || keyCode == vbKeyLeft ? -1 : 0;
  if (!dir || (shift & (vbCtrlMask | vbAltMask))) return;
  std::vector<OptionButton*> group;
  for (Control* c : form_->TabOrder())
    if (c->kind() == Kind::OptionButton && c->c_.Container == c_.Container &&
        (c == this || (c->IsShownInForm() && c->IsEnabledInForm() && c->CanTakeFocus())))
      group.push_back(static_cast<OptionButton*>(c));
  const long n = static_cast<long>(group.size());
  if (n < 2) return;
  const long here = std::find(group.begin(), group.end(), this) - group.begin();
  OptionButton* next = group[((here + dir) % n + n) % n];
  form_->focusTo(next);
  if (next->HasFocus() && next->form_->Loaded()) next->Value(true);
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

}  // namespace forms
