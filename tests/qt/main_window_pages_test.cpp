// The main window through the real widgets: every one of its fifteen pages is shown in turn
// (developing mode, so that all are there), checked from the widgets' geometry and saved as a
// screenshot, in English and in Japanese; the window fits a 1280 x 800 screen and every tab
// caption fits its tab.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QWidget>
#include <string>

#include "core/start_up.h"
#include "core/variables.h"
#include "layout_check.h"
#include "platform/app/res_string.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "qt_support.h"
#include "ui/main_window.h"

namespace {

void renderPages(vb::ResLanguage language, const std::string& suffix) {
  qttest::app();
  vb::ForceResLanguage(language);
  qtview::QtHost host;
  host.setUnattended(true);  // a message box is answered on standard error, never waits
  forms::setHost(&host);
  if (!gobjDataInfo[1]) SubMain::mblnSetDataInfo();
  SubMain::mblnIniVariable();
  glngSmallChange = 1;  // the settings file's defaults
  glngLargeChange = 5;
  glngPortNo = 0;  // no port: the window opens off line whatever devices the machine has
  const bool developing = gblnDeveloping, advanced = gblnAdvancedMode;
  gblnDeveloping = gblnAdvancedMode = true;

  FrmMain& w = frmMain();
  w.Show();
  qttest::settle();
  qtview::FormView* view = host.viewOf(w);
  ASSERT_NE(view, nullptr);
  const QRect frame = view->window()->frameGeometry();
  EXPECT_LE(frame.width(), 1280);
  EXPECT_LE(frame.height(), 800 - 40) << "leaves no room for a task bar";

  const QFontMetrics metrics(view->window()->font());
  const int tabWidth = view->window()->width() / w.SSTab1.TabsPerRow();
  for (int t = 0; t < w.SSTab1.Tabs(); ++t) {
    SCOPED_TRACE("page " + std::to_string(t));
    EXPECT_TRUE(w.SSTab1.TabVisible(t));
    EXPECT_LT(metrics.horizontalAdvance(QString::fromStdString(w.SSTab1.TabCaption(t))) + 12, tabWidth)
        << w.SSTab1.TabCaption(t) << " does not fit its tab";
    w.SSTab1.Tab(t);
    qttest::settle();
    std::string problems;
    for (const std::string& p : qttest::layoutProblems(*view)) problems += p + "\n";
    EXPECT_TRUE(problems.empty()) << problems;
    char name[64];
    std::snprintf(name, sizeof name, "main_page_%02d%s", t, suffix.c_str());
    qttest::screenshot(view->window(), name);
  }
  w.SSTab1.Tab(0);
  forms::ReleaseDefaultInstances();
  qttest::settle();
  gblnDeveloping = developing;
  gblnAdvancedMode = advanced;
  forms::setHost(nullptr);
  vb::ForceResLanguage(std::nullopt);
}

TEST(MainWindowPages, EveryPageFitsInEnglish) { renderPages(vb::ResLanguage::English, ""); }

TEST(MainWindowPages, EveryPageFitsInJapanese) { renderPages(vb::ResLanguage::Japanese, "_ja"); }

}  // namespace
