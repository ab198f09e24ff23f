#include "platform/qt/spin_buttons.h"

#include <QPainter>

#include "platform/qt/view_support.h"

namespace qtview {

namespace {
// An arrow button that shows the focus mark while the up-down has the focus.
class ArrowButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QToolButton::paintEvent(e);
    if (!parentWidget() || !parentWidget()->hasFocus()) return;
    QPainter p(this);
    drawFocusMark(this, p, rect().adjusted(2, 2, -2, -2));
  }
};
}  // namespace

SpinButtons::SpinButtons(bool horizontal, QWidget* parent)
    : QWidget(parent), horizontal_(horizontal), up_(new ArrowButton(this)), down_(new ArrowButton(this)) {
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(80);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(7, 7));
  }
  up_->setObjectName("up");
  down_->setObjectName("down");
  connect(up_, &QToolButton::clicked, this, &SpinButtons::upClicked);
  connect(down_, &QToolButton::clicked, this, &SpinButtons::downClicked);
  setHorizontal(horizontal);
}

void SpinButtons::setHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  up_->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
  down_->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
  place();
}

void SpinButtons::resizeEvent(QResizeEvent*) { place(); }

void SpinButtons::focusInEvent(QFocusEvent*) {
  up_->update();
  down_->update();
}

void SpinButtons::focusOutEvent(QFocusEvent*) {
  up_->update();
  down_->update();
}

void SpinButtons::place() {
  const int w = width(), h = height();
  if (horizontal_) {
    down_->setGeometry(0, 0, w / 2, h);
    up_->setGeometry(w / 2, 0, w - w / 2, h);
  } else {
    up_->setGeometry(0, 0, w, h / 2);
    down_->setGeometry(0, h / 2, w, h - h / 2);
  }
}

}  // namespace qtview
