// The views of the controls: one widget per control kind, kept in step with the model, with
// user input sent to the model.
#include "platform/qt/control_views.h"

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
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include "platform/qt/convert.h"
#include "platform/qt/spin_buttons.h"
#include "platform/qt/view_support.h"
#include "platform/qt/widgets.h"

namespace qtview {

using forms::Control;
using forms::Kind;
using forms::Prop;

// ---- The control views -------------------------------------------------------------------

ControlView::~ControlView() {
  detach();
  delete widget_;
}

void ControlView::subscribe() {
  if (!control_ || subscription_) return;
  subscription_ = control_->Subscribe([this](Control&, Prop what) {
    if (!control_) return;
    form_.noteChange(control_, what);
    sync(what);
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
    case Prop::Enabled: syncEnabled(); break;
    case Prop::Colors: syncColors(); break;
    case Prop::Font: widget_->setFont(form_.fontOf(control_->Font())); break;
    case Prop::ToolTip: widget_->setToolTip(qs(control_->ToolTipText())); break;
    case Prop::MousePointer:
      if (control_->MousePointer() == 0) widget_->unsetCursor();
      else widget_->setCursor(cursorShape(control_->MousePointer()));
      break;
    case Prop::ZOrder: form_.syncZOrder(); break;
    case Prop::Refresh:
      if (form_.outOfDate(control_)) widget_->repaint();
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

// A control's widget is disabled exactly when the control itself is: Qt then draws it
// greyed. A container's widget stays enabled (see the frame's view), so that the controls in a
// disabled frame keep their look, as on the desktop; the model refuses their input.
void ControlView::syncEnabled() { widget_->setEnabled(control_->Enabled()); }

void ControlView::syncColors() { syncPalette(false); }

// The layout's colours (a system colour: the desktop's) for the window active or not. Disabled,
// a control keeps a background colour of its own and greys its text as the desktop does.
// `backIsBase`: the back colour is the background of an editing field (text and combo boxes).
void ControlView::syncPalette(bool backIsBase) {
  QPalette pal = widget_->palette();
  const long fore = control_->ForeColor(), back = control_->BackColor();
  const QPalette app = QApplication::palette();
  const QColor fg = isSystemColor(fore) ? QColor() : color(fore);
  const QColor bg = isSystemColor(back) ? QColor() : color(back);
  auto set = [&](QPalette::ColorRole role, const QColor& own, bool greyed) {
    for (auto group : {QPalette::Active, QPalette::Inactive})
      pal.setColor(group, role, own.isValid() ? own : app.color(group, role));
    pal.setColor(QPalette::Disabled, role, own.isValid() && !greyed ? own : app.color(QPalette::Disabled, role));
  };
  for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) set(role, fg, true);
  for (auto role : {QPalette::Window, QPalette::Button}) set(role, bg, false);
  if (backIsBase) set(QPalette::Base, bg, false);
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
      case Prop::Colors: syncPalette(true); break;
      default: ControlView::sync(what);
    }
  }
  // The selection the user made with the mouse, in model positions.
  void reportSelection() override {
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

// A button's caption, its access key underlined; the key itself goes to the model (which
// clicks, toggles or selects), so the widget keeps no shortcut of its own.
void setButtonText(QAbstractButton* b, const std::string& text) {
  b->setText(caption(qs(text)));
  b->setShortcut(QKeySequence());
}

// Check boxes, option buttons and command buttons: the form view sends their mouse clicks
// to the model (MouseDown, Click, MouseUp at the pointer); the widget only shows the state.
class CheckBoxView : public ControlView {
 public:
  CheckBoxView(FormView& f, forms::CheckBox& c, QWidget* parent) : ControlView(f, c), box_(c) {
    widget_ = q_ = new QCheckBox(parent);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: setButtonText(q_, box_.Caption()); break;
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
    widget_ = q_ = new QRadioButton(parent);
    q_->setAutoExclusive(false);  // the model keeps the groups
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: setButtonText(q_, opt_.Caption()); break;
      case Prop::Value: q_->setChecked(opt_.Value()); break;
      default: ControlView::sync(what);
    }
  }

 private:
  forms::OptionButton& opt_;
  QRadioButton* q_;
};

// A push button whose focus shows also on the default button (which the style draws with the
// same frame as a focused one): a focus rectangle inside it, as the desktop draws.
class FocusPushButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPushButton::paintEvent(e);
    if (!hasFocus() || !isDefault()) return;
    QPainter p(this);
    drawFocusMark(this, p, rect().adjusted(4, 4, -4, -4));
  }
};

class CommandButtonView : public ControlView {
 public:
  CommandButtonView(FormView& f, forms::CommandButton& b, QWidget* parent) : ControlView(f, b), button_(b) {
    widget_ = q_ = new FocusPushButton(parent);
    q_->setAutoDefault(false);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption: setButtonText(q_, button_.Caption()); break;
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
    widget_ = q_ = new FrameWidget(parent);
  }
  void sync(Prop what) override {
    if (!control_) return;
    SyncGuard g(*this);
    switch (what) {
      case Prop::Caption:
      case Prop::Appearance:
        q_->setTitle(frame_.BorderStyle() == 0 ? QString() : caption(qs(frame_.Caption())));
        q_->setBorderless(frame_.BorderStyle() == 0);
        break;
      default: ControlView::sync(what);
    }
  }

 private:
  void syncEnabled() override { q_->setGreyed(!frame_.Enabled()); }
  forms::Frame& frame_;
  FrameWidget* q_;
};

// A scroll bar that marks its thumb while it has the focus, as the desktop's bars do.
class FocusScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QScrollBar::paintEvent(e);
    if (!hasFocus()) return;
    QStyleOptionSlider o;
    initStyleOption(&o);
    const QRect thumb = style()->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, this);
    QPainter p(this);
    drawFocusMark(this, p, (thumb.isEmpty() ? rect() : thumb).adjusted(2, 2, -2, -2));
  }
};

class ScrollBarView : public ControlView {
 public:
  ScrollBarView(FormView& f, forms::ScrollBar& s, QWidget* parent) : ControlView(f, s), bar_(s) {
    q_ = new FocusScrollBar(s.kind() == Kind::HScrollBar ? Qt::Horizontal : Qt::Vertical, parent);
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
      case Prop::Colors: syncPalette(true); break;
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
  // A disabled picture box looks the same; the controls on it keep their own look.
  void syncEnabled() override {}
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
        const QPoint origin = childOrigin();
        q_->setPages(std::move(pages), tab_.Tab(), tab_.TabsPerRow());
        const bool moved = childOrigin() != origin;
        // The controls of the other pages are hidden from the user; the pages' contents follow
        // the rows of tabs. The controls of a page shown for the first time are built now.
        for (ControlView* v : form_.builtViews()) {
          if (v == this || !v->attached() || v->control().Container() != control_) continue;
          v->sync(Prop::Visible);
          if (moved) v->sync(Prop::Geometry);
        }
        form_.pageShown();
        break;
      }
      default: ControlView::sync(what);
    }
  }
  // The layouts place the pages' contents below the rows that all the tabs take; when hidden
  // tabs leave fewer rows, the contents move up with the tabs' lower edge.
  QPoint childOrigin() const override { return QPoint(0, q_->headerHeight() - q_->designHeaderHeight()); }

 private:
  void syncEnabled() override { q_->setGreyed(!tab_.Enabled()); }
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

}  // namespace

std::unique_ptr<ControlView> makeControlView(FormView& form, Control& control, QWidget* parent) {
  Control* c = &control;
  std::unique_ptr<ControlView> v;
  switch (c->kind()) {
    case Kind::TextBox: v = std::make_unique<TextBoxView>(form, static_cast<forms::TextBox&>(*c), parent); break;
    case Kind::Label: v = std::make_unique<LabelView>(form, static_cast<forms::Label&>(*c), parent); break;
    case Kind::CheckBox: v = std::make_unique<CheckBoxView>(form, static_cast<forms::CheckBox&>(*c), parent); break;
    case Kind::OptionButton: v = std::make_unique<OptionButtonView>(form, static_cast<forms::OptionButton&>(*c), parent); break;
    case Kind::CommandButton: v = std::make_unique<CommandButtonView>(form, static_cast<forms::CommandButton&>(*c), parent); break;
    case Kind::Frame: v = std::make_unique<FrameView>(form, static_cast<forms::Frame&>(*c), parent); break;
    case Kind::HScrollBar:
    case Kind::VScrollBar: v = std::make_unique<ScrollBarView>(form, static_cast<forms::ScrollBar&>(*c), parent); break;
    case Kind::ComboBox: v = std::make_unique<ComboBoxView>(form, static_cast<forms::ComboBox&>(*c), parent); break;
    case Kind::PictureBox: v = std::make_unique<PictureBoxView>(form, static_cast<forms::PictureBox&>(*c), parent); break;
    case Kind::Shape: v = std::make_unique<ShapeView>(form, static_cast<forms::Shape&>(*c), parent); break;
    case Kind::Line: v = std::make_unique<LineView>(form, static_cast<forms::Line&>(*c), parent); break;
    case Kind::Image: v = std::make_unique<ImageView>(form, static_cast<forms::Image&>(*c), parent); break;
    case Kind::UpDown: v = std::make_unique<UpDownView>(form, static_cast<forms::UpDown&>(*c), parent); break;
    case Kind::SSTab: v = std::make_unique<SSTabView>(form, static_cast<forms::SSTab&>(*c), parent); break;
    case Kind::ProgressBar: v = std::make_unique<ProgressBarView>(form, static_cast<forms::ProgressBar&>(*c), parent); break;
    case Kind::Menu: v = std::make_unique<MenuView>(form, static_cast<forms::Menu&>(*c)); break;
    default: v = std::make_unique<NoWidgetView>(form, *c); break;
  }
  return v;
}

}  // namespace qtview
