#pragma once
// The main window on line against the simulated camera, with the user's side of the dialogs
// the commands and the file road open, and parameter files written by the program itself.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/common_helpers.h"
#include "core/parameter_files.h"
#include "link/data_list_dialog.h"
#include "tests/ui/main_window_fixture.h"

namespace uitest {

class CommandsTest : public MainWindowTest {
 protected:
  void TearDown() override {
    host.onModal = nullptr;
    MainWindowTest::TearDown();
    gblnInitialSet = false;
    gbyteCameraModel = 0;
  }

  // Loads the window, which connects and reads the camera, and shows it.
  void onLine() {
    gblnOnLine = false;
    ASSERT_TRUE(loadWindow());
    ASSERT_TRUE(gblnOnLine);
    win().Show();
    settle();
  }
  // Cable-length files of both data versions in the program's cfg folder: with them the
  // cable-length frame offers its buttons.
  void cableFiles() {
    std::filesystem::create_directories(dir.file("cfg"));
    dir.write("cfg/cable01n5.cfg", "");
    dir.write("cfg/cable02n5.cfg", "");
  }
  // Forgets what was shown and sent so far.
  void settle() {
    host.boxes.clear();
    host.modalForms.clear();
    reports.clear();
    clearWire();
  }

  // The catalogue numbers of the message boxes shown so far (0 for a text not in 300..399).
  std::vector<long> messages() const {
    std::vector<long> numbers;
    for (const Box& b : host.boxes) {
      long found = 0;
      for (long n = 301; n < 400 && !found; ++n) {
        std::string text;
        try {
          text = vb::LoadResString(n);
        } catch (const vb::Error&) {
          continue;
        }
        if (!text.empty() && b.prompt.compare(0, text.size(), text) == 0) found = n;
      }
      numbers.push_back(found);
    }
    return numbers;
  }

  // The user's side of the modal windows: `answers` by window name, "OK" or "Cancel" (the
  // button pressed; anything else closes the window with its close box). The rows the
  // data-list dialog listed are kept in `listed`, its message in `listedMessage`.
  void answerWindows(std::map<std::string, std::string> answers) {
    host.onModal = [this, answers](forms::Form& f) {
      if (f.Name() == "frmDispSelectData") {
        listed.clear();
        auto& dialog = static_cast<FrmDispSelectData&>(f);
        listedMessage = dialog.lblMsg.Caption();
        for (forms::Label& row : dialog.lblKeyAndValue) listed.push_back(vb::Trim(row.Caption()));
      }
      auto it = answers.find(f.Name());
      if (it == answers.end()) return;
      const char* button = it->second == "OK" ? "cmdOk" : it->second == "Cancel" ? "cmdCancel" : nullptr;
      if (!button) return;
      auto* b = dynamic_cast<forms::CommandButton*>(f.FindControl(button));
      ASSERT_NE(b, nullptr) << f.Name() << " has no " << button;
      b->UserClick();
    };
  }

  // A parameter file written by the program (kind by extension) from the current values with
  // `changes` laid over them; with `initialSet` it asks for an EEPROM clear before it is applied.
  std::string parameterFile(const std::string& name, const std::map<int, int>& changes, bool initialSet = false) {
    std::array<uint8_t, 256> values = gbyteCurrentData;
    for (const auto& [code, value] : changes) values[static_cast<size_t>(code)] = static_cast<uint8_t>(value);
    const std::string path = dir.file(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(SubMain::gblnKRVFileSave(path, values, false));
    if (initialSet) mdlCommon::WritePrivateProfileString("Factory", "InitialSet", "True", path);
    return path;
  }

  // The setting pairs (command byte not 0) sent in EEPROM write mode.
  Wire eepromWrites() const {
    Wire out;
    bool writing = false;
    for (const auto& [c, d] : wire()) {
      if (c == 0 && d == sim::fnEepromWrite) writing = true;
      else if (c == 0 && d == sim::fnEepromWriteEnd) writing = false;
      else if (writing && c != 0) out.emplace_back(c, d);
    }
    return out;
  }
  // The codes of a list of pairs.
  // A value of `code` other than its current one, within its range.
  static int other(int code) {
    const int now = gbyteCurrentData[static_cast<size_t>(code)];
    return now < gobjDataInfo[static_cast<size_t>(code)]->Max ? now + 1 : now - 1;
  }
  static std::vector<int> codesOf(const Wire& pairs) {
    std::vector<int> codes;
    for (const auto& p : pairs) codes.push_back(p.first);
    return codes;
  }

  std::vector<std::string> listed;
  std::string listedMessage;
};

}  // namespace uitest
