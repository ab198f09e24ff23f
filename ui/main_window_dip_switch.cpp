// The DIP switch (code 0x01, four groups of option buttons) and the configuration bits
// (codes 0x02 to 0x04, one check box per bit). A click composes the whole register from its
// controls and writes it into the register's value box, whose change handler stores and sends it.
#include "core/start_up.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"

namespace {

// Asks a Yes/No question of the catalogue; true for Yes.
bool askYes(long message) {
  return forms::MsgBox(vb::LoadResString(message), forms::vbYesNo + forms::vbQuestion,
                       SubMain::gstrGetAppTitleString()) == forms::vbYes;
}

// The register of a check-box array: the sum of the masks (indexes) of the ticked boxes.
// The disabled "(don't care)" boxes show the camera's bit, so it goes back unchanged.
int composeBits(const forms::ControlArray<forms::CheckBox>& boxes) {
  int v = 0;
  for (const forms::CheckBox& b : boxes)
    if (b.Value() == forms::vbChecked) v += b.Index();
  return v;
}

}  // namespace

void FrmMain::optDIPSwitch_Click(int Index) {
  vb::guarded("frmMain.optDIPSwitch_Click", [&] {
    if (mblnSetByProgram) return;
    int v = 0;
    for (const forms::OptionButton& o : optDIPSwitch)
      if (o.Value()) v += vb::CLng(o.Tag());
    txtData(1).Text(vb::CStr(v));
    // The camera follows its on-board switch and potentiometers unless told to ignore them.
    if (chkConfig0(1).Value() == forms::vbUnchecked && askYes(304)) chkConfig0(1).Value(forms::vbChecked);
    if ((Index == 22 || Index == 23) && optDIPSwitch(22).Value() && chkConfig0(2).Value() == forms::vbUnchecked &&
        askYes(305))
      chkConfig0(2).Value(forms::vbChecked);
  });
}

void FrmMain::chkConfig0_Click(int Index) {
  vb::guarded("frmMain.chkConfig0_Click", [&] {
    if (!mblnSetByProgram) txtData(2).Text(vb::CStr(composeBits(chkConfig0)));
    // "Gain POT. range" is editable only while "Variable Gain POT. range" is ticked, also
    // when the box is set while a value is shown.
    if (Index == 32) {
      const bool variable = chkConfig0(32).Value() == forms::vbChecked;
      txtData(69).Enabled(variable);
      udData(69).Enabled(variable);
      vsData(69).Enabled(variable);
    }
  });
}

void FrmMain::chkConfig1_Click(int /*Index*/) {
  vb::guarded("frmMain.chkConfig1_Click", [&] {
    if (!mblnSetByProgram) txtData(3).Text(vb::CStr(composeBits(chkConfig1)));
  });
}

void FrmMain::chkConfig2_Click(int Index) {
  vb::guarded("frmMain.chkConfig2_Click", [&] {
    if (!mblnSetByProgram) txtData(4).Text(vb::CStr(composeBits(chkConfig2)));
    if (Index == 1 && !mblnSetAEFrameSize(chkConfig2(1).Value() == forms::vbChecked) && Err)
      throw vb::Error(Err.Number, Err.Description, Err.Source);
  });
}
