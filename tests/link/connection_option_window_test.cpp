// The connection-option window: what it shows, what OK, Cancel and the close box store, the
// edits of the number boxes and the baud-rate normalisation at load.
#include "link/connection_option_window.h"
#include "platform/vb/vb.h"
#include "tests/link/link_fixture.h"

namespace linktest {
namespace {

class OptionWindow : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    // Besides the link fixture's settings (10, 100, 5, 10, 1, ...):
    gblnWriteErrLogWrongReplay = gblnOptimizeWritting = true;
  }
  FrmConectionOption& w() { return frmConectionOption(); }
  forms::TextBox& box(int i) { return w().txtNum(i); }
};

TEST_F(OptionWindow, LoadShowsTheSettingsAndHidesTheSerialControls) {
  host.onModal = [&](forms::Form&) {
    EXPECT_EQ(w().Caption(), SubMain::gstrGetAppTitleString() + " [Option]");
    std::vector<std::string> texts;
    std::vector<int> checks;
    std::vector<long> minima;
    for (int i = 256; i <= 260; ++i) texts.push_back(box(i).Text());
    for (int i : {261, 262, 263, 264, 266}) checks.push_back(w().chkBool(i).Value());
    for (int i = 256; i <= 260; ++i) minima.push_back(w().udNum(i).Min());
    EXPECT_EQ(texts, (std::vector<std::string>{"10", "100", "5", "10", "1"}));
    EXPECT_EQ(checks, (std::vector<int>{forms::vbChecked, forms::vbUnchecked, forms::vbChecked, forms::vbUnchecked,
                                        forms::vbChecked}));
    EXPECT_EQ(minima, (std::vector<long>{0, 1, 5, 0, 1}));
    for (int i = 256; i <= 260; ++i) {
      EXPECT_EQ(w().lblData(i).Caption(), vb::LoadResString(i));
      EXPECT_EQ(w().udNum(i).Max(), 65000);
      EXPECT_EQ(w().udNum(i).TabIndex(), box(i).TabIndex() + 1);
      EXPECT_FALSE(w().udNum(i).TabStop());
      EXPECT_NE(box(i).WindowStyle() & forms::ES_NUMBER, 0);
    }
    for (int i : {261, 262, 263, 264}) EXPECT_EQ(w().chkBool(i).Caption(), vb::LoadResString(i));
    EXPECT_FALSE(w().lblData(265).Visible() || w().cmbRS232cSettings.Visible() || w().chkBool(266).Visible() ||
                 w().cmdChkBaudRate.Visible() || w().linBaudRateUnder.Visible());
    w().cmdCancel.UserClick();
  };
  w().Show(forms::vbModal);
  EXPECT_FALSE(w().Loaded());
  EXPECT_TRUE(reports.empty());
}

TEST_F(OptionWindow, OkStoresEveryValueCancelAndTheCloseBoxStoreNone) {
  auto edit = [&] {
    box(256).UserFocus();
    box(256).UserSelect(0, 10);
    box(256).UserType("3");
    box(257).UserFocus();
    box(257).UserSelect(0, 10);
    box(257).UserType("20");
    w().chkBool(261).UserClick();
    w().chkBool(264).UserClick();
  };
  for (int road = 0; road < 2; ++road) {
    host.onModal = [&](forms::Form&) {
      edit();
      if (road == 0) w().cmdCancel.UserClick();
      else w().UserClose();
    };
    w().Show(forms::vbModal);
    EXPECT_EQ(glngRcvRetry, 10);
    EXPECT_EQ(glngSleepTimeUnit, 100);
    EXPECT_TRUE(gblnWriteErrLogWrongReplay);
    EXPECT_FALSE(gblnWriteLogFile);
  }
  host.onModal = [&](forms::Form&) {
    edit();
    w().cmdOk.UserClick();
  };
  w().Show(forms::vbModal);
  EXPECT_EQ(glngRcvRetry, 3);
  EXPECT_EQ(glngSleepTimeUnit, 20);
  EXPECT_EQ(glngTimeOut, 5);
  EXPECT_FALSE(gblnWriteErrLogWrongReplay);
  EXPECT_TRUE(gblnWriteLogFile);
  EXPECT_TRUE(gblnOptimizeWritting);
  EXPECT_TRUE(gblnAutoBaudRateChange);
  EXPECT_TRUE(reports.empty());
}

TEST_F(OptionWindow, NumberBoxesKeepTheirRanges) {
  glngRcvRetry = 65000;
  host.onModal = [&](forms::Form&) {
    // Up at the maximum and Down at the minimum leave the value.
    box(256).UserFocus();
    w().UserKey(forms::vbKeyUp);
    EXPECT_EQ(box(256).Text(), "65000");
    box(258).UserFocus();
    w().UserKey(forms::vbKeyDown);
    EXPECT_EQ(box(258).Text(), "5");
    w().UserKey(forms::vbKeyUp);
    EXPECT_EQ(box(258).Text(), "6");
    // A time-out of 0 is put back to the up-down's value when the box is left.
    box(258).UserSelect(0, 10);
    box(258).UserType("0");
    box(259).UserFocus();
    EXPECT_EQ(box(258).Text(), vb::CStr(w().udNum(258).Value()));
    EXPECT_EQ(w().udNum(258).Value(), 6);
    // A box that is not numeric shows the up-down's value again, all selected, when it gets
    // the focus.
    box(260).UserFocus();
    box(259).Text("");
    box(259).UserFocus();
    EXPECT_EQ(box(259).Text(), vb::CStr(w().udNum(259).Value()));
    EXPECT_EQ(box(259).SelLength(), vb::Len(box(259).Text()));
    box(260).UserFocus();
    box(260).UserSelect(0, 10);
    box(260).UserType("0");
    // OK by the Enter key, without leaving the box: at least 1 is stored.
    w().UserKey(forms::vbKeyReturn);
  };
  w().Show(forms::vbModal);
  EXPECT_FALSE(w().Loaded());
  EXPECT_EQ(glngRcvRetry, 65000);
  EXPECT_EQ(glngTimeOut, 6);
  EXPECT_EQ(glngRetryTimeOutBeforeMsg, 1);
  EXPECT_TRUE(reports.empty());
}

// Numbers of any size pasted into a number box: a key leaves a number beyond a Long as it is,
// leaving the box puts the up-down's value back; nothing overflows.
TEST_F(OptionWindow, NumbersBeyondTheRangeOfAnyTypeAreReplacedOnLeaving) {
  struct Case {
    const char* pasted;
    const char* afterKey;  // the text after the Up arrow
  };
  const std::vector<Case> cases{{"99999999999", "99999999999"}, {"-99999999999", "-99999999999"},
                                {"2147483648", "2147483648"},   {"1e400", "1e400"},
                                {"-1e400", "-1e400"},           {"1e20", "1e20"},
                                {"65001", "65001"},             {"2147483647", "2147483647"}};
  host.onModal = [&](forms::Form&) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.pasted);
      const std::string before = vb::CStr(w().udNum(257).Value());
      box(257).UserFocus();
      box(257).UserSelect(0, vb::Len(box(257).Text()));
      box(257).UserPaste(c.pasted);
      w().UserKey(forms::vbKeyUp);
      EXPECT_EQ(box(257).Text(), c.afterKey);
      box(256).UserFocus();
      EXPECT_EQ(box(257).Text(), before);
    }
    // The last one is left in the box for OK by the Enter key: the up-down's value is stored.
    box(258).UserFocus();
    box(258).UserSelect(0, vb::Len(box(258).Text()));
    box(258).UserPaste("1e400");
    w().UserKey(forms::vbKeyReturn);
  };
  w().Show(forms::vbModal);
  EXPECT_FALSE(w().Loaded());
  EXPECT_EQ(glngSleepTimeUnit, 100);
  EXPECT_EQ(glngTimeOut, 5);
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(OptionWindow, LoadingNormalisesTheSerialSettingsAndAppliesThemEvenWhenCancelled) {
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case c : {Case{"9600,N,8,2", "9600,n,8,2"}, Case{"1200,N,8,2", "1200,n,8,2"},
                       Case{"4800,n,8,2", "1200,n,8,2"}, Case{"9600,n,8,1", "1200,n,8,2"}}) {
    SCOPED_TRACE(c.before);
    gstrSettings = c.before;
    comm->Settings("19200,n,8,1");
    host.onModal = [&](forms::Form&) { w().cmdCancel.UserClick(); };
    w().Show(forms::vbModal);
    EXPECT_EQ(gstrSettings, c.after);
    EXPECT_EQ(comm->Settings(), c.after);
  }
}

}  // namespace
}  // namespace linktest
