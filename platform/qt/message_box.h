#pragma once
// The run time's message box as a Qt dialog: the buttons, icon and default button of a
// MsgBox style, Esc and the close box answering as the run time does.
#include <QMessageBox>
#include <QString>

#include "platform/qt/window_system.h"

namespace qtview {

class MessageBox : public NotesItsFrame<QMessageBox> {
  Q_OBJECT
 public:
  // `style` is the sum of forms::MsgBoxStyle values (buttons + icon + default button).
  MessageBox(const QString& prompt, int style, const QString& title, QWidget* parent = nullptr);

  // Runs the box modally and returns the answer (vbOK, vbCancel, vbYes...).
  int ask();
  // The answer a button of this box gives.
  int answerOf(QAbstractButton* b) const;
  // The answer Esc and the close box give (0 when they are refused).
  int escapeAnswer() const { return escapeAnswer_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  int escapeAnswer_ = 0;
};

}  // namespace qtview
