// The main window through the real widgets: every page of each mode is shown in turn, checked
// from the widgets' geometry (the layout check: no band between the tabs and the page, aligned
// value boxes, frames fitted to what they show) and saved as a screenshot, in English and in
// Japanese; with the frame of each window manager, the window fits a 1024 x 768 screen
// with a panel on every page, and every tab caption fits its tab.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QWidget>
#include <string>

#include "core/start_up.h"
#include "core/variables.h"
#include "layout_check.h"
#include "platform/app/res_string.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/widgets.h"
#include "qt_support.h"
#include "ui/main_window.h"

namespace {

// Checks the page shown and photographs it.
void lookAtPage(qtview::FormView& view, const std::string& shot) {
  std::string problems;
  for (const std::string& p : qttest::layoutProblems(view)) problems += p + "\n";
  EXPECT_TRUE(problems.empty()) << problems;
  for (const QMargins& frame : qttest::kWindowManagerFrames) {
    const QSize outer = view.window()->size().grownBy(frame);
    EXPECT_LE(outer.width(), qttest::kSmallScreenWidth);
    EXPECT_LE(outer.height(), qttest::kSmallScreenHeight - qttest::kPanelHeight) << "leaves no room for a panel";
  }
  if (!shot.empty()) qttest::screenshot(view.window(), QString::fromStdString(shot));
}

enum class Mode { Normal, Advanced, Developing };

// Every page the mode shows (normal: two rows of tabs, advanced and developing: three). Every
// page is photographed in developing mode, where all are there, and the first in the others;
// in developing mode the Y and IRIS pages again with the newer AE layout.
void renderPages(vb::ResLanguage language, Mode mode, const std::string& suffix) {
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
  gblnDeveloping = mode == Mode::Developing;
  gblnAdvancedMode = mode != Mode::Normal;
  const std::string prefix = mode == Mode::Developing ? "main_page_" : mode == Mode::Advanced ? "main_advanced_page_" : "main_normal_page_";

  FrmMain& w = frmMain();
  w.Show();
  qttest::settle();
  qtview::FormView* view = host.viewOf(w);
  ASSERT_NE(view, nullptr);

  const QFontMetrics metrics(view->window()->font());
  const int tabWidth = view->window()->width() / w.SSTab1.TabsPerRow();
  int visible = 0;
  for (int t = 0; t < w.SSTab1.Tabs(); ++t) {
    SCOPED_TRACE("page " + std::to_string(t));
    EXPECT_LT(metrics.horizontalAdvance(QString::fromStdString(w.SSTab1.TabCaption(t))) + 12, tabWidth)
        << w.SSTab1.TabCaption(t) << " does not fit its tab";
    if (!w.SSTab1.TabVisible(t)) continue;
    w.SSTab1.Tab(t);
    qttest::settle();
    char name[64];
    std::snprintf(name, sizeof name, "%s%02d%s", prefix.c_str(), t, suffix.c_str());
    ++visible;
    lookAtPage(*view, mode == Mode::Developing || visible == 1 ? name : "");
  }
  EXPECT_EQ(visible, mode == Mode::Normal ? 8 : mode == Mode::Advanced ? 13 : 15);
  // The file-select button shows its folder.
  auto* select = qobject_cast<QPushButton*>(view->widgetOf(&w.cmdSelectFile));
  ASSERT_NE(select, nullptr);
  EXPECT_FALSE(select->icon().isNull());
  EXPECT_GE(select->icon().actualSize(QSize(32, 32)).width(), 16);
  if (mode == Mode::Developing) {
    w.fraIris_DblClick(0);  // off line the AE layouts change places
    for (int t : {1, 5}) {
      SCOPED_TRACE("page " + std::to_string(t) + " with the newer AE layout");
      w.SSTab1.Tab(t);
      qttest::settle();
      lookAtPage(*view, "main_page_0" + std::to_string(t) + "_newer_ae" + suffix);
    }
    // The frames inside the borderless one draw their own borders: the left edge of each is
    // darker than the page.
    for (forms::Frame* f : {&w.fraAGC, &w.fraEESpeedLimit, &w.frmEESpeedRegulation, &w.fraEEAGCStart}) {
      QWidget* frameWidget = view->widgetOf(f);
      ASSERT_NE(frameWidget, nullptr);
      const QImage edge = frameWidget->grab(QRect(0, frameWidget->height() / 2, 2, 1)).toImage();
      const int page = qGray(frameWidget->palette().color(QPalette::Window).rgb());
      EXPECT_LT(std::min(qGray(edge.pixel(0, 0)), qGray(edge.pixel(1, 0))), page - 20) << f->Name() << " has no border";
    }
  }
  w.SSTab1.Tab(0);
  forms::ReleaseDefaultInstances();
  qttest::settle();
  gblnDeveloping = developing;
  gblnAdvancedMode = advanced;
  forms::setHost(nullptr);
  vb::ForceResLanguage(std::nullopt);
}

// The controls of a page get their widgets when the page first shows: each page looks the same
// as when every widget was built before the window showed. Page by page through the tab strip
// with the mouse; the caret does not blink, so that two looks at one page can be compared.
TEST(MainWindowPages, EachPageLooksTheSameWhenItsWidgetsAreBuiltAsItFirstShows) {
  qttest::app();
  qtview::QtHost host;
  host.setUnattended(true);
  forms::setHost(&host);
  if (!gobjDataInfo[1]) SubMain::mblnSetDataInfo();
  SubMain::mblnIniVariable();
  glngPortNo = 0;
  const bool developing = gblnDeveloping, advanced = gblnAdvancedMode;
  gblnDeveloping = gblnAdvancedMode = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  QGuiApplication::styleHints()->setCursorFlashTime(0);

  auto pages = [&](bool builtFirst) {
    std::vector<QImage> looks;
    FrmMain& w = frmMain();
    w.Show();
    qttest::settle();
    qtview::FormView* view = host.viewOf(w);
    if (!view) return looks;
    const size_t controls = w.Controls().size();
    if (builtFirst) {
      view->views();
      EXPECT_EQ(view->builtViews().size(), controls);
    } else {
      EXPECT_LT(view->builtViews().size(), controls / 4) << "the hidden pages' widgets were built with the window";
    }
    auto* strip = static_cast<qtview::TabStripWidget*>(view->widgetOf(&w.SSTab1));
    for (int t = 0; t < w.SSTab1.Tabs(); ++t) {
      QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(t).center());
      qttest::settle();
      EXPECT_EQ(w.SSTab1.Tab(), t);
      looks.push_back(view->window()->grab().toImage());
    }
    EXPECT_EQ(view->builtViews().size(), controls);
    w.SSTab1.Tab(0);
    forms::ReleaseDefaultInstances();
    qttest::settle();
    return looks;
  };
  const std::vector<QImage> lazy = pages(false), built = pages(true);
  ASSERT_EQ(lazy.size(), 15u);
  ASSERT_EQ(built.size(), lazy.size());
  for (size_t t = 0; t < lazy.size(); ++t) EXPECT_TRUE(lazy[t] == built[t]) << "page " << t << " looks different";

  QGuiApplication::styleHints()->setCursorFlashTime(flash);
  gblnDeveloping = developing;
  gblnAdvancedMode = advanced;
  forms::setHost(nullptr);
}

TEST(MainWindowPages, EveryPageFitsInEnglish) { renderPages(vb::ResLanguage::English, Mode::Developing, ""); }

TEST(MainWindowPages, EveryPageFitsInJapanese) { renderPages(vb::ResLanguage::Japanese, Mode::Developing, "_ja"); }

TEST(MainWindowPages, NormalAndAdvancedPagesFitInBothLanguages) {
  for (Mode mode : {Mode::Normal, Mode::Advanced}) {
    renderPages(vb::ResLanguage::English, mode, "");
    renderPages(vb::ResLanguage::Japanese, mode, "_ja");
  }
}

}  // namespace
