// The main window's graphs through the real Qt widgets (offscreen), against the simulated
// camera in this process: the mouse on a white-balance centre plane picks the centre and
// sends both codes, and the pictures and bars are painted as the window drew them. Pages 0
// to 3 are saved as screenshots with values other than the defaults.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "platform/qt/convert.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/widgets.h"
#include "qt_support.h"
#include "tests/ui/main_window_fixture.h"

namespace {

using uitest::Wire;

class MainWindowGraphsView : public uitest::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    qttest::app();
    qtHost.setUnattended(true);
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    qttest::settle();
    forms::setHost(&host);
    MainWindowTest::TearDown();
  }
  // Loads and shows the window through the Qt view, on page `tab`.
  void open(int tab) {
    forms::setHost(&qtHost);
    ASSERT_TRUE(loadWindow());
    win().Show();
    page(tab);
    view = qtHost.viewOf(win());
    ASSERT_NE(view, nullptr);
  }
  void page(int tab) {
    win().SSTab1.Tab(tab);
    qttest::settle();
  }
  QWidget* widget(const forms::Control& c) const { return view->widgetOf(&c); }

  // A drag with `button` over the picture of `plane` from its middle to `to` (widget pixels).
  void drag(int plane, Qt::MouseButton button, QPoint to) {
    QWidget* w = widget(win().pctAWBCenter(plane));
    const QPoint from = w->rect().center();
    QTest::mousePress(w, button, {}, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, button, {}, to);
    qttest::settle();
  }

  // What the picture widget shows differs from what the picture box drew: each line is painted
  // in its colour around its middle, each circle in its colour somewhere on its rim.
  std::vector<std::string> paintProblems(const forms::PictureBox& pic) const {
    std::vector<std::string> problems;
    auto* w = dynamic_cast<qtview::PictureWidget*>(widget(pic));
    if (!w) return {pic.DisplayName() + ": no picture widget"};
    if (w->drawing().size() != pic.DisplayList().size()) problems.push_back(pic.DisplayName() + ": drawing not in step");
    const QImage image = w->grab().toImage();
    const int b = w->borderWidth();
    auto near = [&](double x, double y, const QColor& want, int tolerance) {
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
          const QPoint p(static_cast<int>(std::lround(x)) + b + dx, static_cast<int>(std::lround(y)) + b + dy);
          if (!image.rect().contains(p)) continue;
          const QColor got = image.pixelColor(p);
          if (std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                  std::abs(got.blue() - want.blue()) <= tolerance)
            return true;
        }
      return false;
    };
    for (const forms::DrawOp& op : pic.DisplayList()) {
      const QColor want = qtview::color(op.color);
      const std::string what = pic.DisplayName() + " " + (op.type == forms::DrawOp::Circle ? "circle" : "line") +
                               " at " + std::to_string(op.x1) + "," + std::to_string(op.y1);
      if (op.type == forms::DrawOp::Line) {
        const double mx = (op.x1 + op.x2) / 2, my = (op.y1 + op.y2) / 2;
        if (mx < 0 || my < 0 || mx >= pic.ClientWidthPixels() || my >= pic.ClientHeightPixels()) continue;
        if (!near(mx, my, want, 0)) problems.push_back(what + " not painted");
      } else if (op.type == forms::DrawOp::Circle) {
        bool found = false;
        for (int k = 0; k < 8 && !found; ++k) {
          const double a = k * M_PI / 4;
          found = near(op.x1 + op.radius * std::cos(a), op.y1 + op.radius * std::sin(a), want, 160);
        }
        if (!found) problems.push_back(what + " not painted");
      }
    }
    return problems;
  }

  // A shape's widget differs from the shape: its size, or its fill in the middle.
  std::vector<std::string> shapeProblems(const forms::Shape& s) const {
    QWidget* w = widget(s);
    if (!w) return {s.DisplayName() + ": no widget"};
    const QRect want = qtview::pxRect(s.Left(), s.Top(), s.Width(), s.Height());
    if (w->size() != want.size() || !w->isVisible()) return {s.DisplayName() + ": not the shape's size"};
    if (w->width() < 3 || w->height() < 3) return {};
    const QColor got = w->grab().toImage().pixelColor(w->rect().center());
    if (got != qtview::color(s.FillColor())) return {s.DisplayName() + ": not the shape's fill"};
    return {};
  }

  // Every picture and bar shown on the current page is painted as drawn.
  std::vector<std::string> pageProblems() const {
    std::vector<std::string> all;
    auto add = [&](const std::vector<std::string>& more) { all.insert(all.end(), more.begin(), more.end()); };
    for (const forms::PictureBox& p : win().pctData)
      if (p.IsShownInForm()) add(paintProblems(p));
    for (const forms::PictureBox& p : win().pctAWBCenter)
      if (p.IsShownInForm()) add(paintProblems(p));
    for (auto* shapes : {&win().shpFrontData, &win().shpBackData, &win().shpFrontChromaSetup, &win().shpBackChromaSetup})
      for (const forms::Shape& s : *shapes)
        if (s.IsShownInForm()) add(shapeProblems(s));
    return all;
  }

  FrmMain& win() const { return frmMain(); }
  Wire lastSettings(size_t n) const {
    const Wire all = settingsSent();
    return all.size() < n ? all : Wire(all.end() - static_cast<long>(n), all.end());
  }

  qtview::QtHost qtHost;
  qtview::FormView* view = nullptr;
};

TEST_F(MainWindowGraphsView, DraggingOverACentrePlaneMovesTheCentreAndSendsBothCodes) {
  open(0);
  EXPECT_TRUE(gblnOnLine);
  QWidget* positive = widget(win().pctAWBCenter(0));
  const int middle = positive->height() / 2;

  // Beyond the right edge of the positive plane: Mg-G at its maximum, R-B in the middle.
  clearWire();
  drag(0, Qt::LeftButton, QPoint(positive->width() + 40, middle));
  EXPECT_EQ(lastSettings(2), (Wire{{144, 32}, {145, 63}}));
  EXPECT_EQ(reg(144), 32);
  EXPECT_EQ(reg(145), 63);
  EXPECT_EQ(win().txtData(145).Text(), "63");
  EXPECT_EQ(win().lblAWBCenter(0).Caption(), "(31,0)");
  EXPECT_EQ(win().hsData(145).Value(), 63);

  // The negative plane is mirrored: beyond its right edge the Mg-G code goes to 0, and above
  // its top the R-B code too.
  QWidget* negative = widget(win().pctAWBCenter(1));
  clearWire();
  drag(1, Qt::LeftButton, QPoint(negative->width() + 40, -40));
  EXPECT_EQ(lastSettings(2), (Wire{{146, 0}, {147, 0}}));
  EXPECT_EQ(reg(146), 0);
  EXPECT_EQ(reg(147), 0);

  // With the right button nothing is picked.
  clearWire();
  drag(0, Qt::RightButton, QPoint(5, 5));
  EXPECT_TRUE(settingsSent().empty());
  EXPECT_EQ(reg(145), 63);

  // The marker, the axes and the centre bars are painted where the window drew them.
  EXPECT_EQ(pageProblems(), std::vector<std::string>{});
  EXPECT_EQ(win().shpFrontData(145).FillColor(), 0xFF00FF);  // magenta: right of the middle
}

TEST_F(MainWindowGraphsView, PagesZeroToThreeArePaintedAsDrawn) {
  oldLayoutCamera();  // with the CDS gain pictures of page 1
  open(0);
  EXPECT_TRUE(gblnOnLine);
  struct Edit {
    int code;
    const char* value;
  };
  for (const Edit& e : std::vector<Edit>{{10, "60"},  {11, "200"}, {144, "20"}, {145, "50"}, {146, "45"},
                                         {147, "10"}, {48, "100"}, {49, "20"},  {50, "127"}, {52, "5"},
                                         {53, "90"},  {76, "30"},  {77, "220"}, {92, "0"},   {93, "10"},
                                         {94, "20"},  {95, "31"}})
    win().txtData(e.code).Text(e.value);
  win().txtCdsGain(0).Text("3");
  win().txtCdsGain(1).Text("63");
  win().txtCdsGain(2).Text("1");
  win().txtCdsGain(3).Text("20");
  win().txtChromaSetup(1).Text("-100");
  win().txtChromaSetup(2).Text("300");
  win().txtChromaSetup(3).Text("-480");
  EXPECT_EQ(reg(56), 156);
  EXPECT_EQ(reg(57), 3);
  EXPECT_EQ(reg(66), 255);
  EXPECT_EQ(reg(67), 84);
  EXPECT_EQ(reg(95), 31);
  EXPECT_EQ(win().lblCurGamma(95).Caption(), "Gamma=0.21");

  for (int tab = 0; tab <= 3; ++tab) {
    SCOPED_TRACE(tab);
    page(tab);
    EXPECT_EQ(pageProblems(), std::vector<std::string>{});
    qttest::screenshot(view->window(), QString("main_window_values_page%1").arg(tab));
  }
}

}  // namespace
