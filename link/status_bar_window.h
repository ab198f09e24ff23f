#pragma once
// The progress window of list transfers: a message line and a bar advancing by one step per
// command. The transfer keeps it up to date through gblnRefresh, since no window events are
// processed while it runs.
#include "platform/forms/forms.h"

class FrmStatusBar : public forms::Form {
 public:
  FrmStatusBar();

  forms::Label lblStatusMsg{this, "lblStatusMsg"};
  forms::ProgressBar ProgressBar1{this, "ProgressBar1"};

  // Brings the window up to date with glngStatusValue (and under the splash screen while it
  // is shown). Always True; a display failure is reported, never stops a transfer.
  bool gblnRefresh();

  void Form_Load() override;
  void Form_LostFocus() override;
  void Form_Unload(int& Cancel) override;
};

FrmStatusBar& frmStatusBar();
