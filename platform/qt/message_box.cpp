#include "platform/qt/message_box.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <vector>

#include "platform/forms/host.h"
#include "platform/qt/window_geometry.h"

namespace qtview {

namespace {

struct Choice {
  QMessageBox::StandardButton button;
  int answer;
};

std::vector<Choice> choicesOf(int kind) {
  using B = QMessageBox;
  switch (kind) {
    case forms::vbOKCancel: return {{B::Ok, forms::vbOK}, {B::Cancel, forms::vbCancel}};
    case forms::vbAbortRetryIgnore:
      return {{B::Abort, forms::vbAbort}, {B::Retry, forms::vbRetry}, {B::Ignore, forms::vbIgnore}};
    case forms::vbYesNoCancel:
      return {{B::Yes, forms::vbYes}, {B::No, forms::vbNo}, {B::Cancel, forms::vbCancel}};
    case forms::vbYesNo: return {{B::Yes, forms::vbYes}, {B::No, forms::vbNo}};
    case forms::vbRetryCancel: return {{B::Retry, forms::vbRetry}, {B::Cancel, forms::vbCancel}};
    default: return {{B::Ok, forms::vbOK}};
  }
}

QMessageBox::Icon iconOf(int style) {
  switch (style & 0x70) {
    case forms::vbCritical: return QMessageBox::Critical;
    case forms::vbQuestion: return QMessageBox::Question;
    case forms::vbExclamation: return QMessageBox::Warning;
    case forms::vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

MessageBox::MessageBox(const QString& prompt, int style, const QString& title, QWidget* parent)
    : NotesItsFrame<QMessageBox>(parent) {
  setObjectName("MsgBox");
  new WindowGeometry(this, {});  // laid out for its size, where it first shows
  setWindowTitle(title);
  QString text = prompt;
  text.replace("\r\n", "\n").replace('\r', '\n');
  setTextFormat(Qt::PlainText);
  setText(text);
  setIcon(iconOf(style));
  const int kind = style & 7;
  auto choices = choicesOf(kind);
  QPushButton* first = nullptr;
  std::vector<QPushButton*> made;
  for (const Choice& c : choices) {
    QPushButton* b = addButton(c.button);
    b->setProperty("vbAnswer", c.answer);
    made.push_back(b);
    if (!first) first = b;
    if (c.answer == forms::vbCancel) escapeAnswer_ = forms::vbCancel;
  }
  if (kind == forms::vbOKOnly || kind > forms::vbRetryCancel) escapeAnswer_ = forms::vbOK;
  const size_t def = static_cast<size_t>((style >> 8) & 3);
  setDefaultButton(def < made.size() ? made[def] : first);
  if (escapeAnswer_ == 0) {
    // Yes/No and Abort/Retry/Ignore must be answered with a button: no close box, no Esc.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~Qt::WindowCloseButtonHint);
  } else {
    for (QPushButton* b : made)
      if (b->property("vbAnswer").toInt() == escapeAnswer_) setEscapeButton(b);
  }
}

int MessageBox::answerOf(QAbstractButton* b) const {
  return b ? b->property("vbAnswer").toInt() : 0;
}

void MessageBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && escapeAnswer_ == 0) {
    e->accept();
    return;
  }
  QMessageBox::keyPressEvent(e);
}

void MessageBox::closeEvent(QCloseEvent* e) {
  if (escapeAnswer_ == 0 && !clickedButton()) {
    e->ignore();
    return;
  }
  QMessageBox::closeEvent(e);
}

int MessageBox::ask() {
  QPointer<MessageBox> self(this);
  exec();
  // Gone with its window: the answer Esc would give (else the default button's).
  if (!self) return 0;
  int a = answerOf(clickedButton());
  return a ? a : (escapeAnswer_ ? escapeAnswer_ : forms::vbOK);
}

}  // namespace qtview
