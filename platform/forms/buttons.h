#pragma once
// Check box, option button, command button and frame.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

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
  friend class Form;
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
  // The arrow keys move the selection round the group (the option buttons of the same
  // container, in tab order): the focus moves to the next one, which is then selected (Click).
  void applyKeyDown(int keyCode, int shift) override;
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

}  // namespace forms
