#pragma once
// The data-list dialog: a message above the settings of a command list, one row per code
// ("  Key=value", optionally "(old value)"), grouped under section headers in columns of 30
// rows. Informs (OK) or asks (OK and Cancel). The window never grows beyond the screen: a
// list too wide for it takes as many rows per column as the screen's height allows, and when
// that is not enough either the columns scroll sideways under a scroll bar.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

class FrmDispSelectData : public forms::Form {
 public:
  FrmDispSelectData();

  forms::Label lblMsg{this, "lblMsg"};
  forms::ControlArray<forms::Image> imgicon{this, "imgicon"};
  forms::ControlArray<forms::Label> lblSection{this, "lblSection"};
  forms::ControlArray<forms::Label> lblKeyAndValue{this, "lblKeyAndValue"};
  forms::Frame fraCmdButton{this, "fraCmdButton"};
  forms::CommandButton cmdOk{this, "cmdOk"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};
  forms::HScrollBar hsColumns{this, "hsColumns"};  // first column shown, when they scroll

  // Shows vstrMsg and the codes of vstrDispCmdSet with their values in rbyteNewData (and
  // rbyteOldData in parentheses when gblnDispOldVal). With vblnCancelBtn the user is asked:
  // True for OK, False for Cancel or the close box. Without it, or for an empty list (then
  // only the message's first line is shown in a message box), the result is True.
  bool gblnDispSelectData(const std::string& vstrMsg, bool vblnCancelBtn,
                          const std::string& vstrDispCmdSet, bool gblnDispOldVal,
                          const std::array<uint8_t, 256>& rbyteNewData,
                          const std::array<uint8_t, 256>& rbyteOldData);

  void Form_Load() override;
  void cmdOk_Click();
  void cmdCancel_Click();
  void hsColumns_Change();

 private:
  bool mblnDispDataSet(const std::string& vstrMsg, bool vblnCancelBtn,
                       const std::string& vstrDispCmdSet, bool gblnDispOldVal,
                       const std::array<uint8_t, 256>& rbyteNewData,
                       const std::array<uint8_t, 256>& rbyteOldData);
  bool mblnCancel = false;

  // The rows in list order: a header (lblSection) or a value row (lblKeyAndValue), its index
  // and its column; the columns' lefts and widths; the right end of the rows' area.
  struct Row {
    bool header;
    int index;
    int column;
  };
  forms::Label& rowLabel(const Row& row);
  long placeRows(int rowsPerColumn, long top0, long left0);
  void showColumns(int first);
  std::vector<Row> mRows;
  std::vector<long> mlngColumnLeft, mlngColumnWidth;
  long mlngRowsRight = 0;
  long mlngRowHeight = 0;  // the pitch of the rows
};

FrmDispSelectData& frmDispSelectData();
