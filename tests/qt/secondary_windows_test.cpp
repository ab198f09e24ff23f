// The file-data window and the splash screen as a user meets them: real windows of the Qt
// view, answered with the mouse and keyboard, checked from their widgets' geometry and saved
// as screenshots. (The file-data window with red marks is photographed with every window.)
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/command_lists.h"
#include "core/variables.h"
#include "ui/file_data_window.h"
#include "ui/splash_window.h"
#include "window_fixture.h"

namespace {

using namespace mdlVariables;

class SecondaryWindows : public qttest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    for (int c = 0; c < 256; ++c) gbyteCurrentData[c] = static_cast<uint8_t>(c % 32);
    gbyteFileData = gbyteCurrentData;
  }
  void TearDown() override {
    WindowTest::TearDown();
    gbyteCurrentData.fill(0);
    gbyteFileData.fill(0);
  }
};

TEST_F(SecondaryWindows, TheEEPROMWriteShowsTheCompactFileDataWindowAndOkAgrees) {
  struct Case {
    vb::ResLanguage language;
    const char* shot;
  };
  for (const Case& c : {Case{vb::ResLanguage::English, "frmDispKRVFileData_compact"},
                        Case{vb::ResLanguage::Japanese, "frmDispKRVFileData_compact_ja"}}) {
    SCOPED_TRACE(c.shot);
    vb::ForceResLanguage(c.language);
    gblnDispNewData = false;
    gblnDispDataCancel = true;
    FrmDispKRVFileData& w = frmDispKRVFileData();
    qttest::whenModal([&](QWidget*) {
      // Every frame's caption fits: "Chroma Suppress Parameter" is widened past its compact
      // width where the window's font needs it.
      look(w, c.shot);
      auto* question = widget<QLabel>(w, w.lblQuestion);
      ASSERT_NE(question, nullptr);
      EXPECT_EQ(question->text().toStdString(), vb::LoadResString(321));
      EXPECT_FALSE(widget<QLabel>(w, w.lblNewData(65))->isVisible()) << "the file column is hidden";
      QTest::mouseClick(widget<QPushButton>(w, w.cmdOk), Qt::LeftButton);
    });
    w.Show(forms::vbModal);
    EXPECT_FALSE(w.Loaded());
    EXPECT_FALSE(gblnDispDataCancel);
  }
}

TEST_F(SecondaryWindows, ClosingTheFileDataWindowRefusesTheFile) {
  gblnDispNewData = true;
  gblnDispDataCancel = false;
  gbyteFileData[202] = 31;
  FrmDispKRVFileData& w = frmDispKRVFileData();
  qttest::whenModal([&](QWidget* modal) {
    auto* value = widget<QLabel>(w, w.lblNewData(202));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text(), "31");
    modal->close();
  });
  w.Show(forms::vbModal);
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(gblnDispDataCancel);
}

TEST_F(SecondaryWindows, AKeyPressedOnTheSplashClosesIt) {
  FrmSplash& w = frmSplash();
  w.Show();
  qttest::settle();
  ASSERT_TRUE(gblnShowSplash);
  qtview::FormView* view = host_.viewOf(w);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(widget<QLabel>(w, w.lblVersion)->text(), "1.31");
  QTest::keyClick(view->window(), Qt::Key_Space);
  qttest::settle();
  EXPECT_FALSE(w.Loaded());
  EXPECT_FALSE(gblnShowSplash);
}

}  // namespace
