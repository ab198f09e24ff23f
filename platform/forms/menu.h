#pragma once
// Menu items.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

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
  // The user presses F1 while the item is highlighted in its open menu: the help file at the
  // item's help context (or the nearest one above it), as F1 on a control.
  bool UserHelp();

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

}  // namespace forms
