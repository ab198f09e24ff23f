// The views of the controls: one widget per control kind, kept in step with the model, with
// user input sent to the model.
#include "platform/qt/control_views.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextCursor>
#include <algorithm>
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

void ControlView::sync(Prop what) {
  if (!control_) return;
  SyncGuard guard(*this);
  if (syncKind(what) || !widget_) return;
  switch (what) {
    case Prop::Geometry: syncGeometry(); break;
    case Prop::Visible: syncVisible(); break;
    case Prop::Enabled: syncEnabled(); break;
    case Prop::Colors: syncColors(); break;
    case Prop::Font: widget_->setFont(form_.fontOf(control_->Font())); break;
    case Prop::ToolTip: widget_->setToolTip(qs(control_->ToolTipText())); break;
    case Prop::MousePointer: setPointer(widget_, control_->MousePointer()); break;
    case Prop::ZOrder: form_.syncZOrder(); break;
    case Prop::Refresh:
      if (form_.outOfDate(control_)) widget_->repaint();
      flushPaint();
      break;
    default: break;
  }
}

QPoint ControlView::containerOrigin() const {
  Control* box = control_->Container();
  ControlView* v = box ? form_.viewOf(box) : nullptr;
  return v ? v->childOrigin() : QPoint();
}

void ControlView::syncGeometry() {
  widget()->setGeometry(pxRect(control_->Left(), control_->Top(), control_->Width(), control_->Height())
                           .translated(containerOrigin()));
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

// The view of a control of the kind `Model`, shown by a `Widget`.
template <class Model, class Widget>
class KindView : public ControlView {
 public:
  using ModelType = Model;
  KindView(FormView& f, Model& m, Widget* w) : ControlView(f, m), model_(m), q_(w) { widget_ = w; }

 protected:
  Model& model_;
  Widget* q_;
};

// Text box: a QLineEdit (or a QPlainTextEdit when multi-line) that shows the model's text
// and selection; keys go to the model.
class TextBoxView : public KindView<forms::TextBox, QWidget> {
 public:
  TextBoxView(FormView& f, forms::TextBox& t, QWidget* parent)
      : KindView(f, t, t.MultiLine() ? static_cast<QWidget*>(new QPlainTextEdit(parent)) : new QLineEdit(parent)),
        multiLine_(t.MultiLine()), line_(qobject_cast<QLineEdit*>(q_)), plain_(qobject_cast<QPlainTextEdit*>(q_)) {
    if (plain_) plain_->setTabChangesFocus(true);
    q_->setAcceptDrops(false);
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Text: {
        const QString t = shownText(model_.Text(), multiLine_);
        if (line_ && line_->text() != t) line_->setText(t);
        if (plain_ && plain_->toPlainText() != t) plain_->setPlainText(t);
        syncSelection();
        return true;
      }
      case Prop::Selection: syncSelection(); return true;
      case Prop::Locked:
        if (line_) line_->setReadOnly(model_.Locked());
        if (plain_) plain_->setReadOnly(model_.Locked());
        return true;
      case Prop::Appearance:
        if (line_) {
          line_->setEchoMode(model_.PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
          line_->setAlignment(model_.Alignment() == 1 ? Qt::AlignRight
                              : model_.Alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
        }
        if (plain_) {
          const int sb = model_.ScrollBars();
          plain_->setHorizontalScrollBarPolicy((sb & 1) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
          plain_->setVerticalScrollBarPolicy((sb & 2) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
          plain_->setLineWrapMode((sb & 1) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        }
        return true;
      case Prop::Colors: syncPalette(true); return true;
      default: return false;
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
    const std::string& t = model_.Text();
    long ms = toModelIndex(t, start, multiLine_);
    long me = toModelIndex(t, start + len, multiLine_);
    forms::TextBox* b = &model_;
    form_.runUser([b, ms, me] { b->UserSelect(ms, me - ms); });
  }

 private:
  void syncSelection() {
    const std::string& t = model_.Text();
    const int start = toQtIndex(t, model_.SelStart(), multiLine_);
    const int end = toQtIndex(t, model_.SelStart() + model_.SelLength(), multiLine_);
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
  const bool multiLine_;
  QLineEdit* const line_;
  QPlainTextEdit* const plain_;
};

class LabelView : public KindView<forms::Label, QLabel> {
 public:
  LabelView(FormView& f, forms::Label& l, QWidget* parent) : KindView(f, l, new QLabel(parent)) {
    q_->setTextFormat(Qt::PlainText);
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Caption: {
        QString t = qs(model_.Caption());
        t.replace("\r\n", "\n");
        q_->setText(model_.UseMnemonic() ? mnemonicStripped(t) : t);
        return true;
      }
      case Prop::Appearance: {
        const int a = model_.Alignment();
        q_->setAlignment((a == 1 ? Qt::AlignRight : a == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        // A label that does not size itself wraps its text at word boundaries.
        q_->setWordWrap(!model_.AutoSize() || model_.WordWrap());
        q_->setFrameStyle(model_.BorderStyle() == 1 ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
        syncColors();
        sync(Prop::Caption);
        return true;
      }
      default: return false;
    }
  }

 private:
  void syncColors() override {
    ControlView::syncColors();
    q_->setAutoFillBackground(model_.BackStyle() == 1 && !isSystemColor(model_.BackColor()));
  }
};

// A button's caption, its access key underlined; the key itself goes to the model (which
// clicks, toggles or selects), so the widget keeps no shortcut of its own.
void setButtonText(QAbstractButton* b, const std::string& text) {
  b->setText(caption(qs(text)));
  b->setShortcut(QKeySequence());
}

// Check boxes, option buttons and command buttons: the form view sends their mouse clicks
// to the model (MouseDown, Click, MouseUp at the pointer); the widget only shows the state.
class CheckBoxView : public KindView<forms::CheckBox, QCheckBox> {
 public:
  CheckBoxView(FormView& f, forms::CheckBox& c, QWidget* parent) : KindView(f, c, new QCheckBox(parent)) {}
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Caption: setButtonText(q_, model_.Caption()); return true;
      case Prop::Value:
        q_->setTristate(model_.Value() == forms::vbGrayed);
        q_->setCheckState(model_.Value() == forms::vbChecked ? Qt::Checked
                          : model_.Value() == forms::vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        return true;
      default: return false;
    }
  }
};

class OptionButtonView : public KindView<forms::OptionButton, QRadioButton> {
 public:
  OptionButtonView(FormView& f, forms::OptionButton& o, QWidget* parent) : KindView(f, o, new QRadioButton(parent)) {
    q_->setAutoExclusive(false);  // the model keeps the groups
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Caption: setButtonText(q_, model_.Caption()); return true;
      case Prop::Value: q_->setChecked(model_.Value()); return true;
      default: return false;
    }
  }
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

class CommandButtonView : public KindView<forms::CommandButton, QPushButton> {
 public:
  CommandButtonView(FormView& f, forms::CommandButton& b, QWidget* parent)
      : KindView(f, b, new FocusPushButton(parent)) {
    q_->setAutoDefault(false);
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Caption: setButtonText(q_, model_.Caption()); return true;
      case Prop::Picture: {
        QPixmap pm = pictureOf(model_.Picture());
        q_->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
        return true;
      }
      case Prop::Appearance: q_->setDefault(model_.Default()); return true;
      default: return false;
    }
  }
};

class FrameView : public KindView<forms::Frame, FrameWidget> {
 public:
  FrameView(FormView& f, forms::Frame& fr, QWidget* parent) : KindView(f, fr, new FrameWidget(parent)) {}
  bool syncKind(Prop what) override {
    if (what != Prop::Caption && what != Prop::Appearance) return false;
    q_->setTitle(model_.BorderStyle() == 0 ? QString() : caption(qs(model_.Caption())));
    q_->setBorderless(model_.BorderStyle() == 0);
    return true;
  }

 private:
  void syncEnabled() override { q_->setGreyed(!model_.Enabled()); }
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

class ScrollBarView : public KindView<forms::ScrollBar, QScrollBar> {
 public:
  ScrollBarView(FormView& f, forms::ScrollBar& s, QWidget* parent)
      : KindView(f, s, new FocusScrollBar(s.kind() == Kind::HScrollBar ? Qt::Horizontal : Qt::Vertical, parent)) {
    QObject::connect(q_, &QScrollBar::actionTriggered, q_, [this](int action) { onAction(action); });
    // A thumb drag: Scroll for each position while the thumb moves, Change once on release.
    // A drag the model refuses (Validate keeps the focus elsewhere) is refused once: the
    // rest of it is ignored and the thumb stays where the model says.
    QObject::connect(q_, &QScrollBar::sliderPressed, q_, [this] { dragRefused_ = false; });
    QObject::connect(q_, &QScrollBar::sliderMoved, q_, [this](int pos) {
      if (syncing() || !control_) return;
      bool taken = false;
      if (!dragRefused_) {
        forms::ScrollBar* b = &model_;
        form_.runUser([b, pos, &taken] { taken = b->UserThumbMove(pos); });
        dragRefused_ = !taken;
      }
      if (!taken) sync(Prop::Value);
    });
    QObject::connect(q_, &QScrollBar::sliderReleased, q_, [this] {
      if (syncing() || !control_) return;
      forms::ScrollBar* b = &model_;
      if (!dragRefused_) form_.runUser([b] { b->UserThumbRelease(); });
      dragRefused_ = false;
      sync(Prop::Value);
    });
  }
  bool syncKind(Prop what) override {
    if (what != Prop::Range && what != Prop::Value) return false;
    const int lo = std::min(model_.Min(), model_.Max()), hi = std::max(model_.Min(), model_.Max());
    q_->setRange(lo, hi);
    const bool reversed = model_.Min() > model_.Max();
    q_->setInvertedAppearance(reversed);
    q_->setInvertedControls(reversed);
    q_->setSingleStep(model_.SmallChange());
    q_->setPageStep(model_.LargeChange());
    q_->setValue(model_.Value());
    return true;
  }

 private:
  void onAction(int action) {
    if (syncing() || !control_) return;
    using S = forms::ScrollBar::Step;
    // Towards Min is "up" for the model; with Min > Max, Qt's Sub runs towards the model's Max.
    const bool reversed = model_.Min() > model_.Max();
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
    forms::ScrollBar* b = &model_;
    form_.runUser([b, step] { b->UserScroll(step); });
    if (!control_) return;
    SyncGuard g(*this);
    q_->setSliderPosition(model_.Value());  // Qt applies this position after the action
  }
  bool dragRefused_ = false;
};

class ComboBoxView : public KindView<forms::ComboBox, QComboBox> {
 public:
  ComboBoxView(FormView& f, forms::ComboBox& c, QWidget* parent) : KindView(f, c, new QComboBox(parent)) {
    q_->setEditable(c.Style() != forms::vbComboDropdownList);
    q_->setInsertPolicy(QComboBox::NoInsert);
    if (q_->lineEdit()) q_->lineEdit()->setAcceptDrops(false);
    QObject::connect(q_, &QComboBox::activated, q_, [this](int index) {
      if (syncing() || !control_) return;
      forms::ComboBox* b = &model_;
      form_.runUser([b, index] { b->UserSelect(index); });
      sync(Prop::Value);
    });
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Items:
        q_->clear();
        for (int i = 0; i < model_.ListCount(); ++i) q_->addItem(qs(model_.List(i)));
        [[fallthrough]];
      case Prop::Value:
        q_->setCurrentIndex(model_.ListIndex());
        [[fallthrough]];
      case Prop::Text:
        if (q_->lineEdit() && q_->lineEdit()->text() != qs(model_.Text())) q_->lineEdit()->setText(qs(model_.Text()));
        return true;
      case Prop::Colors: syncPalette(true); return true;
      default: return false;
    }
  }
};

class PictureBoxView : public KindView<forms::PictureBox, PictureWidget> {
 public:
  PictureBoxView(FormView& f, forms::PictureBox& p, QWidget* parent) : KindView(f, p, new PictureWidget(parent)) {}
  QPoint childOrigin() const override { return QPoint(q_->borderWidth(), q_->borderWidth()); }
  // A disabled picture box looks the same; the controls on it keep their own look.
  void syncEnabled() override {}
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Drawing: q_->setDrawing(model_.DisplayList()); return true;
      case Prop::Picture: q_->setPicture(pictureOf(model_.Picture())); return true;
      case Prop::Appearance: q_->setBorder(model_.BorderStyle() == 1); return true;
      case Prop::Colors: q_->setBackColor(color(model_.BackColor())); return true;
      default: return false;
    }
  }
};

class ShapeView : public KindView<forms::Shape, ShapeWidget> {
 public:
  ShapeView(FormView& f, forms::Shape& s, QWidget* parent) : KindView(f, s, new ShapeWidget(parent)) {}
  bool syncKind(Prop what) override {
    if (what != Prop::Appearance && what != Prop::Colors) return false;
    q_->setStyle({model_.ShapeType(), model_.FillStyle(), model_.BackStyle(), model_.BorderStyle(),
                  model_.BorderWidth(), color(model_.FillColor()), color(model_.BorderColor()),
                  color(model_.BackColor())});
    return true;
  }
};

class LineView : public KindView<forms::Line, LineWidget> {
 public:
  LineView(FormView& f, forms::Line& l, QWidget* parent) : KindView(f, l, new LineWidget(parent)) {}
  bool syncKind(Prop what) override {
    if (what != Prop::Geometry && what != Prop::Appearance && what != Prop::Colors) return false;
    syncGeometry();
    return true;
  }

 private:
  void syncGeometry() override {
    const int w = std::max(1, model_.BorderWidth());
    QPoint a(px(model_.X1()), px(model_.Y1())), b(px(model_.X2()), px(model_.Y2()));
    QRect r = QRect(a, b).normalized().adjusted(-w, -w, w, w);
    q_->setGeometry(r.translated(containerOrigin()));
    q_->setLine(QPointF(a - r.topLeft()), QPointF(b - r.topLeft()), color(model_.BorderColor()), w,
                model_.BorderStyle());
  }
};

class ImageView : public KindView<forms::Image, QLabel> {
 public:
  ImageView(FormView& f, forms::Image& i, QWidget* parent) : KindView(f, i, new QLabel(parent)) {
    q_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Picture:
      case Prop::Appearance:
        q_->setPixmap(pictureOf(model_.Picture()));
        q_->setScaledContents(model_.Stretch());
        return true;
      case Prop::Colors: return true;  // an image has no colours of its own
      default: return false;
    }
  }
};

class UpDownView : public KindView<forms::UpDown, SpinButtons> {
 public:
  UpDownView(FormView& f, forms::UpDown& u, QWidget* parent)
      : KindView(f, u, new SpinButtons(u.Orientation() == 1, parent)) {
    QObject::connect(q_, &SpinButtons::upClicked, q_, [this] { click(&forms::UpDown::UserUp); });
    QObject::connect(q_, &SpinButtons::downClicked, q_, [this] { click(&forms::UpDown::UserDown); });
  }
  bool syncKind(Prop what) override {
    if (what != Prop::Appearance) return false;
    q_->setHorizontal(model_.Orientation() == 1);
    return true;
  }

 private:
  void click(bool (forms::UpDown::*button)()) {
    if (syncing() || !control_) return;
    forms::UpDown* b = &model_;
    form_.runUser([b, button] { (b->*button)(); });
  }
};

class SSTabView : public KindView<forms::SSTab, TabStripWidget> {
 public:
  SSTabView(FormView& f, forms::SSTab& t, QWidget* parent) : KindView(f, t, new TabStripWidget(parent)) {
    q_->onTabClicked = [this](int page) {
      if (!control_) return;
      forms::SSTab* b = &model_;
      form_.runUser([b, page] { b->UserSelectTab(page); });
    };
  }
  bool syncKind(Prop what) override {
    if (what != Prop::Tabs && what != Prop::CurrentTab && what != Prop::Appearance) return false;
    std::vector<TabStripWidget::Page> pages;
    for (int i = 0; i < model_.Tabs(); ++i)
      pages.push_back({caption(qs(model_.TabCaption(i))), model_.TabVisible(i), model_.TabEnabled(i)});
    const QPoint origin = childOrigin();
    q_->setPages(std::move(pages), model_.Tab(), model_.TabsPerRow());
    const bool moved = childOrigin() != origin;
    // The controls of the other pages are hidden from the user; the pages' contents follow
    // the rows of tabs. The controls of a page shown for the first time are built now.
    for (ControlView* v : form_.builtViews()) {
      if (v == this || !v->attached() || v->control().Container() != control_) continue;
      v->sync(Prop::Visible);
      if (moved) v->sync(Prop::Geometry);
    }
    form_.pageShown();
    return true;
  }
  // The layouts place the pages' contents below the rows that all the tabs take; when hidden
  // tabs leave fewer rows, the contents move up with the tabs' lower edge.
  QPoint childOrigin() const override { return QPoint(0, q_->headerHeight() - q_->designHeaderHeight()); }

 private:
  void syncEnabled() override { q_->setGreyed(!model_.Enabled()); }
};

class ProgressBarView : public KindView<forms::ProgressBar, QProgressBar> {
 public:
  static constexpr int kSteps = 10000;
  ProgressBarView(FormView& f, forms::ProgressBar& p, QWidget* parent) : KindView(f, p, new QProgressBar(parent)) {
    q_->setTextVisible(false);
    q_->setRange(0, kSteps);
  }
  bool syncKind(Prop what) override {
    switch (what) {
      case Prop::Range:
      case Prop::Value: {
        const double span = static_cast<double>(model_.Max()) - model_.Min();
        const double part = span > 0 ? (model_.Value() - model_.Min()) / span : 0.0;
        q_->setValue(static_cast<int>(std::lround(std::clamp(part, 0.0, 1.0) * kSteps)));
        return true;
      }
      case Prop::Appearance: q_->setOrientation(model_.Orientation() == 1 ? Qt::Vertical : Qt::Horizontal); return true;
      case Prop::Colors: return true;
      default: return false;
    }
  }
};

// A menu item: its action in the form's menu bar.
class MenuView : public KindView<forms::Menu, QWidget> {
 public:
  MenuView(FormView& f, forms::Menu& m, QWidget*) : KindView(f, m, nullptr) {}
  bool syncKind(Prop) override {
    form_.syncMenu(&model_);
    return true;
  }
};

template <class View>
std::unique_ptr<ControlView> make(FormView& form, Control& c, QWidget* parent) {
  return std::make_unique<View>(form, static_cast<typename View::ModelType&>(c), parent);
}

}  // namespace

std::unique_ptr<ControlView> makeControlView(FormView& form, Control& c, QWidget* parent) {
  switch (c.kind()) {
    case Kind::TextBox: return make<TextBoxView>(form, c, parent);
    case Kind::Label: return make<LabelView>(form, c, parent);
    case Kind::CheckBox: return make<CheckBoxView>(form, c, parent);
    case Kind::OptionButton: return make<OptionButtonView>(form, c, parent);
    case Kind::CommandButton: return make<CommandButtonView>(form, c, parent);
    case Kind::Frame: return make<FrameView>(form, c, parent);
    case Kind::HScrollBar:
    case Kind::VScrollBar: return make<ScrollBarView>(form, c, parent);
    case Kind::ComboBox: return make<ComboBoxView>(form, c, parent);
    case Kind::PictureBox: return make<PictureBoxView>(form, c, parent);
    case Kind::Shape: return make<ShapeView>(form, c, parent);
    case Kind::Line: return make<LineView>(form, c, parent);
    case Kind::Image: return make<ImageView>(form, c, parent);
    case Kind::UpDown: return make<UpDownView>(form, c, parent);
    case Kind::SSTab: return make<SSTabView>(form, c, parent);
    case Kind::ProgressBar: return make<ProgressBarView>(form, c, parent);
    case Kind::Menu: return make<MenuView>(form, c, parent);
    default: return std::make_unique<ControlView>(form, c);  // common dialogs have no widget
  }
}

}  // namespace qtview
