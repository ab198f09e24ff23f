// The all-data view through the real widgets: after a connect to a camera that supports every
// setting, and at an off-line start, in normal, advanced and developing mode, it opens inside the
// work area of a 1366 x 768 screen (under a window manager: of the X server's screen, with the
// frame the manager draws) and its rows render without overlaps or clipping.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QWidget>

#include "core/command_lists.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "layout_check.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/vb/vb.h"
#include "qt_support.h"
#include "tests/link/link_fixture.h"
#include "ui/all_data_window.h"

namespace {

using namespace mdlVariables;


class AllDataViewOnScreen : public linktest::LinkTest {
 protected:
  void SetUp() override {
    qttest::app();
    LinkTest::SetUp();
    forms::setHost(&qtHost_);
    ASSERT_TRUE(SubMain::mblnIniVariable());
  }
  void TearDown() override {
    qttest::settle();
    forms::setHost(&host);
    if (comm->PortOpen()) mdlMSComm::gblnMSComm_Close();
    LinkTest::TearDown();
  }

  // Connects to the simulated camera and reads every setting, as the main window does when it
  // loads.
  void connect() {
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    ASSERT_TRUE(mdlMSComm::gblnMSComm_Init());
    ASSERT_TRUE(gblnOnLine);
    ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList));
  }

  // Shows the view in each mode: it opens inside the screen's work area, centred with the size
  // its load gives it, and renders cleanly. Normal and advanced mode keep 32 rows a column; in
  // developing mode (every code, as a start in that mode lists them) the columns scroll, and
  // Close stays on the screen.
  void look(const std::string& shot) {
    const std::string all = gstrAllCmdList;
    const bool developing = gblnDeveloping;
    for (const char* mode : {"normal", "advanced", "developing"}) {
      SCOPED_TRACE(mode);
      const bool advanced = std::string(mode) != "normal";
      gblnAdvancedMode = advanced;
      gblnDeveloping = std::string(mode) == "developing";
      gstrAllCmdList = all;
      if (gblnDeveloping) {
        ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
      }
      FrmSimpleStyle& w = frmSimpleStyle();
      w.Show();
      qttest::settle();
      qtview::FormView* view = qtHost_.viewOf(w);
      ASSERT_NE(view, nullptr);
      EXPECT_TRUE(qttest::appears(view->window(), 10000));
      const QRect frame = view->window()->frameGeometry();
      const QSize screen = qttest::screenSize();
      EXPECT_LE(frame.width(), screen.width());
      EXPECT_LE(frame.height(), screen.height());
      EXPECT_GE(w.lblData.Count(), advanced ? 140 : 80);
      const forms::ScreenObject::Area& area = forms::Screen.WorkArea();
      const long width = w.ScaleWidth() + w.FrameWidthOnScreen();
      if (width <= area.Width) {
        EXPECT_NEAR(w.Left(), (area.Width - width) / 2, 15);  // a window lies on whole pixels
      }
      auto expectClean = [&](const std::string& name) {
        std::string problems;
        for (const std::string& p : qttest::layoutProblems(*view)) problems += p + "\n";
        EXPECT_TRUE(problems.empty()) << problems;
        qttest::screenshot(view->window(), QString::fromStdString(name));
      };
      expectClean(shot + "_" + mode);
      QWidget* close = view->widgetOf(&w.cmdEnd);
      ASSERT_NE(close, nullptr);
      EXPECT_TRUE(QRect(0, 0, screen.width(), screen.height() - qttest::kPanelHeight)
                      .contains(QRect(close->mapToGlobal(QPoint(0, 0)), close->size())));
      // On the test's 1366 x 768 screen (with the frame the form counts) the columns of normal
      // and advanced mode keep 32 rows and all show; on a window manager's smaller screen or
      // with its taller title bar they take fewer rows and may scroll.
      if (!qttest::onX11()) {
        EXPECT_EQ(w.hsColumns.Visible(), gblnDeveloping);
        if (!gblnDeveloping) {
          EXPECT_EQ(w.fraButton.Top(), 40 + 31 * 300 + 300);  // 32 rows, then the buttons
        }
      }
      if (gblnDeveloping) {
        EXPECT_EQ(w.lblData.Count(), 254);
        // The bar taken to its end shows the last column's rows, the first column's hidden.
        const std::vector<std::string> listed = vb::Split(SubMain::gstrChangeEnableCommandList(), ",");
        const int first = std::stoi(listed.front()), last = std::stoi(listed.back());
        auto* bar = qobject_cast<QScrollBar*>(view->widgetOf(&w.hsColumns));
        ASSERT_NE(bar, nullptr);
        EXPECT_FALSE(view->widgetOf(&w.txtData(last))->isVisible());
        for (int i = 0; i < bar->maximum(); ++i) qttest::clickScrollBar(bar, QStyle::SC_ScrollBarAddLine);
        qttest::settle();
        EXPECT_EQ(w.hsColumns.Value(), w.hsColumns.Max());
        EXPECT_TRUE(view->widgetOf(&w.txtData(last))->isVisible());
        EXPECT_FALSE(view->widgetOf(&w.txtData(first))->isVisible());
        expectClean(shot + "_" + mode + "_scrolled");
      }
      w.Unload();
      qttest::settle();
      if (!gblnDeveloping) continue;
      // As the menu opens it, modal, in both languages: it appears on the screen, and its close
      // box ends it.
      for (vb::ResLanguage language : {vb::ResLanguage::English, vb::ResLanguage::Japanese}) {
        vb::ForceResLanguage(language);
        bool appeared = false;
        qttest::whenModal([&](QWidget* m) {
          appeared = qttest::appears(m, 10000);
          m->close();
        });
        w.Show(forms::vbModal);
        EXPECT_TRUE(appeared) << (language == vb::ResLanguage::English ? "English" : "Japanese");
        if (w.Loaded()) w.Unload();
        qttest::settle();
      }
      vb::ForceResLanguage(std::nullopt);
    }
    gblnDeveloping = developing;
  }

  qtview::QtHost qtHost_;
};

TEST_F(AllDataViewOnScreen, AfterAConnectToACameraWithEverySetting) {
  connect();
  look("all_data_view_on_line");
}

TEST_F(AllDataViewOnScreen, AtAnOffLineStart) {
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  look("all_data_view_off_line");
}

}  // namespace
