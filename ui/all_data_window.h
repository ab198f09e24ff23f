#pragma once
// The all-data view: every setting the current mode shows, as rows of a key name, a value box
// and an up-down under section headings, 32 rows a column (on a screen too small for that,
// as many rows as its height holds, and a scroll bar over the columns where they are still too
// wide), sorted by section and key. The rows are built at every load (their controls are
// created then and removed at unload); an edit is stored in gbyteCurrentData and sent at once
// as on the main window, and the status label shows whether the camera answers.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/forms/forms.h"

class FrmSimpleStyle : public forms::Form {
 public:
  FrmSimpleStyle();
  ~FrmSimpleStyle() override;

  forms::ControlArray<forms::Label> lblSection{this, "lblSection"};
  forms::ControlArray<forms::Label> lblData{this, "lblData"};
  forms::ControlArray<forms::TextBox> txtData{this, "txtData"};
  forms::ControlArray<forms::UpDown> udData{this, "udData"};
  forms::Frame fraButton{this, "fraButton"};
  forms::CommandButton cmdEnd{this, "cmdEnd"};
  forms::Label lblStatus{this, "lblStatus"};
  forms::HScrollBar hsColumns{this, "hsColumns"};

  void Form_Load() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload(int& Cancel) override;
  void cmdEnd_Click();
  void lblStatus_Change();
  void txtData_Change(int Index);
  void txtData_GotFocus(int Index);
  void txtData_KeyDown(int Index, int& KeyCode, int Shift);
  void txtData_LostFocus(int Index);
  void txtData_Validate(int Index, bool& Cancel);
  void udData_Change(int Index);
  void hsColumns_Change();

  // Every value box shows its entry of gbyteCurrentData (written by the program).
  bool mblnSetDataToCtrl();

  // Layout of the rows, in twips.
  static constexpr int kRowsPerColumn = 32;
  static constexpr long kRowPitch = 300;
  static constexpr long kFirstRowTop = 40;
  static constexpr long kFirstColumnLeft = 100;
  static constexpr long kColumnPitch = 2900;
  static constexpr long kLabelWidth = 2200;
  static constexpr long kBoxWidth = 400;
  static constexpr long kUpDownWidth = 240;

  // The program-write guard: true while the program writes a value box, so that its change
  // handler neither stores nor sends.
  bool mblnSetByProgram = false;
  // The last key pressed in a value box in Enter-key mode (13: the next change is taken).
  int16_t mintLastKeyCode = 13;
  // Busy flag per command code: its new value is being sent.
  std::array<bool, 256> mblnNowProcessing{};

 private:
  // A row of the view: a section heading or a setting, its column and top.
  struct Row {
    bool heading;
    int code;
    int column;
    long top;
  };
  long mPlaceRows(int rowsPerColumn);
  void mShowColumns(int first);
  void mFitRows();
  std::vector<Row> mRows;
  int mintColumns = 0, mintColumnsShown = 0;
  bool mblnSendValue(int Index, bool& rblnSentAgain);
  void mShowLineStatus();
  void mFitCaption(forms::Label& rlblLabel);
};

FrmSimpleStyle& frmSimpleStyle();
