// Showing the current values in the window's controls, with the range corrections of values
// that a camera or a file gave outside the editors' ranges.
#include <string>

#include "core/start_up.h"
#include "core/value_tables.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"
#include "ui/white_balance.h"

namespace {

constexpr long kReplacedByMaximum = 307;
constexpr long kReplacedByMinimum = 369;

// "[Gamma]PositiveY=40(Minimum:0,Maximum:31)": a code's section, key, value and range.
std::string rangeLine(int code, long value, long minimum, long maximum) {
  const clsDataInfo& info = *gobjDataInfo.at(code);
  return "[" + info.SectionName + "]" + info.KeyName + "=" + vb::CStr(value) + "(Minimum:" + vb::CStr(minimum) +
         ",Maximum:" + vb::CStr(maximum) + ")";
}

// "Invalid value ..." with the range lines of the codes below it.
void rangeMessage(long message, const std::string& lines) {
  forms::MsgBox(vb::LoadResString(message) + lines, forms::vbExclamation | forms::vbOKOnly,
                SubMain::gstrGetAppTitleString());
}

void rangeMessage(long message, int code, long value, long minimum, long maximum) {
  rangeMessage(message, "\r\n" + rangeLine(code, value, minimum, maximum));
}

// A white-balance pair's 5100 K value and difference imply a 3100 K value that must lie in
// the range of its 3100 K editor; otherwise the difference code is corrected to `corrected`.
bool pairInRange(const WhiteBalancePair& p, long base, long difference, const forms::UpDown& wb, long& corrected) {
  if (p.red) {
    corrected = base;
    return base - difference >= wb.Min();
  }
  corrected = wb.Max() - base;
  return base + difference <= wb.Max();
}

// A corrected code goes back to the camera at once; a failed send does not stop the display
// (the link has shown its own messages).
void resend(int code) { mdlMSComm::gblnSetDataFromPC(vb::CStr(code), true); }

// The scroll-bar position that shows `value`: a bar tagged "forward" runs with the value,
// every other bar reversed.
template <class Bar>
long barPosition(const Bar& bar, long value, long minimum, long maximum) {
  return bar.Tag() == "forward" ? value : maximum - value + minimum;
}

}  // namespace

bool FrmMain::blnSetDataToControl() {
  const bool ok = vb::guarded("frmMain.blnSetDataToControl", [&] {
    mblnSetByProgram = true;

    // Plain codes, corrected into their up-down's range.
    for (forms::UpDown& u : udData) {
      const int c = u.Index();
      const long v = gbyteCurrentData[c];
      if (v > u.Max()) {
        rangeMessage(kReplacedByMaximum, c, v, u.Min(), u.Max());
        gbyteCurrentData[c] = vb::CByte(u.Max());
        u.Value(u.Max());
        resend(c);
      } else if (v >= u.Min()) {
        u.Value(v);
      } else {
        rangeMessage(kReplacedByMinimum, c, v, u.Min(), u.Max());
        gbyteCurrentData[c] = vb::CByte(u.Min());
        u.Value(u.Min());
        resend(c);
      }
    }

    // White balance at 3100 K: the value a 5100 K code and its difference imply must lie in
    // the range of its 3100 K editor; otherwise the difference is corrected.
    for (const WhiteBalancePair& p : kWhiteBalancePairs) {
      forms::UpDown& base = udData(p.base);
      forms::UpDown& difference = udData(p.difference);
      long corrected;
      if (pairInRange(p, base.Value(), difference.Value(), udWB3100(p.wb3100), corrected)) continue;
      rangeMessage(kReplacedByMaximum, p.difference, difference.Value(), difference.Min(), corrected);
      gbyteCurrentData[p.difference] = vb::CByte(corrected);
      difference.Value(corrected);
      resend(p.difference);
    }

    // DIP switch, code 0x01.
    const int d = gbyteCurrentData[0x01];
    optDIPSwitch(d & 1 ? 23 : 22).Value(true);
    optDIPSwitch(d & 2 ? 21 : 20).Value(true);
    optDIPSwitch(d < 128 ? 0 : 1).Value(true);
    const long shutter = d & 124;
    const bool modeOnly = (shutter & 96) == 0 || (shutter & 96) == 32;  // iris or flickerless
    for (forms::OptionButton& o : optDIPSwitch) {
      const long tag = vb::CLng(o.Tag());
      if ((tag & 124) == 0) continue;
      if (tag == shutter || (modeOnly && (tag & 96) == (shutter & 96))) {
        o.Value(true);
        break;
      }
    }

    // Scroll bars and their bar graphs.
    for (forms::VScrollBar& s : vsData) {
      const forms::UpDown& u = udData(s.Index());
      s.Value(barPosition(s, u.Value(), u.Min(), u.Max()));
      if (!blnSetShpSize(s.Index(), true)) return false;
    }
    for (forms::HScrollBar& s : hsData) {
      const forms::UpDown& u = udData(s.Index());
      s.Value(barPosition(s, u.Value(), u.Min(), u.Max()));
      if (!blnSetShpSize(s.Index(), false)) return false;
    }

    // Chroma setup: signed 10-bit values of the pairs (0x38, 0x39), (0x3A, 0x3B), (0x3C, 0x3D).
    for (int i = 1; i <= 3; ++i) {
      const int low = 0x38 + (i - 1) * 2;
      int32_t v = 0;
      if (!bln10BitToLng(gbyteCurrentData[low + 1], gbyteCurrentData[low], v)) return false;
      txtChromaSetup(i).Text(vb::CStr(v));
      vsChromaSetup(i).Value(-1 - v);
    }

    // Nibbles of 0xD0 and 0xD1: the odd index is the low digit.
    for (forms::TextBox& t : txtHL) {
      const int v = gbyteCurrentData[t.Index() / 2];
      t.Text(vb::CStr(t.Index() % 2 == 1 ? v & 15 : v / 16));
    }

    // CDS calibration bytes: gain in bits 7 to 6, offset in bits 5 to 0.
    txtCdsGain(0).Text(vb::CStr(gbyteCurrentData[0x42] / 64));
    txtCdsGain(1).Text(vb::CStr(gbyteCurrentData[0x42] & 63));
    txtCdsGain(2).Text(vb::CStr(gbyteCurrentData[0x43] / 64));
    txtCdsGain(3).Text(vb::CStr(gbyteCurrentData[0x43] & 63));

    // Configuration bits of 0x02, 0x03 and 0x04.
    for (forms::CheckBox& b : chkConfig0) {
      const bool ticked = (gbyteCurrentData[0x02] & b.Index()) != 0;
      b.Value(ticked ? 1 : 0);
      if (b.Index() == 32) {  // "Variable Gain POT. range" unlocks the pot range 0x45
        txtData(0x45).Enabled(ticked);
        udData(0x45).Enabled(ticked);
        vsData(0x45).Enabled(ticked);
      }
    }
    for (forms::CheckBox& b : chkConfig1) b.Value((gbyteCurrentData[0x03] & b.Index()) != 0 ? 1 : 0);
    for (forms::CheckBox& b : chkConfig2) {
      const bool ticked = (gbyteCurrentData[0x04] & b.Index()) != 0;
      b.Value(ticked ? 1 : 0);
      if (b.Index() == 1 && !mblnSetAEFrameSize(ticked)) return false;
    }

    // 3100 K values implied by the 5100 K values and their differences.
    for (const WhiteBalancePair& p : kWhiteBalancePairs)
      udWB3100(p.wb3100).Value(p.implied3100(udData(p.base).Value(), udData(p.difference).Value()));

    if (!gblnOnLine) {
      if (!mblnUpdateLineStatusString()) return false;
      gbyteFirmVersion = 0;
    }
    lblFirmWareVersion.Caption("FirmWare Ver." + vb::CStr(gbyteFirmVersion));

    mblnSetByProgram = false;
    return true;
  });
  if (!ok) mblnSetByProgram = false;
  return ok;
}

// A parameter file may hold values outside the ranges of their settings, also outside a byte.
// Before anything of the file is compared, confirmed, sent or stored, each such value of the
// loaded file `gintFileData` is replaced by the nearest limit (of its up-down, or of a byte for
// a code without one); the file image `gbyteFileData` is then made from the current values with
// the file's laid over them (rstrFileCodes receives the codes the file holds), and the
// white-balance differences are corrected as blnSetDataToControl corrects them, so that the
// camera's registers and its EEPROM take the same, valid values. The user is told every key
// replaced: one message for those replaced by their maximum, one for those replaced by their
// minimum.
bool FrmMain::mblnFitFileData(std::string& rstrFileCodes) {
  return vb::guarded("frmMain.mblnFitFileData", [&] {
    std::string aboveMaximum, belowMinimum;
    for (std::size_t code = 0; code < gintFileData.size(); ++code) {
      int16_t& v = gintFileData[code];
      if (v == -1) continue;  // not in the file
      const int c = static_cast<int>(code);
      const bool ranged = udData.Exists(c);
      const long minimum = ranged ? udData(c).Min() : 0, maximum = ranged ? udData(c).Max() : 255;
      if (v > maximum) {
        aboveMaximum += "\r\n" + rangeLine(c, v, minimum, maximum);
        v = static_cast<int16_t>(maximum);
      } else if (v < minimum) {
        belowMinimum += "\r\n" + rangeLine(c, v, minimum, maximum);
        v = static_cast<int16_t>(minimum);
      }
    }
    if (!SubMain::gblnDataCopy(gbyteCurrentData, gbyteFileData) ||
        !SubMain::gblnFileDataCopy(gintFileData, gbyteFileData, rstrFileCodes))
      return false;
    for (const WhiteBalancePair& p : kWhiteBalancePairs) {
      const long base = gbyteFileData[p.base], difference = gbyteFileData[p.difference];
      long corrected;
      if (pairInRange(p, base, difference, udWB3100(p.wb3100), corrected)) continue;
      const forms::UpDown& u = udData(p.difference);
      aboveMaximum += "\r\n" + rangeLine(p.difference, difference, u.Min(), corrected);
      gbyteFileData[static_cast<std::size_t>(p.difference)] = vb::CByte(corrected);
    }
    if (!aboveMaximum.empty()) rangeMessage(kReplacedByMaximum, aboveMaximum);
    if (!belowMinimum.empty()) rangeMessage(kReplacedByMinimum, belowMinimum);
    return true;
  });
}
