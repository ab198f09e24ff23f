// The compound editors of the main window on the headless forms: the register values their
// boxes give, the clamps, the 10-bit encoding and the manual white-balance gain labels.
#include <cmath>
#include <string>
#include <vector>

#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

class CompoundEditors : public MainWindowTest {
 protected:
  // Loads the window against the camera of the newer layout, or of the older one (which has
  // the CDS gain registers 66 and 67).
  void start(bool oldLayout = false) {
    if (oldLayout) oldLayoutCamera();
    else newLayoutCamera();
    ASSERT_TRUE(loadWindow());
    ASSERT_TRUE(gblnOnLine);
    ASSERT_TRUE(reports.empty());
    clearWire();
  }
  std::string box(int code) { return win().txtData(code).Text(); }
};

TEST_F(CompoundEditors, TenBitValuesEncodeAndDecode) {
  start();
  struct Case {
    int32_t value;
    uint8_t high, low;
  };
  for (const Case& c : std::vector<Case>{{-150, 3, 106}, {-1, 3, 255}, {511, 1, 255}, {-512, 2, 0}, {0, 0, 0}, {300, 1, 44}}) {
    SCOPED_TRACE(c.value);
    uint8_t high = 99, low = 99;
    ASSERT_TRUE(win().blnLngTo10Bit(c.value, high, low));
    EXPECT_EQ(int(high), c.high);
    EXPECT_EQ(int(low), c.low);
    int32_t back = 0;
    ASSERT_TRUE(win().bln10BitToLng(c.high, c.low, back));
    EXPECT_EQ(back, c.value);
  }
  // A high register above 127 does not fit the 16-bit arithmetic of the decoding.
  int32_t value = 7;
  EXPECT_FALSE(win().bln10BitToLng(128, 0, value));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "frmMain.bln10BitToLng");
  EXPECT_EQ(reports[0].number, 6);
}

TEST_F(CompoundEditors, ChromaSetupBoxesSendTheirRegisterPairsLowFirst) {
  start();
  struct Case {
    int index;
    std::string typed, shown;
    uint8_t low, high;
    int bar;
  };
  for (const Case& c : std::vector<Case>{{1, "-512", "-512", 0, 2, 511},
                                         {1, "-150", "-150", 106, 3, 149},
                                         {2, "-1", "-1", 255, 3, 0},
                                         {3, "511", "511", 255, 1, -512},
                                         {2, "600", "511", 255, 1, -512},
                                         {3, "-9999", "-512", 0, 2, 511}}) {
    SCOPED_TRACE(c.typed);
    clearWire();
    win().txtChromaSetup(c.index).Text(c.typed);
    EXPECT_EQ(win().txtChromaSetup(c.index).Text(), c.shown);
    const uint8_t lowCode = static_cast<uint8_t>(54 + 2 * c.index);
    EXPECT_EQ(settingsSent(), (Wire{{lowCode, c.low}, {uint8_t(lowCode + 1), c.high}}));
    EXPECT_EQ(box(lowCode), std::to_string(c.low));
    EXPECT_EQ(box(lowCode + 1), std::to_string(c.high));
    // The bar runs reversed; its front shape is the back's height times its place.
    EXPECT_EQ(win().vsChromaSetup(c.index).Value(), c.bar);
    const long back = win().shpBackChromaSetup(c.index).Height();
    EXPECT_EQ(win().shpFrontChromaSetup(c.index).Height(), std::lround(back * (c.bar + 512) / 1023.0));
    EXPECT_FALSE(win().mblnSetByProgram);
  }
  EXPECT_EQ(reg(56), 106);
  EXPECT_EQ(reg(57), 3);
  EXPECT_TRUE(reports.empty());
}

TEST_F(CompoundEditors, OffLineTheRegistersAreStoredAndNothingIsSent) {
  silentCamera = true;
  host.sayNo = true;  // the user does not retry the silent camera
  ASSERT_TRUE(loadWindow());
  ASSERT_FALSE(gblnOnLine);
  host.sayNo = false;
  clearWire();
  win().txtChromaSetup(2).Text("-1");
  win().txtHL(416).Text("7");
  win().txtHL(417).Text("7");
  EXPECT_EQ(gbyteCurrentData[58], 255);
  EXPECT_EQ(gbyteCurrentData[59], 3);
  EXPECT_EQ(gbyteCurrentData[208], 0x77);
  EXPECT_TRUE(wire().empty());
}

TEST_F(CompoundEditors, AProgramWriteOfAChromaSetupMovesTheBarOnly) {
  start();
  win().mblnSetByProgram = true;
  win().txtChromaSetup(1).Text("700");
  EXPECT_TRUE(win().mblnSetByProgram);
  win().mblnSetByProgram = false;
  EXPECT_EQ(win().txtChromaSetup(1).Text(), "511");
  EXPECT_EQ(win().vsChromaSetup(1).Value(), -512);
  // Text that is not a number is left alone until the box loses the focus, which shows the
  // stored registers again.
  gbyteCurrentData[56] = 106;
  gbyteCurrentData[57] = 3;
  win().txtChromaSetup(1).Text("abc");
  win().txtChromaSetup_LostFocus(1);
  EXPECT_EQ(win().txtChromaSetup(1).Text(), "-150");
  EXPECT_TRUE(settingsSent().empty());
}

TEST_F(CompoundEditors, GainAndOffsetAndNibblesMakeOneRegister) {
  struct Case {
    const char* what;
    int first;  // the high part's box; the low part's is the next
    std::string a, b;
    std::string shownA, shownB;
    uint8_t code, value;
  };
  auto check = [&](forms::ControlArray<forms::TextBox>& boxes, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      boxes(c.first).Text("9");
      boxes(c.first + 1).Text("9");
      clearWire();
      boxes(c.first).Text(c.a);
      boxes(c.first + 1).Text(c.b);
      EXPECT_EQ(boxes(c.first).Text(), c.shownA);
      EXPECT_EQ(boxes(c.first + 1).Text(), c.shownB);
      EXPECT_EQ(box(c.code), std::to_string(c.value));
      ASSERT_FALSE(settingsSent().empty());
      EXPECT_EQ(settingsSent().back(), std::make_pair(c.code, c.value));
      EXPECT_EQ(reg(c.code), c.value);
    }
  };
  // Gain in bits 7 and 6, offset in bits 5 to 0 (the older layout's registers).
  start(true);
  check(win().txtCdsGain, {{"CDS positive", 0, "1", "10", "1", "10", 66, 74},
                           {"CDS negative, gain 5", 2, "5", "7", "3", "7", 67, 199},
                           {"CDS offset 64", 0, "0", "64", "0", "63", 66, 63}});
  // High and low nibbles (the newer layout's); the low nibble of 209 starts at 1.
  start();
  check(win().txtHL, {{"nibbles 208", 416, "3", "2", "3", "2", 208, 50},
                      {"nibbles 208, 16", 416, "16", "15", "15", "15", 208, 255},
                      {"nibbles 209, low 0", 418, "2", "0", "2", "1", 209, 33}});
}

TEST_F(CompoundEditors, FocusLossShowsTheStoredRegisterParts) {
  start(true);
  gbyteCurrentData[66] = 74;
  gbyteCurrentData[67] = 255;
  win().txtCdsGain(1).Text("x");
  win().txtCdsGain_LostFocus(1);
  EXPECT_EQ(win().txtCdsGain(0).Text(), "1");
  EXPECT_EQ(win().txtCdsGain(1).Text(), "10");
  EXPECT_EQ(win().txtCdsGain(2).Text(), "3");
  EXPECT_EQ(win().txtCdsGain(3).Text(), "63");
  start();
  win().txtHL(418).Text("4");
  gbyteCurrentData[209] = 0x3C;
  clearWire();
  win().txtHL(419).Text("");
  win().txtHL_LostFocus(419);
  EXPECT_EQ(win().txtHL(419).Text(), "12");
  EXPECT_EQ(win().txtHL(418).Text(), "4");  // a numeric neighbour is left as it is
  EXPECT_TRUE(settingsSent().empty());      // the restores are program writes
  EXPECT_FALSE(win().mblnSetByProgram);
}

TEST_F(CompoundEditors, EnterKeyModeTakesACompoundBoxOnlyOnEnter) {
  start(true);
  win().txtCdsGain(0).Text("2");
  gblnEnterKeySend = true;
  clearWire();
  int key = '7';
  win().txtCdsGain_KeyDown(1, key, 0);
  win().txtCdsGain(1).Text("7");
  EXPECT_TRUE(settingsSent().empty());
  key = 13;
  win().txtCdsGain_KeyDown(1, key, 0);
  EXPECT_EQ(settingsSent(), (Wire{{66, 135}}));
  // Leaving the box without Enter shows the stored parts again.
  key = '5';
  win().txtCdsGain_KeyDown(1, key, 0);
  win().txtCdsGain(1).Text("5");
  win().txtCdsGain_LostFocus(1);
  EXPECT_EQ(win().txtCdsGain(1).Text(), "7");
  EXPECT_EQ(win().mintLastKeyCode, 13);
  // Up and Down step only outside Enter-key mode, and within the up-down's range.
  start();
  gblnEnterKeySend = false;
  win().txtHL(416).Text("15");
  key = 38;
  win().txtHL_KeyDown(416, key, 0);
  EXPECT_EQ(win().txtHL(416).Text(), "15");
  key = 40;
  win().txtHL_KeyDown(416, key, 0);
  EXPECT_EQ(win().txtHL(416).Text(), "14");
}

TEST_F(CompoundEditors, A3100KValueSetsTheDifferenceRegister) {
  start();
  struct Case {
    int index;
    std::string value5100, typed;
    uint8_t differenceCode, difference;
    std::string shown3100;
  };
  for (const Case& c : std::vector<Case>{{0, "120", "100", 85, 20, "100"},
                                         {2, "100", "130", 89, 30, "130"},
                                         {1, "50", "50", 87, 0, "50"},
                                         {3, "200", "255", 91, 55, "255"},
                                         // Pulled back to the 5100 K value: R above it, B below it.
                                         {0, "100", "130", 85, 0, "100"},
                                         {2, "100", "70", 89, 0, "100"},
                                         {1, "90", "300", 87, 0, "90"}}) {
    SCOPED_TRACE(c.typed + " at index " + std::to_string(c.index));
    const uint8_t code5100 = static_cast<uint8_t>(84 + 2 * c.index);
    // From a consistent start: R at 3100 K not above its 5100 K value, B not below it.
    win().txtWB3100(c.index).Text(c.index < 2 ? "0" : "255");
    win().txtData(code5100).Text(c.value5100);
    win().txtWB3100(c.index).Text(c.typed);
    EXPECT_EQ(box(c.differenceCode), std::to_string(c.difference));
    EXPECT_EQ(win().txtWB3100(c.index).Text(), c.shown3100);
    EXPECT_EQ(win().udWB3100(c.index).Value(), std::stol(c.shown3100));
    // The camera holds the 5100 K value as it was and the new difference.
    EXPECT_EQ(std::to_string(reg(code5100)), c.value5100);
    EXPECT_EQ(reg(c.differenceCode), c.difference);
  }
  // An error while the difference register takes the value leaves the key of Enter-key mode
  // as it was: the typing waiting in a value box still waits for its Enter.
  gblnEnterKeySend = true;
  win().mintLastKeyCode = '7';
  const int failing = win().udData(85).Subscribe([](forms::Control&, forms::Prop what) {
    if (what == forms::Prop::Value) vb::Raise(vb::errOutOfMemory);
  });
  win().txtWB3100(0).Text("50");
  win().udData(85).Unsubscribe(failing);
  EXPECT_EQ(win().mintLastKeyCode, '7');
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].text, "frmMain.mblnSetWB3100");
}

TEST_F(CompoundEditors, GainLabelsShowTheNormalisedGain) {
  start();
  struct Case {
    uint8_t exponent, mantissa;
    std::string caption;
  };
  for (const Case& c : std::vector<Case>{{1, 146, "420"},
                                         {1, 96, "320"},
                                         {2, 30, "376"},
                                         {0, 30, "-"},
                                         {7, 127, "24448"},
                                         {7, 128, "-"},
                                         {8, 100, "-"},
                                         {0, 64, "128"},
                                         {3, 255, "3584"},
                                         {255, 255, "-"}}) {
    SCOPED_TRACE(std::to_string(c.exponent) + " " + std::to_string(c.mantissa));
    gbyteCurrentData[80] = c.exponent;
    gbyteCurrentData[11] = c.mantissa;
    gbyteCurrentData[81] = c.exponent;
    gbyteCurrentData[10] = c.mantissa;
    ASSERT_TRUE(win().mblnDispMWBGainValue());
    EXPECT_EQ(win().lblMWBGain(0).Caption(), c.caption);
    EXPECT_EQ(win().lblMWBGain(1).Caption(), c.caption);
  }
  // R reads codes 80 and 11, B codes 81 and 10.
  gbyteCurrentData[80] = 1;
  gbyteCurrentData[11] = 146;
  gbyteCurrentData[81] = 1;
  gbyteCurrentData[10] = 96;
  ASSERT_TRUE(win().mblnDispMWBGainValue());
  EXPECT_EQ(win().lblMWBGain(0).Caption(), "420");
  EXPECT_EQ(win().lblMWBGain(1).Caption(), "320");
}

}  // namespace
}  // namespace uitest
