#include "layout_check.h"
#include "qt_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "platform/forms/forms.h"
#include "platform/qt/convert.h"
#include "platform/qt/form_view.h"
#include "platform/qt/widgets.h"

namespace qttest {

using forms::Control;
using forms::Kind;

namespace {

std::string name(const Control& c) { return c.DisplayName(); }

// The empty space a page or frame may leave above or below its content (pixels): about a row.
constexpr int kMaxBand = 16;
// How far the names of frames stacked in one column may start from each other (pixels).
constexpr int kFrameMargin = 16;

std::string str(const QRect& r) {
  return "(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

// Decorations may lie over other controls.
bool solid(Kind k) { return k != Kind::Shape && k != Kind::Line && k != Kind::Image && k != Kind::Menu && k != Kind::CommonDialog; }

// Visible as far as the model says, on any page of an SSTab.
bool shownSomewhere(const Control& c) {
  for (const Control* p = &c; p; p = p->Container())
    if (!p->Visible()) return false;
  return true;
}

QString withoutMnemonic(QString t) {
  QString out;
  for (qsizetype i = 0; i < t.size(); ++i) {
    if (t[i] == '&') {
      if (i + 1 < t.size() && t[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += t[i];
  }
  return out;
}

}  // namespace

std::vector<std::string> layoutProblems(const qtview::FormView& view) {
  std::vector<std::string> problems;
  std::vector<qtview::ControlView*> views;
  for (qtview::ControlView* v : view.views())
    if (v->attached() && v->widget() && shownSomewhere(v->control()) && v->control().kind() != Kind::Menu)
      views.push_back(v);

  for (qtview::ControlView* v : views) {
    const Control& c = v->control();
    QWidget* w = v->widget();
    const QRect g = w->geometry();
    // Inside the area of its container, and of every container above it, as the window
    // shows them (a borderless frame draws nothing itself; its children count).
    QRect area = view.client()->rect();
    bool parked = false;
    for (const Control* box = c.Container(); box; box = box->Container()) {
      qtview::ControlView* bv = view.viewOf(box);
      QWidget* bw = bv ? bv->widget() : nullptr;
      if (!bw) break;
      QRect inner = bw->rect();
      if (box->kind() == Kind::SSTab) {
        inner.setTop(static_cast<qtview::TabStripWidget*>(bw)->headerHeight());
      } else if (box->kind() == Kind::PictureBox) {
        const int b = bv->childOrigin().x();
        inner = inner.adjusted(b, b, -b, -b);
      }
      inner.moveTopLeft(bw->mapTo(view.client(), inner.topLeft()));
      area = area.intersected(inner);
    }
    const QRect shown(w->mapTo(view.client(), QPoint(0, 0)), g.size());
    // A control parked wholly outside its container (a design trick for controls that are
    // never shown) is no clipping.
    if (!shown.intersects(area)) parked = true;
    const bool borderlessFrame =
        c.kind() == Kind::Frame && static_cast<const forms::Frame&>(c).BorderStyle() == 0;
    // The front shape of a bar graph is as long as its value: at the end of the range it has
    // no extent at all.
    const bool emptyBar = c.kind() == Kind::Shape && c.Name().rfind("shpFront", 0) == 0 &&
                          (g.width() <= 0 || g.height() <= 0);
    if (c.kind() == Kind::Line || parked || borderlessFrame || emptyBar) {
      // nothing to check
    } else if (g.width() <= 0 || g.height() <= 0) {
      problems.push_back(name(c) + " has no size " + str(g));
    } else if (!area.contains(shown)) {
      problems.push_back(name(c) + " " + str(shown) + " is clipped by its window or container " + str(area));
    }
    if (parked) continue;

    // The caption fits.
    const QFontMetrics fm(w->font());
    if (auto* l = qobject_cast<QLabel*>(w); l && c.kind() == Kind::Label) {
      const QString text = l->text();
      if (!text.isEmpty()) {
        const int frame = l->frameWidth() * 2;
        const QRect need = l->wordWrap()
                               ? fm.boundingRect(QRect(0, 0, g.width() - frame, 100000), Qt::TextWordWrap, text)
                               : fm.boundingRect(QRect(0, 0, 100000, 100000), 0, text);
        if (need.width() > g.width() - frame || need.height() > g.height() - frame)
          problems.push_back(name(c) + " caption \"" + text.toStdString() + "\" needs " + str(need) + " in " + str(g));
      }
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      const QString text = withoutMnemonic(b->text());
      if (fm.horizontalAdvance(text) + 6 > g.width() || fm.height() + 4 > g.height())
        problems.push_back(name(c) + " caption \"" + text.toStdString() + "\" does not fit " + str(g));
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
      auto* b = static_cast<QAbstractButton*>(w);
      const QString text = withoutMnemonic(b->text());
      const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
      QStyle* st = w->style();
      const int ind = st->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, w);
      const int gap = st->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
      if (ind + gap + fm.horizontalAdvance(text) > g.width() || fm.height() > g.height())
        problems.push_back(name(c) + " caption \"" + text.toStdString() + "\" does not fit " + str(g));
    }
    if (auto* f = qobject_cast<QGroupBox*>(w); f && !f->title().isEmpty()) {
      if (fm.horizontalAdvance(withoutMnemonic(f->title())) + 16 > g.width())
        problems.push_back(name(c) + " title \"" + f->title().toStdString() + "\" does not fit " + str(g));
    }
    if (c.kind() == Kind::TextBox || c.kind() == Kind::ComboBox) {
      if (fm.height() + 2 > g.height()) problems.push_back(name(c) + " is too low for its text " + str(g));
    }
    if (c.kind() == Kind::SSTab) {
      auto& tab = static_cast<const forms::SSTab&>(c);
      auto* strip = static_cast<qtview::TabStripWidget*>(w);
      for (int i = 0; i < tab.Tabs(); ++i) {
        if (!tab.TabVisible(i)) continue;
        const QString t = withoutMnemonic(QString::fromStdString(tab.TabCaption(i)));
        if (fm.horizontalAdvance(t) + 8 > strip->tabRect(i).width())
          problems.push_back(name(c) + " tab \"" + t.toStdString() + "\" does not fit its tab");
      }
    }
  }

  // The window, title bar, borders and menu bar included, lies wholly in the screen's work area
  // and where the form says: with the frame the window manager drew where there is one, else
  // with the one the form counts.
  {
    const forms::Form& f = view.form();
    const forms::ScreenObject::Area& a = forms::Screen.WorkArea();
    const long width = f.ScaleWidth() + f.FrameWidthOnScreen(), height = f.ScaleHeight() + f.FrameHeightOnScreen();
    const bool inside = f.Left() >= a.Left && f.Top() >= a.Top && f.Left() + width <= a.Left + a.Width &&
                        f.Top() + height <= a.Top + a.Height;
    if (!inside)
      problems.push_back("the window " + str(qtview::pxRect(f.Left(), f.Top(), width, height)) +
                         " lies outside the screen's work area " + str(qtview::pxRect(a.Left, a.Top, a.Width, a.Height)));
    // A window shown just now is there once the window manager has framed it, which a busy one
    // does a while after the show.
    const QPoint says(qtview::px(f.Left()), qtview::px(f.Top()));
    QRect drawn;
    if (!QTest::qWaitFor([&] { return (drawn = qttest::frameRect(view.window())).topLeft() == says; }, 10000))
      problems.push_back("the window is not where the form says: its frame is at " + str(drawn) + ", the form says " +
                         std::to_string(says.x()) + "," + std::to_string(says.y()));
    // The window as drawn (its menu bar as tall as its font makes it), with the title bar and
    // borders, fits as well.
    const bool menu = view.menuBar() && !view.menuBar()->actions().isEmpty();
    const bool framed = drawn != view.window()->geometry();
    const int frameHeight = framed ? 0 : qtview::px(f.FrameHeightOnScreen() - (menu ? 300 : 0));
    const int frameWidth = framed ? 0 : qtview::px(f.FrameWidthOnScreen());
    if (drawn.bottom() + 1 + frameHeight > qtview::px(a.Top + a.Height) ||
        drawn.right() + 1 + frameWidth > qtview::px(a.Left + a.Width))
      problems.push_back("the window as drawn " + str(drawn) + " ends below or right of the work area");
  }

  // The pages' contents start right below the rows of tabs.
  for (qtview::ControlView* v : views) {
    if (v->control().kind() != Kind::SSTab || !v->widget()->isVisible()) continue;
    auto* strip = static_cast<qtview::TabStripWidget*>(v->widget());
    int top = strip->height();
    for (QWidget* child : strip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible()) top = std::min(top, child->y());
    if (top - strip->headerHeight() > kMaxBand)
      problems.push_back(name(v->control()) + " leaves " + std::to_string(top - strip->headerHeight()) +
                         " pixels empty between its tabs and the page");
  }

  // A frame is no taller than its content needs.
  for (qtview::ControlView* v : views) {
    auto* frame = dynamic_cast<qtview::FrameWidget*>(v->widget());
    if (!frame || frame->borderless() || !frame->isVisible()) continue;
    int bottom = 0;
    for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible()) bottom = std::max(bottom, child->geometry().bottom() + 1);
    if (bottom > 0 && frame->height() - bottom > kMaxBand)
      problems.push_back(name(v->control()) + " has " + std::to_string(frame->height() - bottom) +
                         " pixels empty below its content");
  }

  // Value boxes of one column line up: a name with its value box to the right on its row, in
  // frames stacked in one column (their names start within a frame's margin of each other).
  {
    struct ValueRow {
      const Control* name;
      int nameLeft, boxLeft;
    };
    std::vector<ValueRow> rows;
    for (qtview::ControlView* lv : views) {
      if (lv->control().kind() != Kind::Label || !lv->widget()->isVisible()) continue;
      const QRect l = lv->widget()->geometry();
      qtview::ControlView* box = nullptr;
      for (qtview::ControlView* bv : views) {
        if (!bv->widget()->isVisible() || bv->control().Container() != lv->control().Container()) continue;
        const QRect b = bv->widget()->geometry();
        if (b.left() < l.right() - 1 || b.top() > l.center().y() || b.bottom() < l.center().y()) continue;
        if (box && box->widget()->geometry().left() <= b.left()) continue;
        box = bv;  // the nearest control right of the name on its row
      }
      if (!box || box->control().kind() != Kind::TextBox) continue;
      rows.push_back({&lv->control(), lv->widget()->mapTo(view.client(), QPoint(0, 0)).x(),
                      box->widget()->mapTo(view.client(), QPoint(0, 0)).x()});
    }
    std::sort(rows.begin(), rows.end(), [](const ValueRow& a, const ValueRow& b) { return a.nameLeft < b.nameLeft; });
    for (size_t i = 0, first = 0; i < rows.size(); ++i) {
      if (rows[i].nameLeft - rows[first].nameLeft > kFrameMargin) first = i;
      if (std::abs(rows[i].boxLeft - rows[first].boxLeft) > 1)
        problems.push_back("the value box of " + name(*rows[i].name) + " at x " + std::to_string(rows[i].boxLeft) +
                           " does not line up with that of " + name(*rows[first].name) + " at x " +
                           std::to_string(rows[first].boxLeft));
    }
  }

  // No overlaps among the controls of one container and page.
  for (size_t i = 0; i < views.size(); ++i) {
    const Control& a = views[i]->control();
    if (!solid(a.kind())) continue;
    for (size_t j = i + 1; j < views.size(); ++j) {
      const Control& b = views[j]->control();
      if (!solid(b.kind()) || a.Container() != b.Container()) continue;
      if (a.Container() && a.Container()->kind() == Kind::SSTab && a.ContainerTab() != b.ContainerTab()) continue;
      const QRect ga = views[i]->widget()->geometry(), gb = views[j]->widget()->geometry();
      if (ga.intersects(gb))
        problems.push_back(name(a) + " " + str(ga) + " overlaps " + name(b) + " " + str(gb));
    }
  }
  return problems;
}

}  // namespace qttest
