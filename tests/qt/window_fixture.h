#pragma once
// A fixture for tests of the program's windows through the Qt view: the Qt host installed,
// a look at a shown window (layout check and screenshot) and the widget of a control.
#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "layout_check.h"
#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "qt_support.h"

namespace qttest {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qttest::app();
    forms::setHost(&host_);
  }
  void TearDown() override {
    qttest::settle();
    forms::setHost(nullptr);
    vb::ForceResLanguage(std::nullopt);
  }
  // Checks and photographs the form's window. `tolerated`: the start of a layout problem
  // that is known and accepted.
  void look(forms::Form& form, const QString& shot, const std::string& tolerated = "") {
    qtview::FormView* view = host_.viewOf(form);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->window()->isVisible());
    std::string problems;
    for (const std::string& p : qttest::layoutProblems(*view))
      if (tolerated.empty() || p.rfind(tolerated, 0) != 0) problems += p + "\n";
    EXPECT_EQ(problems, "");
    qttest::screenshot(view->window(), shot);
  }
  template <class W>
  W* widget(forms::Form& form, const forms::Control& c) {
    qtview::FormView* view = host_.viewOf(form);
    return view ? qobject_cast<W*>(view->widgetOf(&c)) : nullptr;
  }

  qtview::QtHost host_;
};

}  // namespace qttest
