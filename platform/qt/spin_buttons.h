#pragma once
// The up-down control's two arrow buttons, side by side or one above the other, repeating
// while held. It only reports presses; the model keeps the value.
#include <QToolButton>
#include <QWidget>

namespace qtview {

class SpinButtons : public QWidget {
  Q_OBJECT
 public:
  explicit SpinButtons(bool horizontal = false, QWidget* parent = nullptr);
  void setHorizontal(bool horizontal);
  bool horizontal() const { return horizontal_; }
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void upClicked();
  void downClicked();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  // The arrows show the focus mark while the control has the focus.
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void place();
  bool horizontal_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace qtview
