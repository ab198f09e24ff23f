// The compound editors of the main window on the headless forms: the register values their
// boxes give, the clamps, the 10-bit encoding and the manual white-balance gain labels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings_file.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/forms/forms.h"
#include "sim/virtual_camera.h"
#include "tests/core/core_fixture.h"
#include "ui/main_window.h"

namespace {

class CompoundEditors : public testutil::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    gblnEnterKeySend = false;
    glngSmallChange = 1;
    glngLargeChange = 5;
    // The window loads off line: the camera does not answer and the user does not retry.
    ASSERT_TRUE(SubMain::gblnReadInitFile());  // the link's settings at their defaults
    ASSERT_TRUE(SubMain::mblnIniVariable());   // the current values at theirs
    camera_.camera.SetSilent(true);
    glngPortNo = 1;
    host.sayNo = true;
    frmMain().Load();
    ASSERT_FALSE(gblnOnLine);
    host.sayNo = false;
    host.boxes.clear();
    ASSERT_TRUE(reports.empty());
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    gobjMSComm = nullptr;
    glngPortNo = 0;
    gblnEnterKeySend = false;
    CoreTest::TearDown();
  }
  sim::SimulatedCameraPort camera_;
  FrmMain& w = frmMain();
  std::string box(int code) const { return w.txtData(code).Text(); }
};

TEST_F(CompoundEditors, TenBitValuesEncodeAndDecode) {
  struct Case {
    int32_t value;
    uint8_t high, low;
  };
  for (const Case& c : std::vector<Case>{{-150, 3, 106}, {-1, 3, 255}, {511, 1, 255}, {-512, 2, 0}, {0, 0, 0}, {300, 1, 44}}) {
    SCOPED_TRACE(c.value);
    uint8_t high = 99, low = 99;
    ASSERT_TRUE(w.blnLngTo10Bit(c.value, high, low));
    EXPECT_EQ(int(high), c.high);
    EXPECT_EQ(int(low), c.low);
    int32_t back = 0;
    ASSERT_TRUE(w.bln10BitToLng(c.high, c.low, back));
    EXPECT_EQ(back, c.value);
  }
  // A high register above 127 does not fit the 16-bit arithmetic of the decoding.
  int32_t value = 7;
  EXPECT_FALSE(w.bln10BitToLng(128, 0, value));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "frmMain.bln10BitToLng");
  EXPECT_EQ(reports[0].number, 6);
}

TEST_F(CompoundEditors, ChromaSetupBoxesWriteTheirRegisterPairsAndBars) {
  struct Case {
    int index;
    std::string typed, shown, low, high;
    int bar;
  };
  for (const Case& c : std::vector<Case>{{1, "-150", "-150", "106", "3", 149},
                                         {2, "-1", "-1", "255", "3", 0},
                                         {3, "511", "511", "255", "1", -512},
                                         {1, "-512", "-512", "0", "2", 511},
                                         {2, "600", "511", "255", "1", -512},
                                         {3, "-9999", "-512", "0", "2", 511}}) {
    SCOPED_TRACE(c.typed);
    w.txtChromaSetup(c.index).Text(c.typed);
    EXPECT_EQ(w.txtChromaSetup(c.index).Text(), c.shown);
    const int lowCode = 54 + 2 * c.index;
    EXPECT_EQ(box(lowCode), c.low);
    EXPECT_EQ(box(lowCode + 1), c.high);
    EXPECT_EQ(w.vsChromaSetup(c.index).Value(), c.bar);
    EXPECT_FALSE(w.mblnSetByProgram);
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(CompoundEditors, AProgramWriteOfAChromaSetupMovesTheBarOnly) {
  const std::string low = box(56), high = box(57);
  w.mblnSetByProgram = true;
  w.txtChromaSetup(1).Text("700");
  EXPECT_TRUE(w.mblnSetByProgram);
  w.mblnSetByProgram = false;
  EXPECT_EQ(w.txtChromaSetup(1).Text(), "511");
  EXPECT_EQ(w.vsChromaSetup(1).Value(), -512);
  EXPECT_EQ(box(56), low);
  EXPECT_EQ(box(57), high);
  // Text that is not a number is left alone until the box loses the focus, which shows the
  // stored registers again.
  gbyteCurrentData[56] = 106;
  gbyteCurrentData[57] = 3;
  w.txtChromaSetup(1).Text("abc");
  EXPECT_EQ(box(56), low);
  w.txtChromaSetup_LostFocus(1);
  EXPECT_EQ(w.txtChromaSetup(1).Text(), "-150");
}

TEST_F(CompoundEditors, GainAndOffsetAndNibblesMakeOneRegister) {
  struct Case {
    const char* what;
    forms::ControlArray<forms::TextBox>& boxes;
    int first;
    std::string a, b;  // high part, low part
    std::string shownA, shownB;
    int code;
    std::string value;
  };
  for (const Case& c : std::vector<Case>{{"CDS positive", w.txtCdsGain, 0, "1", "10", "1", "10", 66, "74"},
                                         {"CDS negative, gain 5", w.txtCdsGain, 2, "5", "7", "3", "7", 67, "199"},
                                         {"CDS offset 64", w.txtCdsGain, 0, "0", "64", "0", "63", 66, "63"},
                                         {"nibbles 208", w.txtHL, 416, "3", "2", "3", "2", 208, "50"},
                                         {"nibbles 208, 16", w.txtHL, 416, "16", "15", "15", "15", 208, "255"},
                                         {"nibbles 209, low 0", w.txtHL, 418, "2", "0", "2", "1", 209, "33"}}) {
    SCOPED_TRACE(c.what);
    c.boxes(c.first).Text("9");
    c.boxes(c.first + 1).Text("9");
    c.boxes(c.first).Text(c.a);
    c.boxes(c.first + 1).Text(c.b);
    EXPECT_EQ(c.boxes(c.first).Text(), c.shownA);
    EXPECT_EQ(c.boxes(c.first + 1).Text(), c.shownB);
    EXPECT_EQ(box(c.code), c.value);
  }
}

TEST_F(CompoundEditors, FocusLossShowsTheStoredRegisterParts) {
  gbyteCurrentData[66] = 74;
  gbyteCurrentData[67] = 255;
  gbyteCurrentData[209] = 0x3C;
  const std::string shown66 = box(66), shown418 = w.txtHL(418).Text();
  w.txtCdsGain(1).Text("x");
  w.txtCdsGain_LostFocus(1);
  EXPECT_EQ(w.txtCdsGain(0).Text(), "1");
  EXPECT_EQ(w.txtCdsGain(1).Text(), "10");
  EXPECT_EQ(w.txtCdsGain(2).Text(), "3");
  EXPECT_EQ(w.txtCdsGain(3).Text(), "63");
  EXPECT_EQ(box(66), shown66);  // the restore is a program write
  w.txtHL(419).Text("");
  w.txtHL_LostFocus(419);
  EXPECT_EQ(w.txtHL(419).Text(), "12");
  EXPECT_EQ(w.txtHL(418).Text(), shown418);  // a numeric neighbour is left as it is
  EXPECT_FALSE(w.mblnSetByProgram);
}

TEST_F(CompoundEditors, EnterKeyModeTakesACompoundBoxOnlyOnEnter) {
  w.txtCdsGain(0).Text("0");
  const std::string shown66 = box(66);
  gblnEnterKeySend = true;
  int key = '7';
  w.txtCdsGain_KeyDown(1, key, 0);
  w.txtCdsGain(1).Text("7");
  EXPECT_EQ(box(66), shown66);
  key = 13;
  w.txtCdsGain_KeyDown(1, key, 0);
  EXPECT_EQ(box(66), "7");
  // Up steps only outside Enter-key mode, and not beyond the up-down's maximum.
  gblnEnterKeySend = false;
  w.txtHL(416).Text("15");
  key = 38;
  w.txtHL_KeyDown(416, key, 0);
  EXPECT_EQ(w.txtHL(416).Text(), "15");
  key = 40;
  w.txtHL_KeyDown(416, key, 0);
  EXPECT_EQ(w.txtHL(416).Text(), "14");
}

TEST_F(CompoundEditors, A3100KValueSetsTheDifferenceRegister) {
  struct Case {
    int index;
    std::string value5100, typed;
    int differenceCode;
    std::string difference, shown3100;
  };
  for (const Case& c : std::vector<Case>{{0, "120", "100", 85, "20", "100"},
                                         {2, "100", "130", 89, "30", "130"},
                                         {1, "50", "50", 87, "0", "50"},
                                         {3, "200", "255", 91, "55", "255"},
                                         // Pulled back to the 5100 K value: R above it, B below it.
                                         {0, "100", "130", 85, "0", "100"},
                                         {2, "100", "70", 89, "0", "100"},
                                         {1, "90", "300", 87, "0", "90"}}) {
    SCOPED_TRACE(c.typed + " at index " + std::to_string(c.index));
    // Shown as the program shows them, without the pair rule of a typed value.
    w.mblnSetByProgram = true;
    w.txtData(84 + 2 * c.index).Text(c.value5100);
    w.udData(c.differenceCode).Value(77);
    w.mblnSetByProgram = false;
    w.txtWB3100(c.index).Text(c.typed);
    EXPECT_EQ(box(c.differenceCode), c.difference);
    EXPECT_EQ(w.txtWB3100(c.index).Text(), c.shown3100);
    EXPECT_EQ(w.udWB3100(c.index).Value(), std::stol(c.shown3100));
  }
}

TEST_F(CompoundEditors, GainLabelsShowTheNormalisedGain) {
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
    ASSERT_TRUE(w.mblnDispMWBGainValue());
    EXPECT_EQ(w.lblMWBGain(0).Caption(), c.caption);
    EXPECT_EQ(w.lblMWBGain(1).Caption(), c.caption);
  }
  // R reads codes 80 and 11, B codes 81 and 10.
  gbyteCurrentData[80] = 1;
  gbyteCurrentData[11] = 146;
  gbyteCurrentData[81] = 1;
  gbyteCurrentData[10] = 96;
  ASSERT_TRUE(w.mblnDispMWBGainValue());
  EXPECT_EQ(w.lblMWBGain(0).Caption(), "420");
  EXPECT_EQ(w.lblMWBGain(1).Caption(), "320");
}

}  // namespace
