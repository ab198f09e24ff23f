#include "platform/qt/widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <cmath>

#include "platform/qt/convert.h"
#include "platform/qt/form_view.h"
#include "platform/qt/view_support.h"

namespace qtview {

namespace {

Qt::PenStyle penStyle(int drawStyle) {
  switch (drawStyle) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;  // transparent
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle brushStyle(int fillStyle) {
  switch (fillStyle) {
    case 0: return Qt::SolidPattern;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;
    case 5: return Qt::FDiagPattern;
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
  }
}

}  // namespace

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setMouseTracking(true);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), back_.isValid() ? back_ : palette().color(QPalette::Window));
  const int b = borderWidth();
  if (border_) {
    // A sunken 3-D border, two pixels wide.
    const QPalette pal = palette();
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(pal.color(QPalette::Shadow));
    p.drawLine(1, 1, width() - 2, 1);
    p.drawLine(1, 1, 1, height() - 2);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    p.setPen(pal.color(QPalette::Midlight));
    p.drawLine(1, height() - 2, width() - 2, height() - 2);
    p.drawLine(width() - 2, 1, width() - 2, height() - 2);
  }
  p.setClipRect(rect().adjusted(b, b, -b, -b));
  p.translate(b, b);
  if (!picture_.isNull()) p.drawPixmap(0, 0, picture_);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const forms::DrawOp& op : ops_) {
    QPen pen(color(op.color));
    pen.setWidth(std::max(1, op.drawWidth));
    pen.setStyle(op.drawWidth > 1 ? Qt::SolidLine : penStyle(op.drawStyle));
    p.setPen(pen);
    switch (op.type) {
      case forms::DrawOp::Line:
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
        break;
      case forms::DrawOp::Box: {
        QRectF r = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
        p.setBrush(op.fillStyle == 1 ? QBrush(Qt::NoBrush)
                                     : QBrush(color(op.fillColor), brushStyle(op.fillStyle)));
        p.drawRect(r);
        break;
      }
      case forms::DrawOp::FilledBox: {
        QRectF r = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
        p.setBrush(color(op.color));
        p.drawRect(r);
        break;
      }
      case forms::DrawOp::Circle:
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(op.fillStyle == 1 ? QBrush(Qt::NoBrush)
                                     : QBrush(color(op.fillColor), brushStyle(op.fillStyle)));
        p.drawEllipse(QPointF(op.x1, op.y1), op.radius, op.radius);
        p.setRenderHint(QPainter::Antialiasing, false);
        break;
      case forms::DrawOp::Point:
        p.drawPoint(QPointF(op.x1, op.y1));
        break;
    }
  }
  if (hasFocus()) {  // on the border, clear of the drawing (the style may tint inside its mark)
    p.resetTransform();
    p.setClipRegion(QRegion(rect()).subtracted(QRegion(rect().adjusted(b, b, -b, -b))));
    drawFocusMark(this, p, rect());
  }
}

ShapeWidget::ShapeWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Style& s = style_;
  QRectF r = QRectF(rect()).adjusted(0, 0, -1, -1);
  if (s.shape == 1 || s.shape == 3 || s.shape == 5) {  // square forms use the shorter side, centred
    double side = std::min(r.width(), r.height());
    r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
  }
  QPen pen(s.border);
  pen.setWidth(std::max(1, s.borderWidth));
  pen.setStyle(s.borderStyle == 0 ? Qt::NoPen : (s.borderWidth > 1 ? Qt::SolidLine : penStyle(s.borderStyle - 1)));
  if (s.borderStyle == 6 && s.borderWidth > 1) {  // inside solid
    double half = s.borderWidth / 2.0;
    r = r.adjusted(half, half, -half, -half);
  }
  auto draw = [&](const QBrush& brush, const QPen& pn) {
    p.setBrush(brush);
    p.setPen(pn);
    switch (s.shape) {
      case 2: case 3:
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawEllipse(r);
        p.setRenderHint(QPainter::Antialiasing, false);
        break;
      case 4: case 5: {
        double rad = std::min(r.width(), r.height()) / 6;
        p.drawRoundedRect(r, rad, rad);
        break;
      }
      default: p.drawRect(r);
    }
  };
  if (s.backStyle == 1) draw(QBrush(s.back), Qt::NoPen);
  if (s.fillStyle != 1) draw(QBrush(s.fill, brushStyle(s.fillStyle)), Qt::NoPen);
  draw(Qt::NoBrush, pen);
}

LineWidget::LineWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::setLine(QPointF a, QPointF b, const QColor& c, int width, int style) {
  a_ = a;
  b_ = b;
  color_ = c;
  width_ = width;
  style_ = style;
  update();
}

void LineWidget::paintEvent(QPaintEvent*) {
  if (style_ == 0) return;
  QPainter p(this);
  QPen pen(color_);
  pen.setWidth(std::max(1, width_));
  pen.setStyle(width_ > 1 ? Qt::SolidLine : penStyle(style_ - 1));
  p.setPen(pen);
  p.drawLine(a_, b_);
}

void FrameWidget::paintEvent(QPaintEvent*) {
  if (borderless_) return;
  QStylePainter p(this);
  QStyleOptionGroupBox opt;
  initStyleOption(&opt);
  if (greyed_) {
    opt.state &= ~QStyle::State_Enabled;
    opt.palette.setCurrentColorGroup(QPalette::Disabled);
  }
  p.drawComplexControl(QStyle::CC_GroupBox, opt);
}

TabStripWidget::TabStripWidget(QWidget* parent) : QWidget(parent) {}

void TabStripWidget::setPages(std::vector<Page> pages, int current, int perRow) {
  pages_ = std::move(pages);
  current_ = current;
  perRow_ = std::max(1, perRow);
  update();
}

std::vector<int> TabStripWidget::visiblePages() const {
  std::vector<int> v;
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i].visible) v.push_back(static_cast<int>(i));
  return v;
}

int TabStripWidget::rows() const {
  const int n = static_cast<int>(visiblePages().size());
  return std::max(1, (n + perRow_ - 1) / perRow_);
}

int TabStripWidget::headerHeight() const { return rows() * px(kTabRowTwips); }

int TabStripWidget::designHeaderHeight() const {
  const int n = static_cast<int>(pages_.size());
  return std::max(1, (n + perRow_ - 1) / perRow_) * px(kTabRowTwips);
}

QRect TabStripWidget::tabRect(int page) const {
  const std::vector<int> vis = visiblePages();
  const int rowH = px(kTabRowTwips);
  for (size_t k = 0; k < vis.size(); ++k) {
    if (vis[k] != page) continue;
    const int row = static_cast<int>(k) / perRow_, col = static_cast<int>(k) % perRow_;
    const int x0 = col * width() / perRow_, x1 = (col + 1) * width() / perRow_;
    return QRect(x0, row * rowH, x1 - x0, rowH);
  }
  return {};
}

int TabStripWidget::pageAt(QPoint pos) const {
  for (int page : visiblePages())
    if (tabRect(page).contains(pos)) return page;
  return -1;
}

void TabStripWidget::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  const int header = headerHeight();
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = QRect(0, header - 1, width(), height() - header + 1);
  frame.shape = QTabBar::RoundedNorth;
  p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
  const std::vector<int> vis = visiblePages();
  for (size_t k = 0; k < vis.size(); ++k) {
    const int page = vis[k];
    QStyleOptionTab tab;
    tab.initFrom(this);
    tab.rect = tabRect(page);
    tab.shape = QTabBar::RoundedNorth;
    tab.text = pages_[page].caption;
    tab.position = vis.size() == 1 ? QStyleOptionTab::OnlyOneTab
                   : (k % perRow_ == 0) ? QStyleOptionTab::Beginning
                   : (k % perRow_ == static_cast<size_t>(perRow_ - 1) || k + 1 == vis.size()) ? QStyleOptionTab::End
                                                                                              : QStyleOptionTab::Middle;
    tab.state &= ~QStyle::State_Selected;
    if (page == current_) tab.state |= QStyle::State_Selected;
    if (!pages_[page].enabled || !isEnabled() || greyed_) tab.state &= ~QStyle::State_Enabled;
    if (page == current_ && hasFocus()) tab.state |= QStyle::State_HasFocus;
    // A style may paint a selected tab beyond its rectangle (down into the page); a tab keeps
    // to its own row.
    p.save();
    p.setClipRect(tab.rect.adjusted(-2, -2, 2, 2));
    p.drawControl(QStyle::CE_TabBarTab, tab);
    p.restore();
  }
}

void TabStripWidget::mousePressEvent(QMouseEvent* e) {
  const int page = pageAt(e->position().toPoint());
  if (page >= 0 && onTabClicked) {
    e->accept();
    onTabClicked(page);
    return;
  }
  QWidget::mousePressEvent(e);
}

}  // namespace qtview
