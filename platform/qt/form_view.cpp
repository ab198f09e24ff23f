#include "platform/qt/form_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "platform/qt/convert.h"
#include "platform/qt/spin_buttons.h"
#include "platform/qt/widgets.h"
#include "resources/resources.h"

namespace qtview {

bool flushingPaint();

using forms::Control;
using forms::Kind;
using forms::Prop;

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ss(const QString& s) { return s.toStdString(); }

// The model counts text positions in bytes of UTF-8 (and a multi-line box holds CR LF);
// Qt counts UTF-16 units of the shown text (LF only).
int toQtIndex(const std::string& model, long bytes, bool multiLine) {
  bytes = std::clamp(bytes, 0L, static_cast<long>(model.size()));
  QString prefix = QString::fromUtf8(model.data(), bytes);
  if (multiLine) prefix.remove('\r');
  return static_cast<int>(prefix.size());
}

long toModelIndex(const std::string& model, int units, bool multiLine) {
  const QString s = qs(model);
  int seen = 0;
  long bytes = 0;
  for (qsizetype i = 0; i < s.size() && seen < units;) {
    const qsizetype n = (s[i].isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
    const QString ch = s.mid(i, n);
    bytes += ch.toUtf8().size();
    if (!(multiLine && ch == "\r")) seen += static_cast<int>(n);
    i += n;
  }
  return bytes;
}

QString shownText(const std::string& model, bool multiLine) {
  QString t = qs(model);
  if (multiLine) t.remove('\r');
  return t;
}

// A label's caption as shown: "&" marks the access key (not shown), "&&" shows "&".
QString mnemonicStripped(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

// Lets the window system show what was painted, without handling user input or the
// program's posted tasks (see QtHost::Post).
int flushing = 0;
void flushPaint() {
  ++flushing;
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
  --flushing;
}

bool isSystemColor(long c) { return (static_cast<unsigned long>(c) & 0x80000000ul) != 0; }

QPixmap pictureOf(const std::string& path) {
  QPixmap pm;
  if (path.empty()) return pm;
  if (auto data = resources::find(path)) {
    pm.loadFromData(reinterpret_cast<const uchar*>(data->data()), static_cast<uint>(data->size()));
  } else {
    pm.load(qs(path));
  }
  return pm;
}

// A menu shortcut as the layouts write it ("^O", "+{F1}", "%X", "F5", "{DEL}") for Qt.
QKeySequence shortcutOf(const std::string& text) {
  QString s = qs(text).trimmed();
  if (s.isEmpty()) return {};
  QString mods;
  while (!s.isEmpty() && (s[0] == '^' || s[0] == '+' || s[0] == '%')) {
    mods += s[0] == '^' ? "Ctrl+" : s[0] == '+' ? "Shift+" : "Alt+";
    s.remove(0, 1);
  }
  if (s.startsWith('{') && s.endsWith('}')) s = s.mid(1, s.size() - 2);
  static const std::map<QString, QString> names = {
      {"DEL", "Del"}, {"DELETE", "Del"}, {"INSERT", "Ins"}, {"INS", "Ins"}, {"BKSP", "Backspace"},
      {"BS", "Backspace"}, {"ENTER", "Return"}};
  auto it = names.find(s.toUpper());
  if (it != names.end()) s = it->second;
  return QKeySequence::fromString(mods + s);
}

}  // namespace

bool flushingPaint() { return flushing > 0; }

// ---- Window activation ---------------------------------------------------------------------
// The model decides which form is active (Show, Hide, Unload) and the view then asks the
// window system to activate that form's window; the window system reports activations
// later, possibly after the model has moved on. A window activation is the user's only
// when no activation asked for by the program is still on its way.
namespace {
QPointer<QWidget>& requestedWindow() {
  static QPointer<QWidget> w;
  return w;
}
bool activatingForUser = false;
}  // namespace

void requestActivation(QWidget* window) {
  window->raise();
  // An active window gets no new activation event: nothing is then on its way.
  requestedWindow() = window->isActiveWindow() ? nullptr : window;
  window->activateWindow();
}

// ---- The control views -------------------------------------------------------------------

ControlView::~ControlView() {
  detach();
  delete widget_;
}

void ControlView::subscribe() {
  if (!control_ || subscription_) return;
  subscription_ = control_->Subscribe([this](Control&, Prop what) {
    if (control_) sync(what);
  });
}

void ControlView::detach() {
  if (control_ && subscription_) control_->Unsubscribe(subscription_);
  subscription_ = 0;
  control_ = nullptr;
  if (widget_) {
    widget_->disconnect();
    widget_->hide();
  }
}

void ControlView::syncAll() {
  for (Prop p : {Prop::Geometry, Prop::Font, Prop::Colors, Prop::Text, Prop::Caption, Prop::Items,
                 Prop::Range, Prop::Value, Prop::Selection, Prop::Appearance, Prop::Locked,
                 Prop::Checked, Prop::Picture, Prop::Tabs, Prop::CurrentTab, Prop::Drawing,
                 Prop::ToolTip, Prop::MousePointer, Prop::Enabled, Prop::Visible})
    sync(p);
}

void ControlView::sync(Prop what) { syncCommon(what); }

void ControlView::syncCommon(Prop what) {
  if (!widget_ || !control_) return;
  SyncGuard guard(*this);
  switch (what) {
    case Prop::Geometry: syncGeometry(); break;
    case Prop::Visible: syncVisible(); break;
    case Prop::Enabled: widget_->setEnabled(control_->Enabled()); break;
    case Prop::Colors: syncColors(); break;
    case Prop::Font: widget_->setFont(form_.fontOf(control_->Font())); break;
    case Prop::ToolTip: widget_->setToolTip(qs(control_->ToolTipText())); break;
    case Prop::MousePointer:
      if (control_->MousePointer() == 0) widget_->unsetCursor();
      else widget_->setCursor(cursorShape(control_->MousePointer()));
      break;
    case Prop::ZOrder: form_.syncZOrder(); break;
    case Prop::Refresh:
      widget_->repaint();
      flushPaint();
      break;
    default: break;
  }
}

void ControlView::syncGeometry() {
  QPoint origin;
  if (Control* box = control_->Container()) {
    if (ControlView* v = form_.viewOf(box)) origin = v->childOrigin();
  }
  widget()->setGeometry(pxRect(control_->Left(), control_->Top(), control_->Width(), control_->Height())
                           .translated(origin));
}

void ControlView::syncVisible() {
  bool shown = control_->Visible();
  Control* box = control_->Container();
  if (box && box->kind() == Kind::SSTab)
    shown = shown && control_->ContainerTab() == static_cast<forms::SSTab*>(box)->Tab();
  widget_->setVisible(shown);
}

void ControlView::syncColors() {
  QPalette pal = widget_->palette();
  const long fore = control_->ForeColor(), back = control_->BackColor();
  const QPalette app = QApplication::palette();
  QColor fg = isSystemColor(fore) ? QColor() : color(fore);
  QColor bg = isSystemColor(back) ? QColor() : color(back);
  for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    pal.setColor(role, fg.isValid() ? fg : app.color(role));
  for (auto role : {QPalette::Window, QPalette::Button})
    pal.setColor(role, bg.isValid() ? bg : app.color(role));
  widget_->setPalette(pal);
}

namespace {

// Text box: a QLineEdit (or a QPlainTextEdit when multi-line) that shows the model's text
// and selection; keys go to the model.
class TextBoxView : public ControlView {
 public:
  TextBoxView(FormView& f, forms::TextBox& t, QWidget* parent) : ControlView(f, t), box_(t) {
    multiLine_ = t.MultiLine();
    if (multiLine_) {
      plain_ = new QPlainTextEdit(parent);
      plain_->setTabChangesFocus(true);
      widget_ = plain_;
    } else {
      line_ = new QLineEdit(parent);
      widget_ = line_;
    }
    widget_->setAcceptDrops(false);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Text: {
        const QString t = shownText(box_.Text(), multiLine_);
        if (line_ && line_->text() != t) line_->setText(t);
        if (plain_ && plain_->toPlainText() != t) plain_->setPlainText(t);
        syncSelection();
        break;
      }
      case Prop::Selection: syncSelection(); break;
      case Prop::Locked:
        if (line_) line_->setReadOnly(box_.Locked());
        if (plain_) plain_->setReadOnly(box_.Locked());
        break;
      case Prop::Appearance:
        if (line_) {
          line_->setEchoMode(box_.PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
          line_->setAlignment(box_.Alignment() == 1 ? Qt::AlignRight
                              : box_.Alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
        }
        if (plain_) {
          const int sb = box_.ScrollBars();
          plain_->setHorizontalScrollBarPolicy((sb & 1) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
          plain_->setVerticalScrollBarPolicy((sb & 2) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
          plain_->setLineWrapMode((sb & 1) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        }
        break;
      case Prop::Colors: {
        ControlView::sync(what);
        QPalette pal = widget_->palette();
        const long back = control_->BackColor(), fore = control_->ForeColor();
        pal.setColor(QPalette::Base, isSystemColor(back) ? QApplication::palette().color(QPalette::Base) : color(back));
        pal.setColor(QPalette::Text, isSystemColor(fore) ? QApplication::palette().color(QPalette::Text) : color(fore));
        widget_->setPalette(pal);
        break;
      }
      default: ControlView::sync(what);
    }
  }
  // The selection the user made with the mouse, in model positions.
  void reportSelection() {
    if (!control_) return;
    int start = 0, len = 0;
    if (line_) {
      if (line_->hasSelectedText()) {
        start = line_->selectionStart();
        len = static_cast<int>(line_->selectedText().size());
      } else {
        start = line_->cursorPosition();
      }
    } else {
      QTextCursor c = plain_->textCursor();
      start = c.selectionStart();
      len = c.selectionEnd() - c.selectionStart();
    }
    const std::string& t = box_.Text();
    long ms = toModelIndex(t, start, multiLine_);
    long me = toModelIndex(t, start + len, multiLine_);
    forms::TextBox* b = &box_;
    form_.runUser([b, ms, me] { b->UserSelect(ms, me - ms); });
  }
  forms::TextBox& box_;

 private:
  void syncSelection() {
    const std::string& t = box_.Text();
    const int start = toQtIndex(t, box_.SelStart(), multiLine_);
    const int end = toQtIndex(t, box_.SelStart() + box_.SelLength(), multiLine_);
    if (line_) {
      if (end > start) line_->setSelection(start, end - start);
      else {
        line_->deselect();
        line_->setCursorPosition(start);
      }
    } else {
      QTextCursor c = plain_->textCursor();
      c.setPosition(start);
      if (end > start) c.setPosition(end, QTextCursor::KeepAnchor);
      plain_->setTextCursor(c);
    }
  }
  bool multiLine_ = false;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* plain_ = nullptr;
};

class LabelView : public ControlView {
 public:
  LabelView(FormView& f, forms::Label& l, QWidget* parent) : ControlView(f, l), label_(l) {
    widget_ = q_ = new QLabel(parent);
    q_->setTextFormat(Qt::PlainText);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: {
        QString t = qs(label_.Caption());
        t.replace("\r\n", "\n");
        q_->setText(label_.UseMnemonic() ? mnemonicStripped(t) : t);
        break;
      }
      case Prop::Appearance: {
        const int a = label_.Alignment();
        q_->setAlignment((a == 1 ? Qt::AlignRight : a == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        // A label that does not size itself wraps its text at word boundaries.
        q_->setWordWrap(!label_.AutoSize() || label_.WordWrap());
        q_->setFrameStyle(label_.BorderStyle() == 1 ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
        syncColors();
        sync(Prop::Caption);
        break;
      }
      case Prop::Colors: syncColors(); break;
      default: ControlView::sync(what);
    }
  }

 private:
  void syncColors() override {
    ControlView::syncColors();
    const long back = control_->BackColor();
    q_->setAutoFillBackground(label_.BackStyle() == 1 && !isSystemColor(back));
  }
  forms::Label& label_;
  QLabel* q_;
};

// Check and option boxes answer a click anywhere in their rectangle, caption or not.
template <class Button>
class WholeButton : public Button {
 public:
  using Button::Button;

 protected:
  bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

class CheckBoxView : public ControlView {
 public:
  CheckBoxView(FormView& f, forms::CheckBox& c, QWidget* parent) : ControlView(f, c), box_(c) {
    widget_ = q_ = new WholeButton<QCheckBox>(parent);
    QObject::connect(q_, &QCheckBox::clicked, q_, [this] {
      if (syncing() || !control_) return;
      forms::CheckBox* b = &box_;
      form_.runUser([b] { b->UserClick(); });
      if (control_) sync(Prop::Value);
    });
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: q_->setText(caption(qs(box_.Caption()))); break;
      case Prop::Value:
        q_->setTristate(box_.Value() == forms::vbGrayed);
        q_->setCheckState(box_.Value() == forms::vbChecked ? Qt::Checked
                          : box_.Value() == forms::vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::CheckBox& box_;
  QCheckBox* q_;
};

class OptionButtonView : public ControlView {
 public:
  OptionButtonView(FormView& f, forms::OptionButton& o, QWidget* parent) : ControlView(f, o), opt_(o) {
    widget_ = q_ = new WholeButton<QRadioButton>(parent);
    q_->setAutoExclusive(false);  // the model keeps the groups
    QObject::connect(q_, &QRadioButton::clicked, q_, [this] {
      if (syncing() || !control_) return;
      forms::OptionButton* b = &opt_;
      form_.runUser([b] { b->UserClick(); });
      if (control_) sync(Prop::Value);
    });
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: q_->setText(caption(qs(opt_.Caption()))); break;
      case Prop::Value: q_->setChecked(opt_.Value()); break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::OptionButton& opt_;
  QRadioButton* q_;
};

class CommandButtonView : public ControlView {
 public:
  CommandButtonView(FormView& f, forms::CommandButton& b, QWidget* parent) : ControlView(f, b), button_(b) {
    widget_ = q_ = new QPushButton(parent);
    q_->setAutoDefault(false);
    QObject::connect(q_, &QPushButton::clicked, q_, [this] {
      if (syncing() || !control_) return;
      forms::CommandButton* b = &button_;
      form_.runUser([b] { b->UserClick(); });
    });
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: q_->setText(caption(qs(button_.Caption()))); break;
      case Prop::Picture: {
        QPixmap pm = pictureOf(button_.Picture());
        q_->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
        break;
      }
      case Prop::Appearance: q_->setDefault(button_.Default()); break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::CommandButton& button_;
  QPushButton* q_;
};

class FrameView : public ControlView {
 public:
  FrameView(FormView& f, forms::Frame& fr, QWidget* parent) : ControlView(f, fr), frame_(fr) {
    widget_ = q_ = new QGroupBox(parent);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption:
      case Prop::Appearance:
        q_->setTitle(frame_.BorderStyle() == 0 ? QString() : caption(qs(frame_.Caption())));
        q_->setFlat(frame_.BorderStyle() == 0);
        q_->setStyleSheet(frame_.BorderStyle() == 0 ? "QGroupBox{border:none;margin:0;padding:0}" : "");
        break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::Frame& frame_;
  QGroupBox* q_;
};

class ScrollBarView : public ControlView {
 public:
  ScrollBarView(FormView& f, forms::ScrollBar& s, QWidget* parent) : ControlView(f, s), bar_(s) {
    q_ = new QScrollBar(s.kind() == Kind::HScrollBar ? Qt::Horizontal : Qt::Vertical, parent);
    widget_ = q_;
    QObject::connect(q_, &QScrollBar::actionTriggered, q_, [this](int action) { onAction(action); });
    // A thumb drag: Scroll for each position while the thumb moves, Change once on release.
    // A drag the model refuses (Validate keeps the focus elsewhere) is refused once: the
    // rest of it is ignored and the thumb stays where the model says.
    QObject::connect(q_, &QScrollBar::sliderPressed, q_, [this] { dragRefused_ = false; });
    QObject::connect(q_, &QScrollBar::sliderMoved, q_, [this](int pos) {
      if (syncing() || !control_) return;
      bool taken = false;
      if (!dragRefused_) {
        forms::ScrollBar* b = &bar_;
        form_.runUser([b, pos, &taken] { taken = b->UserThumbMove(pos); });
        dragRefused_ = !taken;
      }
      if (!taken && control_) sync(Prop::Value);
    });
    QObject::connect(q_, &QScrollBar::sliderReleased, q_, [this] {
      if (syncing() || !control_) return;
      forms::ScrollBar* b = &bar_;
      if (!dragRefused_) form_.runUser([b] { b->UserThumbRelease(); });
      dragRefused_ = false;
      if (control_) sync(Prop::Value);
    });
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Range:
      case Prop::Value: {
        const int lo = std::min(bar_.Min(), bar_.Max()), hi = std::max(bar_.Min(), bar_.Max());
        q_->setRange(lo, hi);
        const bool reversed = bar_.Min() > bar_.Max();
        q_->setInvertedAppearance(reversed);
        q_->setInvertedControls(reversed);
        q_->setSingleStep(bar_.SmallChange());
        q_->setPageStep(bar_.LargeChange());
        q_->setValue(bar_.Value());
        break;
      }
      default: ControlView::sync(what);
    }
  }

 private:
  void onAction(int action) {
    if (syncing() || !control_) return;
    using S = forms::ScrollBar::Step;
    // Towards Min is "up" for the model; with Min > Max, Qt's Sub runs towards the model's Max.
    const bool reversed = bar_.Min() > bar_.Max();
    S step;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: step = reversed ? S::LineUp : S::LineDown; break;
      case QAbstractSlider::SliderSingleStepSub: step = reversed ? S::LineDown : S::LineUp; break;
      case QAbstractSlider::SliderPageStepAdd: step = reversed ? S::PageUp : S::PageDown; break;
      case QAbstractSlider::SliderPageStepSub: step = reversed ? S::PageDown : S::PageUp; break;
      case QAbstractSlider::SliderToMinimum: step = reversed ? S::Bottom : S::Top; break;
      case QAbstractSlider::SliderToMaximum: step = reversed ? S::Top : S::Bottom; break;
      default: return;  // thumb drags come through sliderMoved and sliderReleased
    }
    forms::ScrollBar* b = &bar_;
    form_.runUser([b, step] { b->UserScroll(step); });
    if (!control_) return;
    SyncGuard g(*this);
    q_->setSliderPosition(bar_.Value());  // Qt applies this position after the action
  }
  forms::ScrollBar& bar_;
  QScrollBar* q_;
  bool dragRefused_ = false;
};

class ComboBoxView : public ControlView {
 public:
  ComboBoxView(FormView& f, forms::ComboBox& c, QWidget* parent) : ControlView(f, c), combo_(c) {
    widget_ = q_ = new QComboBox(parent);
    q_->setEditable(c.Style() != forms::vbComboDropdownList);
    q_->setInsertPolicy(QComboBox::NoInsert);
    if (q_->lineEdit()) q_->lineEdit()->setAcceptDrops(false);
    QObject::connect(q_, &QComboBox::activated, q_, [this](int index) {
      if (syncing() || !control_) return;
      forms::ComboBox* b = &combo_;
      form_.runUser([b, index] { b->UserSelect(index); });
      if (control_) {
        sync(Prop::Value);
        sync(Prop::Text);
      }
    });
  }
  QLineEdit* lineEdit() const { return q_->lineEdit(); }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Items: {
        q_->clear();
        for (int i = 0; i < combo_.ListCount(); ++i) q_->addItem(qs(combo_.List(i)));
        q_->setCurrentIndex(combo_.ListIndex());
        if (q_->lineEdit()) q_->lineEdit()->setText(qs(combo_.Text()));
        break;
      }
      case Prop::Value:
        q_->setCurrentIndex(combo_.ListIndex());
        if (q_->lineEdit()) q_->lineEdit()->setText(qs(combo_.Text()));
        break;
      case Prop::Text:
        if (q_->lineEdit()) {
          if (q_->lineEdit()->text() != qs(combo_.Text())) q_->lineEdit()->setText(qs(combo_.Text()));
        }
        break;
      case Prop::Colors: {
        ControlView::sync(what);
        QPalette pal = widget_->palette();
        const long back = control_->BackColor();
        pal.setColor(QPalette::Base, isSystemColor(back) ? QApplication::palette().color(QPalette::Base) : color(back));
        widget_->setPalette(pal);
        break;
      }
      default: ControlView::sync(what);
    }
  }

 private:
  forms::ComboBox& combo_;
  QComboBox* q_;
};

class PictureBoxView : public ControlView {
 public:
  PictureBoxView(FormView& f, forms::PictureBox& p, QWidget* parent) : ControlView(f, p), pic_(p) {
    widget_ = q_ = new PictureWidget(parent);
  }
  QPoint childOrigin() const override { return QPoint(q_->borderWidth(), q_->borderWidth()); }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Drawing: q_->setDrawing(pic_.DisplayList()); break;
      case Prop::Picture: q_->setPicture(pictureOf(pic_.Picture())); break;
      case Prop::Appearance: q_->setBorder(pic_.BorderStyle() == 1); break;
      case Prop::Colors: q_->setBackColor(color(pic_.BackColor())); break;
      default: ControlView::sync(what);
    }
  }
  int border() const { return q_->borderWidth(); }

 private:
  forms::PictureBox& pic_;
  PictureWidget* q_;
};

class ShapeView : public ControlView {
 public:
  ShapeView(FormView& f, forms::Shape& s, QWidget* parent) : ControlView(f, s), shape_(s) {
    widget_ = q_ = new ShapeWidget(parent);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Appearance:
      case Prop::Colors: {
        ShapeWidget::Style st;
        st.shape = shape_.ShapeType();
        st.fillStyle = shape_.FillStyle();
        st.backStyle = shape_.BackStyle();
        st.borderStyle = shape_.BorderStyle();
        st.borderWidth = shape_.BorderWidth();
        st.fill = color(shape_.FillColor());
        st.border = color(shape_.BorderColor());
        st.back = color(shape_.BackColor());
        q_->setStyle(st);
        break;
      }
      default: ControlView::sync(what);
    }
  }

 private:
  forms::Shape& shape_;
  ShapeWidget* q_;
};

class LineView : public ControlView {
 public:
  LineView(FormView& f, forms::Line& l, QWidget* parent) : ControlView(f, l), line_(l) {
    widget_ = q_ = new LineWidget(parent);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Geometry:
      case Prop::Appearance:
      case Prop::Colors: syncGeometry(); break;
      default: ControlView::sync(what);
    }
  }

 private:
  void syncGeometry() override {
    QPoint origin;
    if (Control* box = control_->Container())
      if (ControlView* v = form_.viewOf(box)) origin = v->childOrigin();
    const int w = std::max(1, line_.BorderWidth());
    QPoint a(px(line_.X1()), px(line_.Y1())), b(px(line_.X2()), px(line_.Y2()));
    QRect r = QRect(a, b).normalized().adjusted(-w, -w, w, w);
    q_->setGeometry(r.translated(origin));
    q_->setLine(QPointF(a - r.topLeft()), QPointF(b - r.topLeft()), color(line_.BorderColor()), w,
                line_.BorderStyle());
  }
  forms::Line& line_;
  LineWidget* q_;
};

class ImageView : public ControlView {
 public:
  ImageView(FormView& f, forms::Image& i, QWidget* parent) : ControlView(f, i), image_(i) {
    widget_ = q_ = new QLabel(parent);
    q_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Picture:
      case Prop::Appearance:
        q_->setPixmap(pictureOf(image_.Picture()));
        q_->setScaledContents(image_.Stretch());
        break;
      case Prop::Colors: break;  // an image has no colours of its own
      default: ControlView::sync(what);
    }
  }

 private:
  forms::Image& image_;
  QLabel* q_;
};

class UpDownView : public ControlView {
 public:
  UpDownView(FormView& f, forms::UpDown& u, QWidget* parent) : ControlView(f, u), ud_(u) {
    widget_ = q_ = new SpinButtons(u.Orientation() == 1, parent);
    QObject::connect(q_, &SpinButtons::upClicked, q_, [this] {
      if (syncing() || !control_) return;
      forms::UpDown* b = &ud_;
      form_.runUser([b] { b->UserUp(); });
    });
    QObject::connect(q_, &SpinButtons::downClicked, q_, [this] {
      if (syncing() || !control_) return;
      forms::UpDown* b = &ud_;
      form_.runUser([b] { b->UserDown(); });
    });
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Appearance: q_->setHorizontal(ud_.Orientation() == 1); break;
      case Prop::Colors: break;
      default: ControlView::sync(what);
    }
  }
  SpinButtons* buttons() const { return q_; }

 private:
  forms::UpDown& ud_;
  SpinButtons* q_;
};

class SSTabView : public ControlView {
 public:
  SSTabView(FormView& f, forms::SSTab& t, QWidget* parent) : ControlView(f, t), tab_(t) {
    widget_ = q_ = new TabStripWidget(parent);
    q_->onTabClicked = [this](int page) {
      if (!control_) return;
      forms::SSTab* b = &tab_;
      form_.runUser([b, page] { b->UserSelectTab(page); });
    };
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Tabs:
      case Prop::CurrentTab:
      case Prop::Appearance: {
        std::vector<TabStripWidget::Page> pages;
        for (int i = 0; i < tab_.Tabs(); ++i)
          pages.push_back({caption(qs(tab_.TabCaption(i))), tab_.TabVisible(i), tab_.TabEnabled(i)});
        q_->setPages(std::move(pages), tab_.Tab(), tab_.TabsPerRow());
        // The controls of the other pages are hidden from the user.
        for (ControlView* v : form_.views())
          if (v != this && v->attached() && v->control().Container() == control_) v->sync(Prop::Visible);
        break;
      }
      default: ControlView::sync(what);
    }
  }

 private:
  forms::SSTab& tab_;
  TabStripWidget* q_;
};

class ProgressBarView : public ControlView {
 public:
  static constexpr int kSteps = 10000;
  ProgressBarView(FormView& f, forms::ProgressBar& p, QWidget* parent) : ControlView(f, p), bar_(p) {
    widget_ = q_ = new QProgressBar(parent);
    q_->setTextVisible(false);
    q_->setRange(0, kSteps);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Range:
      case Prop::Value: {
        const double span = static_cast<double>(bar_.Max()) - bar_.Min();
        const double part = span > 0 ? (bar_.Value() - bar_.Min()) / span : 0.0;
        q_->setValue(static_cast<int>(std::lround(std::clamp(part, 0.0, 1.0) * kSteps)));
        break;
      }
      case Prop::Appearance: q_->setOrientation(bar_.Orientation() == 1 ? Qt::Vertical : Qt::Horizontal); break;
      case Prop::Colors: break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::ProgressBar& bar_;
  QProgressBar* q_;
};

// Common dialogs have no widget of their own.
class NoWidgetView : public ControlView {
 public:
  NoWidgetView(FormView& f, Control& c) : ControlView(f, c) {}
  void sync(Prop) override {}
};

// A menu item: its action in the form's menu bar.
class MenuView : public ControlView {
 public:
  MenuView(FormView& f, forms::Menu& m) : ControlView(f, m), menu_(m) {}
  void sync(Prop) override {
    if (control_) form_.syncMenu(&menu_);
  }

 private:
  forms::Menu& menu_;
};

// The top-level window of a form.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormView* view) : view_(view) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
  }
  FormView* view_;
  bool syncing = false;

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();  // the model decides (QueryUnload); the window goes when the form unloads
    if (!view_->attached()) return;
    forms::Form* f = &view_->form();
    view_->runUser([f] { f->UserClose(); });
  }
  void dragEnterEvent(QDragEnterEvent* e) override {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* e) override {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
  }
  void dropEvent(QDropEvent* e) override {
    if (!view_->attached()) return;
    std::vector<std::string> files;
    for (const QUrl& u : e->mimeData()->urls())
      if (u.isLocalFile()) files.push_back(ss(u.toLocalFile()));
    if (files.empty()) return;
    e->acceptProposedAction();
    QWidget* w = childAt(e->position().toPoint());
    Control* c = w ? view_->controlAt(w) : nullptr;
    forms::Form* f = &view_->form();
    view_->runUser([c, f, files] {
      if (c) c->UserDropFiles(files);
      else f->UserDropFiles(files);
    });
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (syncing || !view_->attached() || !isVisible()) return;
    // The user resized a sizable window: the form's client size follows (Form_Resize).
    forms::Form* f = &view_->form();
    const int menuH = view_->client()->y();
    const long w = twips(width()), h = twips(std::max(0, height() - menuH));
    if (w != f->ScaleWidth() || h != f->ScaleHeight()) {
      view_->client()->resize(width(), height() - menuH);
      if (view_->menuBar()) view_->menuBar()->resize(width(), menuH);
      syncing = true;
      view_->runUser([f, w, h] { f->ClientSize(w, h); });
      syncing = false;
    }
  }
  void moveEvent(QMoveEvent* e) override {
    QWidget::moveEvent(e);
    if (syncing || !view_->attached() || !isVisible()) return;
    // The user moved the window: the form's Left and Top follow (no event).
    forms::Form& f = view_->form();
    const QPoint p = frameGeometry().topLeft();
    if (twips(p.x()) != f.Left() || twips(p.y()) != f.Top()) {
      syncing = true;
      f.Move(twips(p.x()), twips(p.y()));
      syncing = false;
    }
  }
};

}  // namespace

// ---- FormView ---------------------------------------------------------------------------------

FormView::FormView(forms::Form& form) : form_(&form) {
  japanese_ = catalogueIsJapanese();
  window_ = new FormWindow(this);
  window_->setObjectName(qs(form.Name()));
  window_->installEventFilter(this);
  client_ = new QWidget(window_);
  client_->setObjectName("client");
  client_->setFont(fontOf(form.Font()));
  window_->setFont(fontOf(form.Font()));
  build();
}

FormView::~FormView() {
  detach();
  views_.clear();
  delete window_;
}

void FormView::build() {
  formSubscription_ = form_->Subscribe([this](Control& c, Prop what) { onFormEvent(c, what); });
  buildMenus();
  for (Control* c : form_->Controls()) addControl(c);
  for (Prop p : {Prop::Caption, Prop::Geometry, Prop::Colors, Prop::Picture, Prop::Appearance,
                 Prop::Enabled, Prop::MousePointer})
    syncForm(p);
  syncZOrder();
  syncForm(Prop::Visible);
}

void FormView::detach() {
  if (!form_) return;
  if (formSubscription_) form_->Unsubscribe(formSubscription_);
  formSubscription_ = 0;
  for (auto& [c, v] : views_) v->detach();
  form_ = nullptr;
  if (window_) window_->hide();
  emit modalMaybeDone();
}

ControlView* FormView::viewOf(const Control* c) const {
  auto it = views_.find(c);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormView::widgetOf(const Control* c) const {
  ControlView* v = viewOf(c);
  return v ? v->widget() : nullptr;
}

Control* FormView::controlAt(QWidget* w) const {
  for (; w && w != window_; w = w->parentWidget()) {
    for (const auto& [c, v] : views_)
      if (v->widget() == w && v->attached()) return &v->control();
  }
  return nullptr;
}

std::vector<ControlView*> FormView::views() const {
  std::vector<ControlView*> out;
  for (const Control* c : order_) {
    auto it = views_.find(c);
    if (it != views_.end()) out.push_back(it->second.get());
  }
  return out;
}

QAction* FormView::actionOf(const forms::Menu* m) const {
  auto it = menuActions_.find(m);
  return it == menuActions_.end() ? nullptr : it->second;
}

QWidget* FormView::parentFor(Control* c) const {
  if (Control* box = c->Container()) {
    if (ControlView* v = viewOf(box))
      if (v->childArea()) return v->childArea();
  }
  return client_;
}

void FormView::addControl(Control* c) {
  if (!c || views_.count(c)) return;
  if (Control* box = c->Container(); box && c->kind() != Kind::Menu && !views_.count(box)) addControl(box);
  QWidget* parent = parentFor(c);
  std::unique_ptr<ControlView> v;
  switch (c->kind()) {
    case Kind::TextBox: v = std::make_unique<TextBoxView>(*this, static_cast<forms::TextBox&>(*c), parent); break;
    case Kind::Label: v = std::make_unique<LabelView>(*this, static_cast<forms::Label&>(*c), parent); break;
    case Kind::CheckBox: v = std::make_unique<CheckBoxView>(*this, static_cast<forms::CheckBox&>(*c), parent); break;
    case Kind::OptionButton: v = std::make_unique<OptionButtonView>(*this, static_cast<forms::OptionButton&>(*c), parent); break;
    case Kind::CommandButton: v = std::make_unique<CommandButtonView>(*this, static_cast<forms::CommandButton&>(*c), parent); break;
    case Kind::Frame: v = std::make_unique<FrameView>(*this, static_cast<forms::Frame&>(*c), parent); break;
    case Kind::HScrollBar:
    case Kind::VScrollBar: v = std::make_unique<ScrollBarView>(*this, static_cast<forms::ScrollBar&>(*c), parent); break;
    case Kind::ComboBox: v = std::make_unique<ComboBoxView>(*this, static_cast<forms::ComboBox&>(*c), parent); break;
    case Kind::PictureBox: v = std::make_unique<PictureBoxView>(*this, static_cast<forms::PictureBox&>(*c), parent); break;
    case Kind::Shape: v = std::make_unique<ShapeView>(*this, static_cast<forms::Shape&>(*c), parent); break;
    case Kind::Line: v = std::make_unique<LineView>(*this, static_cast<forms::Line&>(*c), parent); break;
    case Kind::Image: v = std::make_unique<ImageView>(*this, static_cast<forms::Image&>(*c), parent); break;
    case Kind::UpDown: v = std::make_unique<UpDownView>(*this, static_cast<forms::UpDown&>(*c), parent); break;
    case Kind::SSTab: v = std::make_unique<SSTabView>(*this, static_cast<forms::SSTab&>(*c), parent); break;
    case Kind::ProgressBar: v = std::make_unique<ProgressBarView>(*this, static_cast<forms::ProgressBar&>(*c), parent); break;
    case Kind::Menu: v = std::make_unique<MenuView>(*this, static_cast<forms::Menu&>(*c)); break;
    default: v = std::make_unique<NoWidgetView>(*this, *c); break;
  }
  ControlView* view = v.get();
  views_[c] = std::move(v);
  order_.push_back(c);
  if (QWidget* w = view->widget()) {
    w->setObjectName(qs(c->DisplayName()));
    // The model decides where the focus goes; Qt never moves it on its own.
    w->setFocusPolicy(Qt::NoFocus);
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>()) {
      child->setFocusPolicy(Qt::NoFocus);
      child->installEventFilter(this);
    }
    if (c->kind() == Kind::PictureBox) w->setMouseTracking(true);
  }
  view->subscribe();
  view->syncAll();
}

void FormView::removeControl(Control* c) {
  auto it = views_.find(c);
  if (it == views_.end()) return;
  it->second->detach();
  // The view may be running one of its own handlers: let it go once control returns.
  ControlView* dead = it->second.release();
  views_.erase(it);
  order_.erase(std::remove(order_.begin(), order_.end(), c), order_.end());
  if (c->kind() == Kind::Menu) {
    menuActions_.erase(static_cast<forms::Menu*>(c));
    QTimer::singleShot(0, this, [this] { buildMenus(); });
  }
  // Deferred deletion waits for the event loop the handler runs in, never a nested one.
  auto* holder = new QObject;
  QObject::connect(holder, &QObject::destroyed, [dead] { delete dead; });
  holder->deleteLater();
}

void FormView::onFormEvent(Control& c, Prop what) {
  if (!form_) return;
  if (what == Prop::ControlAdded) {
    addControl(&c);
    if (c.kind() == Kind::Menu) QTimer::singleShot(0, this, [this] { buildMenus(); });
    syncZOrder();
    return;
  }
  if (what == Prop::ControlRemoved) {
    removeControl(&c);
    return;
  }
  if (&c != form_) return;
  syncForm(what);
}

void FormView::syncForm(Prop what) {
  forms::Form& f = *form_;
  switch (what) {
    case Prop::Caption: window_->setWindowTitle(qs(f.Caption())); break;
    case Prop::Picture: {
      QPixmap pm = pictureOf(f.Icon());
      if (!pm.isNull()) window_->setWindowIcon(QIcon(pm));
      break;
    }
    case Prop::Geometry:
    case Prop::Appearance: syncWindowGeometry(); break;
    case Prop::Visible:
      if (f.Visible() && f.Loaded()) {
        syncWindowGeometry();
        window_->show();
        requestActivation(window_);
        syncFocus();
      } else {
        window_->hide();
        emit modalMaybeDone();
      }
      break;
    case Prop::Enabled: window_->setEnabled(f.Enabled()); break;
    case Prop::Colors: {
      QPalette pal = client_->palette();
      const long back = f.BackColor();
      pal.setColor(QPalette::Window, isSystemColor(back) ? QApplication::palette().color(QPalette::Window) : color(back));
      client_->setPalette(pal);
      client_->setAutoFillBackground(!isSystemColor(back));
      break;
    }
    case Prop::Font: client_->setFont(fontOf(f.Font())); break;
    case Prop::MousePointer:
      if (f.MousePointer() == 0) window_->unsetCursor();
      else window_->setCursor(cursorShape(f.MousePointer()));
      break;
    case Prop::Focus: syncFocus(); break;
    case Prop::Activated:
      if (window_->isVisible()) requestActivation(window_);
      break;
    case Prop::ZOrder: syncZOrder(); break;
    case Prop::Refresh:
      // A transfer repaints its window between commands without returning to the event
      // loop: let the window system map and paint it (user input stays queued).
      window_->repaint();
      flushPaint();
      break;
    default: break;
  }
}

void FormView::syncWindowGeometry() {
  forms::Form& f = *form_;
  auto* fw = static_cast<FormWindow*>(window_);
  fw->syncing = true;
  const int menuH = (menuBar_ && !menuBar_->actions().isEmpty()) ? menuBar_->sizeHint().height() : 0;
  const int w = px(f.ScaleWidth()), h = px(f.ScaleHeight());
  if (menuBar_) menuBar_->setGeometry(0, 0, w, menuH);
  client_->setGeometry(0, menuH, w, h);
  Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
  if (f.ControlBox()) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  const bool sizable = f.BorderStyle() == 2 || f.BorderStyle() == 5;
  if (f.ControlBox() && f.MinButton() && sizable) flags |= Qt::WindowMinimizeButtonHint;
  if (f.ControlBox() && f.MaxButton() && sizable) flags |= Qt::WindowMaximizeButtonHint;
  if (f.BorderStyle() == 0) flags = Qt::Window | Qt::FramelessWindowHint;
  if (f.BorderStyle() == 4 || f.BorderStyle() == 5) flags |= Qt::Tool;
  if (window_->windowFlags() != flags) {
    const bool shown = window_->isVisible();
    window_->setWindowFlags(flags);
    if (shown) window_->show();
  }
  if (sizable) {
    window_->setMinimumSize(1, 1);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window_->resize(w, h + menuH);
  } else {
    window_->setFixedSize(w, h + menuH);
  }
  window_->move(px(f.Left()), px(f.Top()));
  fw->syncing = false;
}

void FormView::syncFocus() {
  if (!form_ || !window_->isVisible()) return;
  Control* a = form_->ActiveControl();
  QWidget* w = a ? widgetOf(a) : nullptr;
  if (w && w->isVisible() && w->isEnabled()) {
    if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
  } else if (QWidget* f = window_->focusWidget(); f && f != window_) {
    window_->setFocus(Qt::OtherFocusReason);
  }
}

void FormView::syncZOrder() {
  if (!form_) return;
  // Qt stacks later siblings in front: raise each widget in the model's order.
  for (Control* c : form_->Controls())
    if (QWidget* w = widgetOf(c)) w->raise();
}

QFont FormView::fontOf(const forms::Font& f) const {
  QFont font = uiFont(japanese_, f.Size);
  font.setBold(f.Bold);
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  return font;
}

void FormView::buildMenus() {
  if (!form_) return;
  std::vector<forms::Menu*> titles = form_->MenuBar();
  if (titles.empty() && !menuBar_) return;
  if (!menuBar_) menuBar_ = new QMenuBar(window_);
  menuBar_->clear();
  menus_.clear();
  menuActions_.clear();
  std::function<void(QMenu*, forms::Menu*)> fill = [&](QMenu* menu, forms::Menu* parent) {
    for (forms::Menu* item : parent->Items()) {
      QAction* a = nullptr;
      if (!item->Items().empty()) {
        QMenu* sub = menu->addMenu(caption(qs(item->Caption())));
        menus_[item] = sub;
        a = sub->menuAction();
        QObject::connect(sub, &QMenu::aboutToShow, sub, [this, item] {
          runUser([item] { item->UserOpen(); });
        });
        fill(sub, item);
      } else if (item->IsSeparator()) {
        a = menu->addSeparator();
      } else {
        a = menu->addAction(caption(qs(item->Caption())));
        a->setShortcut(shortcutOf(item->Shortcut()));
        QObject::connect(a, &QAction::triggered, a, [this, item] {
          runUser([item] { item->UserClick(); });
        });
      }
      a->setObjectName(qs(item->DisplayName()));
      menuActions_[item] = a;
      syncMenu(item);
    }
  };
  for (forms::Menu* title : titles) {
    QMenu* menu = menuBar_->addMenu(caption(qs(title->Caption())));
    menus_[title] = menu;
    QAction* a = menu->menuAction();
    a->setObjectName(qs(title->DisplayName()));
    menuActions_[title] = a;
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, title] {
      runUser([title] { title->UserOpen(); });
    });
    fill(menu, title);
    syncMenu(title);
  }
  menuBar_->setFont(window_->font());
  if (menusBuilt_) syncWindowGeometry();
  menusBuilt_ = true;
}

void FormView::syncMenu(forms::Menu* m) {
  QAction* a = actionOf(m);
  if (!a) return;
  if (!m->IsSeparator()) a->setText(caption(qs(m->Caption())));
  a->setVisible(m->Visible());
  a->setEnabled(m->Enabled());
  a->setCheckable(m->Checked());
  a->setChecked(m->Checked());
}

bool FormView::handleKey(QKeyEvent* e, Control* target) {
  if (!form_) return true;
  const Qt::KeyboardModifiers mods = e->modifiers();
  // Clipboard keys of text boxes.
  if (target && target->kind() == Kind::TextBox) {
    auto* box = static_cast<forms::TextBox*>(target);
    QClipboard* cb = QApplication::clipboard();
    if (e->matches(QKeySequence::Paste)) {
      const std::string text = ss(cb->text());
      runUser([box, text] { box->UserPaste(text); });
      return true;
    }
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut)) {
      if (box->PasswordChar().empty()) cb->setText(qs(box->SelText()));
      if (e->matches(QKeySequence::Cut)) runUser([box] { box->UserPaste(""); });
      return true;
    }
    if (e->matches(QKeySequence::SelectAll)) {
      const long n = static_cast<long>(box->Text().size());
      runUser([box, n] { box->UserSelect(0, n); });
      return true;
    }
  }
  const QString text = e->text();
  const bool printable = !text.isEmpty() && text[0].isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier));
  forms::Form* f = form_;
  if (printable) {
    const std::string t = ss(text);
    runUser([f, t] { f->UserType(t); });
  } else if (int code = keyCode(*e)) {
    const int shift = shiftMask(mods);
    runUser([f, code, shift] { f->UserKey(code, shift); });
  }
  return true;
}

void FormView::runUser(const std::function<void()>& input) {
  if (!form_) return;
  QPointer<FormView> self(this);
  ++userDepth_;
  try {
    input();
  } catch (const vb::Error& e) {
    forms::host().UnhandledError("user input", e.Number(), e.Description());
  } catch (const std::exception& e) {
    forms::host().UnhandledError("user input", 0, e.what());
  }
  if (!self) return;
  --userDepth_;
  if (form_) syncFocus();
}

void FormView::windowActivated() {
  QPointer<QWidget>& requested = requestedWindow();
  if (requested == window_) {
    requested = nullptr;  // the program's own activation has arrived
    return;
  }
  if (requested && requested->isVisible()) return;  // catching up with an earlier request
  requested = nullptr;
  // Not while the switch the user made last is still raising its events (a handler that
  // opens a message box makes the window system move the activation again). The model
  // refuses a hidden, disabled or blocked form itself.
  if (activatingForUser || !form_ || forms::Screen.ActiveForm() == form_) return;
  activatingForUser = true;
  forms::Form* f = form_;
  runUser([f] { f->UserActivate(); });
  activatingForUser = false;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  if (!form_) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  switch (event->type()) {
    case QEvent::WindowActivate:
      if (w == window_) windowActivated();
      return false;
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      return handleKey(e, form_->ActiveControl());
    }
    case QEvent::KeyRelease:
      return w != window_;
    case QEvent::InputMethod: {
      // The input method's composition shows in the box; what it commits is typed into the
      // model, character by character, like keys.
      auto* e = static_cast<QInputMethodEvent*>(event);
      if (e->commitString().isEmpty()) return false;
      QInputMethodEvent clear;
      QApplication::sendEvent(w, &clear);
      forms::Form* f = form_;
      const std::string t = ss(e->commitString());
      runUser([f, t] { f->UserType(t); });
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      Control* c = controlAt(w);
      if (!c) return false;
      auto* e = static_cast<QMouseEvent*>(event);
      const int button = buttonMask(event->type() == QEvent::MouseMove ? e->buttons() : Qt::MouseButtons(e->button()));
      const int shift = shiftMask(e->modifiers());
      const Kind k = c->kind();
      if (k == Kind::PictureBox) {
        auto* pv = static_cast<PictureBoxView*>(viewOf(c));
        const QPointF p = e->position() - QPointF(pv->border(), pv->border());
        const double x = p.x(), y = p.y();
        if (event->type() == QEvent::MouseButtonPress) runUser([c, button, shift, x, y] { c->UserMouseDown(button, shift, x, y); });
        else if (event->type() == QEvent::MouseMove) runUser([c, button, shift, x, y] { c->UserMouseMove(button, shift, x, y); });
        else if (event->type() == QEvent::MouseButtonRelease) {
          runUser([c, button, shift, x, y] { c->UserMouseUp(button, shift, x, y); });
          if (form_ && viewOf(c) && e->button() == Qt::LeftButton) runUser([c] { c->UserClick(); });
        } else runUser([c] { c->UserDblClick(); });
        return true;
      }
      if (event->type() == QEvent::MouseMove) return false;
      if (k == Kind::TextBox || k == Kind::ComboBox) {
        if (event->type() == QEvent::MouseButtonPress) {
          // The model's click: MouseDown, the focus move (Validate may keep the focus
          // elsewhere, which swallows the press), MouseUp, and the kind's Click.
          if (e->button() == Qt::LeftButton) runUser([c] { c->UserClick(); });
          return !form_ || form_->ActiveControl() != c;
        }
        if (k == Kind::TextBox && event->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton) {
          auto* tv = static_cast<TextBoxView*>(viewOf(c));
          if (tv && tv->attached()) tv->reportSelection();
          return false;
        }
        if (k == Kind::TextBox && event->type() == QEvent::MouseButtonDblClick) {
          QTimer::singleShot(0, this, [this, c] {
            auto* tv = static_cast<TextBoxView*>(viewOf(c));
            if (tv && tv->attached()) tv->reportSelection();
          });
          runUser([c] { c->UserDblClick(); });
          return false;
        }
        return false;
      }
      if (k == Kind::Label || k == Kind::Image || k == Kind::Frame) {
        if (event->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint()))
          runUser([c] { c->UserClick(); });
        else if (event->type() == QEvent::MouseButtonDblClick)
          runUser([c] { c->UserDblClick(); });
        return false;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace qtview
