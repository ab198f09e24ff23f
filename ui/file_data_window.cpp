#include "ui/file_data_window.h"

#include <algorithm>

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/res_string.h"
#include "platform/vb/error.h"
#include "platform/vb/vb.h"

namespace {
constexpr int kIrisFrameCenter = 204;  // CLR: its value is also written into the two drawings
constexpr long kMessageEEPROMData = 321, kMessageFileData = 322;

bool isIrisFrameWeight(int code) { return code >= 200 && code <= 205; }

// Columns of the frames by index: 0-9 left, 10-19 middle, 20 and above right.
enum Column { kLeft, kMiddle, kRight };
Column columnOf(int index) { return index <= 9 ? kLeft : index <= 19 ? kMiddle : kRight; }
}  // namespace

FrmDispKRVFileData::FrmDispKRVFileData() : forms::Form("frmDispKRVFileData") {
  cmdOk.Click = [this] { cmdOk_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

FrmDispKRVFileData& frmDispKRVFileData() { return forms::DefaultInstance<FrmDispKRVFileData>(); }

bool FrmDispKRVFileData::mblnSetVisible() {
  return vb::guarded("frmDispKRVFileData.mblnSetVisible", [&] {
    auto showRow = [&](int code, bool shown) {
      lblName(code).Visible(shown);
      imgAllow(code).Visible(shown);
      lblNewData(code).Visible(shown);
      lblOldData(code).Visible(shown);
      if (code == kIrisFrameCenter) {
        lblIrisFrameClOld.Visible(shown);
        lblIRISFrameCLNew.Visible(shown);
      }
    };
    for (int code : lblName.Indexes()) showRow(code, false);
    for (const std::string& item : vb::Split(gstrKRVCmdList, ",")) showRow(vb::CInt(item), true);
    return true;
  });
}

void FrmDispKRVFileData::showValues() {
  lblQuestion.Caption(vb::LoadResString(gblnDispNewData ? kMessageFileData : kMessageEEPROMData));
  for (int code : lblName.Indexes()) {
    const uint8_t current = gbyteCurrentData.at(static_cast<size_t>(code));
    lblName(code).Caption(vb::LoadResString(code));
    lblOldData(code).Caption(vb::CStr(current));
    if (!gblnDispNewData) {
      imgAllow(code).Visible(false);
      lblNewData(code).Visible(false);
      if (code == kIrisFrameCenter) lblIrisFrameClOld.Caption(vb::CStr(current));
      continue;
    }
    const uint8_t fromFile = gbyteFileData.at(static_cast<size_t>(code));
    lblNewData(code).Caption(vb::CStr(fromFile));
    if (code == kIrisFrameCenter) {
      lblIrisFrameClOld.Caption(vb::CStr(current));
      lblIRISFrameCLNew.Caption(vb::CStr(fromFile));
    }
    if (current != fromFile) {
      lblNewData(code).ForeColor(forms::vbRed);
      imgAllow(code).Picture(imgRed.Picture());
      if (isIrisFrameWeight(code)) imgIRISFrame.Picture(imgRed.Picture());
      if (code == kIrisFrameCenter) lblIRISFrameCLNew.ForeColor(forms::vbRed);
    }
  }
}

// Current values only: the frames take the widths in their Tags and the columns close up.
// The left column's largest Left is the margin between the columns and around them. A frame
// whose caption is wider than its Tag in the window's font is widened to show it whole.
void FrmDispKRVFileData::compactLayout() {
  constexpr long kCaptionMargin = 240;  // the border and a space each side of the caption
  long widest[3] = {0, 0, 0};
  long margin = 0;
  for (forms::Frame& frame : fraDispData) {
    if (vb::IsNumeric(frame.Tag())) frame.Width(vb::CLng(frame.Tag()));
    if (!frame.Caption().empty())
      frame.Width(std::max(frame.Width(), forms::host().MeasureText(frame.Caption(), frame.Font()).Width + kCaptionMargin));
    const Column column = columnOf(frame.Index());
    widest[column] = std::max(widest[column], frame.Width());
    if (column == kLeft) margin = std::max(margin, frame.Left());
  }
  const long middleLeft = margin + widest[kLeft];
  const long rightLeft = middleLeft + margin + widest[kMiddle];
  for (forms::Frame& frame : fraDispData) {
    const Column column = columnOf(frame.Index());
    if (column == kMiddle) frame.Left(middleLeft);
    if (column == kRight) frame.Left(rightLeft);
  }
  const long rightEdge = rightLeft + widest[kRight];
  cmdCancel.Left(rightEdge - cmdCancel.Width());
  cmdOk.Left(cmdCancel.Left());
  Width(rightEdge + 2 * margin);
}

void FrmDispKRVFileData::Form_Load() {
  // The answer is a refusal until OK is pressed, also when loading fails half-way: a window
  // that could not show the values must never leave an earlier OK standing.
  gblnDispDataCancel = true;
  const bool loaded = vb::guarded("frmDispKRVFileData.Form_Load", [&] {
    forms::InitCommonControls();
    Caption(SubMain::gstrGetAppTitleString() + " [KRV/MZL File Data]");
    if (!mblnSetVisible()) {
      vb::ReportError("frmDispKRVFileData.Form_Load");
      return false;
    }
    showValues();
    if (!gblnDispNewData) compactLayout();
    gblnDispDataCancel = true;
    imgRed.Visible(false);
    return true;
  });
  if (!loaded) {
    // Only Cancel answers a window whose values are missing.
    cmdOk.Enabled(false);
    imgRed.Visible(false);
  }
}

void FrmDispKRVFileData::cmdOk_Click() {
  vb::guarded("frmDispKRVFileData.cmdOk_Click", [&] {
    gblnDispDataCancel = false;
    Unload();
  });
}

void FrmDispKRVFileData::cmdCancel_Click() {
  vb::guarded("frmDispKRVFileData.cmdCancel_Click", [&] { Unload(); });
}
