#pragma once
// Painted widgets of the view: picture boxes (display list and picture), shapes, lines,
// frames, and the tab strip of the SSTab.
#include <QGroupBox>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/forms/forms.h"

namespace qtview {

// A picture box: background colour, optional picture, border, and the model's display list.
class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent = nullptr);
  void setDrawing(std::vector<forms::DrawOp> ops) { ops_ = std::move(ops); update(); }
  void setPicture(const QPixmap& p) { picture_ = p; update(); }
  void setBorder(bool on) { border_ = on; update(); }
  void setBackColor(const QColor& c) { back_ = c; update(); }
  // Width of the border in pixels (the client area lies inside it).
  int borderWidth() const { return border_ ? 2 : 0; }
  const std::vector<forms::DrawOp>& drawing() const { return ops_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::vector<forms::DrawOp> ops_;
  QPixmap picture_;
  QColor back_;
  bool border_ = true;
};

// A shape (rectangle, square, oval, circle, rounded rectangle, rounded square).
class ShapeWidget : public QWidget {
 public:
  explicit ShapeWidget(QWidget* parent = nullptr);
  struct Style {
    int shape = 0, fillStyle = 1, backStyle = 0, borderStyle = 1, borderWidth = 1;
    QColor fill, border, back;
  };
  void setStyle(const Style& s) { style_ = s; update(); }
  const Style& style() const { return style_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Style style_;
};

// A line from (x1, y1) to (x2, y2), in the widget's own pixel coordinates.
class LineWidget : public QWidget {
 public:
  explicit LineWidget(QWidget* parent = nullptr);
  void setLine(QPointF a, QPointF b, const QColor& c, int width, int style);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPointF a_, b_;
  QColor color_;
  int width_ = 1, style_ = 1;
};

// A frame: a group box whose border and caption are its own. A borderless frame draws
// nothing (its children still show); a frame the program disables keeps its children's look
// (they show their own Enabled) and greys only its caption.
class FrameWidget : public QGroupBox {
 public:
  explicit FrameWidget(QWidget* parent = nullptr) : QGroupBox(parent) {}
  void setBorderless(bool on) { borderless_ = on; update(); }
  void setGreyed(bool on) { greyed_ = on; update(); }
  bool borderless() const { return borderless_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  bool borderless_ = false, greyed_ = false;
};

// The SSTab: rows of equal tabs at the top (tabsPerRow a row, kTabRowTwips high), a page
// frame below. The controls of the pages are children placed in its own coordinates.
class TabStripWidget : public QWidget {
 public:
  explicit TabStripWidget(QWidget* parent = nullptr);
  struct Page {
    QString caption;
    bool visible = true, enabled = true;
  };
  void setPages(std::vector<Page> pages, int current, int perRow);
  // Draws every tab greyed (the tab control is disabled; its pages' controls keep their look).
  void setGreyed(bool on) { greyed_ = on; update(); }
  // Height of the rows of tabs in pixels.
  int headerHeight() const;
  // Height of the rows that every tab, hidden ones included, would take: the layouts place
  // the pages' contents below it. With tabs hidden and fewer rows, the contents move up.
  int designHeaderHeight() const;
  // The page whose tab lies at `pos`, or -1.
  int pageAt(QPoint pos) const;
  // The rectangle of a page's tab (empty when hidden).
  QRect tabRect(int page) const;
  std::function<void(int page)> onTabClicked;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  std::vector<int> visiblePages() const;
  int rows() const;
  std::vector<Page> pages_;
  int current_ = 0, perRow_ = 3;
  bool greyed_ = false;
};

}  // namespace qtview
