#include "ui/all_data_window.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "core/command_lists.h"
#include "core/common_helpers.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/forms/columns_fit.h"
#include "platform/forms/host.h"
#include "platform/vb/vb.h"
#include "ui/program_write.h"
#include "ui/value_text.h"

namespace {

using valuetext::WholeNumber;

constexpr long kStatusOnLineColor = 0x00FF00;   // green
constexpr long kStatusOffLineColor = 0x0000FF;  // red
// Space below the button frame, inside the window.
constexpr long kBottomMargin = 100;
// The smallest size a key name is shrunk to so that it fits its label.
constexpr double kSmallestFontSize = 6;

}  // namespace

FrmSimpleStyle::FrmSimpleStyle() : forms::Form("frmSimpleStyle") {
  cmdEnd.Click = [this] { cmdEnd_Click(); };
  lblStatus.Change = [this] { lblStatus_Change(); };
  txtData.Change = [this](int Index) { txtData_Change(Index); };
  txtData.GotFocus = [this](int Index) { txtData_GotFocus(Index); };
  txtData.KeyDown = [this](int Index, int& KeyCode, int Shift) { txtData_KeyDown(Index, KeyCode, Shift); };
  txtData.LostFocus = [this](int Index) { txtData_LostFocus(Index); };
  txtData.Validate = [this](int Index, bool& Cancel) { txtData_Validate(Index, Cancel); };
  udData.Change = [this](int Index) { udData_Change(Index); };
  hsColumns.Change = [this] { hsColumns_Change(); };
}

FrmSimpleStyle::~FrmSimpleStyle() { mdlMSComm::gWhenLineLost(this, nullptr); }

FrmSimpleStyle& frmSimpleStyle() { return forms::DefaultInstance<FrmSimpleStyle>(); }

void FrmSimpleStyle::Form_Load() {
  // A camera lost while an edit goes out: the status says so before the error does.
  mdlMSComm::gWhenLineLost(this, [this] { mShowLineStatus(); });
  const bool loaded = vb::guarded("frmSimpleStyle.Form_Load", [&] {
    forms::InitCommonControls();
    mintLastKeyCode = 13;
    forms::Screen.MousePointer(forms::vbHourglass);
    mblnSetByProgram = true;
    mblnNowProcessing.fill(false);
    Caption(SubMain::gstrGetAppTitleString() + " [View All Data]");

    // From now on every transfer of the whole list runs in section-and-key order.
    gstrAllCmdList = SubMain::gstrSortCommandList(gstrAllCmdList);
    const std::vector<std::string> codes = vb::Split(SubMain::gstrChangeEnableCommandList(), ",");

    int tabIndex = 0;
    bool firstRow = true;
    std::string section;
    std::set<int> rowsMade;
    mRows.clear();
    for (size_t i = 0; i < codes.size();) {
      const int code = vb::CLng(codes[i]);
      if (rowsMade.count(code)) {  // a code listed twice gets one row
        ++i;
        continue;
      }
      if (code < 0 || code > 255) vb::Raise(vb::errSubscript);
      if (!gobjDataInfo[static_cast<size_t>(code)]) vb::Raise(vb::errObjectVariable);
      const clsDataInfo& info = *gobjDataInfo[static_cast<size_t>(code)];

      if (firstRow || info.SectionName != section) {
        // A heading row; the same code then takes the next row for itself.
        firstRow = false;
        section = info.SectionName;
        if (code != 1 && !lblSection.Exists(code)) lblSection.Load(code);
        forms::Label& heading = lblSection(code);
        heading.Caption("[" + section + "]");
        heading.BackStyle(0);
        heading.Visible(true);
        heading.Width(kLabelWidth);
        heading.TabIndex(tabIndex++);
        mFitCaption(heading);
        mRows.push_back({true, code, 0, 0});
        continue;
      }
      ++i;
      rowsMade.insert(code);
      if (code != 1) {
        txtData.Load(code);
        udData.Load(code);
        lblData.Load(code);
      }
      forms::TextBox& box = txtData(code);
      forms::UpDown& spin = udData(code);
      forms::Label& name = lblData(code);
      spin.BuddyControl(&box);
      spin.BuddyProperty("Text");
      spin.SyncBuddy(true);
      if (!mdlCommon::gblnTextBox_LockStyle(box, forms::ES_NUMBER)) {
        if (Err) vb::Raise(Err.Number, Err.Description, Err.Source);
        vb::ReportError("frmSimpleStyle.Form_Load");
        return false;
      }
      name.Caption(info.KeyName);
      name.BackStyle(0);
      name.Visible(true);
      name.Width(kLabelWidth);
      mFitCaption(name);
      box.Visible(true);
      box.Width(kBoxWidth);
      box.TabIndex(tabIndex++);
      spin.Max(info.Max);
      spin.Min(info.Min);
      spin.TabStop(false);
      spin.Visible(true);
      spin.TabIndex(tabIndex++);
      spin.Width(kUpDownWidth);
      mRows.push_back({false, code, 0, 0});
    }
    mFitRows();

    if (!mblnSetDataToCtrl()) return false;
    for (forms::TextBox& box : txtData) box.Width(kBoxWidth);

    lblStatus.Caption(vb::LoadResString(gblnOnLine ? 309 : 308));
    forms::Screen.MousePointer(forms::vbDefault);
    return true;
  });
  if (!loaded) {
    // The window shows what was built; it must not stay deaf to edits or keep the hourglass.
    vb::guarded("frmSimpleStyle.Form_Load", [&] {
      mFitRows();
      return true;
    });
    mblnSetByProgram = false;
    forms::Screen.MousePointer(forms::vbDefault);
  }
}

// Places the rows top to bottom, `rowsPerColumn` a column, the columns kColumnPitch apart.
// Returns the top of the lowest row.
long FrmSimpleStyle::mPlaceRows(int rowsPerColumn) {
  int row = 0, column = 0;
  long bottom = 0;
  for (Row& r : mRows) {
    if (row >= rowsPerColumn) {
      row = 0;
      ++column;
    }
    r.column = column;
    r.top = row * kRowPitch + kFirstRowTop;
    ++row;
    bottom = std::max(bottom, r.top);
  }
  mintColumns = column + 1;
  return bottom;
}

// Shows the columns from `first` on, as many as the window holds, from the first column's
// place; the rows of the other columns are hidden.
void FrmSimpleStyle::mShowColumns(int first) {
  for (const Row& r : mRows) {
    const int place = r.column - first;
    const bool shown = place >= 0 && place < mintColumnsShown;
    const long left = place * kColumnPitch + kFirstColumnLeft;
    if (r.heading) {
      forms::Label& heading = lblSection(r.code);
      heading.Move(left, r.top);
      heading.Visible(shown);
      continue;
    }
    forms::Label& name = lblData(r.code);
    forms::TextBox& box = txtData(r.code);
    forms::UpDown& spin = udData(r.code);
    name.Move(left, r.top);
    box.Move(name.Left() + name.Width(), r.top);
    spin.Move(box.Left() + box.Width(), r.top);
    for (forms::Control* c : std::initializer_list<forms::Control*>{&name, &box, &spin}) c->Visible(shown);
  }
}

// Lays the rows out in columns of 32 rows with the buttons below them, the window sized to
// them. When that window would pass the screen's work area (where windows are placed), a column
// takes as many rows as the height holds, and when the columns are still too wide the window
// shows as many as fit with a scroll bar over them.
void FrmSimpleStyle::mFitRows() {
  const forms::ColumnsFit fit(*this, kFirstRowTop, kRowPitch, kRowPitch + fraButton.Height() + kBottomMargin);
  auto clientWidth = [&](int shown) { return shown * kColumnPitch + 2 * kFirstColumnLeft; };
  const int columnsFitting = static_cast<int>(std::max(1L, (fit.RoomWidth() - 2 * kFirstColumnLeft) / kColumnPitch));

  long bottom = mPlaceRows(kRowsPerColumn);
  bool scrolls = false;  // the scroll bar's band under the rows
  if (!fit.Fits(clientWidth(mintColumns), fit.ClientHeight(bottom, false))) {
    bottom = mPlaceRows(fit.RowsFitting(false));
    if (mintColumns > columnsFitting) {
      scrolls = true;
      bottom = mPlaceRows(fit.RowsFitting(true));
    }
  }
  mintColumnsShown = std::min(mintColumns, columnsFitting);
  const long right = kFirstColumnLeft + mintColumnsShown * kColumnPitch;
  if (mintColumns > mintColumnsShown) {
    hsColumns.Move(kFirstColumnLeft, bottom + kRowPitch, right - kFirstColumnLeft, forms::ColumnsFit::kBarHeight);
    hsColumns.Max(mintColumns - mintColumnsShown);
    hsColumns.LargeChange(mintColumnsShown);
    hsColumns.Visible(true);
  } else {
    hsColumns.Visible(false);
  }
  hsColumns.Value(0);
  mShowColumns(0);

  // The buttons below the rows (and the scroll bar), at the right of the last column shown,
  // their frame starting on a whole pixel so that it holds its buttons wherever it stands.
  const long clientHeight = fit.ClientHeight(bottom, scrolls);
  const long pixel = forms::Screen.TwipsPerPixelX();
  fraButton.Top(clientHeight - kBottomMargin - fraButton.Height());
  fraButton.Left((right - fraButton.Width()) / pixel * pixel);
  ClientSize(clientWidth(mintColumnsShown), clientHeight);
}

void FrmSimpleStyle::hsColumns_Change() {
  vb::guarded("frmSimpleStyle.hsColumns_Change", [&] { mShowColumns(hsColumns.Value()); });
}

bool FrmSimpleStyle::mblnSetDataToCtrl() {
  return vb::guarded("frmSimpleStyle.mblnSetDataToCtrl", [&] {
    mblnSetByProgram = true;
    for (forms::TextBox& box : txtData) box.Text(vb::CStr(gbyteCurrentData.at(static_cast<size_t>(box.Index()))));
    mblnSetByProgram = false;
    return true;
  });
}

// Key names wider than their label in the platform's font are shown smaller rather than cut.
void FrmSimpleStyle::mFitCaption(forms::Label& rlblLabel) {
  forms::Font font = rlblLabel.Font();
  while (font.Size > kSmallestFontSize &&
         forms::host().MeasureText(rlblLabel.Caption(), font).Width > rlblLabel.Width())
    font.Size -= 0.5;
  if (!(font == rlblLabel.Font())) rlblLabel.Font(font);
}

void FrmSimpleStyle::Form_QueryUnload(int& Cancel, int UnloadMode) {
  vb::guarded("frmSimpleStyle.Form_QueryUnload", [&] {
    forms::DoEvents();
    for (int code = 1; code <= 255; ++code) {
      if (mblnNowProcessing[static_cast<size_t>(code)]) {
        forms::MsgBox(vb::LoadResString(368), forms::vbInformation, SubMain::gstrGetAppTitleString());
        Cancel = 1;
        return;
      }
    }
  });
}

void FrmSimpleStyle::Form_Unload(int& Cancel) {
  mdlMSComm::gWhenLineLost(this, nullptr);
  vb::guarded("frmSimpleStyle.Form_Unload", [&] {
    for (int index : lblData.Indexes()) {
      if (index == 1) continue;
      if (udData.Exists(index)) udData.Unload(index);
      if (txtData.Exists(index)) txtData.Unload(index);
      lblData.Unload(index);
    }
    for (int index : lblSection.Indexes())
      if (index != 1) lblSection.Unload(index);
  });
}

void FrmSimpleStyle::cmdEnd_Click() {
  vb::guarded("frmSimpleStyle.cmdEnd_Click", [&] { Unload(); });
}

void FrmSimpleStyle::lblStatus_Change() {
  vb::guarded("frmSimpleStyle.lblStatus_Change", [&] {
    lblStatus.ForeColor(lblStatus.Caption() == vb::LoadResString(309) ? kStatusOnLineColor : kStatusOffLineColor);
  });
}

// The line status after an edit: "On Line", or "Off Line" with the firmware version cleared.
void FrmSimpleStyle::mShowLineStatus() {
  if (gblnOnLine) {
    lblStatus.Caption(vb::LoadResString(309));
  } else {
    lblStatus.Caption(vb::LoadResString(308));
    gbyteFirmVersion = 0;
  }
}

void FrmSimpleStyle::txtData_Change(int Index) {
  static constexpr const char* kName = "frmSimpleStyle.txtData_Change";
  const bool done = vb::guarded(kName, [&] {
    if (gblnEnterKeySend && mintLastKeyCode != 13) return true;
    forms::TextBox& box = txtData(Index);
    std::string text = box.Text();
    if (!vb::IsNumeric(text)) return true;
    // Compared as a Double (the largest one of its sign beyond that range), so that a pasted
    // number of any size is clamped, not an overflow.
    const double value = vb::CDblWithinRange(text);
    const forms::UpDown& spin = udData(Index);
    if (value > spin.Max() || value < spin.Min()) {
      text = vb::CStr(value > spin.Max() ? spin.Max() : spin.Min());
      ProgramWrite write(mblnSetByProgram);
      box.Text(text);
    }
    if (!mblnSetByProgram) {
      const size_t code = static_cast<size_t>(Index);
      gbyteCurrentData.at(code) = vb::CByte(WholeNumber(text));
      if (gblnOnLine) {
        const uint8_t sent = gbyteCurrentData[code];
        mblnNowProcessing.at(code) = true;
        if (!mdlMSComm::gblnSetDataFromPC(vb::CStr(Index), true)) return false;
        forms::DoEvents();
        mblnNowProcessing[code] = false;
        if (gbyteCurrentData[code] != sent) {
          // Another edit of this code came in while it was being sent: send the box anew.
          txtData_Change(Index);
          return true;
        }
      }
    }
    mShowLineStatus();
    return true;
  });
  if (done) return;
  vb::guarded(kName, [&] {
    if (Err) vb::ReportError(kName);
    if (!gblnOnLine) mShowLineStatus();
    if (Index >= 0 && Index <= 255) mblnNowProcessing[static_cast<size_t>(Index)] = false;
  });
}

void FrmSimpleStyle::txtData_GotFocus(int Index) {
  vb::guarded("frmSimpleStyle.txtData_GotFocus", [&] {
    forms::TextBox& box = txtData(Index);
    if (!vb::IsNumeric(box.Text())) {
      ProgramWrite write(mblnSetByProgram);
      box.Text(vb::CStr(gbyteCurrentData.at(static_cast<size_t>(Index))));
    }
    box.SelStart(0);
    box.SelLength(vb::Len(box.Text()));
  });
}

void FrmSimpleStyle::txtData_KeyDown(int Index, int& KeyCode, int Shift) {
  vb::guarded("frmSimpleStyle.txtData_KeyDown", [&] {
    if (gblnEnterKeySend) {
      mintLastKeyCode = static_cast<int16_t>(KeyCode);
      if (KeyCode != forms::vbKeyReturn) return;
    }
    forms::TextBox& box = txtData(Index);
    if (!vb::IsNumeric(box.Text())) return;
    const forms::UpDown& spin = udData(Index);
    double value = WholeNumber(box.Text());
    if (KeyCode == forms::vbKeyUp && value < spin.Max()) value += 1;
    else if (KeyCode == forms::vbKeyDown && value > spin.Min()) value -= 1;
    box.Text(vb::CStr(value));
    if (gblnEnterKeySend && mintLastKeyCode == forms::vbKeyReturn) txtData_Change(Index);
  });
}

void FrmSimpleStyle::txtData_LostFocus(int Index) {
  vb::guarded("frmSimpleStyle.txtData_LostFocus", [&] {
    forms::TextBox& box = txtData(Index);
    if (vb::IsNumeric(box.Text()) && !gblnEnterKeySend) return;
    {
      ProgramWrite write(mblnSetByProgram);
      box.Text(vb::CStr(gbyteCurrentData.at(static_cast<size_t>(Index))));
    }
    mintLastKeyCode = 13;
  });
}

void FrmSimpleStyle::txtData_Validate(int Index, bool& Cancel) {
  vb::guarded("frmSimpleStyle.txtData_Validate", [&] { mintLastKeyCode = 13; });
}

void FrmSimpleStyle::udData_Change(int Index) {
  vb::guarded("frmSimpleStyle.udData_Change", [&] {
    if (!gblnEnterKeySend) return;
    // The box takes the focus only where it can: not while the window is still being built.
    forms::TextBox& box = txtData(Index);
    if (box.Enabled() && box.Visible() && box.CanTakeFocus()) box.SetFocus();
  });
}
