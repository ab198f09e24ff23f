// The file-data window on the headless forms: rows and red marks for a file that differs from
// the camera, hidden rows of codes the camera lacks, the compact layout of the EEPROM write,
// and the answer it leaves in gblnDispDataCancel.
#include "ui/file_data_window.h"

#include <set>
#include <string>
#include <vector>

#include "core/command_lists.h"
#include "platform/forms/forms.h"
#include "tests/core/core_fixture.h"

namespace {

class FileData : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    for (int c = 0; c < 256; ++c) gbyteCurrentData[c] = static_cast<uint8_t>(c % 32);
    gbyteFileData = gbyteCurrentData;
    gblnDispNewData = true;
    gblnDispDataCancel = false;
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    CoreTest::TearDown();
  }
  FrmDispKRVFileData& win() { return frmDispKRVFileData(); }
  // Shows the window modally; `look` runs while it is up, then the user closes it with `close`.
  void show(const std::function<void()>& look, const std::function<void()>& close = {}) {
    host.onModal = [&](forms::Form&) {
      look();
      if (close) close();
    };
    win().Show(forms::vbModal);
    EXPECT_FALSE(win().Loaded());
  }
  bool red(int code) {
    return win().lblNewData(code).ForeColor() == forms::vbRed && win().imgAllow(code).Picture() == "pictures/arrow_red.png";
  }
  bool plain(int code) {
    return win().lblNewData(code).ForeColor() != forms::vbRed && win().imgAllow(code).Picture() == "pictures/arrow.png";
  }
};

TEST_F(FileData, RowsShowCurrentAndFileValuesWithRedMarksWhereTheyDiffer) {
  struct Case {
    const char* what;
    std::vector<int> changed;
    bool irisFrameMarked;
  };
  const Case cases[] = {
      {"equal file", {}, false},
      {"gain and white balance", {65, 144, 10}, false},
      {"a corner weight of the iris frame", {203}, true},
      {"another corner weight", {202}, true},
      {"the centre weight", {204}, true},
      {"divide and multiply are no weights", {206, 207}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gbyteFileData = gbyteCurrentData;
    for (int code : c.changed) gbyteFileData[code] = static_cast<uint8_t>(gbyteCurrentData[code] + 100);
    const std::set<int> changed(c.changed.begin(), c.changed.end());
    show([&] {
      EXPECT_EQ(win().Caption(), "Orvadex [KRV/MZL File Data]");
      EXPECT_EQ(win().lblQuestion.Caption(), "The data to read from the file are as follows. Do you use the file?");
      for (const std::string& item : vb::Split(gstrKRVCmdList, ",")) {
        const int code = std::stoi(item);
        SCOPED_TRACE(code);
        EXPECT_EQ(win().lblName(code).Caption(), vb::LoadResString(code));
        EXPECT_EQ(win().lblOldData(code).Caption(), std::to_string(gbyteCurrentData[code]));
        EXPECT_EQ(win().lblNewData(code).Caption(), std::to_string(gbyteFileData[code]));
        EXPECT_TRUE(win().lblNewData(code).Visible() && win().imgAllow(code).Visible());
        EXPECT_TRUE(changed.count(code) ? red(code) : plain(code));
      }
      EXPECT_EQ(win().imgIRISFrame.Picture(), c.irisFrameMarked ? "pictures/arrow_red.png" : "pictures/arrow.png");
      EXPECT_EQ(win().lblIrisFrameClOld.Caption(), std::to_string(gbyteCurrentData[204]));
      EXPECT_EQ(win().lblIRISFrameCLNew.Caption(), std::to_string(gbyteFileData[204]));
      EXPECT_EQ(win().lblIRISFrameCLNew.ForeColor() == forms::vbRed, changed.count(204) == 1);
      EXPECT_FALSE(win().imgRed.Visible());
      EXPECT_TRUE(gblnDispDataCancel);
    });
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(FileData, ACodeTheCameraLacksHasItsRowHiddenWhileItsFrameStays) {
  ASSERT_TRUE(SubMain::gblnSubCmdSet(gstrKRVCmdList, "64,65,204", gstrKRVCmdList));
  show([&] {
    for (int code : {64, 65, 204}) {
      EXPECT_FALSE(win().lblName(code).Visible());
      EXPECT_FALSE(win().lblOldData(code).Visible());
      EXPECT_FALSE(win().imgAllow(code).Visible());
      EXPECT_FALSE(win().lblNewData(code).Visible());
    }
    EXPECT_FALSE(win().lblIrisFrameClOld.Visible());
    EXPECT_FALSE(win().lblIRISFrameCLNew.Visible());
    EXPECT_TRUE(win().fraDispData(1).Visible());
    EXPECT_TRUE(win().lblName(1).Visible());
    EXPECT_TRUE(win().lblName(203).Visible());
  });
}

TEST_F(FileData, CurrentValuesOnlyTakeTheCompactLayout) {
  // The designed layout, as the file road shows it.
  std::vector<std::pair<int, long>> designWidths;
  show([&] {
    EXPECT_EQ(win().ScaleWidth(), 9705);
    for (forms::Frame& f : win().fraDispData) designWidths.push_back({f.Index(), f.Width()});
  });

  gblnDispNewData = false;
  gbyteFileData[65] = 200;  // not shown: no file is concerned
  show([&] {
    EXPECT_EQ(win().lblQuestion.Caption(), "The data to write on EEPROM are as follows.");
    for (int code : win().lblName.Indexes()) {
      EXPECT_TRUE(win().lblOldData(code).Visible());
      EXPECT_FALSE(win().lblNewData(code).Visible());
      EXPECT_FALSE(win().imgAllow(code).Visible());
    }
    EXPECT_EQ(win().lblIrisFrameClOld.Caption(), std::to_string(gbyteCurrentData[204]));
    // Frames take their Tag widths; the untitled inner frame keeps its own.
    for (auto [index, width] : designWidths) {
      SCOPED_TRACE(index);
      const long expected = index == 23 ? 2535 : index == 21 ? 1695 : index == 24 ? width : 1635;
      EXPECT_EQ(win().fraDispData(index).Width(), expected);
      const long left = index <= 9 ? 120 : index <= 19 ? 120 + 1635 : 120 + 1635 + 120 + 1635;
      EXPECT_EQ(win().fraDispData(index).Left(), left);
    }
    // The right column is as wide as its widest frame, the inner one included.
    const long rightEdge = 120 + 1635 + 120 + 1635 + win().fraDispData(24).Width();
    EXPECT_EQ(win().cmdCancel.Left(), rightEdge - win().cmdCancel.Width());
    EXPECT_EQ(win().cmdOk.Left(), win().cmdCancel.Left());
    EXPECT_LT(win().cmdOk.Top(), win().cmdCancel.Top());
    EXPECT_EQ(win().Width(), rightEdge + 240);
  });
  EXPECT_TRUE(reports.empty());
}

TEST_F(FileData, OnlyOkAnswersYes) {
  struct Case {
    const char* what;
    bool before;
    std::function<void(FrmDispKRVFileData&)> answer;
    bool cancelled;
  };
  const Case cases[] = {
      {"OK", true, [](FrmDispKRVFileData& w) { w.cmdOk.UserClick(); }, false},
      {"Cancel", false, [](FrmDispKRVFileData& w) { w.cmdCancel.UserClick(); }, true},
      {"the close box", false, [](FrmDispKRVFileData& w) { w.UserClose(); }, true},
      {"Escape", false, [](FrmDispKRVFileData& w) { w.UserKey(forms::vbKeyEscape); }, true},
      {"Enter", true, [](FrmDispKRVFileData& w) { w.UserKey(forms::vbKeyReturn); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gblnDispDataCancel = c.before;
    show([] {}, [&] { c.answer(win()); });
    EXPECT_EQ(gblnDispDataCancel, c.cancelled);
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(FileData, AWindowThatCouldNotShowTheValuesCanOnlyBeCancelled) {
  gstrKRVCmdList = "1,3";  // 3 has no row
  gblnDispDataCancel = false;  // left by an earlier OK
  show([&] {
    EXPECT_FALSE(win().cmdOk.Enabled());
    EXPECT_FALSE(win().cmdOk.UserClick());
  });
  EXPECT_TRUE(gblnDispDataCancel);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].text, "frmDispKRVFileData.mblnSetVisible");
  EXPECT_EQ(reports[0].number, vb::errControlArrayElement);
  EXPECT_EQ(reports[1].text, "frmDispKRVFileData.Form_Load");
  EXPECT_EQ(reports[1].number, 0);
  EXPECT_EQ(host.count(0), 1);
}

}  // namespace
