#pragma once
// The main window loaded against the simulated camera and brought on line, shown, so that a
// test can play the user on any page. Developing and advanced modes come from the settings file.
#include <string>
#include <vector>

#include "tests/ui/main_window_fixture.h"

namespace uitest {

class OnLineWindowTest : public MainWindowTest {
 protected:
  // The settings file of developing mode (which brings advanced mode with it).
  void developingMode() {
    if (ini.find("Developing=") == std::string::npos) ini += "[Mode]\r\nDeveloping=True\r\n";
  }

  // Loads the window, which connects to the camera and reads it; true when it is on line.
  // The wire is cleared afterwards.
  bool connectCamera() {
    gblnKeepNotSupportCmd = false;
    if (!loadWindow() || !gblnOnLine) return false;
    clearWire();
    return true;
  }

  // Shows the window (when it is not shown yet) on page `tab`, as the user picks it.
  bool showPage(int tab) {
    if (!win().Visible()) win().Show();
    return win().SSTab1.Tab() == tab || win().SSTab1.UserSelectTab(tab);
  }

  // The control each page gives the focus to when the tabs get it, written out so that a change
  // of a page's layout shows; nullptr for the developing pages, which leave it on the tabs. On
  // page 0 it is the selected polarity, "Positive" with the simulated camera's values.
  forms::Control* pageFocus(int tab) {
    FrmMain& w = win();
    forms::Control* const focus[] = {
        &w.optDIPSwitch(1), &w.vsData(0x30),   &w.vsChromaSetup(1), &w.txtData(0x5C),   &w.txtData(0x71),
        &w.vsData(0xC0),    &w.txtData(0x20),  &w.chkConfig0(1),    &w.chkConfig1(16),  &w.txtData(0xC6),
        &w.txtData(0x54),   &w.txtData(0x50),  &w.txtFileName,      nullptr,            nullptr};
    return focus[tab];
  }

  // The values of `code` the camera received since the last clearWire, in order, as texts.
  std::vector<std::string> sentValues(uint8_t code) const {
    std::vector<std::string> values;
    for (const auto& [c, v] : settingsSent())
      if (c == code) values.push_back(std::to_string(v));
    return values;
  }
};

}  // namespace uitest
