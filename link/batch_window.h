#pragma once
// The batch window: replays a text of raw command pairs to the camera (each pair one ordinary
// transaction, no framing added), with pauses, comments and a log that replays as input.
// Shown modally by gblnDispBatchForm, which reports whether any pair was sent, so that the
// caller can reconnect and re-read the camera's settings.
#include <string>

#include "platform/forms/forms.h"

class FrmBatch : public forms::Form {
 public:
  FrmBatch();

  forms::ControlArray<forms::Label> lblTitle{this, "lblTitle"};
  forms::ControlArray<forms::TextBox> txtData{this, "txtData"};
  forms::CheckBox chkHex{this, "chkHex"};
  forms::CommandButton cmdOpen{this, "cmdOpen"};
  forms::ControlArray<forms::CommandButton> cmdClear{this, "cmdClear"};
  forms::CommandButton cmdSend{this, "cmdSend"};
  forms::CommandButton cmdStop{this, "cmdStop"};
  forms::CommandButton cmdClose{this, "cmdClose"};
  forms::ProgressBar pBar{this, "pBar"};
  forms::CommonDialog cdFileOpen{this, "cdFileOpen"};

  // Clears the sent mark, shows the window modally and, once it is closed, sets rblnReboot to
  // whether any command pair was handed to the transaction. True; False after a run-time error.
  bool gblnDispBatchForm(bool& rblnReboot);

  void Form_Load() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_OLEDragDrop(const forms::DataObject& Data) override;
  void cmdSend_Click();
  void cmdStop_Click();
  void cmdOpen_Click();
  void cmdClear_Click(int Index);
  void cmdClose_Click();

 private:
  bool mblnSndLogLine(const std::string& vstrLine, const std::string& vstrPrefix, std::string& rstrLog);
  bool mblnFileRead();
  std::string mstrFileRead(const std::string& vstrFileName);
  // A stopped run: the bar back to 0, Send enabled again, no "Finished.".
  void endStoppedRun();

  bool mblnStop = false;
  bool mblnSent = false;
};

// The window, created on first use.
FrmBatch& frmBatch();
