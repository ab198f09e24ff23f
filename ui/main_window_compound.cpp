// The editors whose value is part of a register or spans two registers: the CDS gain and
// offset of codes 66 and 67, the nibbles of codes 208 and 209, the signed 10-bit chroma setup
// of the pairs 56/57, 58/59 and 60/61, the 3100 K white balance kept as a difference from the
// 5100 K value, and the manual white-balance gain labels. Each editor turns its boxes into the
// register value and writes it into the register's own value box, whose handler stores and
// sends it.
#include <cmath>
#include <string>

#include "core/variables.h"
#include "platform/vb/scoped_value.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"
#include "ui/program_write.h"
#include "ui/value_text.h"
#include "ui/white_balance.h"

namespace {

using valuetext::WholeNumber;
using valuetext::WholeNumberWithin;

constexpr int kEnter = 13, kUp = 38, kDown = 40;

std::string numberText(double v) { return vb::CStr(v); }

// Writes a box while the program-write guard is up; the guard gets its old value back.
void writeGuarded(FrmMain& f, forms::TextBox& box, const std::string& text) {
  const ProgramWrite guard(f.mblnSetByProgram);
  box.Text(text);
}

// Clamps a numeric box to its up-down's range, writing the limit with the guard up.
// Returns the number the box holds afterwards.
double clampGuarded(FrmMain& f, forms::TextBox& box, const forms::UpDown& range) {
  const double v = vb::CDblWithinRange(box.Text());
  if (v > range.Max()) {
    writeGuarded(f, box, vb::CStr(range.Max()));
    return static_cast<double>(range.Max());
  }
  if (v < range.Min()) {
    writeGuarded(f, box, vb::CStr(range.Min()));
    return static_cast<double>(range.Min());
  }
  return v;
}

// Key handling shared by the compound boxes: in Enter-key mode the key is remembered and only
// Enter goes on; Up and Down step a numeric text within the up-down's range and the text is
// written back (guard down). True when the family's change handler is to be run directly
// (Enter in Enter-key mode).
bool stepByKey(FrmMain& f, forms::TextBox& box, const forms::UpDown& range, int keyCode) {
  if (gblnEnterKeySend) {
    f.mintLastKeyCode = static_cast<int16_t>(keyCode);
    if (keyCode != kEnter) return false;
  }
  if (!vb::IsNumeric(box.Text())) return false;
  double v = WholeNumber(box.Text());
  if (keyCode == kUp) {
    if (v < range.Max()) v += 1;
  } else if (keyCode == kDown) {
    if (v > range.Min()) v -= 1;
  }
  box.Text(numberText(v));
  return gblnEnterKeySend && f.mintLastKeyCode == kEnter;
}

void selectAll(forms::TextBox& box) {
  box.SelStart(0);
  box.SelLength(vb::Len(box.Text()));
}

// A change is taken unless Enter-key mode waits for Enter.
bool changeTaken(const FrmMain& f) { return !gblnEnterKeySend || f.mintLastKeyCode == kEnter; }

// The low register of chroma-setup editor i (1 red, 2 blue, 3 green); the high one follows it.
int chromaLowCode(int index) {
  if (index < 1 || index > 3) vb::Raise(vb::errSubscript);
  return 54 + 2 * index;
}

}  // namespace

// ---- CDS gain and offset ------------------------------------------------------------------------

void FrmMain::txtCdsGain_Change(int Index) {
  vb::guarded("frmMain.txtCdsGain_Change", [&] {
    if (mblnSetByProgram || !changeTaken(*this)) return;
    forms::TextBox& box = txtCdsGain(Index);
    if (!vb::IsNumeric(box.Text())) return;
    clampGuarded(*this, box, udCDSGain(Index));
    const int first = Index < 2 ? 0 : 2;
    forms::TextBox& gain = txtCdsGain(first);
    forms::TextBox& offset = txtCdsGain(first + 1);
    if (!vb::IsNumeric(gain.Text()) || !vb::IsNumeric(offset.Text())) return;
    const double value = WholeNumber(gain.Text()) * 64 + WholeNumber(offset.Text());
    txtData(first == 0 ? 66 : 67).Text(numberText(value));
  });
}

void FrmMain::txtCdsGain_GotFocus(int Index) {
  vb::guarded("frmMain.txtCdsGain_GotFocus", [&] { selectAll(txtCdsGain(Index)); });
}

void FrmMain::txtCdsGain_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmMain.txtCdsGain_KeyDown", [&] {
    if (stepByKey(*this, txtCdsGain(Index), udCDSGain(Index), KeyCode)) txtCdsGain_Change(Index);
  });
}

void FrmMain::txtCdsGain_LostFocus(int Index) {
  vb::guarded("frmMain.txtCdsGain_LostFocus", [&] {
    if (vb::IsNumeric(txtCdsGain(Index).Text()) && !gblnEnterKeySend) return;
    mblnSetByProgram = true;
    for (int i = 0; i < 4; ++i) {
      const uint8_t r = gbyteCurrentData[i < 2 ? 66 : 67];
      txtCdsGain(i).Text(vb::CStr(i % 2 == 0 ? (r & 192) / 64 : r & 63));
    }
    mblnSetByProgram = false;
    mintLastKeyCode = kEnter;
  });
}

void FrmMain::txtCdsGain_Validate(int Index, bool& Cancel) {
  vb::guarded("frmMain.txtCdsGain_Validate", [&] { mintLastKeyCode = kEnter; });
}

// ---- Nibbles of codes 208 and 209 ---------------------------------------------------------------

void FrmMain::txtHL_Change(int Index) {
  vb::guarded("frmMain.txtHL_Change", [&] {
    if (!changeTaken(*this) || mblnSetByProgram) return;
    forms::TextBox& box = txtHL(Index);
    if (!vb::IsNumeric(box.Text())) return;
    clampGuarded(*this, box, udHL(Index));
    const int c = Index / 2;
    forms::TextBox& high = txtHL(2 * c);
    forms::TextBox& low = txtHL(2 * c + 1);
    if (!vb::IsNumeric(high.Text()) || !vb::IsNumeric(low.Text())) return;
    txtData(c).Text(numberText(WholeNumber(high.Text()) * 16 + WholeNumber(low.Text())));
  });
}

void FrmMain::txtHL_GotFocus(int Index) {
  vb::guarded("frmMain.txtHL_GotFocus", [&] { selectAll(txtHL(Index)); });
}

void FrmMain::txtHL_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmMain.txtHL_KeyDown", [&] {
    if (stepByKey(*this, txtHL(Index), udHL(Index), KeyCode)) txtHL_Change(Index);
  });
}

void FrmMain::txtHL_LostFocus(int Index) {
  vb::guarded("frmMain.txtHL_LostFocus", [&] {
    forms::TextBox& box = txtHL(Index);
    if (vb::IsNumeric(box.Text()) && !gblnEnterKeySend) return;
    const uint8_t r = gbyteCurrentData[Index / 2];
    mblnSetByProgram = true;
    box.Text(vb::CStr(Index % 2 == 1 ? r & 15 : r / 16));
    mblnSetByProgram = false;
    mintLastKeyCode = kEnter;
  });
}

void FrmMain::txtHL_Validate(int Index, bool& Cancel) {
  vb::guarded("frmMain.txtHL_Validate", [&] { mintLastKeyCode = kEnter; });
}

// ---- Signed 10-bit chroma setup -----------------------------------------------------------------

void FrmMain::txtChromaSetup_Change(int Index) {
  vb::guarded("frmMain.txtChromaSetup_Change", [&] {
    if (!changeTaken(*this)) return;
    forms::TextBox& box = txtChromaSetup(Index);
    if (!vb::IsNumeric(box.Text())) return;
    // The limit is written under the guard, which then gets its old value back, so that a
    // program write of an out-of-range value is clamped but never sent.
    const int32_t value = vb::CLng(clampGuarded(*this, box, udChromaSetup(Index)));
    if (!mblnSetByProgram) {
      uint8_t high = 0, low = 0;
      if (!blnLngTo10Bit(value, high, low)) {
        if (Err) vb::ReportError("frmMain.txtChromaSetup_Change");
        return;
      }
      const int lowCode = chromaLowCode(Index);
      mblnSetByProgram = true;
      txtData(lowCode).Text(vb::CStr(low));
      txtData(lowCode + 1).Text(vb::CStr(high));
      mblnSetByProgram = false;
      txtData_Change(lowCode);
      txtData_Change(lowCode + 1);
    }
    const ProgramWrite guard(mblnSetByProgram);
    vsChromaSetup(Index).Value(-1 - value);
  });
}

void FrmMain::txtChromaSetup_GotFocus(int Index) {
  vb::guarded("frmMain.txtChromaSetup_GotFocus", [&] { selectAll(txtChromaSetup(Index)); });
}

void FrmMain::txtChromaSetup_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmMain.txtChromaSetup_KeyDown", [&] {
    if (stepByKey(*this, txtChromaSetup(Index), udChromaSetup(Index), KeyCode)) txtChromaSetup_Change(Index);
  });
}

void FrmMain::txtChromaSetup_LostFocus(int Index) {
  vb::guarded("frmMain.txtChromaSetup_LostFocus", [&] {
    forms::TextBox& box = txtChromaSetup(Index);
    if (vb::IsNumeric(box.Text()) && !gblnEnterKeySend) return;
    const int lowCode = chromaLowCode(Index);
    int32_t value = 0;
    if (!bln10BitToLng(gbyteCurrentData[lowCode + 1], gbyteCurrentData[lowCode], value)) {
      if (Err) vb::ReportError("frmMain.txtChromaSetup_LostFocus");
      mblnSetByProgram = false;
      return;
    }
    mblnSetByProgram = true;
    box.Text(vb::CStr(value));
    mblnSetByProgram = false;
    mintLastKeyCode = kEnter;
  });
}

void FrmMain::txtChromaSetup_Validate(int Index, bool& Cancel) {
  vb::guarded("frmMain.txtChromaSetup_Validate", [&] { mintLastKeyCode = kEnter; });
}

bool FrmMain::bln10BitToLng(uint8_t vbyteHigh, uint8_t vbyteLow, int32_t& rlngValue) {
  return vb::guarded("frmMain.bln10BitToLng", [&] {
    // High × 256 is worked out in 16 bits: a high register above 127 overflows.
    const int32_t shifted = vbyteHigh * 256;
    if (shifted > 32767) vb::Raise(vb::errOverflow);
    rlngValue = shifted | vbyteLow;
    if (vbyteHigh & 2) rlngValue -= 1024;
    return true;
  });
}

bool FrmMain::blnLngTo10Bit(int32_t vlngValue, uint8_t& rbyteHigh, uint8_t& rbyteLow) {
  return vb::guarded("frmMain.blnLngTo10Bit", [&] {
    int32_t v = vlngValue;
    if (v < 0) v += 1024;
    rbyteLow = static_cast<uint8_t>(v & 255);
    rbyteHigh = static_cast<uint8_t>((v & 0x300) / 256);
    return true;
  });
}

// ---- White balance at 3100 K --------------------------------------------------------------------

void FrmMain::txtWB3100_Change(int Index) {
  vb::guarded("frmMain.txtWB3100_Change", [&] {
    forms::TextBox& box = txtWB3100(Index);
    if (!vb::IsNumeric(box.Text())) return;
    // The limit is written with the guard down: the nested change handles the limit, and this
    // run goes on with it too.
    const forms::UpDown& range = udWB3100(Index);
    double v = vb::CDblWithinRange(box.Text());
    if (v > range.Max()) {
      box.Text(vb::CStr(range.Max()));
      v = static_cast<double>(range.Max());
    } else if (v < range.Min()) {
      box.Text(vb::CStr(range.Min()));
      v = static_cast<double>(range.Min());
    }
    if (mblnSetByProgram) return;
    const int code5100 = WhiteBalancePairAt(Index).base;
    const int32_t value3100 = vb::CLng(v);
    const std::string& text5100 = txtData(code5100).Text();
    if (!vb::IsNumeric(text5100)) return;
    // The 5100 K box may hold a text not taken yet (Enter-key mode): its number counts within
    // its range, whatever its size.
    const int32_t difference = WholeNumberWithin(text5100, udData(code5100)) - value3100;
    if (!mblnSetWB3100(Index, value3100, difference) && Err) vb::ReportError("frmMain.txtWB3100_Change");
  });
}

void FrmMain::txtWB3100_GotFocus(int Index) {
  vb::guarded("frmMain.txtWB3100_GotFocus", [&] { selectAll(txtWB3100(Index)); });
}

void FrmMain::txtWB3100_KeyDown(int Index, int& KeyCode, int Shift) {
  // Enter only rewrites the text here: the 3100 K box takes every change as it comes, also in
  // Enter-key mode (mblnSetWB3100 commits the difference register).
  vb::guarded("frmMain.txtWB3100_KeyDown", [&] { stepByKey(*this, txtWB3100(Index), udWB3100(Index), KeyCode); });
}

void FrmMain::txtWB3100_LostFocus(int Index) {
  vb::guarded("frmMain.txtWB3100_LostFocus", [&] {
    forms::TextBox& box = txtWB3100(Index);
    if (!vb::IsNumeric(box.Text()) || gblnEnterKeySend) {
      box.Text(vb::CStr(udWB3100(Index).Value()));
      mintLastKeyCode = kEnter;
    }
    selectAll(box);
  });
}

bool FrmMain::mblnSetWB3100(int vintIndex, int32_t vlngValue3100, int32_t vlngDifference) {
  return vb::guarded("frmMain.mblnSetWB3100", [&] {
    const WhiteBalancePair& pair = WhiteBalancePairAt(vintIndex);
    const int differenceCode = pair.difference;
    const int sign = pair.sign();
    // A difference of the wrong sign (an R value at 3100 K above the 5100 K one, or a B value
    // below it) is pulled back to the 5100 K value. The box shows the pulled-back value before
    // the difference register changes, so that the pair check of that register finds the two
    // values consistent instead of moving the 5100 K value to the refused one.
    if (sign * vlngDifference < 0) {
      vlngValue3100 += vlngDifference;
      vlngDifference = 0;
      writeGuarded(*this, txtWB3100(vintIndex), vb::CStr(vlngValue3100));
    }
    // The 3100 K boxes take every change as it comes, in Enter-key mode too (Enter only rewrites
    // their text), so the difference register's edit counts as committed: stored and sent like
    // the value the box shows, never left waiting for an Enter in a box the user is not in.
    {
      const vb::ScopedValue<int16_t> committed(mintLastKeyCode, kEnter);
      udData(differenceCode).Value(sign * vlngDifference);
    }
    udWB3100(vintIndex).Value(vlngValue3100);
    return true;
  });
}

// ---- Manual white-balance gain labels -----------------------------------------------------------

bool FrmMain::mblnDispMWBGainValue() {
  return vb::guarded("frmMain.mblnDispMWBGainValue", [&] {
    for (int i = 0; i <= 1; ++i) {
      // R: exponent 80, mantissa 11; B: exponent 81, mantissa 10.
      int e = gbyteCurrentData[i == 0 ? 80 : 81];
      int m = gbyteCurrentData[i == 0 ? 11 : 10];
      // Normalise to an 8-bit mantissa with its top bit set.
      if (m < 64) {
        m *= 2;
        e = e == 0 ? 255 : e - 1;
      } else {
        m -= 64;
        if (m >= 128) {
          m = static_cast<int>(std::nearbyint(m / 2.0));
          e += 1;
        }
      }
      m |= 128;
      const bool tooLarge = e > 7 || (e == 7 && m >= 192);
      lblMWBGain(i).Caption(tooLarge ? std::string("-") : vb::CStr((1L << e) * m));
    }
    return true;
  });
}
