// The all-data view against the simulated camera on the virtual line: its rows and columns,
// editing and sending, Enter-key mode, the line status, closing, and the transfer order it
// leaves behind.
#include "ui/all_data_window.h"

#include <algorithm>
#include <functional>

#include "core/command_lists.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

using Status = std::tuple<std::string, long>;
const Status kOnLine{"On Line", 0x00FF00}, kOffLine{"Off Line", 0x0000FF};

class AllDataView : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    ASSERT_TRUE(SubMain::mblnIniVariable());
    gbyteFirmVersion = 2;
  }
  void TearDown() override {
    gblnEnterKeySend = false;
    gbyteFirmVersion = 0;
    LinkTest::TearDown();
  }
  void goOnLine() {
    open();
    gblnOnLine = true;
  }
  // Opens the view modally with `user` playing in it, then closes it with its button.
  void view(const std::function<void(FrmSimpleStyle&)>& user) {
    host.onModal = [&](forms::Form&) {
      user(frmSimpleStyle());
      if (frmSimpleStyle().Loaded()) {
        EXPECT_TRUE(frmSimpleStyle().cmdEnd.UserClick());
      }
    };
    frmSimpleStyle().Show(forms::vbModal);
    EXPECT_FALSE(frmSimpleStyle().Loaded());
  }
  // A row with the range 0 to 255, showing 7.
  static int aRow(FrmSimpleStyle& w) {
    const int c = 66;  // Y CDSGainPositive: normal mode, 0 to 255
    gbyteCurrentData[c] = 7;
    w.mblnSetDataToCtrl();
    return c;
  }
  static Status status(FrmSimpleStyle& w) { return {w.lblStatus.Caption(), w.lblStatus.ForeColor()}; }
  // The setting pairs the camera received since the last call (frames left out).
  Wire sent() {
    Wire pairs;
    for (const auto& p : wire())
      if (p.first != 0) pairs.push_back(p);
    camera().ClearReceived();
    return pairs;
  }
  // The shown headings and key names in column order: (left, top, caption).
  static std::vector<std::tuple<long, long, std::string>> rows(FrmSimpleStyle& w) {
    std::vector<std::tuple<long, long, std::string>> all;
    for (auto* array : {&w.lblSection, &w.lblData})
      for (forms::Label& l : *array)
        if (l.Visible()) all.emplace_back(l.Left(), l.Top(), l.Caption());
    std::sort(all.begin(), all.end());
    return all;
  }
};

TEST_F(AllDataView, RowsFollowTheSortedListOfTheModeThirtyTwoToAColumn) {
  for (bool advanced : {false, true}) {
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    gblnAdvancedMode = advanced;
    const std::string sorted = SubMain::gstrSortCommandList(gstrAllCmdList);
    view([&](FrmSimpleStyle& w) {
      EXPECT_EQ(gstrAllCmdList, sorted);
      // A heading at each new section, then the key names, 32 rows a column.
      std::vector<std::tuple<long, long, std::string>> expected;
      std::string section;
      for (int code : Codes(SubMain::gstrChangeEnableCommandList())) {
        const clsDataInfo& info = *gobjDataInfo[code];
        for (const std::string& caption : {"[" + info.SectionName + "]", info.KeyName}) {
          if (caption[0] == '[' && caption == "[" + section + "]") continue;
          const long k = static_cast<long>(expected.size());
          expected.emplace_back(100 + 2900 * (k / 32), 40 + 300 * (k % 32), caption);
        }
        section = info.SectionName;
        // The box after the 2200-twip name, the up-down after the 400-twip box, with the range.
        const forms::UpDown& spin = w.udData(code);
        EXPECT_EQ(std::tuple(w.txtData(code).Left(), w.txtData(code).Width(), spin.Left(), spin.Min(), spin.Max()),
                  std::tuple(w.lblData(code).Left() + 2200, 400L, w.lblData(code).Left() + 2600,
                             long(info.Min), long(info.Max)));
        EXPECT_EQ(w.txtData(code).Text(), std::to_string(gbyteCurrentData[code]));
      }
      EXPECT_EQ(rows(w), expected);
      // The buttons under the rows at the right of the last column; the window holds them.
      const long lastLeft = std::get<0>(expected.back());
      EXPECT_EQ(w.fraButton.Left() + w.fraButton.Width(), lastLeft + 2900);
      EXPECT_EQ(w.fraButton.Top(), 40 + 300 * std::min(31L, long(expected.size()) - 1) + 300);
      EXPECT_GE(w.ScaleWidth(), lastLeft + 2900);
      EXPECT_GE(w.ScaleHeight(), w.fraButton.Top() + w.fraButton.Height());
      EXPECT_EQ(status(w), kOffLine);
    });
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AllDataView, AHeadingThatFallsOnANewColumnStartsIt) {
  // Gamma (a heading and 4 settings) and IRIS (a heading and 26) fill the first column with 30
  // settings; Switch then opens the second column with its heading.
  std::string list = "1";
  for (int code = 2; code <= 254; ++code)
    if (gobjDataInfo[code]->SectionName == "Gamma" || gobjDataInfo[code]->SectionName == "IRIS")
      list += "," + std::to_string(code);
  gstrAllCmdList = list;
  view([&](FrmSimpleStyle& w) {
    const auto got = rows(w);
    ASSERT_EQ(got.size(), 34u);
    EXPECT_EQ(got[31], std::tuple(100L, 40L + 31 * 300, std::string("YOffset")));
    EXPECT_EQ(got[32], std::tuple(3000L, 40L, std::string("[Switch]")));
    EXPECT_EQ(std::tuple(w.txtData(1).Left(), w.txtData(1).Top()), std::tuple(3000L + 2200, 340L));
  });
  EXPECT_TRUE(reports.empty());
}

// On a screen too narrow for the columns of 32 rows but tall enough, a column takes as many rows
// as the height holds, so that every row shows without a scroll bar and the window fits. On a
// 1366 x 768 screen with a panel the columns scroll, and the window with the frame the window
// manager draws (a 38-pixel title bar) lies in the work area, with fewer rows than in the
// forms' own frame (a 24-pixel title bar and 3-pixel borders).
TEST_F(AllDataView, TheColumnsTakeTheRowsTheScreenHoldsWithTheWindowManagersFrame) {
  gblnDeveloping = true;
  ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
  const forms::ScreenObject::Area saved = forms::Screen.WorkArea();
  struct Case {
    long width, height;  // the work area (pixels)
    std::optional<forms::WindowFrame> frame;
    bool scrolls;
    long rowsInFirstColumn;
  } cases[] = {
      {1600, 1040, std::nullopt, false, 0},
      {1366, 728, std::nullopt, true, 32},
      {1366, 728, forms::WindowFrame{0, 38 * 15, 0, 0}, true, 31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.frame ? " framed" : ""));
    forms::Screen.SetWorkArea({0, 0, c.width * 15, c.height * 15});
    host.frame = c.frame;
    view([&](FrmSimpleStyle& w) {
      const auto got = rows(w);  // the rows shown
      EXPECT_EQ(w.hsColumns.Visible(), c.scrolls);
      const long rowsInFirstColumn = std::count_if(got.begin(), got.end(), [](const auto& r) { return std::get<0>(r) == 100; });
      if (c.scrolls) {
        EXPECT_EQ(rowsInFirstColumn, c.rowsInFirstColumn);
      } else {
        EXPECT_EQ(got.size(), static_cast<size_t>(w.lblData.Count() + w.lblSection.Count()));
        EXPECT_GT(rowsInFirstColumn, 32);
        EXPECT_GE(w.ScaleWidth(), std::get<0>(got.back()) + 2900);
      }
      EXPECT_LE(w.ScaleWidth() + w.FrameWidthOnScreen(), c.width * 15);
      EXPECT_LE(w.ScaleHeight() + w.FrameHeightOnScreen(), c.height * 15);
      EXPECT_GE(w.ScaleHeight(), w.fraButton.Top() + w.fraButton.Height());
    });
  }
  host.frame.reset();
  forms::Screen.SetWorkArea(saved);
  gblnDeveloping = false;
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AllDataView, EditsAreClampedStoredAndSentAtOnce) {
  goOnLine();
  view([&](FrmSimpleStyle& w) {
    EXPECT_EQ(status(w), kOnLine);
    const int c = aRow(w);
    const uint8_t code = static_cast<uint8_t>(c);
    camera().ClearReceived();
    // The box is selected when it takes the focus: typing replaces it, digit by digit.
    EXPECT_TRUE(w.txtData(c).UserType("300"));
    EXPECT_EQ(w.txtData(c).Text(), "255");
    EXPECT_EQ(sent(), (Wire{{code, 3}, {code, 30}, {code, 255}}));
    EXPECT_EQ(camera().Values()[c], 255);
    // Up at the maximum stays; Down steps; so does the up-down, from what the box shows.
    EXPECT_TRUE(w.UserKey(forms::vbKeyUp));
    EXPECT_TRUE(w.UserKey(forms::vbKeyDown));
    EXPECT_TRUE(w.udData(c).UserDown());
    EXPECT_EQ(sent(), (Wire{{code, 254}, {code, 253}}));
    // A pasted text that is no number is neither stored nor sent; leaving the box restores it.
    EXPECT_TRUE(w.txtData(c).UserPaste("x"));
    EXPECT_TRUE(w.cmdEnd.UserFocus());
    EXPECT_EQ(std::tuple(w.txtData(c).Text(), gbyteCurrentData[c]), std::tuple(std::string("253"), 253));
    EXPECT_EQ(sent(), Wire{});
  });
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AllDataView, EnterKeyModeTakesAValueOnlyWithEnter) {
  goOnLine();
  gblnEnterKeySend = true;
  // Opening reports nothing: the up-downs that move into their range while the rows are built
  // do not try to give the focus to a box of a window that is not shown yet.
  view([&](FrmSimpleStyle& w) {
    const int c = aRow(w);
    const uint8_t code = static_cast<uint8_t>(c);
    camera().ClearReceived();
    EXPECT_TRUE(w.txtData(c).UserType("12"));
    EXPECT_TRUE(w.UserKey(forms::vbKeyUp));
    EXPECT_EQ(std::tuple(w.txtData(c).Text(), gbyteCurrentData[c], sent()), std::tuple(std::string("12"), 7, Wire{}));
    EXPECT_TRUE(w.UserKey(forms::vbKeyReturn));
    EXPECT_EQ(std::tuple(gbyteCurrentData[c], sent()), std::tuple(12, Wire{{code, 12}}));
    // A value typed and left without Enter goes back to the stored one.
    EXPECT_TRUE(w.txtData(c).UserType("99"));
    EXPECT_TRUE(w.cmdEnd.UserFocus());
    EXPECT_EQ(std::tuple(w.txtData(c).Text(), gbyteCurrentData[c], sent()), std::tuple(std::string("12"), 12, Wire{}));
    // The up-down is sent at once and hands the focus to its box.
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(std::tuple(sent(), w.ActiveControl()), std::tuple(Wire{{code, 13}}, &w.txtData(c)));
  });
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, ClosesOnlyWhenNoValueIsBeingSentAndRemovesItsRows) {
  goOnLine();
  bool closing = false;
  host.onDoEvents = [&](int) {
    if (closing) return;
    closing = true;  // the user closes the window while the value is still being sent
    EXPECT_FALSE(frmSimpleStyle().UserClose());
  };
  std::vector<std::string> leftAtUnload;
  host.onUnload = [&](forms::Form& f) {
    for (forms::Control* c : f.Controls())
      if (c->IsArrayMember() && c->Index() != 1) leftAtUnload.push_back(c->DisplayName());
  };
  view([&](FrmSimpleStyle& w) {
    EXPECT_TRUE(w.udData(aRow(w)).UserUp());
    EXPECT_TRUE(closing);
    EXPECT_TRUE(w.Loaded());
  });
  EXPECT_EQ(host.boxes, (std::vector<Box>{{"Can't close because now processing.", forms::vbInformation, "Orvadex"}}));
  EXPECT_EQ(leftAtUnload, std::vector<std::string>{});
}

TEST_F(AllDataView, AFailedSendKeepsTheValueAndLaterEditsAreOnlyStored) {
  goOnLine();
  host.sayNo = true;  // do not go on waiting for the camera
  view([&](FrmSimpleStyle& w) {
    const int c = aRow(w);
    camera().SetSilent(true);
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(std::tuple(gblnOnLine, gbyteCurrentData[c], w.mblnNowProcessing[c]), std::tuple(false, 8, false));
    EXPECT_EQ(std::tuple(status(w), gbyteFirmVersion), std::tuple(kOffLine, 0));
    camera().ClearReceived();
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(std::tuple(gbyteCurrentData[c], wire()), std::tuple(9, Wire{}));
  });
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, AnUnpluggedCameraIsShownOffLineBeforeTheErrorAboutIt) {
  goOnLine();
  std::vector<Status> atBox;
  view([&](FrmSimpleStyle& w) {
    const int c = aRow(w);
    sim->line->Unplug();
    host.onBox = [&](const testutil::Box&) { atBox.push_back(status(w)); };
    EXPECT_TRUE(w.udData(c).UserUp());
    host.onBox = nullptr;
  });
  EXPECT_EQ(atBox, std::vector<Status>{kOffLine});
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(AllDataView, AfterTheViewAReadOfAllSettingsRunsInSectionAndKeyOrder) {
  goOnLine();
  const std::string built = gstrAllCmdList;
  view([](FrmSimpleStyle&) {});
  ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList));
  std::vector<int> read;
  for (const auto& [c, d] : sent()) read.push_back(c);
  EXPECT_EQ(read, Codes(SubMain::gstrSortCommandList(built)));
}

TEST_F(AllDataView, AListItemThatIsNoCodeIsReportedAndTheWindowStaysUsable) {
  for (const auto& [list, number] : {std::pair("1,x,65", 13L), std::pair("1,65,300", 9L)}) {
    gstrAllCmdList = list;
    gbyteCurrentData[1] = 0;
    reports.clear();
    view([&](FrmSimpleStyle& w) {
      EXPECT_EQ(forms::Screen.MousePointer(), forms::vbDefault);
      EXPECT_TRUE(w.txtData(1).UserType("9"));
      EXPECT_EQ(gbyteCurrentData[1], 9);
    });
    std::vector<std::pair<std::string, long>> got;
    for (const auto& r : reports) got.emplace_back(r.text, r.number);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, long>>{{"SubMain.gstrSortCommandList", number},
                                                              {"SubMain.gstrChangeEnableCommandList", number},
                                                              {"frmSimpleStyle.Form_Load", number}}));
  }
}

}  // namespace
}  // namespace linktest
