// The status poll of the "Current Data" frame (page Dev1) and the focus each page gives.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/start_up.h"
#include "tests/ui/main_window_online_fixture.h"

namespace uitest {
namespace {

class StatusPoll : public OnLineWindowTest {
 protected:
  // Connects to a camera with these status bytes and shows the poll's page, Dev1.
  void start(std::array<uint8_t, 4> status) {
    developingMode();
    config.status = status;
    ASSERT_TRUE(connectCamera());
    ASSERT_TRUE(showPage(13));
  }
  forms::CommandButton& button() { return win().cmdGetCurrentData; }
  bool idle() { return button().Caption() == "Get(&G)" && !vb::CBool(button().Tag()); }
  // The status readings the camera answered since the connect.
  int readings() const {
    int n = 0;
    for (const auto& p : wire()) n += p == std::pair<uint8_t, uint8_t>{0, 17};
    return n;
  }
  // The user acts once, in the poll's pause after `afterReadings` readings.
  void inPauseAfter(int afterReadings, std::function<void()> action) {
    host.onDoEvents = [this, afterReadings, action, done = false](int) mutable {
      if (!done && readings() >= afterReadings) {
        done = true;
        action();
      }
    };
  }
};

// A second click stops the poll; the line shows the reading's time and values.
TEST_F(StatusPoll, TheStatusLineShowsEachReading) {
  struct Case {
    std::array<uint8_t, 4> status;
    const char* values;
  };
  for (const Case& c : {Case{{5, 32, 7, 100}, "   IRIS=005   WbRB=32   WbMG=07   Gain=100"},
                        Case{{255, 132, 0, 9}, "   IRIS=255   WbRB=32   WbMG=00   Gain=009"}}) {
    SCOPED_TRACE(c.values);
    start(c.status);
    EXPECT_EQ(win().lblCurrentData.Caption(), "None");
    std::string shown, caption;
    inPauseAfter(1, [&] {
      shown = win().lblCurrentData.Caption();
      caption = button().Caption();
      button().UserClick();
    });
    ASSERT_TRUE(button().UserClick());
    EXPECT_TRUE(testutil::HasShape(shown, "Time ##:##:##" + std::string(c.values))) << shown;
    EXPECT_EQ(caption, "Stop(&S)");
    EXPECT_TRUE(idle());
    EXPECT_EQ(readings(), 1);
    EXPECT_TRUE(host.boxes.empty());
  }
}

// Every 1000 ms another reading, until the button loses the focus to a change of page.
TEST_F(StatusPoll, ChangingThePageStopsThePoll) {
  start({1, 2, 3, 4});
  int64_t firstPause = -1;
  host.onDoEvents = [&](int) {
    if (firstPause < 0) firstPause = clock().NowUs();
    if (readings() == 3 && win().SSTab1.Tab() != 3) win().SSTab1.UserSelectTab(3);
  };
  ASSERT_TRUE(button().UserClick());
  const Wire reading = {{0, 1}, {0, 17}, {0, 18}, {0, 19}, {0, 20}, {0, 0}};
  Wire three;
  for (int i = 0; i < 3; ++i) three.insert(three.end(), reading.begin(), reading.end());
  EXPECT_EQ(wire(), three);
  EXPECT_GE(clock().NowUs() - firstPause, 2 * 1000000);
  EXPECT_EQ(win().ActiveControl(), &win().txtData(92));
  EXPECT_TRUE(idle());
}

// While a value is being sent the button is refused (one message per busy code); off line it
// offers a reconnect, and either answer ends in the off-line state without a poll.
TEST_F(StatusPoll, BusyAndOffLineRefusals) {
  start({1, 2, 3, 4});
  win().mblnNowProcessing[0x30] = win().mblnNowProcessing[0x31] = true;
  inPauseAfter(1, [&] { button().UserClick(); });  // stops a poll that should not have started
  ASSERT_TRUE(button().UserClick());
  EXPECT_EQ(host.prompts(), (std::vector<std::string>(2, vb::LoadResString(374))));
  EXPECT_EQ(readings(), 0);
  EXPECT_TRUE(idle());
  win().mblnNowProcessing.fill(false);

  const std::string title = SubMain::gstrGetAppTitleString();
  for (int answer : {forms::vbNo, forms::vbYes}) {
    SCOPED_TRACE(answer);
    start({1, 2, 3, 4});
    sim->camera.SetSilent(true);
    gblnOnLine = false;
    host.boxes.clear();
    host.answers = {answer};
    host.sayNo = true;  // to the link's questions while a reconnect tries the silent camera
    ASSERT_TRUE(button().UserClick());
    ASSERT_GE(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes.front(), (Box{vb::LoadResString(310), forms::vbYesNo + forms::vbExclamation, title}));
    const int icon = answer == forms::vbNo ? forms::vbInformation : forms::vbExclamation;
    EXPECT_EQ(host.boxes.back(), (Box{vb::LoadResString(351), forms::vbOKOnly + icon, title}));
    EXPECT_EQ(readings(), 0);
    EXPECT_EQ(win().lblFirmWareVersion.Caption(), "FirmWare Ver.0");
    EXPECT_EQ(win().lblOnLine.Caption(), "Off Line(COM1)");
    EXPECT_TRUE(idle());
  }
}

// The first field of each page (as the table of pages gives it) takes the focus when the tabs
// get it; the developing pages leave the focus on the tabs, and so does a field that cannot
// take it, without a message.
TEST_F(OnLineWindowTest, EachPageGivesTheFocusToItsFirstField) {
  developingMode();
  ASSERT_TRUE(connectCamera());
  ASSERT_TRUE(showPage(0));
  FrmMain& w = win();
  std::vector<forms::Control*> firsts;
  for (int tab = 0; tab < 15; ++tab) {
    ASSERT_TRUE(w.SSTab1.UserSelectTab(tab)) << tab;
    forms::Control* focus = w.ActiveControl();
    ASSERT_NE(focus, nullptr) << tab;
    EXPECT_EQ(focus, pageFocus(tab) ? pageFocus(tab) : &w.SSTab1) << tab << ": " << focus->DisplayName();
    firsts.push_back(focus);
  }
  // Page 0: "Negative" when it is the selected polarity; nothing when neither is. Page 1
  // with its first field disabled, as for a camera without code 0x30.
  const auto selectFromPage1 = [&](int tab) {
    ASSERT_TRUE(w.SSTab1.UserSelectTab(1));
    ASSERT_TRUE(w.txtData(0x31).UserFocus());  // away from the tabs, which then get it again
    ASSERT_TRUE(w.SSTab1.UserSelectTab(tab));
  };
  w.mblnSetByProgram = true;
  w.optDIPSwitch(0).Value(true);
  w.mblnSetByProgram = false;
  selectFromPage1(0);
  EXPECT_EQ(w.ActiveControl(), &w.optDIPSwitch(0));
  w.optDIPSwitch(0).Value(false);
  selectFromPage1(0);
  EXPECT_EQ(w.ActiveControl(), &w.SSTab1);
  firsts[1]->Enabled(false);
  selectFromPage1(1);
  EXPECT_EQ(w.ActiveControl(), &w.SSTab1);
  w.Form_Activate();
  EXPECT_EQ(w.ActiveControl(), &w.SSTab1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace uitest
