// The progress window, the data-list dialog and the port-selection window on the headless
// forms, with the test playing the user.
#include <set>

#include "link/data_list_dialog.h"
#include "link/port_change_window.h"
#include "link/status_bar_window.h"
#include "link_fixture.h"
#include "platform/registry/registry.h"

namespace linktest {
namespace {

using namespace mdlMSComm;

// ---- Progress window ----------------------------------------------------------------------

class ProgressWindow : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    open();
    host.onUnload = [this](forms::Form& f) {
      if (f.Name() == "frmStatusBar")
        shown.push_back({frmStatusBar().ProgressBar1.Max(), frmStatusBar().ProgressBar1.Value(),
                         frmStatusBar().lblStatusMsg.Caption()});
    };
  }
  struct Seen {
    float max, value;
    std::string caption;
  };
  std::vector<Seen> shown;
};

TEST_F(ProgressWindow, TheBarStopsAtItsMaximum) {
  glngStatusMax = 10;
  glngStatusValue = 0;
  gstrStatusCaption = "Receiving data from the camera.";
  frmStatusBar().Show(forms::vbModeless);
  EXPECT_TRUE(gblnShowStatus);
  EXPECT_EQ(frmStatusBar().Caption(), "Orvadex");
  for (int i = 1; i <= 11; ++i) {
    glngStatusValue = i;
    EXPECT_TRUE(frmStatusBar().gblnRefresh());
    EXPECT_EQ(frmStatusBar().ProgressBar1.Value(), i <= 10 ? i : 10);
  }
  frmStatusBar().Unload();
  EXPECT_FALSE(gblnShowStatus);
}

TEST_F(ProgressWindow, MovesUnderTheSplashWhileItIsShown) {
  class Splash : public forms::Form {
   public:
    Splash() : forms::Form("frmSplash", forms::Form::NoLayout) {}
  } splash;
  splash.Show(forms::vbModeless);
  splash.Move(1000, 2000, 6000, 3000);
  gblnShowSplash = true;
  glngStatusMax = 3;
  glngStatusValue = 0;
  frmStatusBar().Show(forms::vbModeless);
  const long left = frmStatusBar().Left();
  glngStatusValue = 1;
  frmStatusBar().gblnRefresh();
  EXPECT_EQ(frmStatusBar().Top(), 5000);
  EXPECT_EQ(frmStatusBar().Left(), left);
  frmStatusBar().Unload();
  splash.Unload();
}

TEST_F(ProgressWindow, ShownOnlyForTwoOrMoreCodesToSendAndForAnyRead) {
  EXPECT_TRUE(gblnSetDataFromPC("65", true));
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(gblnSetDataFromPC("65,64", true));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].max, 1);
  EXPECT_EQ(shown[0].value, 1);
  EXPECT_EQ(shown[0].caption, "Sending data to the camera.");
  EXPECT_EQ(glngStatusValue, 2);
  EXPECT_TRUE(gblnGetDataFromCamera("64"));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].max, 1);
  EXPECT_EQ(shown[1].value, 1);
  EXPECT_EQ(shown[1].caption, "Receiving data from the camera.");
  gblnEEPROMWriting = true;
  gbyteCurrentMode = 243;
  EXPECT_TRUE(gblnSetDataFromPC("65,64,1", false));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].caption, "Sending data to EEPROM.");
  EXPECT_FALSE(gblnShowStatus);
}

// The bar is painted while the next command is on its way, never between a reply and the next
// command (where its time would add to every command), and shows the last step before it goes.
TEST_F(ProgressWindow, PaintsEachStepWhileTheNextCommandIsOnTheWire) {
  struct Paint {
    float value;
    size_t onTheWire;  // bytes of the next command still travelling to the camera
  };
  std::vector<Paint> paints;
  const int watch = frmStatusBar().ProgressBar1.Subscribe([&](forms::Control& bar, forms::Prop what) {
    if (what != forms::Prop::Refresh) return;
    paints.push_back({static_cast<forms::ProgressBar&>(bar).Value(), clock().PendingEvents()});
  });
  for (const bool read : {true, false}) {
    SCOPED_TRACE(read ? "read" : "send");
    paints.clear();
    EXPECT_TRUE(read ? gblnGetDataFromCamera("1,65,64,144") : gblnSetDataFromPC("1,65,64,144", true));
    // A send's bar ends at the step before its last command (its maximum), a read's with the
    // last, painted as the window goes.
    ASSERT_EQ(paints.size(), read ? 4u : 3u);
    for (size_t k = 0; k < paints.size(); ++k) {
      EXPECT_EQ(paints[k].value, k + 1) << k;
      if (k < 3) {
        EXPECT_EQ(paints[k].onTheWire, 2u) << k;
      }
    }
    EXPECT_FALSE(gblnShowStatus);
  }
  frmStatusBar().ProgressBar1.Unsubscribe(watch);
}

// ---- Data-list dialog ---------------------------------------------------------------------

class DataList : public LinkTest {
 protected:
  std::array<uint8_t, 256> now{}, old{};
  FrmDispSelectData& dlg() { return frmDispSelectData(); }
  std::string repeat(const std::string& code, int n) {
    std::string list;
    for (int i = 0; i < n; ++i) list += (i ? "," : "") + code;
    return list;
  }
};

TEST_F(DataList, LayoutOfOneCode) {
  now[208] = 50;
  old[208] = 48;
  host.onModal = [&](forms::Form&) {
    forms::Label& header = dlg().lblSection(0);
    forms::Label& row = dlg().lblKeyAndValue(0);
    EXPECT_EQ(header.Caption(), "[IRIS]");
    EXPECT_EQ(row.Caption(), "  AEAGC_Tolerance=50(48)");
    EXPECT_EQ(row.ForeColor(), forms::RGB(255, 0, 0));
    EXPECT_EQ(header.Top(), dlg().lblMsg.Top() + dlg().lblMsg.Height() + 60);
    EXPECT_EQ(header.Left(), 360 + 480 + 250);
    EXPECT_EQ(row.Top(), header.Top() + 250);
    EXPECT_EQ(dlg().fraCmdButton.Top(), row.Top() + 250);
    EXPECT_EQ(dlg().Height(), row.Top() + 615 + 620);
    EXPECT_EQ(dlg().Caption(), "Orvadex Ver.1.31");
    EXPECT_TRUE(dlg().cmdCancel.Visible());
    EXPECT_TRUE(dlg().imgicon(1).Visible());
    EXPECT_FALSE(dlg().imgicon(0).Visible());
    dlg().cmdOk.UserClick();
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("Check.", true, "208", true, now, old));
  EXPECT_EQ(host.modalForms.size(), 1u);
  EXPECT_FALSE(dlg().Loaded());
}

TEST_F(DataList, ThirtyOneCodesOfOneSectionSpillIntoASecondColumn) {
  long t0 = 0, firstLeft = 0;
  std::vector<std::pair<long, long>> places;  // (left, top) of each value row
  host.onModal = [&](forms::Form&) {
    t0 = dlg().lblSection(0).Top();
    firstLeft = dlg().lblSection(0).Left();
    for (int p = 0; p < 31; ++p) places.push_back({dlg().lblKeyAndValue(p).Left(), dlg().lblKeyAndValue(p).Top()});
    EXPECT_FALSE(dlg().lblSection.Exists(1));
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, repeat("208", 31), false, now, old));
  ASSERT_EQ(places.size(), 31u);
  for (int p = 0; p < 29; ++p) {
    EXPECT_EQ(places[p].first, firstLeft);
    EXPECT_EQ(places[p].second, t0 + 250 * (p + 1));
  }
  EXPECT_GT(places[29].first, firstLeft);
  EXPECT_EQ(places[29].second, t0);
  EXPECT_EQ(places[30].second, t0 + 250);
}

// A list not grouped by section repeats its headers; a header that falls on the last (30th)
// row of a column has its value at the top of the next column.
TEST_F(DataList, AnUnsortedListRepeatsHeadersAndAHeaderMayEndAColumn) {
  int other = 1;
  while (!gobjDataInfo[other] || gobjDataInfo[other]->SectionName == gobjDataInfo[208]->SectionName) ++other;
  const std::string list = repeat("208", 28) + "," + std::to_string(other) + ",208";
  struct Place {
    std::string caption;
    long left, top;
  };
  std::vector<Place> headers, rows;
  long t0 = 0;
  host.onModal = [&](forms::Form&) {
    t0 = dlg().lblSection(0).Top();
    for (int k : dlg().lblSection.Indexes())
      headers.push_back({dlg().lblSection(k).Caption(), dlg().lblSection(k).Left(), dlg().lblSection(k).Top()});
    for (int p : {27, 28, 29})
      rows.push_back({dlg().lblKeyAndValue(p).Caption(), dlg().lblKeyAndValue(p).Left(), dlg().lblKeyAndValue(p).Top()});
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, list, false, now, old));
  ASSERT_EQ(headers.size(), 3u);
  ASSERT_EQ(rows.size(), 3u);
  const long first = headers[0].left, second = rows[1].left;
  EXPECT_GT(second, first);
  EXPECT_EQ(headers[1].caption, "[" + gobjDataInfo[other]->SectionName + "]");
  EXPECT_EQ(headers[2].caption, headers[0].caption);
  // Column one: the header, 28 rows of 208, the other section's header on row 30.
  EXPECT_EQ(rows[0].top, t0 + 250 * 28);
  EXPECT_EQ(headers[1].left, first);
  EXPECT_EQ(headers[1].top, t0 + 250 * 29);
  // Column two: its value, then the first section's header again and its row.
  EXPECT_EQ(rows[1].top, t0);
  EXPECT_EQ(headers[2].left, second);
  EXPECT_EQ(headers[2].top, t0 + 250);
  EXPECT_EQ(rows[2].left, second);
  EXPECT_EQ(rows[2].top, t0 + 500);
}

TEST_F(DataList, ColoursByPositionAndDifference) {
  const std::string list = repeat("208", 70);
  std::vector<long> colours;
  host.onModal = [&](forms::Form&) {
    for (int p = 0; p < 70; ++p) colours.push_back(dlg().lblKeyAndValue(p).ForeColor());
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, list, false, now, old));
  ASSERT_EQ(colours.size(), 70u);
  for (int p = 0; p < 70; ++p) EXPECT_EQ(colours[p], p < 63 ? forms::RGB(0, 0, 0) : forms::RGB(0, 0, 255)) << p;

  // With the second value: equal rows keep black or blue, differing rows are red.
  colours.clear();
  now[208] = old[208] = 5;
  now[65] = 1;
  old[65] = 2;
  host.onModal = [&](forms::Form&) {
    for (int p = 0; p < 66; ++p) colours.push_back(dlg().lblKeyAndValue(p).ForeColor());
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, repeat("208", 64) + ",65,65", true, now, old));
  ASSERT_EQ(colours.size(), 66u);
  EXPECT_EQ(colours[62], forms::RGB(0, 0, 0));
  EXPECT_EQ(colours[63], forms::RGB(0, 0, 255));
  EXPECT_EQ(colours[64], forms::RGB(255, 0, 0));
  EXPECT_EQ(colours[65], forms::RGB(255, 0, 0));
  EXPECT_FALSE(dlg().Loaded());
}

TEST_F(DataList, EmptyListShowsTheFirstLineOnly) {
  EXPECT_TRUE(dlg().gblnDispSelectData("First line.\r\nSecond line.", true, "", false, now, old));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].prompt, "First line.");
  EXPECT_EQ(host.boxes[0].buttons, forms::vbInformation + forms::vbOKOnly);
  EXPECT_TRUE(host.modalForms.empty());
}

TEST_F(DataList, AnswersOfTheUser) {
  // Close box: False when asking, True when informing.
  host.onModal = nullptr;
  EXPECT_FALSE(dlg().gblnDispSelectData("m", true, "1", false, now, old));
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, "1", false, now, old));
  host.onModal = [&](forms::Form&) { dlg().cmdCancel.UserClick(); };
  EXPECT_FALSE(dlg().gblnDispSelectData("m", true, "1", false, now, old));
  // Informing: only OK, at the place of Cancel.
  long okLeft = 0;
  bool cancelShown = true;
  host.onModal = [&](forms::Form&) {
    okLeft = dlg().cmdOk.Left();
    cancelShown = dlg().cmdCancel.Visible();
    dlg().cmdOk.UserClick();
  };
  EXPECT_TRUE(dlg().gblnDispSelectData("m", false, "1", false, now, old));
  EXPECT_EQ(okLeft, 1440);
  EXPECT_FALSE(cancelShown);
}

TEST_F(DataList, AWideMessageWidensTheWindowAndABadListIsRefused) {
  const std::string wide(200, 'W');
  long width = 0, msgRight = 0;
  host.onModal = [&](forms::Form&) {
    width = dlg().Width();
    msgRight = dlg().lblMsg.Left() + dlg().lblMsg.Width();
  };
  EXPECT_TRUE(dlg().gblnDispSelectData(wide, false, "1", false, now, old));
  EXPECT_EQ(width, msgRight + 250);

  host.modalForms.clear();
  EXPECT_FALSE(dlg().gblnDispSelectData("m", true, "1,x", false, now, old));
  EXPECT_TRUE(host.modalForms.empty());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "frmDispSelectData.mblnDispDataSet");
  EXPECT_FALSE(dlg().Loaded());
}

// Every code of a full file, with the second value, as Check lists it: on every screen the
// window stays within the screen with OK and Cancel inside it; on a large screen the columns
// grow longer, on a small one they scroll sideways, and every row can be brought into view.
TEST_F(DataList, AFullListFitsTheScreen) {
  struct Case {
    long width, height;  // pixels
    bool scrolls;
  };
  std::string list;
  for (int c = 1; c <= 254; ++c) list += (c > 1 ? "," : "") + std::to_string(c);
  const long savedWidth = forms::Screen.Width(), savedHeight = forms::Screen.Height();
  for (const Case& c : {Case{1920, 1080, false}, Case{1280, 1024, false}, Case{1024, 768, true}, Case{800, 600, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    forms::Screen.SetSize(c.width * 15, c.height * 15);
    std::set<int> seen;
    bool scrolls = false;
    host.onModal = [&](forms::Form&) {
      FrmDispSelectData& d = dlg();
      EXPECT_LE(d.Width(), forms::Screen.Width());
      EXPECT_LE(d.Height(), forms::Screen.Height());
      EXPECT_LE(d.fraCmdButton.Left() + d.fraCmdButton.Width() + 120, d.Width());
      EXPECT_LE(d.fraCmdButton.Top() + d.fraCmdButton.Height() + 300, d.Height());
      EXPECT_TRUE(d.cmdOk.Visible() && d.cmdCancel.Visible());
      scrolls = d.hsColumns.Visible();
      for (;;) {
        for (int p : d.lblKeyAndValue.Indexes()) {
          const forms::Label& row = d.lblKeyAndValue(p);
          if (!row.Visible()) continue;
          seen.insert(p);
          EXPECT_GE(row.Left(), d.imgicon(0).Left() + d.imgicon(0).Width());
          EXPECT_LE(row.Left() + row.Width() + 120, d.Width()) << p;
          EXPECT_LT(row.Top(), d.fraCmdButton.Top()) << p;
        }
        if (!scrolls || d.hsColumns.Value() == d.hsColumns.Max()) break;
        ASSERT_TRUE(d.hsColumns.UserScroll(forms::ScrollBar::Step::LineDown));
      }
      d.cmdOk.UserClick();
    };
    EXPECT_TRUE(dlg().gblnDispSelectData("All setting values ...\r\nField Name = Current setting value (File setting value)",
                                         true, list, true, now, old));
    EXPECT_EQ(scrolls, c.scrolls);
    EXPECT_EQ(seen.size(), 254u);
  }
  forms::Screen.SetSize(savedWidth, savedHeight);
}

TEST_F(DataList, RefusedEepromFieldsAreListedAfterTheSend) {
  open();
  gblnEEPROMWriting = true;
  gbyteCurrentMode = 243;
  camera().AddFault(fault("corrupt:c=65:index=0:value=0xFF"));
  camera().AddFault(fault("corrupt:c=65:index=1:value=0x80"));
  gbyteCurrentData[65] = 12;
  std::string message, row;
  host.onModal = [&](forms::Form&) {
    message = dlg().lblMsg.Caption();
    row = dlg().lblKeyAndValue(0).Caption();
  };
  EXPECT_TRUE(gblnSetDataFromPC("64,65", false));
  EXPECT_EQ(message,
            "The number of the fields that are changed from default value exceeds the number of "
            "writable fields(63).");
  EXPECT_NE(row.find("=12"), std::string::npos);
  host.modalForms.clear();
  gblnOptimizeWritting = true;
  camera().AddFault(fault("corrupt:c=65:index=0:value=0xFF"));
  camera().AddFault(fault("corrupt:c=65:index=1:value=0x80"));
  EXPECT_TRUE(gblnSetDataFromPC("64,65", false));
  EXPECT_TRUE(host.modalForms.empty());
}

// ---- Port-selection window ----------------------------------------------------------------

class PortWindow : public LinkTest {
 protected:
  void TearDown() override {
    registry::testhooks::Reset();
    LinkTest::TearDown();
  }
  void ports(std::vector<std::string> names) {
    std::vector<registry::Value> values;
    int i = 0;
    for (auto& n : names) values.push_back({"\\Device\\Serial" + std::to_string(i++), registry::REG_SZ, n + std::string(1, '\0')});
    registry::testhooks::SetKey("HARDWARE\\DEVICEMAP\\SERIALCOMM", values);
  }
  FrmPortChange& win() { return frmPortChange(); }
};

TEST_F(PortWindow, RegistryPortsAreSortedByNumberAndTheStoredOneSelected) {
  ports({"COM10", "COM2", "COM1"});
  std::vector<std::string> items;
  std::string selected, caption;
  bool textShown = true;
  host.onModal = [&](forms::Form&) {
    for (int i = 0; i < win().cmbPortNo.ListCount(); ++i) items.push_back(win().cmbPortNo.List(i));
    selected = win().cmbPortNo.Text();
    textShown = win().txtPortNo.Visible();
    caption = win().Caption();
    win().cmbPortNo.UserSelect(2);
    win().btnOK.UserClick();
  };
  glngPortNo = 2;
  win().Show(forms::vbModal);
  EXPECT_EQ(items, (std::vector<std::string>{"COM1", "COM2", "COM10"}));
  EXPECT_EQ(selected, "COM2");
  EXPECT_FALSE(textShown);
  EXPECT_EQ(caption, "Orvadex [Serial Port Select]");
  EXPECT_EQ(glngPortNo, 10);

  glngPortNo = 7;
  host.onModal = [&](forms::Form&) {
    selected = win().cmbPortNo.Text();
    win().btnCancel.UserClick();
  };
  win().Show(forms::vbModal);
  EXPECT_EQ(selected, "COM1");
  EXPECT_EQ(glngPortNo, 7);
}

TEST_F(PortWindow, WithoutRegistryPortsTheTextBoxAndItsUpDown) {
  ports({});
  std::vector<std::string> texts;
  glngPortNo = 0;
  host.onModal = [&](forms::Form&) {
    texts.push_back(win().txtPortNo.Text());
    win().udPortNo.UserUp();
    texts.push_back(win().txtPortNo.Text());
    win().udPortNo.UserDown();
    win().udPortNo.UserDown();
    texts.push_back(win().txtPortNo.Text());
    win().txtPortNo.Text("COM99");
    win().udPortNo.UserUp();
    texts.push_back(win().txtPortNo.Text());
    win().txtPortNo.Text("COM12");
    win().btnOK.UserClick();
  };
  win().Show(forms::vbModal);
  EXPECT_EQ(texts, (std::vector<std::string>{"COM1", "COM2", "COM1", "COM99"}));
  EXPECT_EQ(glngPortNo, 12);
}

TEST_F(PortWindow, PortNumbersFromNames) {
  for (auto [name, number] : {std::pair{"COM12", 12}, {"COM3", 3}, {"5", 5}, {"COM", 0}, {"", 0}})
    EXPECT_EQ(FrmPortChange::mlngGetPortNoFromPortName(name), number) << name;
}

TEST_F(PortWindow, CloseBoxKeepsThePortAndRestoresThePointer) {
  ports({});
  glngPortNo = 4;
  forms::Screen.MousePointer(forms::vbHourglass);
  int during = -1;
  host.onModal = [&](forms::Form&) {
    during = forms::Screen.MousePointer();
    win().txtPortNo.Text("COM9");
  };
  win().Show(forms::vbModal);
  EXPECT_EQ(glngPortNo, 4);
  EXPECT_EQ(during, forms::vbDefault);
  EXPECT_EQ(forms::Screen.MousePointer(), forms::vbHourglass);
  forms::Screen.MousePointer(forms::vbDefault);
}

TEST_F(PortWindow, ConnectOffersTheWindowForAnInvalidPortAndUsesTheChoice) {
  ports({});
  glngPortNo = 300;
  host.onModal = [&](forms::Form&) {
    win().txtPortNo.Text("COM1");
    win().btnOK.UserClick();
  };
  EXPECT_TRUE(gblnMSComm_Init());
  EXPECT_EQ(glngPortNo, 1);
  EXPECT_TRUE(gblnOnLine);
  EXPECT_EQ(host.modalForms, (std::vector<std::string>{"frmPortChange"}));
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace linktest
