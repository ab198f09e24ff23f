// The main window through the real Qt widgets against the simulated camera served on a pty:
// start-up into the window with the camera's values, typing into a value box, and closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "link/data_list_dialog.h"
#include "link/mscomm.h"
#include "link/port_change_window.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/widgets.h"
#include "platform/serial/port_map.h"
#include "journey_support.h"
#include "qt_support.h"
#include "sim/camera.h"
#include "sim/serial_server.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;
using namespace mdlVariables;

class MainWindowQt : public journey::ProgramTest {
 protected:
  void stopCamera() override {
    if (server_) server_->Stop();
    server_.reset();
  }

  // Serves the camera on a new pty linked as COM1.
  void serve() {
    server_ = sim::SerialServer::OnNewPty(camera_);
    serial::CreatePortLink((dir_ / "ports").string(), 1, server_->Path());
    server_->Start();
  }
  uint8_t reg(uint8_t code) {
    return server_->WithCamera([code](sim::Camera& c) { return c.Value(code); });
  }
  template <class W>
  W* widget(const forms::Control& c) {
    return mainWidget<W>(c);
  }

  sim::Camera camera_;
  std::unique_ptr<sim::SerialServer> server_;
};

TEST_F(MainWindowQt, StartsWithTheCamerasValuesTakesATypedValueAndCloses) {
  camera_.SetValue(0x30, 33);
  camera_.SetValue(0x5C, 20);
  camera_.SetValue(0x41, 255);  // its maximum
  serve();
  writeSettings("[Comm]\r\nPortNo=1\r\n");

  SubMain::Main();
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  qtview::FormView* view = host_.viewOf(w);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->window()->isVisible());
  EXPECT_EQ(view->window()->windowTitle(), "Orvadex Ver.1.31");
  ASSERT_NE(widget<QLabel>(w.lblOnLine), nullptr);
  EXPECT_EQ(widget<QLabel>(w.lblOnLine)->text(), "On Line(COM1)");
  auto* tabs = static_cast<qtview::TabStripWidget*>(view->widgetOf(&w.SSTab1));
  ASSERT_NE(tabs, nullptr);
  auto showPage = [&](int page) {
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    qttest::settle();
    EXPECT_EQ(w.SSTab1.Tab(), page);
  };

  // The camera's values in the boxes of the pages.
  showPage(1);
  QLineEdit* box = widget<QLineEdit>(w.txtData(0x30));
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->text(), "33");

  // A value typed into the box reaches the camera.
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_End);
  for (int i = 0; i < 2; ++i) QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, "57");
  qttest::settle();
  EXPECT_EQ(box->text(), "57");
  EXPECT_EQ(reg(0x30), 57);
  EXPECT_EQ(gbyteCurrentData[0x30], 57);

  // The Up key at the maximum rewrites the same text: the box's caret and selection stay.
  showPage(0);
  QLineEdit* max = widget<QLineEdit>(w.txtData(0x41));
  ASSERT_NE(max, nullptr);
  EXPECT_EQ(max->text(), "255");
  QTest::mouseClick(max, Qt::LeftButton);
  max->setSelection(1, 2);  // the user selects "55"
  qttest::settle();
  QTest::keyClick(max, Qt::Key_Up);
  qttest::settle();
  EXPECT_EQ(max->text(), "255");
  EXPECT_EQ(max->selectionStart(), 1);
  EXPECT_EQ(max->selectedText(), "55");
  EXPECT_EQ(reg(0x41), 255);

  // Closing asks "End?"; Yes closes the window, the port and writes the settings file.
  bool asked = false;
  qttest::whenModal([&](QWidget* modal) {
    auto* question = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "End?");
    asked = true;
    question->button(QMessageBox::Yes)->click();
  });
  view->window()->close();
  qttest::settle();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(w.Loaded());
  EXPECT_FALSE(w.MSComm1.PortOpen());
  EXPECT_NE(readFile(prog_ / "orvadex.ini").find("StartUpTabNo=0"), std::string::npos);
  EXPECT_TRUE(reports_.empty());
}

// The camera's device vanishes mid-session (the simulated camera ends and its pty with it):
// the next edit reports the device's error, and the window then shows the link off line with
// firmware version 0. With the camera back on a new pty under the same port, Reboot reads it
// again.
TEST_F(MainWindowQt, ACameraWhoseDeviceIsGoneIsShownOffLineAndRebootReadsItAgain) {
  camera_.SetValue(0x31, 40);
  serve();
  writeSettings("[Comm]\r\nPortNo=1\r\n");
  SubMain::Main();
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  qtview::FormView* view = host_.viewOf(w);
  ASSERT_NE(view, nullptr);
  const std::string firmware = "FirmWare Ver." + std::to_string(gbyteFirmVersion);
  ASSERT_NE(gbyteFirmVersion, 0);
  auto* status = widget<QLabel>(w.lblOnLine);
  auto* version = widget<QLabel>(w.lblFirmWareVersion);
  ASSERT_NE(status, nullptr);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(status->text(), "On Line(COM1)");
  EXPECT_EQ(version->text(), QString::fromStdString(firmware));

  // Every message box is answered with its default button; their texts are kept.
  std::vector<std::string> boxes;
  QTimer answerer;
  answerer.setInterval(10);
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    boxes.push_back(box->text().toStdString());
    (box->defaultButton() ? box->defaultButton() : box->buttons().front())->click();
  });
  answerer.start();
  auto typeInto = [&](int code, const char* text) {
    QLineEdit* box = widget<QLineEdit>(w.txtData(code));
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_End);
    for (int i = 0; i < 4 && !box->text().isEmpty(); ++i) QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
    qttest::settle();
  };
  w.SSTab1.Tab(1);
  qttest::settle();

  server_->Unplug();
  typeInto(0x31, "7");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rfind("System error occured.", 0), 0u) << boxes[0];
  EXPECT_TRUE(boxes[0].find("No.8020)") != std::string::npos || boxes[0].find("No.57)") != std::string::npos)
      << boxes[0];
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(status->text(), "Off Line(COM1)");
  EXPECT_EQ(w.lblOnLine.ForeColor(), forms::RGB(255, 0, 0));
  EXPECT_EQ(version->text(), "FirmWare Ver.0");
  // Off line the edits are kept in the window, not sent.
  typeInto(0x31, "8");
  EXPECT_EQ(boxes.size(), 1u);

  // The camera back on a new pty, linked as COM1 again: Reboot reads it.
  serve();
  auto* reboot = qobject_cast<QPushButton*>(view->widgetOf(&w.cmdReboot(1)));
  ASSERT_NE(reboot, nullptr);
  QTest::mouseClick(reboot, Qt::LeftButton);
  qttest::settle();
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(status->text(), "On Line(COM1)");
  EXPECT_EQ(w.lblOnLine.ForeColor(), forms::RGB(0, 255, 0));
  EXPECT_EQ(version->text(), QString::fromStdString(firmware));
  EXPECT_EQ(widget<QLineEdit>(w.txtData(0x31))->text(), "40");
  typeInto(0x31, "9");
  EXPECT_EQ(reg(0x31), 9);
  EXPECT_EQ(boxes.size(), 1u);
  answerer.stop();
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0], "mdlMSComm.gblnSendSettingData");
}

// A user without a mouse: the option groups with the arrows, the pages with Ctrl+Tab, the
// page's order from its first editor to End, the buttons' access keys, F10 and Ctrl+Z, each
// reaching the camera as the window's handlers send it.
TEST_F(MainWindowQt, AKeyboardUserReachesAndChangesTheSettings) {
  camera_.SetValue(0x02, 1);  // "Disable on-board DIP SW" ticked: no question at an option
  camera_.SetValue(0x30, 33);
  camera_.SetValue(0x33, 255);
  serve();
  std::ofstream(dir_ / "orvadex.ini", std::ios::binary) << "[Comm]\r\nPortNo=1\r\n";
  SubMain::Main();
  FrmMain& w = frmMain();
  ASSERT_TRUE(w.Loaded());
  ASSERT_TRUE(gblnOnLine);
  qtview::FormView* view = host_.viewOf(w);
  ASSERT_NE(view, nullptr);
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != view->window()) target = view->window();
    QTest::keyClick(target, key, mods);
    qttest::settle();
  };
  auto focused = [&] { return w.ActiveControl() ? w.ActiveControl()->DisplayName() : std::string("none"); };
  qttest::settle();

  // Page 0 starts on the selected polarity; Tab goes on to the selected shutter, whose group
  // the arrow keys walk, each step a click that sends the DIP switch value.
  EXPECT_EQ(focused(), "optDIPSwitch(1)");
  EXPECT_TRUE(view->widgetOf(&w.optDIPSwitch(1))->hasFocus());
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), "optDIPSwitch(19)");
  press(Qt::Key_Up);
  EXPECT_EQ(focused(), "optDIPSwitch(18)");
  EXPECT_TRUE(w.optDIPSwitch(18).Value());
  EXPECT_EQ(reg(0x01), 128 + 120 + 2 + 1);
  press(Qt::Key_Down);
  EXPECT_EQ(reg(0x01), 255);

  // Ctrl+Tab brings page 1 with the focus on its first editor; Tab from there reaches the
  // Positive frame's boxes and every other editor, then the buttons, End last, and comes back.
  press(Qt::Key_Tab, Qt::ControlModifier);
  ASSERT_EQ(w.SSTab1.Tab(), 1);
  EXPECT_EQ(focused(), "vsData(48)");
  std::vector<std::string> order{focused()};
  for (int i = 0; i < 60; ++i) {
    press(Qt::Key_Tab);
    if (focused() == order.front()) break;
    order.push_back(focused());
  }
  ASSERT_GE(order.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 5),
            (std::vector<std::string>{"vsData(48)", "txtData(48)", "txtData(49)", "txtData(50)", "txtData(51)"}));
  EXPECT_EQ(order.back(), "cmdEnd(1)");
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), "cmdEnd(1)");
  press(Qt::Key_PageDown, Qt::ControlModifier);
  press(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(w.SSTab1.Tab(), 1);
  EXPECT_EQ(focused(), "vsData(48)");
  qttest::screenshot(view->window(), "main_window_keyboard_focus_on_a_bar");

  // F10 opens the menu bar: Down then moves in the menu, never the focused Fade Level.
  QLineEdit* fade = widget<QLineEdit>(w.txtData(0x33));
  ASSERT_NE(fade, nullptr);
  QTest::mouseClick(fade, Qt::LeftButton);
  qttest::settle();
  ASSERT_EQ(focused(), "txtData(51)");
  press(Qt::Key_F10);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
  while (QWidget* menu = QApplication::activePopupWidget()) menu->close();
  qttest::settle();
  EXPECT_EQ(fade->text(), "255");
  EXPECT_EQ(reg(0x33), 255);

  // Ctrl+Z takes the typed value back, and the camera with it.
  QLineEdit* box = widget<QLineEdit>(w.txtData(0x30));
  QTest::mouseClick(box, Qt::LeftButton);
  press(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, "57");
  qttest::settle();
  EXPECT_EQ(reg(0x30), 57);
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box->text(), "33");
  EXPECT_EQ(reg(0x30), 33);

  // The page's buttons answer their access keys: Write shows the list of the page's values
  // (Cancel(&C) there writes nothing), Reboot reconnects, End asks "End?".
  bool listed = false;
  std::string told;
  qttest::whenModal([&](QWidget* modal) {
    listed = !qobject_cast<QMessageBox*>(modal);
    qttest::whenModal([&](QWidget* box) {
      auto* message = qobject_cast<QMessageBox*>(box);
      if (!message) {
        box->close();
        return;
      }
      told = message->text().toStdString();
      message->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(modal, Qt::Key_C, Qt::AltModifier);
  });
  press(Qt::Key_W, Qt::AltModifier);
  EXPECT_TRUE(listed);
  EXPECT_EQ(told, "This operation was canceled.");
  EXPECT_FALSE(frmDispSelectData().Loaded());
  const size_t before = server_->WithCamera([](sim::Camera& c) { return c.Received().size(); });
  std::string reboot;
  qttest::whenModal([&](QWidget* modal) {
    auto* question = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(question, nullptr);
    reboot = question->text().toStdString();
    question->button(QMessageBox::Yes)->click();
  });
  press(Qt::Key_R, Qt::AltModifier);
  EXPECT_EQ(reboot, vb::LoadResString(352));
  EXPECT_GT(server_->WithCamera([](sim::Camera& c) { return c.Received().size(); }), before + 100);
  EXPECT_TRUE(gblnOnLine);
  bool asked = false;
  qttest::whenModal([&](QWidget* modal) {
    auto* question = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "End?");
    asked = true;
    question->button(QMessageBox::Yes)->click();
  });
  press(Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(w.Loaded());
  EXPECT_TRUE(reports_.empty());
}

}  // namespace
