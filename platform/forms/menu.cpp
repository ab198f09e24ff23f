// Menu items.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"
#include "platform/app/app.h"

namespace forms {

// ---- Menu ------------------------------------------------------------------------------------
void Menu::ResetDesign() {
  Control::ResetDesign();
  caption_.clear();
  shortcut_.clear();
  checked_ = false;
}
bool Menu::ApplyLayout(const std::string& key, const std::string& value) {
  if (key == "Caption") caption_ = value;
  else if (key == "Checked") checked_ = LayoutBool(value);
  else if (key == "Shortcut") shortcut_ = value;
  else return Control::ApplyLayout(key, value);
  return true;
}
void Menu::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  caption_ = static_cast<const Menu&>(other).caption_;
  checked_ = static_cast<const Menu&>(other).checked_;
}
const std::string& Menu::Caption() const { touch(); return caption_; }
void Menu::Caption(const std::string& v) {
  touch();
  if (caption_ == v) return;
  caption_ = v;
  notify(Prop::Caption);
}
bool Menu::Checked() const { touch(); return checked_; }
void Menu::Checked(bool v) {
  touch();
  if (checked_ == v) return;
  checked_ = v;
  notify(Prop::Checked);
}
const std::string& Menu::Shortcut() const { touch(); return shortcut_; }
Menu* Menu::ParentMenu() const {
  touch();
  return c_.Container && c_.Container->kind() == Kind::Menu ? static_cast<Menu*>(c_.Container) : nullptr;
}
std::vector<Menu*> Menu::Items() const {
  std::vector<Menu*> out;
  for (Control* c : form_->Controls())
    if (c->kind() == Kind::Menu && static_cast<Menu*>(c)->c_.Container == this) out.push_back(static_cast<Menu*>(c));
  return out;
}
bool Menu::reachable() const {
  if (!form_->AcceptsInput()) return false;
  for (const Control* p = this; p; p = p->Container())
    if (!p->Visible() || !p->Enabled()) return false;
  return true;
}
bool Menu::UserOpen() {
  return detail::userInput("Open " + DisplayName(), [&] {
    if (!reachable()) return false;
    raiseClick();
    return true;
  });
}
bool Menu::UserClick() {
  return detail::userInput("Choose " + DisplayName(), [&] {
    if (!reachable() || IsSeparator()) return false;
    raiseClick();
    return true;
  });
}
bool Menu::UserChoose() {
  return detail::userInput("Choose " + DisplayName(), [&] {
    if (!reachable() || IsSeparator()) return false;
    std::vector<Menu*> chain;
    for (Menu* p = ParentMenu(); p; p = p->ParentMenu()) chain.insert(chain.begin(), p);
    for (Menu* m : chain) {
      m->raiseClick();
      if (!form_->Loaded() || !reachable()) return false;
    }
    raiseClick();
    return true;
  });
}

bool Menu::UserHelp() {
  return detail::userInput("Help " + DisplayName(), [&] {
    if (!form_->AcceptsInput() || IsSeparator()) return false;
    detail::showHelpFor(*form_, this);
    return true;
  });
}

void detail::showHelpFor(Form& form, Control* target) {
  long context = 0;
  for (const Control* p = target; p && !context; p = p->Container()) context = p->HelpContextID();
  if (!context) context = form.HelpContextID();
  const std::string helpFile = vb::App::HelpFile();
  if (!helpFile.empty()) host().ShowHelp(helpFile, context);
}

}  // namespace forms
