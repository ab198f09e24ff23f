// The all-data view against the simulated camera on the virtual line: its rows and columns,
// editing and sending, Enter-key mode, the line status, closing, and the transfer order it
// leaves behind.
#include "ui/all_data_window.h"

#include <algorithm>
#include <functional>
#include <tuple>

#include "core/command_lists.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

constexpr long kGreen = 0x00FF00, kRed = 0x0000FF;

class AllDataView : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    ASSERT_TRUE(SubMain::mblnIniVariable());
    gblnEnterKeySend = false;
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
      FrmSimpleStyle& w = frmSimpleStyle();
      user(w);
      if (w.Loaded()) {
        EXPECT_TRUE(w.cmdEnd.UserClick());
      }
    };
    frmSimpleStyle().Show(forms::vbModal);
    EXPECT_FALSE(frmSimpleStyle().Loaded());
  }
  // The first code of the rows with the range 0 to 255 whose current value is `value`.
  static int aFullRangeCode(FrmSimpleStyle& w, uint8_t value) {
    for (int code : w.txtData.Indexes()) {
      if (w.udData(code).Min() == 0 && w.udData(code).Max() == 255 && w.txtData(code).Visible()) {
        gbyteCurrentData[code] = value;
        w.mblnSetDataToCtrl();
        return code;
      }
    }
    ADD_FAILURE() << "no code with the full range";
    return 1;
  }
  // The pairs of setting codes the camera received since the last call (frames left out).
  Wire sent() {
    Wire pairs;
    for (const auto& p : wire())
      if (p.first != 0) pairs.push_back(p);
    camera().ClearReceived();
    return pairs;
  }

  struct Row {
    long left, top;
    std::string caption;
    bool operator<(const Row& o) const { return std::tie(left, top) < std::tie(o.left, o.top); }
  };
  // The shown headings and key names in column order.
  static std::vector<Row> rows(FrmSimpleStyle& w) {
    std::vector<Row> all;
    for (auto* array : {&w.lblSection, &w.lblData})
      for (forms::Label& l : *array)
        if (l.Visible()) all.push_back({l.Left(), l.Top(), l.Caption()});
    std::sort(all.begin(), all.end());
    return all;
  }
  // What the rows should read for the list: a heading at each new section, then the key names.
  static std::vector<std::string> expectedCaptions(const std::string& list) {
    std::vector<std::string> captions;
    std::string section;
    for (int code : Codes(list)) {
      const clsDataInfo& info = *gobjDataInfo[code];
      if (captions.empty() || info.SectionName != section) captions.push_back("[" + info.SectionName + "]");
      section = info.SectionName;
      captions.push_back(info.KeyName);
    }
    return captions;
  }
};

TEST_F(AllDataView, RowsFollowTheSortedListOfTheModeThirtyTwoToAColumn) {
  for (bool advanced : {false, true}) {
    SCOPED_TRACE(advanced ? "advanced" : "normal");
    ASSERT_TRUE(SubMain::gblnMakeAllCmdSet());
    gblnAdvancedMode = advanced;
    const std::string sorted = SubMain::gstrSortCommandList(gstrAllCmdList);
    ASSERT_NE(sorted, gstrAllCmdList);
    view([&](FrmSimpleStyle& w) {
      EXPECT_EQ(w.Caption(), "Orvadex [View All Data]");
      EXPECT_EQ(gstrAllCmdList, sorted);
      const std::string shown = SubMain::gstrChangeEnableCommandList();
      const std::vector<Row> got = rows(w);
      std::vector<std::string> captions;
      for (size_t k = 0; k < got.size(); ++k) {
        captions.push_back(got[k].caption);
        EXPECT_EQ(std::tuple(got[k].left, got[k].top),
                  std::tuple(100 + 2900 * long(k / 32), 40 + 300 * long(k % 32))) << got[k].caption;
      }
      EXPECT_EQ(captions, expectedCaptions(shown));
      // Each row: the box after its 2200-twip name, the up-down after the 400-twip box, the
      // range of the setting, the current value.
      for (int code : Codes(shown)) {
        const forms::Label& name = w.lblData(code);
        const forms::TextBox& box = w.txtData(code);
        const forms::UpDown& spin = w.udData(code);
        EXPECT_EQ(std::tuple(box.Left(), box.Top(), box.Width(), spin.Left(), spin.Top(), spin.Width()),
                  std::tuple(name.Left() + 2200, name.Top(), 400L, name.Left() + 2600, name.Top(), 240L));
        EXPECT_EQ(std::tuple(spin.Min(), spin.Max(), spin.BuddyControl(), spin.TabStop()),
                  std::tuple(long(gobjDataInfo[code]->Min), long(gobjDataInfo[code]->Max),
                             static_cast<forms::Control*>(&w.txtData(code)), false));
        EXPECT_EQ(box.Text(), std::to_string(gbyteCurrentData[code]));
        EXPECT_EQ(box.WindowStyle() & forms::ES_NUMBER, forms::ES_NUMBER);
      }
      // The buttons under the rows, at the right of the last column; the window holds them.
      const long lastLeft = got.back().left;
      const long bottom = std::max_element(got.begin(), got.end(), [](auto& a, auto& b) { return a.top < b.top; })->top;
      EXPECT_EQ(std::tuple(w.fraButton.Left() + w.fraButton.Width(), w.fraButton.Top()),
                std::tuple(lastLeft + 2900, bottom + 300));
      EXPECT_GE(w.ScaleWidth(), lastLeft + 2900);
      EXPECT_GE(w.ScaleHeight(), w.fraButton.Top() + w.fraButton.Height());
      EXPECT_EQ(std::tuple(w.lblStatus.Caption(), w.lblStatus.ForeColor()), std::tuple(std::string("Off Line"), kRed));
    });
  }
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AllDataView, AHeadingThatFallsOnANewColumnStartsIt) {
  // Gamma (a heading and 4 settings) and IRIS (a heading and 26) fill the first column with 30
  // settings; Switch then opens the second column with its heading.
  std::string list;
  for (int code = 1; code <= 254; ++code) {
    const std::string& section = gobjDataInfo[code]->SectionName;
    if ((section == "Gamma" || section == "IRIS" || section == "Switch") && gobjDataInfo[code]->EnableMode == "Normal")
      list += (list.empty() ? "" : ",") + std::to_string(code);
  }
  gstrAllCmdList = list;
  view([&](FrmSimpleStyle& w) {
    const std::vector<Row> got = rows(w);
    ASSERT_EQ(got.size(), 34u);
    EXPECT_EQ(got[5].caption, "[IRIS]");
    EXPECT_EQ(std::tuple(got[31].left, got[31].top, got[31].caption), std::tuple(100L, 40L + 31 * 300, std::string("YOffset")));
    // Code 1 both heads its section (member 1 of the headings) and has the row below.
    EXPECT_EQ(std::tuple(w.lblSection(1).Left(), w.lblSection(1).Top(), w.lblSection(1).Caption()),
              std::tuple(3000L, 40L, std::string("[Switch]")));
    EXPECT_EQ(std::tuple(w.txtData(1).Left(), w.txtData(1).Top()), std::tuple(3000L + 2200, 340L));
  });
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, EditsAreClampedStoredAndSentAtOnce) {
  goOnLine();
  view([&](FrmSimpleStyle& w) {
    EXPECT_EQ(std::tuple(w.lblStatus.Caption(), w.lblStatus.ForeColor()), std::tuple(std::string("On Line"), kGreen));
    const int c = aFullRangeCode(w, 7);
    const uint8_t code = static_cast<uint8_t>(c);
    camera().ClearReceived();
    // The box is selected when it takes the focus: typing replaces it, digit by digit.
    EXPECT_TRUE(w.txtData(c).UserType("300"));
    EXPECT_EQ(w.txtData(c).Text(), "255");
    EXPECT_EQ(sent(), (Wire{{code, 3}, {code, 30}, {code, 255}}));
    EXPECT_EQ(std::tuple(gbyteCurrentData[c], camera().Values()[c]), std::tuple(255, 255));
    // Up at the maximum stays; Down steps; the up-down steps from what the box shows.
    EXPECT_TRUE(w.UserKey(forms::vbKeyUp));
    EXPECT_TRUE(w.UserKey(forms::vbKeyDown));
    EXPECT_TRUE(w.udData(c).UserDown());
    EXPECT_EQ(w.txtData(c).Text(), "253");
    EXPECT_EQ(sent(), (Wire{{code, 254}, {code, 253}}));
    // A pasted text that is no number is neither stored nor sent, and leaving the box restores it.
    EXPECT_TRUE(w.txtData(c).UserPaste("x"));
    EXPECT_TRUE(w.cmdEnd.UserFocus());
    EXPECT_EQ(w.txtData(c).Text(), "253");
    EXPECT_EQ(sent(), Wire{});
  });
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, OffLineEditsAreOnlyStoredAndTheStatusIsRed) {
  view([&](FrmSimpleStyle& w) {
    const int c = aFullRangeCode(w, 7);
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(gbyteCurrentData[c], 8);
    EXPECT_EQ(std::tuple(w.lblStatus.Caption(), w.lblStatus.ForeColor(), gbyteFirmVersion),
              std::tuple(std::string("Off Line"), kRed, uint8_t(0)));
  });
  EXPECT_TRUE(wire().empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(AllDataView, EnterKeyModeTakesAValueOnlyWithEnter) {
  goOnLine();
  gblnEnterKeySend = true;
  view([&](FrmSimpleStyle& w) {
    const int c = aFullRangeCode(w, 7);
    const uint8_t code = static_cast<uint8_t>(c);
    camera().ClearReceived();
    EXPECT_TRUE(w.txtData(c).UserType("12"));
    EXPECT_TRUE(w.UserKey(forms::vbKeyUp));
    EXPECT_TRUE(w.UserKey(forms::vbKeyDown));
    EXPECT_EQ(std::tuple(w.txtData(c).Text(), gbyteCurrentData[c]), std::tuple(std::string("12"), 7));
    EXPECT_EQ(sent(), Wire{});
    EXPECT_TRUE(w.UserKey(forms::vbKeyReturn));
    EXPECT_EQ(gbyteCurrentData[c], 12);
    EXPECT_EQ(sent(), (Wire{{code, 12}}));
    // A value typed and left without Enter goes back to the stored one.
    EXPECT_TRUE(w.txtData(c).UserType("99"));
    EXPECT_TRUE(w.cmdEnd.UserFocus());
    EXPECT_EQ(std::tuple(w.txtData(c).Text(), gbyteCurrentData[c]), std::tuple(std::string("12"), 12));
    EXPECT_EQ(sent(), Wire{});
    // The up-down is sent at once and hands the focus to its box.
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(sent(), (Wire{{code, 13}}));
    EXPECT_EQ(w.ActiveControl(), &w.txtData(c));
  });
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, ClosesOnlyWhenNoValueIsBeingSentAndRemovesItsRows) {
  goOnLine();
  bool closing = false;
  host.onDoEvents = [&](int) {
    // The user closes the window while the value is still being sent.
    if (closing) return;
    closing = true;
    EXPECT_FALSE(frmSimpleStyle().UserClose());
  };
  std::vector<std::string> leftAtUnload;
  host.onUnload = [&](forms::Form& f) {
    for (forms::Control* c : f.Controls())
      if (c->IsArrayMember() && c->Index() != 1) leftAtUnload.push_back(c->DisplayName());
  };
  view([&](FrmSimpleStyle& w) {
    const int c = aFullRangeCode(w, 7);
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_TRUE(closing);
    EXPECT_TRUE(w.Loaded());
    EXPECT_FALSE(w.mblnNowProcessing[c]);
  });
  EXPECT_EQ(host.boxes, (std::vector<Box>{{"Can't close because now processing.", forms::vbInformation, "Orvadex"}}));
  EXPECT_TRUE(leftAtUnload.empty()) << leftAtUnload.front();
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, AFailedSendKeepsTheValueAndShowsTheLineLost) {
  goOnLine();
  host.sayNo = true;  // do not go on waiting for the camera
  view([&](FrmSimpleStyle& w) {
    const int c = aFullRangeCode(w, 7);
    camera().SetSilent(true);
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_FALSE(gblnOnLine);
    EXPECT_EQ(gbyteCurrentData[c], 8);
    EXPECT_FALSE(w.mblnNowProcessing[c]);
    EXPECT_EQ(std::tuple(w.lblStatus.Caption(), w.lblStatus.ForeColor(), gbyteFirmVersion),
              std::tuple(std::string("Off Line"), kRed, uint8_t(0)));
    // The window stays usable: the next edit is stored only.
    EXPECT_TRUE(w.udData(c).UserUp());
    EXPECT_EQ(gbyteCurrentData[c], 9);
  });
  EXPECT_FALSE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(AllDataView, AfterTheViewAReadOfAllSettingsRunsInSectionAndKeyOrder) {
  goOnLine();
  const std::string built = gstrAllCmdList;
  view([](FrmSimpleStyle&) {});
  EXPECT_EQ(gstrAllCmdList, SubMain::gstrSortCommandList(built));
  camera().ClearReceived();
  ASSERT_TRUE(mdlMSComm::gblnGetDataFromCamera(gstrAllCmdList));
  std::vector<int> read;
  for (const auto& [c, d] : sent()) read.push_back(c);
  EXPECT_EQ(read, Codes(SubMain::gstrSortCommandList(built)));
}

}  // namespace
}  // namespace linktest
