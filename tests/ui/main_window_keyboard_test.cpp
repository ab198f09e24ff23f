// The main window from the keyboard alone: Ctrl+Tab brings each page with the focus on the
// page's first editor, and Tab from there reaches every enabled editor of the page and its
// buttons, ending at End, in every mode; Shift+Tab walks the same order back.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/ui/main_window_online_fixture.h"

namespace uitest {
namespace {

using forms::Control;

class Keyboard : public OnLineWindowTest {
 protected:
  // Every control of the page a keyboard user must reach: the enabled, shown tab stops (of an
  // option group the selected button).
  std::set<Control*> reachable(int tab) {
    std::set<Control*> out;
    for (Control* c : win().Controls()) {
      if (c->kind() == forms::Kind::SSTab || !c->CanFocusKind() || pageOf(*c) != tab) continue;
      if (!c->TabStop() || !c->CanTakeFocus() || !c->IsShownInForm() || !c->IsEnabledInForm()) continue;
      if (c->kind() == forms::Kind::OptionButton && !static_cast<forms::OptionButton*>(c)->Value()) continue;
      out.insert(c);
    }
    return out;
  }
  // The controls Tab (or Shift+Tab) visits from the focus until it is back where it started.
  std::vector<Control*> walk(bool backwards) {
    Control* start = win().ActiveControl();
    std::vector<Control*> seen;
    for (int i = 0; i < 400; ++i) {
      EXPECT_TRUE(win().UserKey(forms::vbKeyTab, backwards ? forms::vbShiftMask : 0));
      Control* now = win().ActiveControl();
      if (now == start) break;
      seen.push_back(now);
    }
    return seen;
  }
  static std::string names(const std::vector<Control*>& list) {
    std::string s;
    for (Control* c : list) s += (c ? c->DisplayName() : "none") + " ";
    return s;
  }

  void everyPage() {
    FrmMain& w = win();
    ASSERT_TRUE(showPage(0));
    w.SSTab1_GotFocus();
    std::set<int> pagesSeen;
    for (int step = 0; step < 15; ++step) {
      const int tab = w.SSTab1.Tab();
      SCOPED_TRACE("page " + std::to_string(tab));
      pagesSeen.insert(tab);
      // The page's first editor has the focus, but on the developing pages, which leave it on
      // the tab strip; the walks below find it at the start of the page's order.
      Control* first = w.ActiveControl() == &w.SSTab1 ? nullptr : w.ActiveControl();
      EXPECT_EQ(first, pageFocus(tab)) << names({first});
      if (!first) {  // from the tab strip into the page
        ASSERT_TRUE(w.UserKey(forms::vbKeyTab));
      }
      std::vector<Control*> order{w.ActiveControl()};
      for (Control* c : walk(false)) order.push_back(c);
      if (first) {
        // Round from the first editor to End and back to the first editor.
        EXPECT_EQ(order.back(), &w.cmdEnd(tab)) << names(order);
        // Shift+Tab: from the button before End back round to the first editor, then End.
        w.cmdReboot(tab).SetFocus();
        std::vector<Control*> back = walk(true);
        std::vector<Control*> expected(order.rbegin() + 2, order.rend());
        expected.push_back(&w.cmdEnd(tab));
        EXPECT_EQ(names(back).substr(0, names(expected).size()), names(expected));
        w.SSTab1_GotFocus();
      }
      std::set<Control*> got(order.begin(), order.end());
      EXPECT_EQ(got, reachable(tab)) << names(order);
      EXPECT_EQ(got.size(), order.size()) << "a control twice: " << names(order);
      // Ctrl+Tab: the next visible page, as a click on its tab.
      if (!first) w.SSTab1.SetFocus();
      ASSERT_TRUE(w.UserKey(forms::vbKeyTab, forms::vbCtrlMask));
      if (w.SSTab1.Tab() == 0) break;
    }
    int visible = 0;
    for (int tab = 0; tab < 15; ++tab) visible += w.SSTab1.TabVisible(tab);
    EXPECT_EQ(static_cast<int>(pagesSeen.size()), visible);
  }
};

TEST_F(Keyboard, EveryPageFromItsFirstEditorToEndInNormalMode) {
  ASSERT_TRUE(connectCamera());
  everyPage();
}

TEST_F(Keyboard, EveryPageFromItsFirstEditorToEndInDevelopingModeOnAndOffLine) {
  developingMode();
  ASSERT_TRUE(connectCamera());
  everyPage();
  // Off line every editor is enabled: the order still reaches all of them.
  forms::ReleaseDefaultInstances();
  silentCamera = true;
  host.sayNo = true;  // no retry
  ASSERT_TRUE(loadWindow());
  host.sayNo = false;
  ASSERT_FALSE(gblnOnLine);
  win().Show();
  everyPage();
}

}  // namespace
}  // namespace uitest
