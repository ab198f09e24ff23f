#pragma once
// The sample window of resources/forms/test_sample.txt, with every event written to a log,
// and a fixture that gives each test a fresh window and a scripted host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/app/app.h"
#include "platform/forms/forms.h"
#include "platform/forms/scripted_host.h"

namespace sample {

using namespace forms;

class SampleForm : public Form {
 public:
  SampleForm() : Form("test_sample") {
    txtValue.Change = [this] { log.push_back("txtValue_Change " + txtValue.Text()); if (onTxtChange) onTxtChange(); };
    txtValue.KeyDown = [this](int& KeyCode, int Shift) {
      log.push_back("txtValue_KeyDown " + std::to_string(KeyCode) + " [" + txtValue.Text() + "]");
      if (onKeyDown) onKeyDown(KeyCode, Shift);
    };
    txtValue.KeyPress = [this](int& KeyAscii) {
      log.push_back("txtValue_KeyPress " + std::to_string(KeyAscii));
      if (onKeyPress) onKeyPress(KeyAscii);
    };
    txtValue.KeyUp = [this](int& KeyCode, int) { log.push_back("txtValue_KeyUp " + std::to_string(KeyCode)); };
    txtValue.GotFocus = [this] { log.push_back("txtValue_GotFocus"); };
    txtValue.LostFocus = [this] { log.push_back("txtValue_LostFocus"); if (onTxtLostFocus) onTxtLostFocus(); };
    txtValue.Validate = [this](bool& Cancel) { log.push_back("txtValue_Validate"); Cancel = cancelValidate; };
    udValue.Change = [this] { log.push_back("udValue_Change " + std::to_string(udValue.Value())); };
    udValue.UpClick = [this] { log.push_back("udValue_UpClick"); };
    udValue.DownClick = [this] { log.push_back("udValue_DownClick"); };
    vsValue.Change = [this] { log.push_back("vsValue_Change " + std::to_string(vsValue.Value())); };
    vsValue.Scroll = [this] { log.push_back("vsValue_Scroll " + std::to_string(vsValue.Value())); };
    vsValue.GotFocus = [this] { log.push_back("vsValue_GotFocus"); };
    optMode.Click = [this](int Index) { log.push_back("optMode_Click " + std::to_string(Index)); };
    optOther.Click = [this] { log.push_back("optOther_Click"); };
    chkLog.Click = [this] { log.push_back("chkLog_Click " + std::to_string(chkLog.Value())); };
    chkLog.GotFocus = [this] { log.push_back("chkLog_GotFocus"); };
    chkLog.LostFocus = [this] { log.push_back("chkLog_LostFocus"); if (onChkLostFocus) onChkLostFocus(); };
    chkLog.Validate = [this](bool&) { log.push_back("chkLog_Validate"); };
    cmbPort.Click = [this] { log.push_back("cmbPort_Click " + cmbPort.Text()); };
    cmbPort.DropDown = [this] { log.push_back("cmbPort_DropDown"); };
    txtNum.Change = [this](int Index) { log.push_back("txtNum_Change " + std::to_string(Index)); };
    txtNum.GotFocus = [this](int Index) { log.push_back("txtNum_GotFocus " + std::to_string(Index)); };
    lblStatus.Change = [this] { log.push_back("lblStatus_Change"); };
    cmdOk.Click = [this] { log.push_back("cmdOk_Click"); if (onOk) onOk(); };
    cmdOk.GotFocus = [this] { log.push_back("cmdOk_GotFocus"); };
    cmdOk.MouseDown = [this](int, int, float, float) { log.push_back("cmdOk_MouseDown"); };
    cmdOk.MouseUp = [this](int, int, float, float) { log.push_back("cmdOk_MouseUp"); };
    cmdCancel.Click = [this] { log.push_back("cmdCancel_Click"); if (onCancel) onCancel(); };
    tabPages.Click = [this](int PreviousTab) { log.push_back("tabPages_Click " + std::to_string(PreviousTab)); };
    tabPages.GotFocus = [this] { log.push_back("tabPages_GotFocus"); };
    mnuFile.Click = [this] { log.push_back("mnuFile_Click"); };
    mnuOpen.Click = [this] { log.push_back("mnuOpen_Click"); };
    pctGraph.MouseMove = [this](int Button, int, float X, float Y) {
      log.push_back("pctGraph_MouseMove " + std::to_string(Button) + " " + std::to_string(static_cast<int>(X)) + "," +
                    std::to_string(static_cast<int>(Y)));
    };
  }

  void Form_Load() override {
    log.push_back("Form_Load");
    if (onLoad) onLoad();
  }
  void Form_Activate() override { log.push_back("Form_Activate"); }
  void Form_Deactivate() override { log.push_back("Form_Deactivate"); }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    log.push_back("Form_QueryUnload " + std::to_string(UnloadMode));
    Cancel = cancelQueryUnload;
  }
  void Form_Unload(int& Cancel) override { log.push_back("Form_Unload"); }
  void Form_KeyDown(int& KeyCode, int Shift) override { log.push_back("Form_KeyDown " + std::to_string(KeyCode)); }
  void Form_KeyPress(int& KeyAscii) override { log.push_back("Form_KeyPress " + std::to_string(KeyAscii)); }
  void Form_OLEDragDrop(const DataObject& Data) override {
    log.push_back("Form_OLEDragDrop " + (Data.Files.empty() ? std::string() : Data.Files[0]));
  }

  TextBox txtValue{this, "txtValue"};
  UpDown udValue{this, "udValue"};
  VScrollBar vsValue{this, "vsValue"};
  Frame fraMode{this, "fraMode"};
  ControlArray<OptionButton> optMode{this, "optMode"};
  CheckBox chkInFrame{this, "chkInFrame"};
  OptionButton optOther{this, "optOther"};
  CheckBox chkLog{this, "chkLog"};
  ComboBox cmbPort{this, "cmbPort"};
  ControlArray<TextBox> txtNum{this, "txtNum"};
  Label lblStatus{this, "lblStatus"};
  CommandButton cmdOk{this, "cmdOk"};
  CommandButton cmdCancel{this, "cmdCancel"};
  ProgressBar pBar{this, "pBar"};
  SSTab tabPages{this, "tabPages"};
  TextBox txtOnPage{this, "txtOnPage"};
  PictureBox pctGraph{this, "pctGraph"};
  Shape shpBar{this, "shpBar"};
  Menu mnuFile{this, "mnuFile"};
  Menu mnuOpen{this, "mnuOpen"};
  Menu mnuEnd{this, "mnuEnd"};
  CommonDialog cdOpen{this, "cdOpen"};

  std::vector<std::string> log;
  bool cancelValidate = false;
  int cancelQueryUnload = 0;
  std::function<void()> onLoad, onTxtChange, onOk, onCancel, onTxtLostFocus, onChkLostFocus;
  std::function<void(int&, int)> onKeyDown;
  std::function<void(int&)> onKeyPress;

  // The log since the last call.
  std::vector<std::string> take() {
    auto out = std::move(log);
    log.clear();
    return out;
  }
};

using Log = std::vector<std::string>;

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.OnFailure = [](const std::string& m) { ADD_FAILURE() << "scripted host: " << m; };
  }
  void TearDown() override {
    host.VerifyAllUsed();
    forms::Screen.MousePointer(0);
    vb::App::HelpFile("");
  }
  forms::ScriptedHost host;
};

}  // namespace sample
