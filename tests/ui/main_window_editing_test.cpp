// Editing values on the main window: boxes, up-downs, arrow keys and bars reaching the camera,
// clamping, Enter-key mode, the busy flag's re-run, off-line edits, a camera falling silent, and
// the white-balance pair rule.
#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

class MainWindowEditing : public MainWindowTest {
 protected:
  // Starts on line with the camera's settings as they are; forgets the start-up traffic.
  void online() {
    ASSERT_TRUE(startProgram());
    ASSERT_TRUE(gblnOnLine);
    clearWire();
    host.boxes.clear();
  }
  // The framed single sends the camera received, as (code, value).
  Wire sends() const {
    Wire out;
    const Wire w = wire();
    for (size_t i = 0; i + 2 < w.size() + 0; ++i)
      if (w[i] == std::pair<uint8_t, uint8_t>{0, 1} && w[i + 1].first != 0 && w[i + 2] == std::pair<uint8_t, uint8_t>{0, 0})
        out.push_back(w[i + 1]);
    return out;
  }
};

TEST_F(MainWindowEditing, TypingClickingKeysAndBarsReachTheCamera) {
  online();
  FrmMain& w = win();
  struct Case {
    const char* what;
    std::function<void()> act;
    uint8_t code;
    std::string box;
    Wire sent;
  } cases[] = {
      {"typed", [&] { typeInto(0x30, "20"); }, 0x30, "20", {{0x30, 2}, {0x30, 20}}},
      {"typed above the range", [&] { typeInto(0x5C, "300"); }, 0x5C, "31", {{0x5C, 3}, {0x5C, 30}, {0x5C, 31}}},
      {"typed below the range", [&] { typeInto(0xE0, "0"); }, 0xE0, "1", {{0xE0, 1}}},
      {"up arrow", [&] { typeInto(0x31, "7"); w.UserKey(forms::vbKeyUp); }, 0x31, "8", {{0x31, 7}, {0x31, 8}}},
      {"down arrow", [&] { typeInto(0x31, "7"); w.UserKey(forms::vbKeyDown); }, 0x31, "6", {{0x31, 7}, {0x31, 6}}},
      {"up arrow at the maximum", [&] { typeInto(0x5D, "31"); w.UserKey(forms::vbKeyUp); }, 0x5D, "31",
       {{0x5D, 3}, {0x5D, 31}}},
      {"up-down click", [&] { typeInto(0x32, "9"); w.udData(0x32).UserUp(); }, 0x32, "10", {{0x32, 9}, {0x32, 10}}},
      // A reversed bar: its top is the maximum.
      {"backword bar to the top", [&] { showPageOf(w.vsData(10)); w.vsData(10).UserScroll(forms::ScrollBar::Step::Top); },
       10, "255", {{10, 255}}},
      {"forward bar to the top", [&] { showPageOf(w.vsData(48)); w.vsData(48).UserScroll(forms::ScrollBar::Step::Top); },
       48, "0", {{48, 0}}},
      {"forward bar one line down",
       [&] { showPageOf(w.hsData(0x71)); w.hsData(0x71).UserScroll(forms::ScrollBar::Step::LineDown); }, 0x71,
       std::to_string(config.defaults[0x71] + 1), {{0x71, config.defaults[0x71] + 1}}},
      {"reversed horizontal bar dragged", [&] { showPageOf(w.hsData(0x93)); w.hsData(0x93).UserTrack({10, 20}); },
       0x93, "43", {{0x93, 43}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    clearWire();
    c.act();
    EXPECT_EQ(w.txtData(c.code).Text(), c.box);
    EXPECT_EQ(sends(), c.sent);
    EXPECT_EQ(gbyteCurrentData[c.code], vb::CLng(c.box));
    EXPECT_EQ(reg(c.code), vb::CLng(c.box));
    // The bar follows the box.
    if (forms::VScrollBar* bar = w.vsData.Find(c.code) ? &w.vsData(c.code) : nullptr) {
      const long v = vb::CLng(c.box);
      EXPECT_EQ(bar->Value(), bar->Tag() == "forward" ? v : bar->Max() - v + bar->Min());
    }
  }
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowEditing, PastedTextThatIsNoNumberIsNeitherStoredNorSentAndIsRepairedOnLeaving) {
  online();
  FrmMain& w = win();
  typeInto(0x30, "20");
  clearWire();
  w.txtData(0x30).UserSelect(0, 2);
  w.txtData(0x30).UserPaste("abc");
  EXPECT_EQ(w.txtData(0x30).Text(), "abc");
  EXPECT_EQ(gbyteCurrentData[0x30], 20);
  EXPECT_TRUE(wire().empty());
  w.txtData(0x31).UserFocus();
  EXPECT_EQ(w.txtData(0x30).Text(), "20");
  EXPECT_TRUE(wire().empty());
  // A pasted number with a fraction is taken as the nearest whole number, halves to even.
  typeInto(0x30, "");
  w.txtData(0x30).UserPaste("12.5");
  EXPECT_EQ(gbyteCurrentData[0x30], 12);
  EXPECT_EQ(reg(0x30), 12);
  // A program write outside the range is clamped in the box, neither stored nor sent.
  clearWire();
  const uint8_t stored = gbyteCurrentData[0x5C];
  w.mblnSetByProgram = true;
  w.txtData(0x5C).Text("40");
  EXPECT_TRUE(w.mblnSetByProgram);
  w.mblnSetByProgram = false;
  EXPECT_EQ(w.txtData(0x5C).Text(), "31");
  EXPECT_EQ(gbyteCurrentData[0x5C], stored);
  EXPECT_TRUE(wire().empty());
}

TEST_F(MainWindowEditing, EnterKeyModeSendsOnEnterAndDropsWhatWasNotCommitted) {
  ini = "[Comm]\r\nEnterKeySend=True\r\n";
  online();
  FrmMain& w = win();
  const uint8_t before = gbyteCurrentData[0x30];
  typeInto(0x30, "12");
  EXPECT_EQ(w.txtData(0x30).Text(), "12");
  EXPECT_EQ(gbyteCurrentData[0x30], before);
  EXPECT_TRUE(wire().empty());
  w.UserKey(forms::vbKeyReturn);
  EXPECT_EQ(gbyteCurrentData[0x30], 12);
  EXPECT_EQ(reg(0x30), 12);
  EXPECT_EQ(sends(), (Wire{{0x30, 12}}));
  // Arrows do not step.
  clearWire();
  w.UserKey(forms::vbKeyUp);
  EXPECT_EQ(w.txtData(0x30).Text(), "12");
  EXPECT_TRUE(wire().empty());
  // Typed and left without Enter: the stored value comes back, nothing is sent.
  typeInto(0x30, "34");
  w.txtData(0x31).UserFocus();
  EXPECT_EQ(w.txtData(0x30).Text(), "12");
  EXPECT_EQ(gbyteCurrentData[0x30], 12);
  EXPECT_TRUE(wire().empty());
  // A click on an up-down takes the focus from the box and is sent at once.
  typeInto(0x32, "40");
  EXPECT_TRUE(w.udData(0x32).UserUp());
  EXPECT_EQ(w.ActiveControl(), &w.udData(0x32));
  EXPECT_TRUE(w.udData(0x32).UserUp());
  EXPECT_EQ(sends(), (Wire{{0x32, vb::CByte(w.txtData(0x32).Text())}}));
  EXPECT_NE(w.txtData(0x32).Text(), "40");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowEditing, AChangeDuringItsOwnSendIsStoredThenSentByTheRerun) {
  online();
  FrmMain& w = win();
  // The reply to (0x30, 20) is lost; while the time-out question is up the user moves the bar.
  camera().AddFault(sim::ParseFault("drop:c=0x30:d=20:count=-1"));
  bool typed = false;
  host.onBox = [&](const Box& box) {
    if (typed || box.prompt.rfind(vb::LoadResString(331), 0) != 0) return;
    typed = true;
    EXPECT_TRUE(w.mblnNowProcessing[0x30]);
    // A change that reaches the window while the question is up: stored, not sent.
    w.txtData(0x30).Text("25");
    EXPECT_EQ(gbyteCurrentData[0x30], 25);
    camera().ClearFaults();
  };
  typeInto(0x30, "");
  w.txtData(0x30).UserPaste("20");
  EXPECT_TRUE(typed);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(sends().back(), (std::pair<uint8_t, uint8_t>{0x30, 25}));
  EXPECT_EQ(reg(0x30), 25);
  EXPECT_FALSE(w.mblnNowProcessing[0x30]);
  EXPECT_TRUE(gblnOnLine);
}

TEST_F(MainWindowEditing, OffLineEditsAreStoredAndShownButNotSent) {
  silentCamera = true;
  host.sayNo = true;
  ASSERT_TRUE(startProgram());
  ASSERT_FALSE(gblnOnLine);
  host.boxes.clear();
  clearWire();
  typeInto(0x30, "99");
  typeInto(0x5C, "300");
  EXPECT_EQ(gbyteCurrentData[0x30], 99);
  EXPECT_EQ(gbyteCurrentData[0x5C], 31);
  EXPECT_EQ(win().vsData(0x30).Value(), 99);  // forward bar
  EXPECT_TRUE(wire().empty());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindowEditing, ACameraFallingSilentMidEditTakesTheWindowOffLine) {
  online();
  FrmMain& w = win();
  camera().SetSilent(true);
  host.sayNo = true;  // no retry
  typeInto(0x30, "");
  w.txtData(0x30).UserPaste("77");
  EXPECT_FALSE(gblnOnLine);
  EXPECT_EQ(host.count(331), 1);
  EXPECT_EQ(host.count(333), 1);
  EXPECT_EQ(w.lblOnLine.Caption(), "Off Line(COM1)");
  EXPECT_EQ(w.lblOnLine.ForeColor(), forms::RGB(255, 0, 0));
  EXPECT_EQ(w.lblFirmWareVersion.Caption(), "FirmWare Ver.0");
  EXPECT_FALSE(w.mblnNowProcessing[0x30]);
  EXPECT_FALSE(w.mblnSetByProgram);
  EXPECT_EQ(gbyteCurrentData[0x30], 77);
  // Off line now: the next edit is stored without a word, and the window closes unasked.
  host.boxes.clear();
  typeInto(0x31, "5");
  EXPECT_EQ(gbyteCurrentData[0x31], 5);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(closeWindow());
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindowEditing, WhiteBalanceDifferencesFollowTheir5100KValues) {
  config.defaults[0x54] = 108, config.defaults[0x55] = 8;    // red 3100 K = 100
  config.defaults[0x58] = 100, config.defaults[0x59] = 50;   // blue 3100 K = 150
  ini = "[Mode]\r\nDeveloping=True\r\n";                  // the white-balance page is an advanced one
  online();
  FrmMain& w = win();
  ASSERT_EQ(w.txtWB3100(0).Text(), "100");
  ASSERT_EQ(w.txtWB3100(2).Text(), "150");
  struct Case {
    uint8_t code;
    const char* typed;
    std::vector<std::pair<uint8_t, uint8_t>> values;  // 5100 K and difference afterwards
    Wire sent;
  } cases[] = {
      {0x54, "120", {{0x54, 120}, {0x55, 20}}, {{0x54, 120}, {0x55, 20}}},
      {0x54, "90", {{0x54, 100}, {0x55, 0}}, {{0x54, 90}, {0x54, 100}, {0x55, 0}}},
      {0x58, "140", {{0x58, 140}, {0x59, 10}}, {{0x58, 140}, {0x59, 10}}},
      {0x58, "160", {{0x58, 150}, {0x59, 0}}, {{0x58, 160}, {0x58, 150}, {0x59, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " " + c.typed);
    typeInto(c.code, "");
    clearWire();
    w.txtData(c.code).UserPaste(c.typed);
    for (auto [code, value] : c.values) {
      EXPECT_EQ(w.txtData(code).Text(), std::to_string(value)) << int(code);
      EXPECT_EQ(reg(code), value) << int(code);
    }
    EXPECT_EQ(sends(), c.sent);
  }
  EXPECT_TRUE(host.boxes.empty());
}

// Enter-key mode: a 5100 K box holds a text not taken yet, a number of any size, while the 3100 K
// value of its pair changes. The 3100 K editor and the pair rule count that text within the box's
// range, as Enter then takes it; nothing overflows. (A click on the 3100 K up-down would first
// take the focus to the 3100 K box, which drops the text; the program's write of the up-down's
// value here leaves the focus in the 5100 K box.)
TEST_F(MainWindowEditing, A5100KTextNotTakenYetCountsWithinItsRangeForThe3100KEditor) {
  config.defaults[0x54] = 108, config.defaults[0x55] = 8;   // red 3100 K = 100
  config.defaults[0x58] = 100, config.defaults[0x59] = 50;  // blue 3100 K = 150
  ini = "[Comm]\r\nEnterKeySend=True\r\n[Mode]\r\nDeveloping=True\r\n";
  online();
  FrmMain& w = win();
  struct Case {
    uint8_t code5100;
    const char* text;
    bool aboveRange;  // else below it
  };
  const std::vector<Case> cases{
      {0x54, "99999999999", true},  {0x54, "2147483648", true}, {0x54, "1e400", true},
      {0x54, "1e20", true},         {0x54, "300", true},        {0x54, "-99999999999", false},
      {0x54, "-1e400", false},      {0x58, "99999999999", true}, {0x58, "1e400", true},
      {0x58, "-2147483649", false}, {0x58, "-1e400", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code5100) + " " + c.text);
    const int pair = (c.code5100 - 0x54) / 2;
    const int sign = pair < 2 ? 1 : -1;
    const uint8_t differenceCode = static_cast<uint8_t>(c.code5100 + 1);
    const forms::UpDown& range = w.udData(c.code5100);
    const long taken = c.aboveRange ? range.Max() : range.Min();
    // Typed, then pasted over: the box shows the text and Enter-key mode waits for Enter.
    typeInto(c.code5100, "9");
    forms::TextBox& box = w.txtData(c.code5100);
    box.UserSelect(0, vb::Len(box.Text()));
    box.UserPaste(c.text);
    ASSERT_EQ(box.Text(), c.text);

    // The 3100 K value one step up, or down at the top of the range.
    forms::UpDown& upDown3100 = w.udWB3100(pair);
    const bool up = upDown3100.Value() < upDown3100.Max();
    const long clicked = upDown3100.Value() + (up ? 1 : -1);
    upDown3100.Value(clicked);
    // The difference from the 5100 K limit, or the 3100 K value pulled back to that limit.
    const long difference = std::max(0L, sign * (taken - clicked));
    const long value3100 = difference == 0 ? taken : clicked;
    EXPECT_EQ(upDown3100.Value(), value3100);
    EXPECT_EQ(w.txtWB3100(pair).Text(), std::to_string(value3100));
    EXPECT_EQ(w.txtData(differenceCode).Text(), std::to_string(difference));
    EXPECT_EQ(reg(differenceCode), difference);
    EXPECT_EQ(box.Text(), c.text);

    // Enter takes the limit: the camera's pair then gives the 3100 K value shown.
    w.UserKey(forms::vbKeyReturn);
    EXPECT_EQ(box.Text(), std::to_string(taken));
    EXPECT_EQ(reg(c.code5100), taken);
    EXPECT_EQ(reg(c.code5100) - sign * reg(differenceCode), value3100);
  }
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(dir.exists("orvadex.ERR"));
}

}  // namespace
}  // namespace uitest
