// The serial link's windows as a user meets them: real windows of the Qt view, answered with
// the mouse and keyboard, each checked from its widgets' geometry and saved as a screenshot.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "core/start_up.h"
#include "core/variables.h"
#include "link/connection_option_window.h"
#include "link/data_list_dialog.h"
#include "link/port_change_window.h"
#include "link/status_bar_window.h"
#include "platform/app/res_string.h"
#include "platform/registry/registry.h"
#include "platform/serial/mscomm.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/spin_buttons.h"
#include "qt_support.h"
#include "window_fixture.h"

namespace {

using namespace mdlVariables;

class LinkWindows : public qttest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(ports_.isValid());
    setenv("ORVADEX_PORTS_DIR", ports_.path().toLocal8Bit().constData(), 1);
    SubMain::mblnSetDataInfo();
  }
  void TearDown() override {
    WindowTest::TearDown();
    unsetenv("ORVADEX_PORTS_DIR");
  }
  void addPort(int n) {
    std::filesystem::create_symlink("/dev/null", ports_.filePath(QString("com%1").arg(n)).toStdString());
  }

  QTemporaryDir ports_;
};

TEST_F(LinkWindows, PortSelectionOffersTheSystemsPortsAndStoresTheChoice) {
  addPort(10);
  addPort(3);
  addPort(1);
  glngPortNo = 0;
  FrmPortChange& w = frmPortChange();
  qttest::whenModal([&](QWidget* modal) {
    EXPECT_EQ(modal, host_.viewOf(w)->window());
    look(w, "frmPortChange");
    auto* combo = widget<QComboBox>(w, w.cmbPortNo);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_FALSE(widget<QLineEdit>(w, w.txtPortNo)->isVisible());
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), "COM10");
    emit combo->activated(2);  // the user picks COM10 from the list
    QTest::mouseClick(widget<QPushButton>(w, w.btnOK), Qt::LeftButton);
  });
  w.Show(forms::vbModal);
  EXPECT_EQ(glngPortNo, 10);
  EXPECT_FALSE(w.Loaded());
}

TEST_F(LinkWindows, PortSelectionWithoutPortsSteppedWithTheUpDownInJapanese) {
  vb::ForceResLanguage(vb::ResLanguage::Japanese);
  glngPortNo = 0;
  // A machine without serial ports: the registry lists none.
  registry::testhooks::SetKey("HARDWARE\\DEVICEMAP\\SERIALCOMM", {});
  FrmPortChange& w = frmPortChange();
  qttest::whenModal([&](QWidget*) {
    auto* text = widget<QLineEdit>(w, w.txtPortNo);
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(text->isVisible());
    EXPECT_EQ(text->text(), "COM1");
    auto* spin = qobject_cast<qtview::SpinButtons*>(host_.viewOf(w)->widgetOf(&w.udPortNo));
    ASSERT_NE(spin, nullptr);
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    EXPECT_EQ(text->text(), "COM3");
    look(w, "frmPortChange_ja");
    EXPECT_EQ(widget<QLabel>(w, w.lblPortNoInputMsg)->text().toStdString(), vb::LoadResString(311));
    QTest::mouseClick(widget<QPushButton>(w, w.btnOK), Qt::LeftButton);
  });
  w.Show(forms::vbModal);
  registry::testhooks::Reset();
  EXPECT_EQ(glngPortNo, 3);
}

TEST_F(LinkWindows, PortSelectionCloseBoxLeavesThePortUnchanged) {
  addPort(2);
  glngPortNo = 2;
  FrmPortChange& w = frmPortChange();
  qttest::whenModal([&](QWidget* modal) { modal->close(); });
  w.Show(forms::vbModal);
  EXPECT_EQ(glngPortNo, 2);
  EXPECT_FALSE(w.Loaded());
}

// The option window in each language: the widest label ends just before its box, however short
// the catalogue's captions are, and every caption still fits.
TEST_F(LinkWindows, OptionWindowKeepsItsBoxesBesideTheWidestLabel) {
  serial::MSComm port;  // the window applies the serial settings to it
  gobjMSComm = &port;
  for (const auto& [language, shot] : {std::pair(vb::ResLanguage::English, "frmConectionOption"),
                                       std::pair(vb::ResLanguage::Japanese, "frmConectionOption_ja")}) {
    SCOPED_TRACE(shot);
    vb::ForceResLanguage(language);
    FrmConectionOption& w = frmConectionOption();
    int gap = 0;
    qttest::whenModal([&](QWidget*) {
      look(w, shot);
      gap = INT_MAX;
      for (int i = 256; i <= 260; ++i) {
        auto* label = widget<QLabel>(w, w.lblData(i));
        const int textRight = label->x() + label->fontMetrics().horizontalAdvance(label->text());
        gap = std::min(gap, widget<QLineEdit>(w, w.txtNum(i))->x() - textRight);
      }
      QTest::mouseClick(widget<QPushButton>(w, w.cmdCancel), Qt::LeftButton);
    });
    w.Show(forms::vbModal);
    EXPECT_GT(gap, 0);
    EXPECT_LE(gap, 12);
  }
  vb::ForceResLanguage(std::nullopt);
  gobjMSComm = nullptr;
}

TEST_F(LinkWindows, ProgressWindowFollowsTheTransfer) {
  gstrStatusCaption = vb::LoadResString(302);
  glngStatusMax = 10;
  glngStatusValue = 0;
  FrmStatusBar& w = frmStatusBar();
  w.Show();
  qttest::settle();
  ASSERT_TRUE(gblnShowStatus);
  auto* bar = widget<QProgressBar>(w, w.ProgressBar1);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 0);
  for (int i = 0; i < 4; ++i) {
    ++glngStatusValue;
    w.gblnRefresh();
  }
  EXPECT_EQ(bar->value() * 10, bar->maximum() * 4);
  EXPECT_EQ(widget<QLabel>(w, w.lblStatusMsg)->text(), "Receiving data from the camera.");
  look(w, "frmStatusBar");
  w.Unload();
  EXPECT_FALSE(gblnShowStatus);
}

TEST_F(LinkWindows, DataListAsksAndCancelRefuses) {
  std::array<uint8_t, 256> now{}, before{};
  std::string list;
  for (int c = 1; c <= 40; ++c) {
    if (!gobjDataInfo[c]) continue;
    now[c] = static_cast<uint8_t>(c);
    before[c] = static_cast<uint8_t>(c % 3 ? c : c + 1);
    list += (list.empty() ? "" : ",") + std::to_string(c);
  }
  FrmDispSelectData& w = frmDispSelectData();
  qttest::whenModal([&](QWidget*) {
    look(w, "frmDispSelectData");
    EXPECT_TRUE(widget<QPushButton>(w, w.cmdCancel)->isVisible());
    QTest::mouseClick(widget<QPushButton>(w, w.cmdCancel), Qt::LeftButton);
  });
  EXPECT_FALSE(w.gblnDispSelectData(vb::LoadResString(321), true, list, true, now, before));
  qttest::whenModal([&](QWidget*) {
    EXPECT_FALSE(widget<QPushButton>(w, w.cmdCancel)->isVisible());
    QTest::mouseClick(widget<QPushButton>(w, w.cmdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(w.gblnDispSelectData(vb::LoadResString(321), false, list, false, now, before));
  // The check of a file in Japanese: the icon stands clear of the message's two lines.
  vb::ForceResLanguage(vb::ResLanguage::Japanese);
  qttest::whenModal([&](QWidget*) {
    look(w, "frmDispSelectData_check_ja");
    const QRect message = widget<QLabel>(w, w.lblMsg)->geometry();
    EXPECT_FALSE(widget<QLabel>(w, w.imgicon(0))->geometry().intersects(message)) << message.height();
    QTest::mouseClick(widget<QPushButton>(w, w.cmdOk), Qt::LeftButton);
  });
  EXPECT_TRUE(w.gblnDispSelectData(vb::LoadResString(372) + "\r\n" + vb::LoadResString(370), false, list, true, now,
                                   before));
  vb::ForceResLanguage(std::nullopt);
  // An empty list is a plain message box with the message's first line.
  QString boxText;
  qttest::whenModal([&](QWidget* m) {
    auto* box = qobject_cast<QMessageBox*>(m);
    ASSERT_NE(box, nullptr);
    boxText = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_TRUE(w.gblnDispSelectData("First line\r\nSecond line", true, "", false, now, before));
  EXPECT_EQ(boxText, "First line");
}

}  // namespace
