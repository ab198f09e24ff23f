// The main window's graphs through the real Qt widgets (offscreen), against the simulated
// camera in this process: the mouse on a white-balance centre plane picks the centre and
// sends both codes, and the pictures and bars are painted as the window drew them. Pages 0
// to 3 are saved as screenshots with values other than the defaults.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <algorithm>
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

  // Where a bar's coloured part starts: the end it grows from.
  enum class Grows { Up, Down, Right };

  // The bar of `back` as the user sees it in `image` (the window): the coloured (not white)
  // run inside the back shape's border must start at the end the bar grows from and cover
  // `fraction` of its length, within the two border lines.
  std::string barProblem(const QImage& image, const forms::Shape& back, double fraction, Grows grows) const {
    QWidget* w = widget(back);
    if (!w) return back.DisplayName() + ": no widget";
    const QRect r(w->mapTo(view->window(), QPoint(0, 0)), w->size());
    const bool vertical = grows != Grows::Right;
    const int length = (vertical ? r.height() : r.width()) - 2;  // inside the border
    std::string run;
    for (int k = 0; k < length; ++k) {
      // From the end the bar grows from.
      const int along = grows == Grows::Up ? r.bottom() - 1 - k : (vertical ? r.top() + 1 + k : r.left() + 1 + k);
      const QPoint p = vertical ? QPoint(r.center().x(), along) : QPoint(along, r.center().y());
      run += image.pixelColor(p) == QColor(Qt::white) ? '.' : '#';
    }
    const size_t coloured = run.find('.') == std::string::npos ? run.size() : run.find('.');
    const double want = fraction * length;
    if (run.find('#', coloured) != std::string::npos || std::abs(static_cast<double>(coloured) - want) > 2.5)
      return back.DisplayName() + ": shows " + run + ", want " + std::to_string(want) + " coloured from its start";
    return {};
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

// Every bar grows with its value as its scroll bar's thumb moves: the reversed vertical bars
// (top = maximum) and the chroma setup bars upwards from the bottom, the two forward vertical
// bars (top = minimum: the Setup bars) down from the top, the horizontal bars rightwards. Some
// bars are then moved by clicks on their scroll bar's track below the thumb. Each page with bars
// is saved.
TEST_F(MainWindowGraphsView, EveryBarShowsItsValue) {
  open(0);
  EXPECT_TRUE(gblnOnLine);
  struct Bar {
    int code, value;
    int clicks = 0;  // on the track below the thumb, once the value is typed
    int then = 0;    // the value the clicks give
  };
  const std::vector<Bar> bars{{0x0A, 60},  {0x0B, 200}, {0x30, 100, 3, 115}, {0x31, 13, 2, 3}, {0x32, 128},
                              {0x33, 200}, {0x34, 5, 1, 10}, {0x35, 50},  {0x36, 100}, {0x37, 240}, {0x40, 32},
                              {0x41, 255}, {0x44, 70},  {0x45, 180}, {0x4C, 30},  {0x4D, 220}, {0x68, 90},
                              {0x69, 0},   {0x71, 40},  {0x72, 200}, {0x73, 40},  {0x74, 120}, {0x75, 250},
                              {0x78, 0},   {0x79, 255}, {0x7A, 64},  {0x7B, 128}, {0x7C, 10},  {0x7D, 30},
                              {0x7E, 100}, {0x7F, 170}, {0xC0, 77},  {0xE0, 20},  {0xE1, 140}, {0xE2, 255},
                              {0xE4, 1},   {0xE5, 90},  {0xE6, 200}};
  auto fraction = [&](int code) {
    const forms::UpDown& u = win().udData(code);
    return static_cast<double>(gbyteCurrentData[code] - u.Min()) / (u.Max() - u.Min());
  };
  for (const Bar& b : bars) {
    const forms::UpDown& u = win().udData(b.code);
    win().txtData(b.code).Text(std::to_string(std::clamp<long>(b.value, u.Min(), u.Max())));
  }
  const int chroma[] = {0, -100, 300, -480};
  for (int i = 1; i <= 3; ++i) win().txtChromaSetup(i).Text(std::to_string(chroma[i]));
  EXPECT_EQ(reg(0x41), 255);
  EXPECT_EQ(reg(0x31), 13);

  int checked = 0;
  for (int tab : {0, 1, 2, 4, 5}) {
    SCOPED_TRACE(tab);
    page(tab);
    for (const Bar& b : bars) {
      if (!b.clicks || !win().vsData(b.code).IsShownInForm()) continue;
      auto* bar = qobject_cast<QScrollBar*>(widget(win().vsData(b.code)));
      for (int k = 0; k < b.clicks; ++k) qttest::clickScrollBar(bar, QStyle::SC_ScrollBarAddPage);
      qttest::settle();
      EXPECT_EQ(reg(b.code), b.then) << b.code;
    }
    const QImage image = view->window()->grab().toImage();
    std::vector<std::string> problems;
    auto check = [&](const forms::Shape& back, double f, Grows grows) {
      if (!back.IsShownInForm()) return;
      ++checked;
      const std::string p = barProblem(image, back, f, grows);
      if (!p.empty()) problems.push_back(p);
    };
    for (const Bar& b : bars) {
      if (b.code >= 0x90 && b.code <= 0x93) continue;
      const bool vertical = win().vsData.Exists(b.code);
      const Grows grows = !vertical ? Grows::Right
                          : win().vsData(b.code).Tag() == "forward" ? Grows::Down
                                                                    : Grows::Up;
      check(win().shpBackData(b.code), fraction(b.code), grows);
    }
    for (int i = 1; i <= 3; ++i) check(win().shpBackChromaSetup(i), (chroma[i] + 512) / 1023.0, Grows::Up);
    EXPECT_EQ(problems, std::vector<std::string>{});
    qttest::screenshot(view->window(), QString("main_window_bars_page%1").arg(tab));
  }
  EXPECT_GE(checked, 38);  // every bar of the list and the three chroma bars, somewhere shown
}

}  // namespace
