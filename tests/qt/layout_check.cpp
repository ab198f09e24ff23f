#include "layout_check.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "platform/forms/forms.h"
#include "platform/qt/form_view.h"
#include "platform/qt/widgets.h"

namespace qttest {

using forms::Control;
using forms::Kind;

namespace {

std::string name(const Control& c) { return c.DisplayName(); }

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
