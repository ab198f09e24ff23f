#include "link/batch_window.h"

#include <sys/stat.h>

#include "core/start_up.h"
#include "core/variables.h"
#include "link/batch_text.h"
#include "link/link_time.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/fs/files.h"
#include "platform/vb/vb.h"

FrmBatch::FrmBatch() : forms::Form("frmBatch") {
  cmdSend.Click = [this] { cmdSend_Click(); };
  cmdStop.Click = [this] { cmdStop_Click(); };
  cmdOpen.Click = [this] { cmdOpen_Click(); };
  cmdClear.Click = [this](int Index) { cmdClear_Click(Index); };
  cmdClose.Click = [this] { cmdClose_Click(); };
}

FrmBatch& frmBatch() { return forms::DefaultInstance<FrmBatch>(); }

bool FrmBatch::gblnDispBatchForm(bool& rblnReboot) {
  return vb::guarded("fraBatch.gblnDispBatchForm", [&] {
    mblnSent = false;
    Show(forms::vbModal);
    rblnReboot = mblnSent;
    return true;
  });
}

void FrmBatch::Form_Load() {
  vb::guarded("fraBatch.Form_Load", [&] {
    Caption(SubMain::gstrGetAppTitleString() + " [Batch]");
    cmdStop.Enabled(false);
  });
}

void FrmBatch::cmdSend_Click() {
  bool finished = false;
  vb::guarded("fraBatch.cmdSend_Click", [&] {
    if (!gblnOnLine) {
      forms::MsgBox(vb::LoadResString(366), forms::vbOKOnly + forms::vbExclamation, SubMain::gstrGetAppTitleString());
      finished = true;  // no run: nothing to put back
      return;
    }
    const std::string prefix = chkHex.Value() == forms::vbChecked ? "&H" : "";
    const std::vector<std::string> lines = batch::SplitLines(txtData(0).Text());

    forms::Screen.MousePointer(forms::vbHourglass);
    pBar.Value(0);
    if (!lines.empty()) pBar.Max(static_cast<float>(lines.size()));
    mblnStop = false;
    cmdStop.Enabled(true);
    cmdSend.Enabled(false);

    for (const std::string& line : lines) {
      std::string log;
      if (batch::IsSkipped(line)) {
        log = std::string("#") + vb::vbCrLf;
      } else {
        std::string lineLog;
        if (!mblnSndLogLine(line, prefix, lineLog)) return;  // stopped
        log = vb::Format(mdlMSComm::LinkNow(), "yyyy/mm/dd hh:mm:ss") + "," + lineLog;
      }
      if (pBar.Value() < pBar.Max()) pBar.Value(pBar.Value() + 1);
      forms::TextBox& logBox = txtData(1);
      logBox.Text(logBox.Text() + log + vb::vbCrLf);
      logBox.SelStart(static_cast<long>(logBox.Text().size()));  // the newest line in view
      forms::DoEvents();
      if (!gblnOnLine || mblnStop || forms::SessionEnding()) return;  // stopped
    }

    pBar.Value(pBar.Max());
    cmdStop.Enabled(false);
    cmdSend.Enabled(true);
    forms::Screen.MousePointer(forms::vbDefault);
    forms::MsgBox(vb::LoadResString(364), forms::vbOKOnly + forms::vbInformation, SubMain::gstrGetAppTitleString());
    finished = true;
  });
  if (!finished) endStoppedRun();
}

void FrmBatch::endStoppedRun() {
  vb::guarded("fraBatch.cmdSend_Click", [&] {
    // Closing the window stops the run too; its controls are gone then, and touching them
    // would load the window again.
    if (Loaded()) {
      pBar.Value(0);
      cmdStop.Enabled(false);
      cmdSend.Enabled(true);
    }
    forms::Screen.MousePointer(forms::vbDefault);
  });
}

bool FrmBatch::mblnSndLogLine(const std::string& vstrLine, const std::string& vstrPrefix, std::string& rstrLog) {
  return vb::guarded("fraBatch.mblnSndLogLine", [&] {
    rstrLog.clear();
    const batch::Line line = batch::ParseLine(vstrLine, vstrPrefix);
    switch (line.kind) {
      case batch::Line::Short:
        break;
      case batch::Line::Pause:
        // Stop or the window's close during the pause ends the run at once, before the next line.
        if (line.wait && !forms::Pause(line.ms, [this] { return mblnStop; })) return false;
        rstrLog = batch::PauseLog(line);
        break;
      case batch::Line::Command: {
        mblnSent = true;
        uint8_t replyCommand = 0, replyData = 0;
        const long errorsBefore = vb::ReportedErrorCount();
        if (mdlMSComm::gblnSendSettingData(line.command, line.data, replyCommand, replyData))
          rstrLog = batch::CommandLog(line.command, line.data, replyCommand, replyData);
        // A run-time error in the transaction (a lost device) stops the run after this line,
        // as a time-out answered No does, instead of one error box for every line left.
        else if (vb::ReportedErrorCount() != errorsBefore)
          mblnStop = true;
        break;
      }
    }
    return true;
  });
}

void FrmBatch::cmdStop_Click() { mblnStop = true; }

void FrmBatch::cmdOpen_Click() { mblnFileRead(); }

void FrmBatch::cmdClear_Click(int Index) {
  vb::guarded("fraBatch.cmdClear_Click", [&] { txtData(Index).Text(""); });
}

void FrmBatch::cmdClose_Click() {
  vb::guarded("fraBatch.cmdClose_Click", [&] { Unload(); });
}

void FrmBatch::Form_QueryUnload(int& Cancel, int UnloadMode) { mblnStop = true; }

void FrmBatch::Form_OLEDragDrop(const forms::DataObject& Data) {
  vb::guarded("fraBatch.Form_OLEDragDrop", [&] {
    if (!Data.Files.empty() && !Data.Files[0].empty()) txtData(0).Text(mstrFileRead(Data.Files[0]));
  });
}

bool FrmBatch::mblnFileRead() {
  return vb::guarded("fraBatch.mblnFileRead", [&] {
    const std::string kind = "LOG";
    cdFileOpen.DefaultExt(kind);
    cdFileOpen.DialogTitle(SubMain::gstrGetAppTitleString());
    cdFileOpen.Filter(kind + " File(*." + kind + ")|*." + kind + "|" + "All File(*.*)|*.*");
    cdFileOpen.CancelError(true);
    try {
      cdFileOpen.ShowOpen();
    } catch (const vb::Error& e) {
      if (e.Number() != vb::errCancel) throw;
      forms::MsgBox(vb::LoadResString(351), forms::vbOKOnly + forms::vbInformation, SubMain::gstrGetAppTitleString());
      return false;
    }
    txtData(0).Text(mstrFileRead(cdFileOpen.FileName()));
    return true;
  });
}

std::string FrmBatch::mstrFileRead(const std::string& vstrFileName) {
  return vb::guarded("fraBatch.mstrFileRead", [&] {
    // Only an ordinary file of a batch's size: a pipe or a device would block or flood the box.
    struct stat st {};
    if (::stat(vstrFileName.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || static_cast<std::uintmax_t>(st.st_size) > batch::kMaxBatchFileSize)) {
      forms::MsgBox(vb::LoadResString(342) + vb::vbCrLf + vb::LoadResString(351), forms::vbOKOnly + forms::vbExclamation,
                    SubMain::gstrGetAppTitleString());
      return std::string();
    }
    try {
      return files::ReadAll(vstrFileName);
    } catch (const vb::Error& e) {
      if (e.Number() != vb::errFileNotFound) throw;
      forms::MsgBox(e.Description() + vb::vbCrLf + vb::LoadResString(351), forms::vbOKOnly + forms::vbExclamation,
                    SubMain::gstrGetAppTitleString());
      return std::string();
    }
  });
}
