#pragma once
// Protocol tests: the link against the simulated camera on a virtual line and clock, with a
// host that records every message box and answers from a script.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/logs.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/forms/host.h"
#include "platform/serial/mscomm.h"
#include "platform/vb/error.h"
#include "sim/virtual_camera.h"
#include "tests/platform/temp_folder.h"

namespace linktest {

struct Box {
  std::string prompt;
  int buttons = 0;
  std::string title;
};

// Records message boxes; answers from `answers` in order (the default button when empty) and
// runs `onBox` first, if set.
class RecordingHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back({prompt, buttons, title});
    if (onBox) onBox(boxes.back());
    if (!answers.empty()) {
      int a = answers.front();
      answers.pop_front();
      return a;
    }
    const int kind = buttons & 7;
    return kind == forms::vbYesNo || kind == forms::vbYesNoCancel ? forms::vbYes : forms::vbOK;
  }
  // A modal form: the test plays the user in `onModal`; a form left open is closed with the
  // close box.
  void RunModal(forms::Form& form) override {
    modalForms.push_back(form.Name());
    if (onModal) onModal(form);
    if (!form.ModalDone()) form.UserClose();
  }
  void FormLoaded(forms::Form& form) override { loaded.push_back(form.Name()); }
  void FormUnloaded(forms::Form& form) override {
    if (onUnload) onUnload(form);
  }
  std::vector<Box> boxes;
  std::deque<int> answers;
  std::function<void(const Box&)> onBox;
  std::vector<std::string> modalForms, loaded;
  std::function<void(forms::Form&)> onModal, onUnload;
};

struct Report {
  std::string text;
  long number;
};

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool tableBuilt = SubMain::mblnSetDataInfo();
    ASSERT_TRUE(tableBuilt);
    vb::App::SetLocationForTesting(dir.path(), "orvadex");
    forms::setHost(&host);
    vb::SetErrorReporter([this](const std::string& text) {
      reports.push_back({text, Err.Number});
      SubMain::gErrorProc(text);
    });
    Err.Clear();
    glngPortNo = 1;
    gstrSettings = "9600,n,8,2";
    gblnAutoBaudRateChange = true;
    glngRcvRetry = 10;
    glngSleepTimeUnit = 100;
    glngTimeOut = 5;
    glngRetryWrongReplayBeforeMsg = 10;
    glngRetryTimeOutBeforeMsg = 1;
    gblnWriteErrLogWrongReplay = false;
    gblnWriteErrLogTimeOut = false;
    gblnOptimizeWritting = false;
    gblnWriteLogFile = false;
    gblnOnLine = false;
    gbyteCurrentMode = 0;
    gblnKeepNotSupportCmd = false;
    gblnReadingData = false;
    gblnEEPROMWriting = false;
    gblnTimeOutRetry = gblnWrongReplayRetry = false;
    glngTimeOutCount = glngWrongReplayCount = 0;
    gblnShowStatus = false;
    gblnShowSplash = false;
    gstrAllCmdList = "1,65,64,144";
    gstrKRVCmdList = "1,64,65";
    gstrWriteCmdList = "32,65";
    start({});
  }

  void TearDown() override {
    comm.reset();
    sim.reset();
    gobjMSComm = nullptr;
    vb::SetErrorReporter(nullptr);
    forms::setHost(nullptr);
    vb::App::SetLocationForTesting("", "");
  }

  // (Re)starts the simulated camera with `config` and a closed serial control.
  void start(sim::CameraConfig config) {
    comm.reset();
    sim.reset();
    sim = std::make_unique<sim::SimulatedCameraPort>(std::move(config));
    comm = std::make_unique<serial::MSComm>();
    gobjMSComm = comm.get();
  }

  // Opens the port the way a connect does, without the detection and identity read.
  void open() {
    comm->CommPort(1);
    comm->Settings(gstrSettings);
    comm->InputLen(1);
    comm->InputMode(1);
    comm->PortOpen(true);
  }

  sim::Camera& camera() { return sim->camera; }
  serial::VirtualClock& clock() { return sim->clock; }
  std::vector<std::pair<uint8_t, uint8_t>> wire() const { return sim->camera.Received(); }
  double seconds() const { return sim->clock.NowUs() / 1e6; }

  // Sends one command; returns {result, reply command, reply data}.
  struct Sent {
    bool ok;
    uint8_t rc, rd;
  };
  Sent send(uint8_t c, uint8_t d) {
    uint8_t rc = 0xAA, rd = 0xAA;
    bool ok = mdlMSComm::gblnSendSettingData(c, d, rc, rd);
    return {ok, rc, rd};
  }

  // Message boxes whose text begins with catalogue entry `message`.
  int countBoxes(long message) const {
    const std::string text = vb::LoadResString(message);
    int n = 0;
    for (const Box& b : host.boxes)
      if (b.prompt.compare(0, text.size(), text) == 0) ++n;
    return n;
  }

  testutil::TempFolder dir;  // the program's folder: logs go here
  RecordingHost host;
  std::vector<Report> reports;
  std::unique_ptr<sim::SimulatedCameraPort> sim;
  std::unique_ptr<serial::MSComm> comm;
};

inline sim::Fault fault(const char* text) { return sim::ParseFault(text); }

using Wire = std::vector<std::pair<uint8_t, uint8_t>>;

}  // namespace linktest
