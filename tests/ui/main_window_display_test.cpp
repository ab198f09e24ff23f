// Showing the camera's values: the range corrections with their messages and resends, the DIP
// switch, the configuration bits, the chroma setup, the nibbles, the CDS fields, the 3100 K
// values and the firmware label.
#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

class MainWindowDisplay : public MainWindowTest {};

TEST_F(MainWindowDisplay, OutOfRangeCameraValuesAreReportedCorrectedAndSentBack) {
  const std::string toMax = vb::LoadResString(307) + "\r\n";
  const std::string toMin = vb::LoadResString(369) + "\r\n";
  struct Case {
    std::vector<std::pair<uint8_t, uint8_t>> camera;  // values the camera holds
    std::string message;
    uint8_t code, corrected;
    int wb3100;              // the 3100 K box that shows `shown3100`, or -1
    const char* shown3100;
  } cases[] = {
      {{{0x5C, 40}}, toMax + "[Gamma]PositiveY=40(Minimum:0,Maximum:31)", 0x5C, 31, -1, ""},
      {{{0xE0, 0}}, toMin + "[IRIS]YDivide=0(Minimum:1,Maximum:255)", 0xE0, 1, -1, ""},
      {{{0x39, 9}}, toMax + "[Chroma]RSetupH=9(Minimum:0,Maximum:3)", 0x39, 3, -1, ""},
      // Red 3100 K would be -20: the difference is pulled back to the 5100 K value.
      {{{0x54, 100}, {0x55, 120}},
       toMax + "[AutoWhiteBalance]PositiveR5100-3100=120(Minimum:0,Maximum:100)", 0x55, 100, 0, "0"},
      {{{0x56, 10}, {0x57, 11}},
       toMax + "[AutoWhiteBalance]NegativeR5100-3100=11(Minimum:0,Maximum:10)", 0x57, 10, 1, "0"},
      // Blue 3100 K would be 300: the difference is cut to 255 - 200.
      {{{0x58, 200}, {0x59, 100}},
       toMax + "[AutoWhiteBalance]PositiveB3100-5100=100(Minimum:0,Maximum:55)", 0x59, 55, 2, "255"},
      {{{0x5A, 255}, {0x5B, 1}},
       toMax + "[AutoWhiteBalance]NegativeB3100-5100=1(Minimum:0,Maximum:0)", 0x5B, 0, 3, "255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    config.defaults = sim::FactoryDefaults();
    for (auto [code, value] : c.camera) config.defaults[code] = value;
    host.boxes.clear();
    ASSERT_TRUE(startProgram());
    EXPECT_EQ(host.boxes, (std::vector<Box>{{c.message, forms::vbExclamation, "Orvadex"}}));
    EXPECT_EQ(gbyteCurrentData[c.code], c.corrected);
    EXPECT_EQ(win().txtData(c.code).Text(), std::to_string(c.corrected));
    EXPECT_EQ(win().udData(c.code).Value(), c.corrected);
    EXPECT_EQ(reg(c.code), c.corrected);  // sent back, framed by sync and end
    const Wire w = wire();
    ASSERT_GE(w.size(), 3u);
    EXPECT_EQ(Wire(w.end() - 3, w.end()), (Wire{{0, 1}, {c.code, c.corrected}, {0, 0}}));
    if (c.wb3100 >= 0) {
      EXPECT_EQ(win().txtWB3100(c.wb3100).Text(), c.shown3100);
    }
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(MainWindowDisplay, TheDipSwitchShowsItsFields) {
  ASSERT_TRUE(startProgram());
  // Chosen buttons of each group for a code 0x01 value: white balance, gain, polarity, shutter.
  struct Case {
    uint8_t value;
    std::vector<int> chosen;
  } cases[] = {
      {0xFF, {23, 21, 1}},  // Auto, Auto, Positive, "Normal" (Tag 124)
      {0x44, {22, 20, 0}},  // Manual, Manual, Negative, field mode 68
      {0x04, {22, 20, 0}},  // Electronic Iris
      {0x3D, {23, 20, 0}},  // s = 60: Flickerless
      {0x2C, {22, 20, 0}},  // s = 44: bits 5 and 6 are 01, Flickerless too
  };
  std::map<long, int> byTag;
  for (forms::OptionButton& o : win().optDIPSwitch)
    if ((vb::CLng(o.Tag()) & 124) != 0 && !byTag.count(vb::CLng(o.Tag()))) byTag[vb::CLng(o.Tag())] = o.Index();
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.value));
    gbyteCurrentData[0x01] = c.value;
    ASSERT_TRUE(win().blnSetDataToControl());
    std::vector<int> expected = c.chosen;
    const long s = c.value & 124;
    const long shutterTag = (s & 96) == 0 ? 28 : (s & 96) == 32 ? 60 : s;
    ASSERT_TRUE(byTag.count(shutterTag));
    expected.push_back(byTag[shutterTag]);
    std::sort(expected.begin(), expected.end());
    std::vector<int> on;
    for (forms::OptionButton& o : win().optDIPSwitch)
      if (o.Value()) on.push_back(o.Index());
    EXPECT_EQ(on, expected);
  }
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindowDisplay, CompoundFieldsConfigurationBitsAndTheFirmwareLabel) {
  config.defaults[0x38] = 0xFF, config.defaults[0x39] = 0x03;  // red -1
  config.defaults[0x3A] = 0x00, config.defaults[0x3B] = 0x02;  // blue -512
  config.defaults[0x3C] = 0xFF, config.defaults[0x3D] = 0x01;  // green 511
  config.defaults[0xD0] = 0x5A, config.defaults[0xD1] = 0x3C;
  config.defaults[0x02] = 0x20 | 0x01;
  config.defaults[0x03] = 0x81;
  config.defaults[0x04] = 0x00;
  config.firmware = 12;
  ASSERT_TRUE(startProgram());
  FrmMain& w = win();
  EXPECT_EQ((std::vector<std::string>{w.txtHL(416).Text(), w.txtHL(417).Text(), w.txtHL(418).Text(),
                                      w.txtHL(419).Text()}),
            (std::vector<std::string>{"5", "10", "3", "12"}));
  EXPECT_EQ(w.lblFirmWareVersion.Caption(), "FirmWare Ver.12");
  for (int m = 1; m <= 128; m *= 2) {
    EXPECT_EQ(w.chkConfig0(m).Value(), (0x21 & m) ? 1 : 0) << m;
    EXPECT_EQ(w.chkConfig1(m).Value(), (0x81 & m) ? 1 : 0) << m;
    EXPECT_EQ(w.chkConfig2(m).Value(), 0) << m;
  }
  // "Variable Gain POT. range" ticked: the pot range editors are usable.
  EXPECT_TRUE(w.txtData(0x45).Enabled() && w.udData(0x45).Enabled() && w.vsData(0x45).Enabled());
  gbyteCurrentData[0x02] = 0x01;
  ASSERT_TRUE(w.blnSetDataToControl());
  EXPECT_FALSE(w.txtData(0x45).Enabled() || w.udData(0x45).Enabled() || w.vsData(0x45).Enabled());

  // The CDS fields (older cameras): gain in bits 7 to 6, offset below.
  gbyteCurrentData[0x42] = 0xC5, gbyteCurrentData[0x43] = 0x3F;
  ASSERT_TRUE(w.blnSetDataToControl());
  EXPECT_EQ((std::vector<std::string>{w.txtCdsGain(0).Text(), w.txtCdsGain(1).Text(), w.txtCdsGain(2).Text(),
                                      w.txtCdsGain(3).Text()}),
            (std::vector<std::string>{"3", "5", "0", "63"}));

  // Boxes left holding a pasted text, their values unchanged, show the values again.
  w.txtData(0x31).Text("abc");
  w.txtWB3100(0).Text("abc");
  ASSERT_TRUE(w.blnSetDataToControl());
  EXPECT_EQ(w.txtData(0x31).Text(), std::to_string(gbyteCurrentData[0x31]));
  EXPECT_EQ(w.txtWB3100(0).Text(), std::to_string(gbyteCurrentData[0x54] - gbyteCurrentData[0x55]));

  // Off line the firmware label reads 0 and the status line is rewritten.
  gblnOnLine = false;
  ASSERT_TRUE(w.blnSetDataToControl());
  EXPECT_EQ(w.lblFirmWareVersion.Caption(), "FirmWare Ver.0");
  EXPECT_EQ(gbyteFirmVersion, 0);
  EXPECT_EQ(w.lblOnLine.Caption(), "Off Line(COM1)");
  EXPECT_FALSE(w.mblnSetByProgram);
  EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace uitest
