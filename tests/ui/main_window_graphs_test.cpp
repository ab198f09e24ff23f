// The graphs, bars and derived labels of the main window on the headless forms: what the
// picture boxes drew, how the shapes were sized and coloured, and the labels' texts.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ui/main_window_fixture.h"

namespace uitest {
namespace {

constexpr long kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kMagenta = 0xFF00FF, kCyan = 0xFFFF00;

// One drawing operation as text: "line 1,1 1,100 #0" or "circle 49,46 r5 #ffff00".
std::string describe(const forms::DrawOp& op) {
  std::ostringstream out;
  out << (op.type == forms::DrawOp::Circle ? "circle " : "line ") << op.x1 << "," << op.y1;
  if (op.type == forms::DrawOp::Circle) out << " r" << op.radius;
  else out << " " << op.x2 << "," << op.y2;
  out << " #" << std::hex << op.color;
  return out.str();
}
std::vector<std::string> drawn(const forms::PictureBox& pic) {
  std::vector<std::string> ops;
  for (const forms::DrawOp& op : pic.DisplayList()) ops.push_back(describe(op));
  return ops;
}

class Graphs : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(loadWindow());
    ASSERT_TRUE(gblnOnLine);
    ASSERT_TRUE(reports.empty());
    clearWire();
  }
};

TEST_F(Graphs, GammaCurvesAndTheirLabels) {
  struct Case {
    uint8_t value;
    std::string label, second, last;  // the label, the second point (t = 0.1) and the last
  };
  for (const Case& c : std::vector<Case>{{0, "Gamma=1.00", "11,89", "100,0"},
                                         {16, "Gamma=0.45", "11,64", "100,0"},
                                         {31, "Gamma=0.21", "11,38", "100,0"}}) {
    SCOPED_TRACE(int(c.value));
    for (int code = 92; code <= 95; ++code) {
      gbyteCurrentData[code] = c.value;
      ASSERT_TRUE(win().blnSetPctGraph(code));
      EXPECT_EQ(win().lblCurGamma(code).Caption(), c.label);
      const forms::PictureBox& pic = win().pctData(code);
      EXPECT_EQ(pic.BorderStyle(), 0);
      const std::vector<std::string> ops = drawn(pic);
      ASSERT_EQ(ops.size(), 12u);  // two axes and ten segments
      EXPECT_EQ(ops[0], "line 1,1 1,100 #0");
      EXPECT_EQ(ops[1], "line 1,99 99,99 #0");
      EXPECT_EQ(ops[2], "line 1,99 " + c.second + " #0");
      EXPECT_EQ(ops[11].substr(ops[11].rfind(' ', ops[11].size() - 4) + 1), c.last + " #0");
    }
  }
}

TEST_F(Graphs, CdsLinesFollowGainAndOffset) {
  struct Case {
    uint8_t value;
    std::string first, last;
  };
  // Gain step 0 gives a third of the full slope, step 3 four thirds; the offset lifts the
  // start by up to a half. 255 leaves the picture at the top.
  for (const Case& c : std::vector<Case>{{0, "1,99", "100,66"}, {74, "1,91", "100,25"}, {255, "1,50", "100,-82"}}) {
    SCOPED_TRACE(int(c.value));
    for (int code : {66, 67}) {
      gbyteCurrentData[code] = c.value;
      ASSERT_TRUE(win().blnSetPctGraph(code));
      const std::vector<std::string> ops = drawn(win().pctData(code));
      ASSERT_EQ(ops.size(), 12u);
      EXPECT_EQ(ops[2].substr(5, ops[2].find(' ', 5) - 5), c.first);
      EXPECT_EQ(ops[11].substr(ops[11].rfind(' ', ops[11].size() - 4) + 1), c.last + " #0");
    }
  }
  EXPECT_FALSE(win().blnSetPctGraph(50));  // no picture for that code
  EXPECT_EQ(reports.back().text, "frmMain.blnSetPctGraph");
}

TEST_F(Graphs, CentrePlanesShowTheirCodesMirroredOnTheNegativePlane) {
  struct Case {
    uint8_t rb, gm;
    int plane;
    std::string label, marker;
  };
  for (const Case& c : std::vector<Case>{{33, 32, 0, "(0,1)", "circle 49,46 r5 #ffff00"},
                                         {48, 33, 1, "(-1,-16)", "circle 46,70 r5 #ffff00"},
                                         {30, 40, 0, "(8,-2)", "circle 59,50 r5 #ffff00"},
                                         {30, 40, 1, "(-8,2)", "circle 37,46 r5 #ffff00"},
                                         {63, 63, 0, "(31,31)", "circle 90,6 r5 #ffff00"},
                                         {0, 0, 1, "(32,32)", "circle 90,6 r5 #ffff00"}}) {
    SCOPED_TRACE(c.label);
    const int rbCode = 144 + 2 * c.plane;
    gbyteCurrentData[rbCode] = c.rb;
    gbyteCurrentData[rbCode + 1] = c.gm;
    ASSERT_TRUE(win().blnSetPctAWBCenter(rbCode + 1));
    EXPECT_EQ(win().lblAWBCenter(c.plane).Caption(), c.label);
    // The picture keeps its border: 96 pixels inside, a margin of 5.
    EXPECT_EQ(drawn(win().pctAWBCenter(c.plane)),
              (std::vector<std::string>{"line 48,48 48,6 #ff", "line 48,48 48,90 #ff0000", "line 48,48 6,48 #ff00",
                                        "line 48,48 90,48 #ff00ff", c.marker}));
  }
  EXPECT_TRUE(win().blnSetPctAWBCenter(143));
  EXPECT_TRUE(win().blnSetPctAWBCenter(148));
  EXPECT_TRUE(reports.empty());
}

TEST_F(Graphs, TheMouseOnAPlanePicksBothCodesWithTheLeftButtonOnly) {
  struct Case {
    int plane, button;
    float x, y;
    std::string rb, gm;
  };
  // 96 pixels with a margin of 5.8: the middle is 32 for both codes, the top left corner
  // of the inner square is Mg-G 0 and R-B 64 on the positive plane. Beyond the edges the
  // value boxes clamp to 0 and 63; the negative plane is mirrored.
  for (const Case& c : std::vector<Case>{{0, 1, 48, 48, "32", "32"},
                                         {0, 1, 27.4f, 69.2f, "16", "16"},
                                         {0, 1, 69.4f, 26.6f, "48", "48"},
                                         {1, 1, 69.4f, 26.6f, "16", "16"},
                                         {1, 1, 48.4f, 47.6f, "32", "32"},
                                         {0, 1, 500, 48, "32", "63"},
                                         {0, 1, -500, -500, "63", "0"},
                                         {1, 1, 500, 48, "32", "0"},
                                         {1, 1, 48, -500, "0", "32"},
                                         {0, 2, 10, 10, "20", "20"},
                                         {0, 3, 10, 10, "20", "20"}}) {
    SCOPED_TRACE(std::to_string(c.plane) + " " + std::to_string(c.x) + "," + std::to_string(c.y));
    const int rbCode = 144 + 2 * c.plane;
    for (bool up : {false, true}) {
      win().txtData(rbCode).Text("20");
      win().txtData(rbCode + 1).Text("20");
      clearWire();
      if (up) win().pctAWBCenter_MouseUp(c.plane, c.button, 0, c.x, c.y);
      else win().pctAWBCenter_MouseMove(c.plane, c.button, 0, c.x, c.y);
      EXPECT_EQ(win().txtData(rbCode).Text(), c.rb);
      EXPECT_EQ(win().txtData(rbCode + 1).Text(), c.gm);
      EXPECT_EQ(std::to_string(reg(rbCode)), c.rb);
      EXPECT_EQ(std::to_string(reg(rbCode + 1)), c.gm);
      // Both codes go to the camera, R-B first, unless the button was not the left one alone.
      EXPECT_EQ(settingsSent().size(), c.button == 1 ? 2u : 0u);
      EXPECT_FALSE(win().mblnSetByProgram);
    }
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(Graphs, BarsTakeTheirSizeAndColourFromTheScrollBar) {
  struct Case {
    int code;
    bool vertical;
    int value;
    long size;
    std::optional<long> fromMiddle;  // the front's top or left against the back's middle
    long front, back;                // fill colours
  };
  const long design = 0xC08000, white = 0xFFFFFF;
  // 145 and 144: the distance from the middle, right or down from 32 on, left or up below.
  // Every other bar keeps its place (a forward vertical one hangs from the top, with its thumb);
  // 10, 11 and 192 shade their back by the value.
  for (const Case& c : std::vector<Case>{{145, false, 31, 12, -12, kGreen, white},
                                         {145, false, 32, 12, 0, kMagenta, white},
                                         {145, false, 0, 750, -750, kGreen, white},
                                         {145, false, 63, 750, 0, kMagenta, white},
                                         {144, true, 31, 12, -12, kRed, white},
                                         {144, true, 32, 12, 0, kBlue, white},
                                         // Reversed bars: the front is the empty part above the value.
                                         {10, true, 255, 1380, {}, white, 0},
                                         {10, true, 0, 0, {}, white, forms::RGB(0, 0, 255)},
                                         {10, true, 128, 693, {}, white, forms::RGB(0, 0, 127)},
                                         {11, true, 128, 693, {}, white, forms::RGB(127, 0, 0)},
                                         {48, true, 100, 1087, {}, design, white},  // 48: 0 to 127
                                         {52, true, 0, 0, {}, design, white}}) {
    SCOPED_TRACE(std::to_string(c.code) + " at " + std::to_string(c.value));
    forms::ScrollBar& bar = c.vertical ? static_cast<forms::ScrollBar&>(win().vsData(c.code))
                                       : static_cast<forms::ScrollBar&>(win().hsData(c.code));
    const forms::Shape& front = win().shpFrontData(c.code);
    const forms::Shape& back = win().shpBackData(c.code);
    const long top = front.Top(), left = front.Left();
    bar.Value(c.value);
    ASSERT_TRUE(win().blnSetShpSize(c.code, c.vertical));
    EXPECT_EQ(c.vertical ? front.Height() : front.Width(), c.size);
    if (c.fromMiddle && c.vertical) EXPECT_EQ(front.Top(), back.Top() + back.Height() / 2 + *c.fromMiddle);
    else if (c.fromMiddle) EXPECT_EQ(front.Left(), back.Left() + back.Width() / 2 + *c.fromMiddle);
    else EXPECT_EQ(std::make_pair(front.Top(), front.Left()), std::make_pair(top, left));
    EXPECT_EQ(front.FillColor(), c.front);
    EXPECT_EQ(back.FillColor(), c.back);
  }
  EXPECT_EQ(win().shpBackData(144).Height(), 1500);  // the half sizes above are whole twips
  EXPECT_EQ(win().shpBackData(145).Width(), 1500);
  // The grey of the iris centre.
  win().vsData(192).Value(win().vsData(192).Max());
  ASSERT_TRUE(win().blnSetShpSize(192, true));
  EXPECT_EQ(win().shpBackData(192).FillColor(), forms::RGB(0, 0, 0));
}

TEST_F(Graphs, IrisWeightsGiveDivideAndMultiplyInLowestTerms) {
  struct Case {
    std::vector<uint8_t> weights;
    std::string divide, multiply;
  };
  gstrAllCmdList = "200,201,202,203,204,205,206,207";
  for (const Case& c : std::vector<Case>{{{31, 31, 31, 31, 31, 31}, "62", "21"},
                                         {{10, 10, 10, 10, 10, 13}, "1", "1"},
                                         {{9, 0, 0, 0, 0, 0}, "1", "7"},
                                         {{5, 5, 5, 5, 5, 5}, "10", "21"},
                                         {{4, 4, 4, 4, 4, 0}, "20", "63"},
                                         {{0, 0, 0, 0, 0, 0}, "20", "63"},  // unchanged
                                         {{14, 0, 0, 0, 0, 0}, "2", "9"}}) {
    SCOPED_TRACE(c.divide + "/" + c.multiply);
    for (int i = 0; i < 6; ++i) gbyteCurrentData[200 + i] = c.weights[i];
    ASSERT_TRUE(win().blnIrisFrameDivMulSet());
    EXPECT_EQ(win().txtData(206).Text(), c.divide);
    EXPECT_EQ(win().txtData(207).Text(), c.multiply);
    EXPECT_EQ(std::to_string(reg(206)), c.divide);
    EXPECT_EQ(std::to_string(reg(207)), c.multiply);
  }
  // An unsupported code keeps its box; weights beyond a byte are refused and write nothing.
  gstrAllCmdList = "206";
  gbyteCurrentData[200] = 63;
  ASSERT_TRUE(win().blnIrisFrameDivMulSet());
  EXPECT_EQ(win().txtData(206).Text(), "1");
  EXPECT_EQ(win().txtData(207).Text(), "9");
  gstrAllCmdList = "206,207";
  for (int i = 0; i < 6; ++i) gbyteCurrentData[200 + i] = 50;
  EXPECT_FALSE(win().blnIrisFrameDivMulSet());
  EXPECT_EQ(win().txtData(206).Text(), "1");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "frmMain.blnIrisFrameDivMulSet");
  EXPECT_EQ(reports[0].number, 6);
}

TEST_F(Graphs, IrisLabelsAndBurstFractions) {
  for (int i = 0; i < 6; ++i) gbyteCurrentData[200 + i] = 11 + i;
  ASSERT_TRUE(win().blnIrisFrameLabelSet());
  std::vector<std::string> captions;
  for (const forms::Label& l : win().lblIrisFrame) captions.push_back(l.Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"11", "12", "13", "14", "15", "16", "15"}));

  struct Case {
    uint8_t value;
    std::string caption;
  };
  const std::vector<Case> cases{{0, "0.00"},    {32, "0.50"},  {63, "0.98"},  {64, "-1.00"},
                                {96, "-0.50"},  {127, "-0.02"}, {160, "0.50"}, {255, "-0.02"}};
  const std::vector<int> codes{240, 241, 242, 243, 246, 247, 248, 249};
  for (size_t k = 0; k < codes.size(); ++k) gbyteCurrentData[codes[k]] = cases[k].value;
  ASSERT_TRUE(win().mblnUpdateInfoLabel(-1));
  for (size_t k = 0; k < codes.size(); ++k) EXPECT_EQ(win().lblInfo(codes[k]).Caption(), cases[k].caption) << codes[k];
  // One code refreshes its own label only; a code without a label changes nothing.
  gbyteCurrentData[240] = 16;
  gbyteCurrentData[241] = 16;
  ASSERT_TRUE(win().mblnUpdateInfoLabel(241));
  ASSERT_TRUE(win().mblnUpdateInfoLabel(5));
  EXPECT_EQ(win().lblInfo(240).Caption(), "0.00");
  EXPECT_EQ(win().lblInfo(241).Caption(), "0.25");
}

}  // namespace
}  // namespace uitest
