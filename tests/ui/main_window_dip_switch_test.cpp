// The DIP switch and the configuration bits: the registers the clicks compose and send, the
// two questions after an option click and what their answers send, and the side effects of
// "Variable Gain POT. range" and "AE Frame Normal Size".
#include <deque>
#include <string>
#include <vector>

#include "core/start_up.h"
#include "tests/ui/main_window_online_fixture.h"

namespace uitest {
namespace {

using Texts = std::vector<std::string>;

class DipSwitch : public OnLineWindowTest {
 protected:
  void SetUp() override {
    OnLineWindowTest::SetUp();
    developingMode();
  }
  // The user clicks option buttons on page 0, one after another.
  void clickOptions(const std::vector<int>& indexes) {
    ASSERT_TRUE(showPage(0));
    for (int i : indexes) ASSERT_TRUE(win().optDIPSwitch(i).UserClick()) << i;
  }
  // The catalogue numbers of the questions asked, as texts.
  Texts asked() const {
    Texts numbers;
    for (const std::string& p : host.prompts())
      numbers.push_back(p == vb::LoadResString(304) ? "304" : p == vb::LoadResString(305) ? "305" : p);
    return numbers;
  }
};

// Each click composes code 0x01 from the four groups (the camera holds 255 at first: "Positive",
// "Normal", gain "Auto", white balance "Auto") and sends it.
TEST_F(DipSwitch, OptionClicksComposeAndSendTheRegister) {
  struct Case {
    std::vector<int> clicks;
    Texts sent;
  };
  const Case cases[] = {
      // "Negative", "1/1000", gain "Manual", white balance "Manual" then "Auto": 0 + 108 + 0 + 1.
      {{0, 15, 20, 22, 23}, {"127", "111", "109", "108", "109"}},
      {{0, 1}, {"127", "255"}},
      // "Electronic Iris" with "Negative", "Manual", "Manual".
      {{2, 0, 20, 22}, {"159", "31", "29", "28"}},
      {{4, 11, 18, 3}, {"195", "223", "251", "191"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sent.back());
    ASSERT_TRUE(connectCamera());
    host.boxes.clear();
    host.sayNo = true;
    clickOptions(c.clicks);
    EXPECT_EQ(sentValues(1), c.sent);
    EXPECT_EQ(win().txtData(1).Text(), c.sent.back());
    // Every click asks for "Disable on-board DIP SW" while it stays clear.
    EXPECT_EQ(host.count(304), static_cast<int>(c.clicks.size()));
  }
}

// Register 0x02 holds 192 in the camera: bit 7 and the "(don't care)" bit 6 go back with it.
TEST_F(DipSwitch, TheAnswersToTheQuestionsSendTheOnBoardBits) {
  const int Y = forms::vbYes, N = forms::vbNo;
  struct Case {
    const char* name;
    uint8_t config0;
    std::vector<int> clicks;  // white balance "Auto" (23) is selected at first
    std::deque<int> answers;
    Texts asked, sent;
  };
  const Case cases[] = {
      {"No leaves the box clear", 192, {0}, {N}, {"304"}, {}},
      {"Yes ticks bit 0 once", 192, {0, 15}, {Y}, {"304"}, {"193"}},
      {"Manual white balance, No and Yes", 192, {22}, {N, Y}, {"304", "305"}, {"194"}},
      {"asked again while clear", 192, {22, 2}, {N, N, N}, {"304", "305", "304"}, {}},
      {"Auto never asks 305", 192, {22, 23}, {N, N, N}, {"304", "305", "304"}, {}},
      {"on-board POTs already disabled", 194, {22}, {Y}, {"304"}, {"195"}},
      {"both already disabled", 195, {22, 0}, {}, {}, {}},
      {"Manual white balance, Yes and Yes", 192, {22}, {Y, Y}, {"304", "305"}, {"193", "195"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    config.defaults[2] = c.config0;
    ASSERT_TRUE(connectCamera());
    host.boxes.clear();
    host.answers = c.answers;
    clickOptions(c.clicks);
    EXPECT_EQ(asked(), c.asked);
    EXPECT_EQ(sentValues(2), c.sent);
    EXPECT_EQ(sentValues(1).size(), c.clicks.size());
    EXPECT_TRUE(host.answers.empty());
  }
  // Code 0x01 is sent before the questions; Yes/No with the question icon and the title.
  EXPECT_EQ(settingsSent(), (Wire{{1, 254}, {2, 193}, {2, 195}}));
  EXPECT_EQ(host.boxes.front(), (Box{vb::LoadResString(304), forms::vbYesNo + forms::vbQuestion,
                                     SubMain::gstrGetAppTitleString()}));
}

// "AE Frame Normal Size", "Chroma Gain up (x2)" and "RGB Matrix1" send 49; the first bit also
// picks the AE frame's shape. Register 0x03 spreads over two pages.
TEST_F(DipSwitch, ConfigurationBoxesComposeAndSendTheirRegister) {
  config.defaults[2] = 192;
  config.defaults[3] = config.defaults[4] = 0;
  ASSERT_TRUE(connectCamera());
  FrmMain& w = win();
  ASSERT_TRUE(showPage(7));
  for (int m : {1, 16, 32}) ASSERT_TRUE(w.chkConfig2(m).UserClick()) << m;
  EXPECT_TRUE(w.shpIrisCenterFrame(0).Visible());
  ASSERT_TRUE(w.chkConfig2(1).UserClick());
  EXPECT_TRUE(w.shpIrisCenterFrame(1).Visible());
  EXPECT_FALSE(w.shpIrisCenterFrame(0).Visible());
  EXPECT_EQ(sentValues(4), (Texts{"1", "17", "49", "48"}));
  ASSERT_TRUE(showPage(8));
  ASSERT_TRUE(w.chkConfig1(16).UserClick());
  ASSERT_TRUE(showPage(9));
  ASSERT_TRUE(w.chkConfig1(4).UserClick());
  EXPECT_EQ(sentValues(3), (Texts{"16", "20"}));
  // "Variable Gain POT. range" frees the editors of "Gain POT. range" (0x45) at once.
  ASSERT_TRUE(showPage(7));
  ASSERT_TRUE(w.chkConfig0(32).UserClick());
  EXPECT_TRUE(w.vsData(69).Enabled());
  ASSERT_TRUE(w.chkConfig0(32).UserClick());
  EXPECT_FALSE(w.txtData(69).Enabled());
  EXPECT_EQ(sentValues(2), (Texts{"224", "192"}));
  EXPECT_TRUE(host.boxes.empty());
}

// Shown values and program writes compose and send nothing, but the code 0x45 editors (whether
// the camera supports 0x45 or not) and the AE frame shape follow the boxes.
TEST_F(DipSwitch, ShownValuesDriveOnlyTheSideEffects) {
  struct Case {
    bool oldCamera;
    uint8_t config0, config2;
    bool gainPotRange, normalAEFrame;
  };
  for (const Case& c : {Case{false, 192, 5, false, true}, Case{false, 192 | 32, 4, true, false},
                        Case{true, 192, 4, false, false}, Case{true, 192 | 32, 5, true, true}}) {
    SCOPED_TRACE(std::to_string(c.oldCamera) + "/" + std::to_string(c.config0) + "/" + std::to_string(c.config2));
    if (c.oldCamera) oldLayoutCamera();
    else newLayoutCamera();
    config.defaults[2] = c.config0;
    config.defaults[4] = c.config2;
    ASSERT_TRUE(connectCamera());
    FrmMain& w = win();
    for (forms::Control* e : std::vector<forms::Control*>{&w.txtData(69), &w.udData(69), &w.vsData(69)})
      EXPECT_EQ(e->Enabled(), c.gainPotRange) << e->DisplayName();
    EXPECT_EQ(w.shpIrisCenterFrame(0).Visible(), c.normalAEFrame);
    EXPECT_EQ(w.shpIrisCenterFrame(1).Visible(), !c.normalAEFrame);
    w.mblnSetByProgram = true;
    w.optDIPSwitch(0).Value(true);
    w.optDIPSwitch(22).Value(true);
    w.chkConfig0(32).Value(c.gainPotRange ? 0 : 1);
    w.chkConfig2(1).Value(c.normalAEFrame ? 0 : 1);
    w.mblnSetByProgram = false;
    EXPECT_EQ(w.vsData(69).Enabled(), !c.gainPotRange);
    EXPECT_EQ(w.shpIrisCenterFrame(0).Visible(), !c.normalAEFrame);
    EXPECT_EQ(w.txtData(1).Text(), "255");
    EXPECT_EQ(settingsSent(), Wire{});
    EXPECT_TRUE(host.boxes.empty());
  }
}

}  // namespace
}  // namespace uitest
