#pragma once
// Main-window tests: the program's folder in a temporary folder (settings file, logs), the
// parameter table, the recording host that plays the user, and the simulated camera in this
// process on a virtual line and clock, reached by the window's own serial control.
//
// A test configures the camera (`config`: supported codes, identity bytes, older or newer
// layout) and the settings file (`ini`), then either starts the program as the user does
// (`startProgram`: SubMain::Main shows the main window, which connects) or loads the window
// alone (`loadWindow`: the table built and the defaults copied as start-up does). It then plays
// the user on `win()` (UserType, UserKey, UserScroll, UserClose...) with the host answering the
// message boxes, and checks the bytes on the camera's side (`wire`, `settingsSent`, `reg`,
// `eeprom`) and the files left in the program folder (`ini`, `transferLog`).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/upper_layers.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "link/port_change_window.h"
#include "platform/forms/forms.h"
#include "sim/camera.h"
#include "sim/virtual_camera.h"
#include "tests/link/link_fixture.h"
#include "ui/main_window.h"

namespace uitest {

using linktest::Wire;
using testutil::Box;

// Codes that only the older camera layout supports, and only the newer one.
inline const std::vector<uint8_t>& OldLayoutOnlyCodes() {
  static const std::vector<uint8_t> codes{0xC1, 0xC2, 0x42, 0x43};
  return codes;
}
inline const std::vector<uint8_t>& NewLayoutOnlyCodes() {
  static const std::vector<uint8_t> codes{0x44, 0x45, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7};
  return codes;
}

class MainWindowTest : public linktest::LinkBase {
 protected:
  void SetUp() override {
    LinkBase::SetUp();
    showErrors = true;
    SubMain::UpperLayerCalls& upper = SubMain::UpperLayers();
    upper.frmPortChange_ShowModal = [] { frmPortChange().Show(forms::vbModal); };
    upper.frmMain_Show = [] { frmMain().Show(); };
    upper.gblnMSComm_Close = [] { return mdlMSComm::gblnMSComm_Close(); };
    newLayoutCamera();
  }
  void TearDown() override {
    LinkBase::TearDown();  // the windows go first: the window's serial control uses the line
    sim.reset();
    gblnEnterKeySend = false;
    glngStartUpTabNo = 0;
    gbyteFirmVersion = 0;
  }

  // ---- Configuration, before the start ---------------------------------------------------
  // The camera of the newer layout (AE gain 0xD0 to 0xD7, CDS 0x44/0x45): the older codes
  // answer FF FF. The older layout is the reverse.
  void newLayoutCamera() {
    config.unsupported.clear();
    config.unsupported.insert(OldLayoutOnlyCodes().begin(), OldLayoutOnlyCodes().end());
  }
  void oldLayoutCamera() {
    config.unsupported.clear();
    config.unsupported.insert(NewLayoutOnlyCodes().begin(), NewLayoutOnlyCodes().end());
  }

  // ---- Starting ----------------------------------------------------------------------------
  // Writes the settings file (`ini`, with port 1 unless it names one) and the camera, then runs Main as
  // the program does. True when the main window is loaded afterwards.
  bool startProgram() {
    makeCamera();
    std::string text = ini;
    if (text.find("PortNo=") == std::string::npos) {
      const size_t comm = text.find("[Comm]\r\n");
      if (comm == std::string::npos) text = "[Comm]\r\nPortNo=1\r\n" + text;
      else text.insert(comm + 8, "PortNo=1\r\n");
    }
    dir.write("orvadex.ini", text);
    for (auto& e : gobjDataInfo) e.reset();  // Main builds the table itself
    SubMain::Main();
    return frmMain().Loaded();
  }
  // Loads the main window without Main: the settings read from `ini` as written (defaults when
  // empty), the current values set from the defaults, then the window's load (which connects).
  bool loadWindow() {
    makeCamera();
    if (!ini.empty()) dir.write("orvadex.ini", ini);
    if (!SubMain::gblnReadInitFile() || !SubMain::mblnIniVariable()) return false;
    if (glngPortNo == 0) glngPortNo = 1;
    frmMain().Load();
    return frmMain().Loaded();
  }

  // ---- The window and the user -----------------------------------------------------------
  FrmMain& win() { return frmMain(); }
  // The page of the tab control that holds `control`.
  static int pageOf(const forms::Control& control) {
    const forms::Control* c = &control;
    while (c->Container() && c->Container()->kind() != forms::Kind::SSTab) c = c->Container();
    return c->ContainerTab();
  }
  // The user brings the page of `control` to the front.
  void showPageOf(const forms::Control& control) { win().SSTab1.Tab(pageOf(control)); }
  // The user types `text` over the whole content of the value box of `code`.
  void typeInto(int code, const std::string& text) {
    forms::TextBox& box = win().txtData(code);
    showPageOf(box);
    box.UserFocus();
    box.UserSelect(0, static_cast<long>(box.Text().size()));
    box.UserType(text);
  }
  // The user closes the window with its close box; true when it closed.
  bool closeWindow() { return win().UserClose(); }

  // ---- The camera's side -------------------------------------------------------------------
  sim::Camera& camera() { return sim->camera; }
  serial::VirtualClock& clock() { return sim->clock; }
  // Every command the camera received, in order; `clearWire` forgets them.
  Wire wire() const { return sim->camera.Received(); }
  void clearWire() { sim->camera.ClearReceived(); }
  // The setting commands received (command byte not 0), in order.
  Wire settingsSent() const {
    Wire out;
    for (const auto& p : sim->camera.Received())
      if (p.first != 0) out.push_back(p);
    return out;
  }
  uint8_t reg(uint8_t code) const { return sim->camera.Value(code); }
  std::map<uint8_t, uint8_t> eeprom() const { return sim->camera.Eeprom(); }

  // ---- Files -------------------------------------------------------------------------------
  // The communication log's lines (empty when there is none).
  std::vector<std::string> transferLog() const {
    if (!dir.exists("orvadex.LOG")) return {};
    std::vector<std::string> lines = vb::Split(dir.read("orvadex.LOG"), "\r\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  std::string settingsFile() const { return dir.exists("orvadex.ini") ? dir.read("orvadex.ini") : ""; }

  sim::CameraConfig config;  // the camera to start with
  std::string ini;           // the settings file to start with
  bool silentCamera = false; // the camera answers nothing from the start
  std::unique_ptr<sim::SimulatedCameraPort> sim;

 private:
  void makeCamera() {
    forms::ReleaseDefaultInstances();
    sim.reset();
    sim = std::make_unique<sim::SimulatedCameraPort>(config);
    sim->camera.SetSilent(silentCamera);
  }
};

}  // namespace uitest
