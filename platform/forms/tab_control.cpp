// The tabbed dialog control.
#include <algorithm>

#include "platform/forms/forms.h"
#include "platform/forms/forms_internal.h"

namespace forms {

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
    if (!form_->AcceptsInput()) return false;
    return selectByUser(tab);
  });
}

bool SSTab::selectByUser(int tab) {
  if (!IsShownInForm() || !IsEnabledInForm()) return false;
  if (tab < 0 || tab >= static_cast<int>(pages_.size())) return false;
  if (!pages_[tab].visible || !pages_[tab].enabled) return false;
  if (tab != tab_) Tab(tab);
  if (!HasFocus() && CanTakeFocus()) form_->focusTo(this);
  return true;
}

int SSTab::PageOfAccessKey(int key) const {
  touch();
  if (!key) return -1;
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
    if (pages_[i].visible && pages_[i].enabled && detail::accessKeyOf(pages_[i].caption) == key) return i;
  return -1;
}

int SSTab::stepFrom(int tab, int dir, bool wrap) const {
  const int n = static_cast<int>(pages_.size());
  for (int k = 1; k < n; ++k) {
    int i = tab + dir * k;
    if (!wrap && (i < 0 || i >= n)) return -1;
    i = ((i % n) + n) % n;
    if (pages_[i].visible && pages_[i].enabled) return i;
  }
  return -1;
}

void SSTab::applyKeyDown(int keyCode, int shift) {
  if (shift & (vbCtrlMask | vbAltMask)) return;
  int dir = keyCode == vbKeyRight ? 1 : keyCode == vbKeyLeft ? -1 : 0;
  if (!dir) return;
  if (int i = stepFrom(tab_, dir, false); i >= 0) Tab(i);
}

}  // namespace forms
