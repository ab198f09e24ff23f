// The value boxes, their up-downs and the scroll bars: the road of one edit from a key, a
// click or a bar move to the camera.
#include <cmath>
#include <string>

#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"
#include "ui/program_write.h"
#include "ui/value_text.h"
#include "ui/white_balance.h"

namespace {

using valuetext::WholeNumber;
using valuetext::WholeNumberWithin;

constexpr int kEnter = 13;
constexpr int kUp = 38;
constexpr int kDown = 40;

// The value a bar shows: a bar tagged exactly "forward" runs with the value, any other reversed.
template <class Bar>
long barToValue(const Bar& bar) {
  return bar.Tag() == "forward" ? bar.Value() : bar.Max() - bar.Value() + bar.Min();
}
template <class Bar>
long valueToBar(const Bar& bar, long value) {
  return bar.Tag() == "forward" ? value : bar.Max() - value + bar.Min();
}

// The up-down focus rule of Enter-key mode: a click on an up-down takes the focus from its
// buddy, so that the box's pending typing is dropped and later clicks are sent at once. Only a
// user's click moves the focus: values the program writes leave it where it is.
void focusUpDown(forms::UpDown& upDown, bool writtenByProgram) {
  if (!gblnEnterKeySend || writtenByProgram) return;
  if (upDown.Enabled() && upDown.Visible() && upDown.CanTakeFocus()) upDown.SetFocus();
}

}  // namespace

void FrmMain::txtData_Change(int Index) {
  const int c = Index;
  // True when the edit ended normally, false for the failure path.
  const bool ok = vb::guarded("frmMain.txtData_Change", [&] {
    if (gblnEnterKeySend && mintLastKeyCode != kEnter) return true;
    forms::TextBox& box = txtData(c);
    forms::UpDown& upDown = udData(c);
    std::string text = box.Text();
    if (!vb::IsNumeric(text)) return true;

    const double number = WholeNumber(text);
    if (number > upDown.Max()) text = vb::CStr(upDown.Max());
    else if (number < upDown.Min()) text = vb::CStr(upDown.Min());
    {
      ProgramWrite guard(mblnSetByProgram);
      box.Text(text);  // the same text again changes nothing
    }

    if (!mblnSetByProgram) {
      gbyteCurrentData[c] = vb::CByte(text);

      if (gblnOnLine && !mblnNowProcessing[c]) {
        const uint8_t sent = gbyteCurrentData[c];
        mblnNowProcessing[c] = true;
        if (!mdlMSComm::gblnSetDataFromPC(vb::CStr(c), true)) return false;
        mblnNowProcessing[c] = false;
        // A change of this code that arrived during the send was stored but not sent.
        if (gbyteCurrentData[c] != sent) {
          txtData_Change(c);
          return true;
        }
      }

      const long value = vb::CLng(text);
      if (vsData.Exists(c)) {
        {
          ProgramWrite guard(mblnSetByProgram);
          vsData(c).Value(valueToBar(vsData(c), value));
        }
        if (!blnSetShpSize(c, true)) return false;
      }
      if (hsData.Exists(c)) {
        {
          ProgramWrite guard(mblnSetByProgram);
          hsData(c).Value(valueToBar(hsData(c), value));
        }
        if (!blnSetShpSize(c, false)) return false;
      }

      // White balance: a difference code follows its 5100 K and 3100 K values and never becomes
      // negative; a 5100 K value that would make it so moves to the 3100 K value.
      if (const WhiteBalancePair* pair = WhiteBalancePairOf(c)) {
        const int base = pair->base;
        const int sign = pair->sign();
        const std::string text5100 = txtData(base).Text();
        const std::string text3100 = txtWB3100(pair->wb3100).Text();
        if (!vb::IsNumeric(text5100) || !vb::IsNumeric(text3100)) return true;
        // Either box may hold a text not taken yet (the 5100 K box while Enter-key mode waits
        // for Enter): its number counts within the box's range, whatever its size.
        const long v5100 = WholeNumberWithin(text5100, udData(base));
        const long v3100 = WholeNumberWithin(text3100, udWB3100(pair->wb3100));
        const long difference = (v5100 - v3100) * sign;
        if (difference >= 0) txtData(pair->difference).Text(vb::CStr(difference));
        else txtData(base).Text(vb::CStr(v3100));
      }

      if (c >= 200 && c <= 205 && !blnIrisFrameDivMulSet()) return false;
    }

    // The displays that depend on the code, for program writes too.
    if (c >= 200 && c <= 205 && !blnIrisFrameLabelSet()) return false;
    if ((c == 66 || c == 67 || (c >= 92 && c <= 95)) && !blnSetPctGraph(c)) return false;
    if (c >= 144 && c <= 147 && !blnSetPctAWBCenter(c)) return false;
    if ((c == 10 || c == 11 || c == 80 || c == 81) && !mblnDispMWBGainValue()) return false;
    return mblnUpdateInfoLabel(c);
  });
  if (ok) return;

  // Failure: the value stays stored; when the camera went away the window shows it.
  vb::guarded("frmMain.txtData_Change", [&] {
    if (!gblnOnLine) {
      mblnUpdateLineStatusString();
      gbyteFirmVersion = 0;
      lblFirmWareVersion.Caption("FirmWare Ver." + vb::CStr(gbyteFirmVersion));
    }
    mblnNowProcessing[c] = false;
    mblnSetByProgram = false;
  });
}

void FrmMain::txtData_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmMain.txtData_KeyDown", [&] {
    if (gblnEnterKeySend) {
      mintLastKeyCode = static_cast<int16_t>(KeyCode);
      if (KeyCode != kEnter) return;  // typing only changes the text until Enter
    }
    forms::TextBox& box = txtData(Index);
    if (!vb::IsNumeric(box.Text())) return;
    double v = WholeNumber(box.Text());
    if (KeyCode == kUp && v < udData(Index).Max()) v += 1;
    else if (KeyCode == kDown && v > udData(Index).Min()) v -= 1;
    // Written back for every key, before the key reaches the box: an unchanged text raises
    // nothing and keeps the caret; a changed one ("05" written as "5") keeps the caret in the
    // digits that stay, so that the key lands where the user is typing.
    box.Text(vb::CStr(v));
    if (gblnEnterKeySend && mintLastKeyCode == kEnter) txtData_Change(Index);
  });
}

void FrmMain::txtData_GotFocus(int Index) {
  const bool ok = vb::guarded("frmMain.txtData_GotFocus", [&] {
    forms::TextBox& box = txtData(Index);
    if (!vb::IsNumeric(box.Text())) {
      mblnSetByProgram = true;
      box.Text(vb::CStr(gbyteCurrentData[Index]));
      mblnSetByProgram = false;
    }
    box.SelStart(0);
    box.SelLength(static_cast<long>(box.Text().size()));
    return true;
  });
  if (!ok) mblnSetByProgram = false;
}

void FrmMain::txtData_LostFocus(int Index) {
  const bool ok = vb::guarded("frmMain.txtData_LostFocus", [&] {
    forms::TextBox& box = txtData(Index);
    // In Enter-key mode a value not committed with Enter is dropped on leaving the box.
    if (!vb::IsNumeric(box.Text()) || gblnEnterKeySend) {
      mblnSetByProgram = true;
      box.Text(vb::CStr(gbyteCurrentData[Index]));
      mblnSetByProgram = false;
      mintLastKeyCode = kEnter;
    }
    return true;
  });
  if (!ok) mblnSetByProgram = false;
}

void FrmMain::txtData_Validate(int Index, bool& Cancel) {
  vb::guarded("frmMain.txtData_Validate", [&] { mintLastKeyCode = kEnter; });
}

void FrmMain::udData_Change(int Index) {
  vb::guarded("frmMain.udData_Change", [&] { focusUpDown(udData(Index), mblnSetByProgram); });
}

void FrmMain::udCDSGain_Change(int Index) {
  vb::guarded("frmMain.udCDSGain_Change", [&] { focusUpDown(udCDSGain(Index), mblnSetByProgram); });
}

void FrmMain::udChromaSetup_Change(int Index) {
  vb::guarded("frmMain.udChromaSetup_Change", [&] { focusUpDown(udChromaSetup(Index), mblnSetByProgram); });
}

void FrmMain::udHL_Change(int Index) {
  vb::guarded("frmMain.udHL_Change", [&] { focusUpDown(udHL(Index), mblnSetByProgram); });
}

void FrmMain::vsData_Change(int Index) {
  // The bar graph follows in txtData_Change.
  vb::guarded("frmMain.vsData_Change", [&] {
    if (!mblnSetByProgram) txtData(Index).Text(vb::CStr(barToValue(vsData(Index))));
  });
}

void FrmMain::hsData_Change(int Index) {
  vb::guarded("frmMain.hsData_Change", [&] {
    if (!mblnSetByProgram) txtData(Index).Text(vb::CStr(barToValue(hsData(Index))));
    if (!blnSetShpSize(Index, false) && Err) vb::ReportError("frmMain.hsData_Change");
  });
}

void FrmMain::vsChromaSetup_Change(int Index) {
  vb::guarded("frmMain.vsChromaSetup_Change", [&] {
    forms::VScrollBar& bar = vsChromaSetup(Index);
    // The bar runs reversed: top = 511.
    if (!mblnSetByProgram) txtChromaSetup(Index).Text(vb::CStr(-1 - bar.Value()));
    const double share = static_cast<double>(bar.Value() - bar.Min()) / (bar.Max() - bar.Min());
    shpFrontChromaSetup(Index).Height(
        static_cast<long>(std::nearbyint(shpBackChromaSetup(Index).Height() * share)));
  });
}
