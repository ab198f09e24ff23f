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

  // The values of `code` the camera received since the last clearWire, in order, as texts.
  std::vector<std::string> sentValues(uint8_t code) const {
    std::vector<std::string> values;
    for (const auto& [c, v] : settingsSent())
      if (c == code) values.push_back(std::to_string(v));
    return values;
  }
};

}  // namespace uitest
