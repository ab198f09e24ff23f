#pragma once
// A window with one control of each kind the program uses, every event written to a log.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace qttest {

using namespace forms;

inline const char* kProbeLayout = R"layout(
Form qt_probe Caption="Probe" ClientWidth=6600 ClientHeight=4200 StartUpPosition=2 BorderStyle=3 OLEDropMode=1
TextBox txtValue Left=120 Top=120 Width=1200 Height=285 Text="12"
UpDown udValue Left=1320 Top=120 Width=240 Height=285 BuddyControl=txtValue SyncBuddy=True Max=255 TabStop=False
TextBox txtOther Left=120 Top=480 Width=1440 Height=285
Frame fraMode Left=1800 Top=120 Width=2000 Height=1000 Caption="&Mode"
OptionButton optMode(0) in=fraMode Left=120 Top=240 Width=1700 Height=255 Caption="Off" Value=True
OptionButton optMode(1) in=fraMode Left=120 Top=600 Width=1700 Height=255 Caption="On"
CheckBox chkLog Left=120 Top=900 Width=1500 Height=255 Caption="&Log"
HScrollBar hsValue Left=120 Top=1300 Width=2400 Height=255 Max=100 LargeChange=10
ComboBox cmbPort Left=120 Top=1700 Width=1500 Height=315 Style=2 List(0)="COM1" List(1)="COM3" List(2)="COM10"
PictureBox pctGraph Left=4000 Top=120 Width=2400 Height=1500 BackColor=vbWhite
Label lblMsg Left=120 Top=2200 AutoSize=True Caption="Ready"
ProgressBar pBar Left=120 Top=2600 Width=3700 Height=315 Max=10
SSTab tabPages Left=4000 Top=1800 Width=2400 Height=1500 Tabs=2 TabsPerRow=2 TabCaption(0)="One" TabCaption(1)="&Two"
TextBox txtOnPage in=tabPages tab=1 Left=120 Top=500 Width=1200 Height=285
Label lblOnPage in=tabPages tab=0 Left=120 Top=500 AutoSize=True Caption="First page"
CommandButton cmdOk Left=3900 Top=3600 Width=1215 Height=375 Caption="OK(&O)" Default=True
CommandButton cmdCancel Left=5220 Top=3600 Width=1215 Height=375 Caption="Cancel(&C)" Cancel=True
Menu mnuFile Caption="File(&F)"
Menu mnuOpen in=mnuFile Caption="Open(&O)..."
)layout";

class ProbeForm : public Form {
 public:
  ProbeForm() : Form("qt_probe") {
    UseLayoutText(kProbeLayout);
    txtValue.KeyDown = [this](int& KeyCode, int) { log.push_back("txtValue_KeyDown " + std::to_string(KeyCode) + " [" + txtValue.Text() + "]"); };
    txtValue.KeyPress = [this](int& KeyAscii) { log.push_back("txtValue_KeyPress " + std::to_string(KeyAscii)); };
    txtValue.KeyUp = [this](int& KeyCode, int) { log.push_back("txtValue_KeyUp " + std::to_string(KeyCode)); };
    txtValue.Change = [this] { log.push_back("txtValue_Change " + txtValue.Text()); };
    txtValue.Validate = [this](bool& Cancel) { log.push_back("txtValue_Validate"); Cancel = keepFocus; };
    txtValue.LostFocus = [this] { log.push_back("txtValue_LostFocus"); };
    txtOther.GotFocus = [this] { log.push_back("txtOther_GotFocus"); };
    txtOther.Click = [this] { log.push_back("txtOther_Click"); };
    udValue.Change = [this] { log.push_back("udValue_Change " + std::to_string(udValue.Value())); };
    udValue.UpClick = [this] { log.push_back("udValue_UpClick"); };
    udValue.DownClick = [this] { log.push_back("udValue_DownClick"); };
    optMode.Click = [this](int Index) { log.push_back("optMode_Click " + std::to_string(Index)); };
    chkLog.Click = [this] { log.push_back("chkLog_Click " + std::to_string(chkLog.Value())); };
    hsValue.Change = [this] { log.push_back("hsValue_Change " + std::to_string(hsValue.Value())); };
    hsValue.Scroll = [this] { log.push_back("hsValue_Scroll " + std::to_string(hsValue.Value())); };
    cmbPort.Click = [this] { log.push_back("cmbPort_Click " + cmbPort.Text()); };
    for (Control* c : std::initializer_list<Control*>{&txtOther, &chkLog, &pctGraph, &lblMsg}) {
      const std::string name = c->Name();
      c->MouseDown = [this, name](int Button, int, float X, float Y) { log.push_back(mouse(name, "MouseDown", Button, X, Y)); };
      c->MouseUp = [this, name](int Button, int, float X, float Y) { log.push_back(mouse(name, "MouseUp", Button, X, Y)); };
    }
    pctGraph.MouseMove = [this](int Button, int, float X, float Y) { log.push_back(mouse("pctGraph", "MouseMove", Button, X, Y)); };
    lblMsg.Click = [this] { log.push_back("lblMsg_Click"); };
    pctGraph.Click = [this] { log.push_back("pctGraph_Click"); };
    tabPages.Click = [this](int PreviousTab) { log.push_back("tabPages_Click " + std::to_string(PreviousTab)); };
    cmdOk.Click = [this] {
      log.push_back("cmdOk_Click");
      if (onOk) onOk();
    };
    cmdCancel.Click = [this] {
      log.push_back("cmdCancel_Click");
      Unload();
    };
    mnuFile.Click = [this] { log.push_back("mnuFile_Click"); };
    mnuOpen.Click = [this] { log.push_back("mnuOpen_Click"); };
  }
  void Form_Activate() override {
    log.push_back("Form_Activate");
    if (onActivate) onActivate();
  }
  void Form_Deactivate() override { log.push_back("Form_Deactivate"); }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override {
    log.push_back("Form_QueryUnload " + std::to_string(UnloadMode));
    Cancel = refuseUnload;
  }
  void Form_OLEDragDrop(const DataObject& Data) override {
    std::string files;
    for (const auto& f : Data.Files) files += " " + f;
    log.push_back("Form_OLEDragDrop" + files);
  }
  // The events of one control in the log, in order.
  std::vector<std::string> eventsOf(const std::string& name) const {
    std::vector<std::string> own;
    for (const auto& e : log)
      if (e.rfind(name + "_", 0) == 0) own.push_back(e);
    return own;
  }
  // The position of `entry` in the log, or -1.
  int at(const std::string& entry) const {
    for (size_t i = 0; i < log.size(); ++i)
      if (log[i] == entry) return static_cast<int>(i);
    return -1;
  }

  TextBox txtValue{this, "txtValue"};
  UpDown udValue{this, "udValue"};
  TextBox txtOther{this, "txtOther"};
  Frame fraMode{this, "fraMode"};
  ControlArray<OptionButton> optMode{this, "optMode"};
  CheckBox chkLog{this, "chkLog"};
  HScrollBar hsValue{this, "hsValue"};
  ComboBox cmbPort{this, "cmbPort"};
  PictureBox pctGraph{this, "pctGraph"};
  Label lblMsg{this, "lblMsg"};
  ProgressBar pBar{this, "pBar"};
  SSTab tabPages{this, "tabPages"};
  TextBox txtOnPage{this, "txtOnPage"};
  CommandButton cmdOk{this, "cmdOk"};
  CommandButton cmdCancel{this, "cmdCancel"};
  Menu mnuFile{this, "mnuFile"};
  Menu mnuOpen{this, "mnuOpen"};

  std::vector<std::string> log;
  bool keepFocus = false;
  std::function<void()> onOk;
  std::function<void()> onActivate;
  bool refuseUnload = false;

 private:
  static std::string mouse(const std::string& name, const char* what, int button, float x, float y) {
    return name + "_" + what + " " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) +
           "," + std::to_string(static_cast<int>(y));
  }
};

}  // namespace qttest
