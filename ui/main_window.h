#pragma once
// The main window: fifteen pages of setting editors bound by command code, the menus, the
// status line and the serial control that the link uses. Every editor of a setting is element c
// of its control array, c being the setting's command code, so that one handler serves every
// code. The window's code is split by concern:
//   main_window.cpp            loading, binding, help numbers, scroll steps, event wiring
//   main_window_connect.cpp    connect, reconnect, status line, busy guard, closing
//   main_window_display.cpp    showing the current values in the controls
//   main_window_editing.cpp    the value boxes, up-downs and scroll bars
//   main_window_enable.cpp     enable rules, advanced pages, the AE frame shape, toggles
//   main_window_compound.cpp   CDS gain, nibbles, chroma setup, 3100 K, gain labels
//   main_window_graphs.cpp     gamma and CDS graphs, centre planes, bars, iris, info labels
//   main_window_commands.cpp   the camera commands and menus
//   main_window_files.cpp      parameter files, recent files, factory controls, cable length
//   main_window_poll.cpp       the status poll and the focus of the pages
//   main_window_dip_switch.cpp the DIP switch and the configuration bits
#include <array>
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"
#include "platform/serial/mscomm.h"

class FrmMain : public forms::Form {
 public:
  FrmMain();
  ~FrmMain() override;

  // The pages of raw registers, shown in developing mode only.
  static constexpr std::array<int, 2> kDevelopingPages = {13, 14};

  // ---- Controls ----------------------------------------------------------------------------
  forms::SSTab SSTab1{this, "SSTab1"};
  forms::Label lblOnLine{this, "lblOnLine"};
  forms::Label lblFirmWareVersion{this, "lblFirmWareVersion"};
  forms::CommonDialog cdFileOpen{this, "cdFileOpen"};
  // The serial control has no face: the link uses it as the global serial object.
  serial::MSComm MSComm1;

  // Editors of the command codes 0x01 to 0xFE.
  forms::ControlArray<forms::TextBox> txtData{this, "txtData"};
  forms::ControlArray<forms::UpDown> udData{this, "udData"};
  forms::ControlArray<forms::Label> lblData{this, "lblData"};
  forms::ControlArray<forms::VScrollBar> vsData{this, "vsData"};
  forms::ControlArray<forms::HScrollBar> hsData{this, "hsData"};
  forms::ControlArray<forms::Shape> shpFrontData{this, "shpFrontData"};
  forms::ControlArray<forms::Shape> shpBackData{this, "shpBackData"};
  forms::ControlArray<forms::Label> lblInfo{this, "lblInfo"};
  forms::ControlArray<forms::PictureBox> pctData{this, "pctData"};
  forms::ControlArray<forms::Label> lblCurGamma{this, "lblCurGamma"};

  // Editors that hold part of a code or several codes.
  forms::ControlArray<forms::TextBox> txtHL{this, "txtHL"};
  forms::ControlArray<forms::UpDown> udHL{this, "udHL"};
  forms::ControlArray<forms::TextBox> txtChromaSetup{this, "txtChromaSetup"};
  forms::ControlArray<forms::UpDown> udChromaSetup{this, "udChromaSetup"};
  forms::ControlArray<forms::VScrollBar> vsChromaSetup{this, "vsChromaSetup"};
  forms::ControlArray<forms::Shape> shpFrontChromaSetup{this, "shpFrontChromaSetup"};
  forms::ControlArray<forms::Shape> shpBackChromaSetup{this, "shpBackChromaSetup"};
  forms::ControlArray<forms::Label> lblChromaSetup{this, "lblChromaSetup"};
  forms::ControlArray<forms::TextBox> txtCdsGain{this, "txtCdsGain"};
  forms::ControlArray<forms::UpDown> udCDSGain{this, "udCDSGain"};
  forms::ControlArray<forms::TextBox> txtWB3100{this, "txtWB3100"};
  forms::ControlArray<forms::UpDown> udWB3100{this, "udWB3100"};
  forms::ControlArray<forms::CheckBox> chkConfig0{this, "chkConfig0"};
  forms::ControlArray<forms::CheckBox> chkConfig1{this, "chkConfig1"};
  forms::ControlArray<forms::CheckBox> chkConfig2{this, "chkConfig2"};
  forms::ControlArray<forms::OptionButton> optDIPSwitch{this, "optDIPSwitch"};
  forms::ControlArray<forms::PictureBox> pctAWBCenter{this, "pctAWBCenter"};
  forms::ControlArray<forms::Label> lblAWBCenter{this, "lblAWBCenter"};
  forms::ControlArray<forms::Label> lblMWBGain{this, "lblMWBGain"};
  forms::Label lblPositive{this, "lblPositive"};
  forms::Label lblNegative{this, "lblNegative"};
  forms::ControlArray<forms::Label> lblIrisFrame{this, "lblIrisFrame"};
  forms::ControlArray<forms::Shape> shpIrisFrame{this, "shpIrisFrame"};
  forms::ControlArray<forms::Shape> shpIrisCenterFrame{this, "shpIrisCenterFrame"};

  // Frames.
  forms::Frame fraNegaPosi{this, "fraNegaPosi"};
  forms::Frame fraShutterSelect{this, "fraShutterSelect"};
  forms::Frame fraGainCtrl{this, "fraGainCtrl"};
  forms::Frame fraWhiteBalance{this, "fraWhiteBalance"};
  forms::ControlArray<forms::Frame> fraY{this, "fraY"};
  forms::Frame fraCDSCalibration{this, "fraCDSCalibration"};
  forms::ControlArray<forms::Frame> fraCDSGainCalibration{this, "fraCDSGainCalibration"};
  forms::Frame fraCDSCalibrationNew{this, "fraCDSCalibrationNew"};
  forms::ControlArray<forms::Frame> fraChroma{this, "fraChroma"};
  forms::Frame frmChromaGainCtl_LL{this, "frmChromaGainCtl_LL"};
  forms::ControlArray<forms::Frame> fraGamma{this, "fraGamma"};
  forms::ControlArray<forms::Frame> fraAperture{this, "fraAperture"};
  forms::ControlArray<forms::Frame> fraIris{this, "fraIris"};
  forms::Frame fraAEGNOld{this, "fraAEGNOld"};
  forms::Frame fraAEGNNew{this, "fraAEGNNew"};
  forms::Frame fraAGC{this, "fraAGC"};
  forms::Frame fraEESpeedLimit{this, "fraEESpeedLimit"};
  forms::Frame frmEESpeedRegulation{this, "frmEESpeedRegulation"};
  forms::Frame fraEEAGCStart{this, "fraEEAGCStart"};
  forms::Frame fraIrisFld{this, "fraIrisFld"};
  forms::ControlArray<forms::Frame> fraAELensCtrlPara{this, "fraAELensCtrlPara"};
  forms::Frame fraTiming{this, "fraTiming"};
  forms::ControlArray<forms::Frame> fraConfig_DevPro{this, "fraConfig_DevPro"};
  forms::ControlArray<forms::Frame> fraConfig_Pic{this, "fraConfig_Pic"};
  forms::Frame frmHighGainChromaSuppress_LL{this, "frmHighGainChromaSuppress_LL"};
  forms::ControlArray<forms::Frame> fraConfig_AWB1{this, "fraConfig_AWB1"};
  forms::Frame fraAWBGainLimit{this, "fraAWBGainLimit"};
  forms::ControlArray<forms::Frame> fraConfig_AWB2{this, "fraConfig_AWB2"};
  forms::ControlArray<forms::Frame> fraWB{this, "fraWB"};
  forms::Frame fraWBGain{this, "fraWBGain"};
  forms::Frame fraYDelay{this, "fraYDelay"};
  forms::Frame fraYDelay_LL{this, "fraYDelay_LL"};
  forms::Frame fraBurstLevel{this, "fraBurstLevel"};
  forms::Frame fraBurstLevel_LL{this, "fraBurstLevel_LL"};
  forms::Frame fraCYMatrix{this, "fraCYMatrix"};
  forms::Frame fraCYMatrix_LL{this, "fraCYMatrix_LL"};
  forms::Frame fraForFactory{this, "fraForFactory"};
  forms::Frame fraSetCableLength{this, "fraSetCableLength"};
  forms::Frame fraSetWrite{this, "fraSetWrite"};
  forms::ControlArray<forms::Frame> fraXX{this, "fraXX"};
  forms::Frame fraCurrentData{this, "fraCurrentData"};

  // Factory controls, cable length, status poll.
  forms::Label Label1{this, "Label1"};
  forms::TextBox txtFileName{this, "txtFileName"};
  forms::CommandButton cmdSelectFile{this, "cmdSelectFile"};
  forms::CommandButton cmdCheck{this, "cmdCheck"};
  forms::ControlArray<forms::CommandButton> cmdReadAndWrite{this, "cmdReadAndWrite"};
  forms::CheckBox chkCheckAfterWritting{this, "chkCheckAfterWritting"};
  forms::CheckBox chkRebootBeforeCheck{this, "chkRebootBeforeCheck"};
  forms::ComboBox cmbCableLength{this, "cmbCableLength"};
  forms::CommandButton cmdGetCurrentData{this, "cmdGetCurrentData"};
  forms::Label lblCurrentData{this, "lblCurrentData"};

  // Page buttons.
  forms::ControlArray<forms::CommandButton> cmdWriteEEPROM{this, "cmdWriteEEPROM"};
  forms::ControlArray<forms::CommandButton> cmdReboot{this, "cmdReboot"};
  forms::ControlArray<forms::CommandButton> cmdEnd{this, "cmdEnd"};

  // Menus.
  forms::Menu mnuTitleFile{this, "mnuTitleFile"};
  forms::ControlArray<forms::Menu> mnuFile{this, "mnuFile"};
  forms::Menu mnuRecently{this, "mnuRecently"};
  forms::ControlArray<forms::Menu> mnuRecentlyFileName{this, "mnuRecentlyFileName"};
  forms::Menu mnuLine{this, "mnuLine"};
  forms::Menu mnuRecentlyFilesClear{this, "mnuRecentlyFilesClear"};
  forms::Menu mnuEnd{this, "mnuEnd"};
  forms::Menu mnuTitleView{this, "mnuTitleView"};
  forms::Menu mnuViewAllData{this, "mnuViewAllData"};
  forms::Menu mnuTitleComm{this, "mnuTitleComm"};
  forms::ControlArray<forms::Menu> mnuEEPROM{this, "mnuEEPROM"};
  forms::Menu mnuReboot{this, "mnuReboot"};
  forms::Menu mnuPortChange{this, "mnuPortChange"};
  forms::Menu mnuLine2{this, "mnuLine2"};
  forms::Menu mnuBatch{this, "mnuBatch"};
  forms::Menu mnuConnectionOption{this, "mnuConnectionOption"};
  forms::Menu mnuTitleHelp{this, "mnuTitleHelp"};
  forms::Menu mnuHelp{this, "mnuHelp"};
  forms::Menu mnuVersion{this, "mnuVersion"};
  forms::Menu mnuAdvancedOperation{this, "mnuAdvancedOperation"};

  // ---- Fields shared by the handlers ------------------------------------------------------
  bool mblnSetByProgram = false;          // the program itself writes controls
  int16_t mintLastKeyCode = 0;            // last key pressed in a value box
  std::array<bool, 256> mblnNowProcessing{};  // code c is being sent
  // The cable-length files found for each entry of cmbCableLength (its ItemData indexes this):
  // one path per data version that gives the entry.
  std::vector<std::vector<std::string>> mstrCableLengthFiles;

  // ---- Loading and binding -----------------------------------------------------------------
  void Form_Load() override;
  void Form_Activate() override;
  bool mblnSetHelpContextID();
  bool mblnSetScrollChange();

  // ---- Connect, reconnect and close ---------------------------------------------------------
  bool blnCommStart();
  bool mblnUpdateLineStatusString();
  void lblOnLine_Change();
  bool mblnChkNowProcessing();
  void cmdEnd_Click(int Index);
  void mnuEnd_Click();
  void cmdEnd_LostFocus(int Index);
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload(int& Cancel) override;

  // ---- Showing the current values ------------------------------------------------------------
  bool blnSetDataToControl();

  // ---- Value editing -------------------------------------------------------------------------
  void txtData_Change(int Index);
  void txtData_KeyDown(int Index, int& KeyCode, int Shift);
  void txtData_GotFocus(int Index);
  void txtData_LostFocus(int Index);
  void txtData_Validate(int Index, bool& Cancel);
  void udData_Change(int Index);
  void udCDSGain_Change(int Index);
  void udChromaSetup_Change(int Index);
  void udHL_Change(int Index);
  void vsData_Change(int Index);
  void hsData_Change(int Index);
  void vsChromaSetup_Change(int Index);

  // ---- Compound editors ----------------------------------------------------------------------
  void txtCdsGain_Change(int Index);
  void txtCdsGain_GotFocus(int Index);
  void txtCdsGain_KeyDown(int Index, int& KeyCode, int Shift);
  void txtCdsGain_LostFocus(int Index);
  void txtCdsGain_Validate(int Index, bool& Cancel);
  void txtHL_Change(int Index);
  void txtHL_GotFocus(int Index);
  void txtHL_KeyDown(int Index, int& KeyCode, int Shift);
  void txtHL_LostFocus(int Index);
  void txtHL_Validate(int Index, bool& Cancel);
  void txtChromaSetup_Change(int Index);
  void txtChromaSetup_GotFocus(int Index);
  void txtChromaSetup_KeyDown(int Index, int& KeyCode, int Shift);
  void txtChromaSetup_LostFocus(int Index);
  void txtChromaSetup_Validate(int Index, bool& Cancel);
  void txtWB3100_Change(int Index);
  void txtWB3100_GotFocus(int Index);
  void txtWB3100_KeyDown(int Index, int& KeyCode, int Shift);
  void txtWB3100_LostFocus(int Index);
  bool bln10BitToLng(uint8_t vbyteHigh, uint8_t vbyteLow, int32_t& rlngValue);
  bool blnLngTo10Bit(int32_t vlngValue, uint8_t& rbyteHigh, uint8_t& rbyteLow);
  bool mblnSetWB3100(int vintIndex, int32_t vlngValue3100, int32_t vlngDifference);
  bool mblnDispMWBGainValue();

  // ---- Enable rules --------------------------------------------------------------------------
  bool mblnAllCtrlEnableSet(bool f);
  bool blnControlEnable(bool f);
  bool mblnChangeAdvancedModeOrNot();
  bool mblnSetAEFrameSize(bool normal);
  void fraForFactory_DblClick();
  void fraIris_DblClick(int Index);
  void fraTiming_DblClick();

  // ---- Graphs, bars and derived displays -----------------------------------------------------
  bool blnSetPctGraph(int32_t code);
  bool blnSetPctAWBCenter(int32_t code);
  bool mblnSetAWBCenter(int X, int Y, int Index);
  void pctAWBCenter_MouseMove(int Index, int Button, int Shift, float X, float Y);
  void pctAWBCenter_MouseUp(int Index, int Button, int Shift, float X, float Y);
  bool blnSetShpSize(int32_t code, bool vertical);
  bool blnIrisFrameDivMulSet();
  bool blnIrisFrameLabelSet();
  bool mblnUpdateInfoLabel(int32_t code);

  // ---- Camera commands -----------------------------------------------------------------------
  void cmdWriteEEPROM_Click(int Index);
  void cmdReboot_Click(int Index);
  void mnuReboot_Click();
  void mnuEEPROM_Click(int Index);
  void mnuPortChange_Click();
  void mnuBatch_Click();
  void mnuConnectionOption_Click();
  void mnuViewAllData_Click();
  void mnuAdvancedOperation_Click();
  void mnuVersion_Click();
  void mnuHelp_Click();
  bool mblnOffLinePromptReboot();

  // ---- File commands and cable length --------------------------------------------------------
  bool mblnFileRead(std::string& rstrFileName);
  void mnuFile_Click(int Index);
  bool mblnMakeRecentlyFileList();
  void mnuRecentlyFileName_Click(int Index);
  void mnuRecentlyFilesClear_Click();
  void SSTab1_OLEDragDrop(const forms::DataObject& Data);
  void cmdSelectFile_Click();
  void cmdCheck_Click();
  void cmdReadAndWrite_Click(int Index);
  bool mblnGetCableLengthFileVersion(uint8_t vbyteFirmVersion, std::string& rstrDataVersion);
  bool mblnDispCableLengthButton();
  bool mblnFitFileData(std::string& rstrFileCodes);

  // ---- Status poll and page focus ------------------------------------------------------------
  void cmdGetCurrentData_Click();
  void cmdGetCurrentData_LostFocus();
  void SSTab1_GotFocus();

  // ---- DIP switch and configuration bits -----------------------------------------------------
  void optDIPSwitch_Click(int Index);
  void chkConfig0_Click(int Index);
  void chkConfig1_Click(int Index);
  void chkConfig2_Click(int Index);

 private:
  void bindEvents();
};

FrmMain& frmMain();
