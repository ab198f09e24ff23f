// Start-up through the Qt view: a first start shows the port-selection window as a real
// modal window; the user's answer decides whether start-up goes on to the main window.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "core/common_helpers.h"
#include "core/logs.h"
#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "link/port_change_window.h"
#include "platform/app/app.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "qt_support.h"

namespace {

namespace fs = std::filesystem;
using namespace mdlVariables;

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    qttest::app();
    char tmpl[] = "/tmp/orvadex-qt-start-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::create_directories(dir_ / "ports");
    fs::create_symlink("/dev/null", dir_ / "ports" / "com1");
    setenv("ORVADEX_PORTS_DIR", (dir_ / "ports").c_str(), 1);
    vb::App::SetLocationForTesting(dir_.string(), "orvadex");
    vb::SetErrorReporter([](const std::string& procedure) { SubMain::gErrorProc(procedure); });
    forms::setHost(&host_);
    saved_ = SubMain::UpperLayers();
    SubMain::UpperLayers().frmPortChange_ShowModal = [] { frmPortChange().Show(forms::vbModal); };
    SubMain::UpperLayers().frmMain_Show = [this] { ++mainWindows_; };
    glngPortNo = 0;
  }
  void TearDown() override {
    qttest::settle();
    SubMain::UpperLayers() = saved_;
    forms::setHost(nullptr);
    vb::SetErrorReporter(nullptr);
    vb::App::SetLocationForTesting("", "");
    unsetenv("ORVADEX_PORTS_DIR");
    for (auto& e : gobjDataInfo) e.reset();
    glngPortNo = 0;
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Answers the port-selection window with one of its buttons once it is up.
  void answerPortWindow(bool ok) {
    qttest::whenModal([this, ok](QWidget* modal) {
      FrmPortChange& w = frmPortChange();
      qtview::FormView* view = host_.viewOf(w);
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(modal, view->window());
      EXPECT_EQ(modal->windowTitle(), "Orvadex [Serial Port Select]");
      shown_ = true;
      qttest::screenshot(modal, ok ? "startup_port_selection" : "startup_port_selection_cancel");
      QTest::mouseClick(view->widgetOf(ok ? &w.btnOK : &w.btnCancel), Qt::LeftButton);
    });
  }

  fs::path dir_;
  qtview::QtHost host_;
  SubMain::UpperLayerCalls saved_;
  int mainWindows_ = 0;
  bool shown_ = false;
};

TEST_F(StartUp, FirstStartShowsThePortWindowAndOkGoesOnToTheMainWindow) {
  answerPortWindow(true);
  SubMain::Main();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(glngPortNo, 1);
  EXPECT_EQ(mainWindows_, 1);
  EXPECT_FALSE(frmPortChange().Loaded());
}

TEST_F(StartUp, CancellingThePortWindowEndsWithoutAWindow) {
  answerPortWindow(false);
  SubMain::Main();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(glngPortNo, 0);
  EXPECT_EQ(mainWindows_, 0);
  EXPECT_TRUE(forms::LoadedForms().empty());
}

}  // namespace
