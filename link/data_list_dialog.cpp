#include "link/data_list_dialog.h"

#include <algorithm>

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/forms/columns_fit.h"
#include "platform/vb/vb.h"

namespace {
// Rows per column, and the list positions the EEPROM write takes (later ones are blue).
constexpr int kRowsPerColumn = 30;
constexpr int kWritableFields = 63;
constexpr long kRowHeight = 250;  // the row pitch, unless the font's rows are taller
constexpr long kGap = 250;
// The client height below the lowest row's top besides the buttons' frame (which stands a gap
// below that top and holds the buttons' margins).
constexpr long kBelowRows = 170;
}  // namespace

FrmDispSelectData::FrmDispSelectData() : forms::Form("frmDispSelectData") {
  cmdOk.Click = [this] { cmdOk_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  hsColumns.Change = [this] { hsColumns_Change(); };
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

void FrmDispSelectData::hsColumns_Change() {
  vb::guarded("frmDispSelectData.hsColumns_Change", [&] { showColumns(hsColumns.Value()); });
}

forms::Label& FrmDispSelectData::rowLabel(const Row& row) {
  return row.header ? lblSection(row.index) : lblKeyAndValue(row.index);
}

// Places the rows top to bottom, `rowsPerColumn` to a column, columns left to right from
// `left0`, each as wide as its widest row. Returns the top of the lowest row.
long FrmDispSelectData::placeRows(int rowsPerColumn, long top0, long left0) {
  mlngColumnLeft.assign(1, left0);
  mlngColumnWidth.assign(1, 0);
  int rows = 0;
  long bottom = top0;
  for (Row& row : mRows) {
    long y;
    if (rows < rowsPerColumn) {
      y = top0 + mlngRowHeight * rows;
      rows += 1;
      bottom = std::max(bottom, y);
    } else {
      y = top0;
      rows = 1;
      mlngColumnLeft.push_back(mlngColumnLeft.back() + mlngColumnWidth.back() + kGap);
      mlngColumnWidth.push_back(0);
    }
    forms::Label& label = rowLabel(row);
    label.Top(y);
    label.Left(mlngColumnLeft.back());
    label.Visible(true);
    row.column = static_cast<int>(mlngColumnLeft.size()) - 1;
    mlngColumnWidth.back() = std::max(mlngColumnWidth.back(), label.Width());
  }
  return bottom;
}

// Shows the columns from `first` on that fit left of the rows' right end, moved to the left
// edge of the rows' area; the others are hidden.
void FrmDispSelectData::showColumns(int first) {
  if (first < 0 || first >= static_cast<int>(mlngColumnLeft.size())) return;
  const long shift = mlngColumnLeft[static_cast<size_t>(first)] - mlngColumnLeft.front();
  for (const Row& row : mRows) {
    const size_t column = static_cast<size_t>(row.column);
    const long left = mlngColumnLeft[column] - shift;
    forms::Label& label = rowLabel(row);
    label.Left(left);
    label.Visible(row.column >= first && left + mlngColumnWidth[column] <= mlngRowsRight);
  }
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
    const long left0 = imgicon(0).Left() + imgicon(0).Width() + kGap;
    // The icon stands below the message, however many lines the message takes.
    for (forms::Image& icon : imgicon) icon.Top(std::max(icon.Top(), top0));

    // The rows in list order: a header wherever the section changes, then the value row.
    mRows.clear();
    std::string section;
    int headers = 0;
    for (size_t p = 0; p < codes.size();) {
      const long code = vb::CLng(codes[p]);
      if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
      const clsDataInfo* info = gobjDataInfo[static_cast<size_t>(code)].get();
      if (!info) vb::Raise(vb::errObjectVariable);

      forms::Label* row;
      if (info->SectionName != section) {
        section = info->SectionName;
        if (headers > 0) lblSection.Load(headers);
        row = &lblSection(headers);
        row->Caption("[" + section + "]");
        mRows.push_back({true, headers, 0});
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
        mRows.push_back({false, index, 0});
        p += 1;
      }
      row->BackStyle(0);
    }

    // Rows never overlap, also in a font taller than the pitch.
    mlngRowHeight = kRowHeight;
    for (const Row& row : mRows) mlngRowHeight = std::max(mlngRowHeight, rowLabel(row).Height());
    // Columns of 30 rows; when the window would not fit the screen's work area (where windows
    // are placed), as many rows per column as its height takes, and when it is still too wide
    // the columns scroll.
    const long buttonsHeight = fraCmdButton.Height();
    const forms::ColumnsFit fit(*this, top0, mlngRowHeight, buttonsHeight + kBelowRows);
    const long marginRight = kGap - FrameWidth();  // the client area's right of the content
    auto columnsRight = [&] { return mlngColumnLeft.back() + mlngColumnWidth.back(); };
    auto contentRight = [&] { return std::max(columnsRight(), lblMsg.Left() + lblMsg.Width()); };
    long bottom = placeRows(kRowsPerColumn, top0, left0);
    bool scrolls = false;  // the scroll bar's band under the rows
    if (!fit.Fits(contentRight() + marginRight, fit.ClientHeight(bottom, false))) {
      bottom = placeRows(fit.RowsFitting(false), top0, left0);
      if (columnsRight() + marginRight > fit.RoomWidth()) {
        scrolls = true;
        bottom = placeRows(fit.RowsFitting(true), top0, left0);
      }
    }
    const long right = std::min(contentRight(), fit.RoomWidth() - marginRight);
    const long below = scrolls ? forms::ColumnsFit::kBarHeight + forms::ColumnsFit::kBarGap : 0;
    mlngRowsRight = right;
    if (scrolls) {
      // The last first column from which the remaining columns all fit.
      int lastFirst = static_cast<int>(mlngColumnLeft.size()) - 1;
      while (lastFirst > 0 && columnsRight() - mlngColumnLeft[static_cast<size_t>(lastFirst - 1)] <= right - left0)
        --lastFirst;
      hsColumns.Move(left0, bottom + mlngRowHeight, right - left0, forms::ColumnsFit::kBarHeight);
      hsColumns.Max(lastFirst);
      hsColumns.LargeChange(1);
      hsColumns.Visible(true);
      showColumns(0);
    }

    fraCmdButton.Top(bottom + kGap + below);
    fraCmdButton.Left(right - fraCmdButton.Width());
    ClientSize(right + marginRight, fit.ClientHeight(bottom, scrolls));

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
