#pragma once
// The file-data window: a modal confirmation of the settings a KRV or MZL file carries,
// grouped in titled frames by camera function. With gblnDispNewData each row shows the
// current value, an arrow and the file's value (red where they differ); without it only the
// current values show, in a narrower layout. gblnDispDataCancel stays True unless OK is pressed.
#include "platform/forms/forms.h"

class FrmDispKRVFileData : public forms::Form {
 public:
  FrmDispKRVFileData();

  forms::Label lblQuestion{this, "lblQuestion"};
  forms::ControlArray<forms::Frame> fraDispData{this, "fraDispData"};
  forms::ControlArray<forms::Label> lblName{this, "lblName"};
  forms::ControlArray<forms::Label> lblOldData{this, "lblOldData"};
  forms::ControlArray<forms::Image> imgAllow{this, "imgAllow"};
  forms::ControlArray<forms::Label> lblNewData{this, "lblNewData"};
  forms::ControlArray<forms::Frame> fraIrisFrame{this, "fraIrisFrame"};
  forms::ControlArray<forms::Shape> Shape1{this, "Shape1"};
  forms::Label lblIrisFrameClOld{this, "lblIrisFrameClOld"};
  forms::Label lblIRISFrameCLNew{this, "lblIRISFrameCLNew"};
  forms::Image imgIRISFrame{this, "imgIRISFrame"};
  forms::Image imgRed{this, "imgRed"};
  forms::Label lblNegative{this, "lblNegative"};
  forms::Label lblPositive{this, "lblPositive"};
  forms::Label lblAuto{this, "lblAuto"};
  forms::Label lblManual{this, "lblManual"};
  forms::Label lblNormal{this, "lblNormal"};
  forms::CommandButton cmdOk{this, "cmdOk"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};

  void Form_Load() override;
  void cmdOk_Click();
  void cmdCancel_Click();

 private:
  bool mblnSetVisible();
  // Parts of loading (their errors are the load's).
  void showValues();
  void compactLayout();
};

FrmDispKRVFileData& frmDispKRVFileData();
