#pragma once
// The tabbed dialog control.
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace forms {

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
  // The page whose caption marks `key` as its access key (visible and enabled), or -1.
  int PageOfAccessKey(int key) const;

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
  // The user chose a page (tab click, access key, Ctrl+Tab...): the page changes, then the tab
  // control takes the focus. False for a hidden or disabled page.
  bool selectByUser(int tab);
  // The next (or previous) visible, enabled page, round the end; -1 when there is none.
  int stepFrom(int tab, int dir, bool wrap) const;
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

}  // namespace forms
