// Smaller rules of the forms layer, table-driven: layout values, list handling, tab pages,
// drawing in other scales, key strings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/forms/layout.h"
#include "tests/platform/forms_sample.h"

namespace sample {
namespace {

using ::testing::ElementsAre;

long errorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const vb::Error& e) {
    return e.Number();
  }
  return 0;
}

TEST(LayoutValues, NumbersColoursBooleansAndNames) {
  struct {
    const char* text;
    long value;
  } longs[] = {{"0", 0}, {"-15", -15}, {"&HFF", 255}, {"&H8000000F&", vbButtonFace},
               {"&hff0000", 0xFF0000}, {"vbRed", 255}, {"vbButtonFace", 0x8000000FL},
               {"True", -1}};
  for (auto& c : longs) EXPECT_EQ(LayoutLong(c.text), c.value) << c.text;
  for (const char* bad : {"", "12a", "&H", "&HFFFFFFFFF", "red", "2147483648", "-2147483649",
                          "999999999999999999999999999999"})
    EXPECT_EQ(errorOf([&] { LayoutLong(bad); }), 380) << bad;
  EXPECT_EQ(LayoutLong("-2147483648"), -2147483648L);
  for (const char* bad : {"1e999", "3e9", "nan"}) EXPECT_EQ(errorOf([&] { LayoutDouble(bad); }), 380) << bad;
  EXPECT_TRUE(LayoutBool("True"));
  EXPECT_TRUE(LayoutBool("-1"));
  EXPECT_FALSE(LayoutBool("false"));
  EXPECT_EQ(errorOf([] { LayoutBool("yes"); }), 380);
  EXPECT_EQ(SplitIndexedName("txtData(254)"), (std::pair<std::string, int>{"txtData", 254}));
  EXPECT_EQ(SplitIndexedName("txtData"), (std::pair<std::string, int>{"txtData", -1}));
  EXPECT_EQ(errorOf([] { SplitIndexedName("a(x)"); }), 380);
  EXPECT_EQ(errorOf([] { SplitIndexedName("a(40000)"); }), 341);
  Layout l = ParseLayout("  # c\nLabel lbl(2) in=fra(1) tab=3 Caption=\"a b\" Tag= TabIndex=4\n", "x");
  ASSERT_EQ(l.entries.size(), 1u);
  const LayoutEntry& e = l.entries[0];
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.index, 2);
  EXPECT_EQ(e.container, "fra");
  EXPECT_EQ(e.containerIndex, 1);
  EXPECT_EQ(e.tab, 3);
  EXPECT_TRUE(e.hasTabIndex);
  EXPECT_THAT(e.props, ElementsAre(std::pair<std::string, std::string>{"Caption", "a b"},
                                   std::pair<std::string, std::string>{"Tag", ""},
                                   std::pair<std::string, std::string>{"TabIndex", "4"}));
}

class Parts : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    f.Show();
    f.take();
  }
  SampleForm f;
};

TEST_F(Parts, SortedComboAndRemovingTheSelectedItem) {
  class Sorted : public Form {
   public:
    Sorted() : Form("frmSorted") { UseLayoutText("ComboBox cmb Sorted=True\n"); }
    ComboBox cmb{this, "cmb"};
  } s;
  for (const char* item : {"delta", "Alpha", "charlie", "bravo"}) s.cmb.AddItem(item, 0);
  std::vector<std::string> items;
  for (int i = 0; i < s.cmb.ListCount(); ++i) items.push_back(s.cmb.List(i));
  EXPECT_THAT(items, ElementsAre("Alpha", "bravo", "charlie", "delta"));
  EXPECT_EQ(s.cmb.NewIndex(), 1);
  s.cmb.ItemData(2, 42);
  EXPECT_EQ(s.cmb.ItemData(2), 42);
  s.cmb.ListIndex(2);
  s.cmb.RemoveItem(2);
  EXPECT_EQ(s.cmb.ListIndex(), -1);
  EXPECT_EQ(errorOf([&] { s.cmb.RemoveItem(3); }), 5);
  EXPECT_EQ(errorOf([&] { s.cmb.ItemData(3); }), 381);
  // An editable combo box: typing raises Change; Text is free.
  s.cmb.Text("free text");
  EXPECT_EQ(s.cmb.Text(), "free text");
}

TEST_F(Parts, TabPagesCountCaptionsAndDisabledPages) {
  f.tabPages.Tabs(4);
  EXPECT_EQ(f.tabPages.TabCaption(3), "Tab 3");
  EXPECT_EQ(errorOf([&] { f.tabPages.TabCaption(4); }), 381);
  f.tabPages.Tab(3);
  f.take();
  f.tabPages.Tabs(2);  // the current page moves into range
  EXPECT_EQ(f.tabPages.Tab(), 1);
  EXPECT_THAT(f.take(), ElementsAre("tabPages_Click 3"));
  f.tabPages.TabEnabled(1, false);
  EXPECT_FALSE(f.txtOnPage.IsEnabledInForm());
  EXPECT_FALSE(f.txtOnPage.UserType("x"));
  f.tabPages.Tab(0);
  EXPECT_FALSE(f.tabPages.UserSelectTab(1));
  EXPECT_EQ(f.tabPages.Caption(), "One");
  // Arrow keys on the focused tab control turn the pages.
  f.tabPages.TabEnabled(1, true);
  f.tabPages.SetFocus();
  ASSERT_TRUE(f.UserKey(vbKeyRight));
  EXPECT_EQ(f.tabPages.Tab(), 1);
}

TEST_F(Parts, DrawingInTwipsAndBoxes) {
  EXPECT_EQ(f.pctGraph.ScaleMode(), vbTwips);
  EXPECT_DOUBLE_EQ(f.pctGraph.ScaleWidth(), 1530);
  f.pctGraph.FillStyle(0);
  f.pctGraph.FillColor(vbRed);
  f.pctGraph.Box(150, 150, 300, 300);
  f.pctGraph.Box(0, 0, 15, 15, vbGreen, true);
  f.pctGraph.PSet(30, 45);
  f.pctGraph.DrawWidth(3);
  f.pctGraph.LineTo(60, 60);  // from the last point
  const auto& list = f.pctGraph.DisplayList();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].type, DrawOp::Box);
  EXPECT_DOUBLE_EQ(list[0].x1, 10);
  EXPECT_EQ(list[0].fillColor, vbRed);
  EXPECT_EQ(list[1].type, DrawOp::FilledBox);
  EXPECT_EQ(list[1].fillColor, vbGreen);
  EXPECT_EQ(list[2].type, DrawOp::Point);
  EXPECT_DOUBLE_EQ(list[3].x1, 2);
  EXPECT_DOUBLE_EQ(list[3].y1, 3);
  EXPECT_EQ(list[3].drawWidth, 3);
  EXPECT_EQ(errorOf([&] { f.pctGraph.DrawWidth(0); }), 380);
  EXPECT_EQ(errorOf([&] { f.pctGraph.ScaleMode(8); }), 380);
  EXPECT_EQ(errorOf([&] { f.pctGraph.ScaleWidth(0); }), 380);
}

TEST_F(Parts, PropertyRangesRaise380) {
  struct {
    const char* what;
    std::function<void()> fn;
  } cases[] = {
      {"Width", [&] { f.txtValue.Width(-1); }},
      {"MousePointer", [&] { f.txtValue.MousePointer(16); }},
      {"Alignment", [&] { f.txtValue.Alignment(3); }},
      {"Scroll Min", [&] { f.vsValue.Min(40000); }},
      {"LargeChange", [&] { f.vsValue.LargeChange(0); }},
      {"ListIndex", [&] { f.cmbPort.ListIndex(-2); }},
      {"Tab", [&] { f.tabPages.Tab(-1); }},
      {"Shape", [&] { f.shpBar.ShapeType(6); }},
      {"BorderWidth", [&] { f.shpBar.BorderWidth(0); }},
      {"FontSize", [&] { f.lblStatus.FontSize(0); }},
      {"Form BorderStyle", [&] { f.BorderStyle(6); }},
      {"WindowState", [&] { f.WindowState(3); }},
  };
  for (auto& c : cases) EXPECT_EQ(errorOf(c.fn), 380) << c.what;
  EXPECT_EQ(errorOf([&] { f.lblStatus.TabIndex(-1); }), 380);
  EXPECT_EQ(errorOf([&] { f.shpBar.TabIndex(1); }), 438);
  EXPECT_EQ(errorOf([&] { f.txtValue.Container(&f.lblStatus); }), 5);
  EXPECT_EQ(errorOf([&] { f.fraMode.Container(&f.fraMode); }), 5);
  EXPECT_EQ(errorOf([&] { f.udValue.BuddyControl(&f.lblStatus); }), 380);
}

TEST_F(Parts, CommandButtonValueAndFontChangesRefitLabels) {
  f.cmdOk.Value(true);
  EXPECT_THAT(f.take(), ElementsAre("cmdOk_Click"));
  long w = f.lblStatus.Width();
  f.lblStatus.FontSize(18);
  EXPECT_EQ(f.lblStatus.Width(), 2 * w);
  f.txtValue.Container(&f.fraMode);  // moving into a frame
  EXPECT_EQ(f.txtValue.Container(), &f.fraMode);
  f.fraMode.Visible(false);
  EXPECT_FALSE(f.txtValue.IsShownInForm());
}

TEST_F(Parts, SendKeysStringsTypeWhatTheySay) {
  f.txtValue.SetFocus();
  f.txtValue.Text("");
  SendKeys("ab+c{(}{BS}{LEFT}{DEL}%x^v", true);  // Alt and Ctrl combinations type nothing
  EXPECT_EQ(f.txtValue.Text(), "ab");
  for (const char* bad : {"{", "{F17}", "}", "(", "{UNKNOWN}"}) EXPECT_EQ(errorOf([&] { SendKeys(bad, true); }), 5) << bad;
}

TEST_F(Parts, DisabledOrHiddenFormsTakeNoInput) {
  f.Enabled(false);
  EXPECT_FALSE(f.txtValue.UserType("1"));
  EXPECT_FALSE(f.UserKey(vbKeyTab));
  EXPECT_FALSE(f.cmdOk.UserClick());
  f.Enabled(true);
  f.Hide();
  EXPECT_FALSE(f.chkLog.UserClick());
  EXPECT_EQ(errorOf([&] { f.chkLog.SetFocus(); }), 5);
  EXPECT_EQ(Screen.ActiveForm(), nullptr);
  EXPECT_EQ(DoEvents(), 1);
}

}  // namespace
}  // namespace sample
