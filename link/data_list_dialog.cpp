#include "link/data_list_dialog.h"

#include <algorithm>

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/vb/vb.h"

namespace {
// Rows per column, and the list positions the EEPROM write takes (later ones are blue).
constexpr int kRowsPerColumn = 30;
constexpr int kWritableFields = 63;
constexpr long kRowHeight = 250;
constexpr long kGap = 250;
}  // namespace

FrmDispSelectData::FrmDispSelectData() : forms::Form("frmDispSelectData") {
  cmdOk.Click = [this] { cmdOk_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

FrmDispSelectData& frmDispSelectData() { return forms::DefaultInstance<FrmDispSelectData>(); }

void FrmDispSelectData::Form_Load() {
  // Nothing beyond the common controls, which need no initialising here.
}

void FrmDispSelectData::cmdOk_Click() {
  vb::guarded("frmDispSelectData.cmdOk_Click", [&] {
    mblnCancel = false;
    Unload();
  });
}

void FrmDispSelectData::cmdCancel_Click() {
  vb::guarded("frmDispSelectData.cmdCancel_Click", [&] { Unload(); });
}

bool FrmDispSelectData::gblnDispSelectData(const std::string& vstrMsg, bool vblnCancelBtn,
                                           const std::string& vstrDispCmdSet, bool gblnDispOldVal,
                                           const std::array<uint8_t, 256>& rbyteNewData,
                                           const std::array<uint8_t, 256>& rbyteOldData) {
  return vb::guarded("frmDispSelectData.gblnDispSelectData", [&] {
    if (vstrDispCmdSet.empty()) {
      const long crlf = vb::InStr(vstrMsg, vb::vbCrLf);
      const std::string first = crlf > 0 ? vb::Left(vstrMsg, crlf - 1) : vstrMsg;
      forms::MsgBox(first, forms::vbInformation + forms::vbOKOnly, SubMain::gstrGetAppTitleString());
      Unload();
      return true;
    }
    // Every call starts from the design state: a window left from an earlier call goes first.
    Unload();
    Load();
    if (!mblnDispDataSet(vstrMsg, vblnCancelBtn, vstrDispCmdSet, gblnDispOldVal, rbyteNewData,
                         rbyteOldData)) {
      // A failed build is not shown; the half-built window goes, so the next call starts clean.
      const vb::ErrObject pending = Err;
      Unload();
      Err = pending;
      if (Err) vb::Raise(Err.Number, Err.Description, Err.Source);
      return false;
    }
    mblnCancel = vblnCancelBtn;
    Show(forms::vbModal);
    const bool result = !mblnCancel;
    Unload();
    return result;
  });
}

bool FrmDispSelectData::mblnDispDataSet(const std::string& vstrMsg, bool vblnCancelBtn,
                                        const std::string& vstrDispCmdSet, bool gblnDispOldVal,
                                        const std::array<uint8_t, 256>& rbyteNewData,
                                        const std::array<uint8_t, 256>& rbyteOldData) {
  const bool ok = vb::guarded("frmDispSelectData.mblnDispDataSet", [&] {
    forms::Screen.MousePointer(forms::vbHourglass);
    Caption(SubMain::gstrGetAppTitleString() + " Ver." + SubMain::gstrGetVersionString());
    lblMsg.Caption(vstrMsg);

    const std::vector<std::string> codes = vb::Split(vstrDispCmdSet, ",");
    const long top0 = lblMsg.Top() + lblMsg.Height() + 60;
    long x = imgicon(0).Left() + imgicon(0).Width() + kGap;
    long widest = 0;
    int rows = 0;
    long bottom = top0;
    long rightmostLeft = x;
    std::string section;
    int headers = 0;

    for (size_t p = 0; p < codes.size();) {
      const long code = vb::CLng(codes[p]);
      if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
      const clsDataInfo* info = gobjDataInfo[static_cast<size_t>(code)].get();
      if (!info) vb::Raise(vb::errObjectVariable);

      long y;
      if (rows < kRowsPerColumn) {
        y = top0 + kRowHeight * rows;
        rows += 1;
        bottom = std::max(bottom, y);
      } else {
        y = top0;
        rows = 1;
        x = x + widest + kGap;
        rightmostLeft = std::max(rightmostLeft, x);
        widest = 0;
      }

      forms::Label* row;
      if (info->SectionName != section) {
        section = info->SectionName;
        if (headers > 0) lblSection.Load(headers);
        row = &lblSection(headers);
        row->Caption("[" + section + "]");
        headers += 1;
      } else {
        const int index = static_cast<int>(p);
        if (index > 0) lblKeyAndValue.Load(index);
        row = &lblKeyAndValue(index);
        const uint8_t now = rbyteNewData[static_cast<size_t>(code)];
        const uint8_t old = rbyteOldData[static_cast<size_t>(code)];
        std::string text = "  " + info->KeyName + "=" + vb::CStr(static_cast<long>(now));
        if (gblnDispOldVal) text += "(" + vb::CStr(static_cast<long>(old)) + ")";
        row->Caption(text);
        long colour = index < kWritableFields ? forms::RGB(0, 0, 0) : forms::RGB(0, 0, 255);
        if (gblnDispOldVal && now != old) colour = forms::RGB(255, 0, 0);
        row->ForeColor(colour);
        p += 1;
      }
      row->BackStyle(0);
      row->Visible(true);
      row->Top(y);
      row->Left(x);
      widest = std::max(widest, row->Width());
    }

    const long right = std::max(rightmostLeft + widest, lblMsg.Left() + lblMsg.Width());
    fraCmdButton.Top(bottom + kGap);
    fraCmdButton.Left(right - fraCmdButton.Width());
    Height(bottom + fraCmdButton.Height() + 620);
    Width(right + kGap);

    cmdCancel.Visible(vblnCancelBtn);
    imgicon(1).Visible(vblnCancelBtn);
    imgicon(0).Visible(!vblnCancelBtn);
    if (!vblnCancelBtn) cmdOk.Left(cmdCancel.Left());
    forms::Screen.MousePointer(forms::vbDefault);
    return true;
  });
  if (!ok) forms::Screen.MousePointer(forms::vbDefault);
  return ok;
}
