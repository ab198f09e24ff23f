#include "platform/qt/form_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QShortcutEvent>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>

#include "platform/qt/control_views.h"
#include "platform/qt/convert.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/view_support.h"
#include "platform/qt/widgets.h"
#include "platform/qt/window_geometry.h"
#include "platform/qt/window_system.h"
#include "platform/vb/scoped_value.h"

namespace qtview {

using forms::Control;
using forms::Kind;
using forms::Prop;

namespace {

// The top-level window of a form.
class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormView* view) : view_(view) {
    setAcceptDrops(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
  }
  FormView* view_;

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
};

}  // namespace

// ---- FormView ---------------------------------------------------------------------------------

FormView::FormView(forms::Form& form, QtHost& host) : form_(&form), host_(host) {
  japanese_ = catalogueIsJapanese();
  window_ = new FormWindow(this);
  window_->setObjectName(qs(form.Name()));
  window_->installEventFilter(this);
  client_ = new QWidget(window_);
  client_->setObjectName("client");
  client_->setFont(fontOf(form.Font()));
  window_->setFont(fontOf(form.Font()));
  geometry_ = new WindowGeometry(window_, {[this] { return formPlace(); },
                                           [this](QPoint at) { userMoved(at); },
                                           [this](QSize size) { userResized(size); }});
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
  addPass(nullptr, false);
  for (Prop p : {Prop::Caption, Prop::Geometry, Prop::Colors, Prop::Picture, Prop::Appearance,
                 Prop::Enabled, Prop::MousePointer})
    syncForm(p);
  syncForm(Prop::Visible);
}

void FormView::detach() {
  if (!form_) return;
  if (formSubscription_) form_->Unsubscribe(formSubscription_);
  formSubscription_ = 0;
  for (auto& [c, v] : views_) v->detach();
  form_ = nullptr;
  if (window_ && window_->isVisible()) hideWindow();
  emit modalMaybeDone();
}

ControlView* FormView::builtView(const Control* c) const {
  auto it = views_.find(c);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormView::builtWidget(const Control* c) const {
  ControlView* v = builtView(c);
  return v ? v->widget() : nullptr;
}

ControlView* FormView::viewOf(const Control* c) const {
  if (ControlView* v = builtView(c)) return v;
  // Building a view on demand changes no state that the caller can see but the widget's.
  return const_cast<FormView*>(this)->addAsked(c);
}

QWidget* FormView::widgetOf(const Control* c) const {
  ControlView* v = viewOf(c);
  return v ? v->widget() : nullptr;
}

ControlView* FormView::addAsked(const Control* c) {
  if (!form_ || !c) return nullptr;
  // Only a live control of this form gets a view (a control unloaded since is gone).
  const std::vector<Control*> live = form_->Controls();
  auto it = std::find(live.begin(), live.end(), c);
  return it == live.end() ? nullptr : addPass(*it, false);
}

bool FormView::onShownPage(const Control* c) const {
  if (c->kind() == Kind::Menu) return true;
  for (const Control* x = c; const Control* box = x->Container(); x = box)
    if (box->kind() == Kind::SSTab && x->ContainerTab() != static_cast<const forms::SSTab*>(box)->Tab())
      return false;
  return true;
}

ControlView* FormView::addPass(Control* asked, bool all) {
  if (!form_) return nullptr;
  // Within a pass (a tab control built in it shows its page), the pass sees to the pages
  // and the stacking.
  if (adding_) return asked ? addControl(asked) : nullptr;
  const vb::ScopedValue<bool> adding(adding_, true);
  const size_t first = order_.size();
  ControlView* v = asked ? addControl(asked) : nullptr;
  for (Control* c : form_->Controls())
    if (!views_.count(c) && (all || onShownPage(c))) addControl(c);
  restackFrom(first);
  return v;
}

void FormView::pageShown() { addPass(nullptr, false); }

void FormView::restackFrom(size_t first) {
  std::set<const QWidget*> parents;
  for (size_t i = first; i < order_.size(); ++i)
    if (QWidget* w = builtWidget(order_[i])) parents.insert(w->parentWidget());
  if (parents.empty() || !form_) return;
  for (Control* c : form_->Controls())
    if (QWidget* w = builtWidget(c); w && parents.count(w->parentWidget())) w->raise();
}

Control* FormView::controlAt(QWidget* w) const {
  for (; w && w != window_; w = w->parentWidget()) {
    for (const auto& [c, v] : views_)
      if (v->widget() == w && v->attached()) return &v->control();
  }
  return nullptr;
}

std::vector<ControlView*> FormView::views() const {
  const_cast<FormView*>(this)->addPass(nullptr, true);
  return builtViews();
}

std::vector<ControlView*> FormView::builtViews() const {
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
    if (ControlView* v = builtView(box))
      if (v->childArea()) return v->childArea();
  }
  return client_;
}

ControlView* FormView::addControl(Control* c) {
  if (!c) return nullptr;
  if (ControlView* v = builtView(c)) return v;
  if (Control* box = c->Container(); box && c->kind() != Kind::Menu) addControl(box);
  QWidget* parent = parentFor(c);
  std::unique_ptr<ControlView> v = makeControlView(*this, *c, parent);
  ControlView* view = v.get();
  views_[c] = std::move(v);
  order_.push_back(c);
  staleControls_.insert(c);
  if (QWidget* w = view->widget()) {
    controlOfWidget_[w] = c;
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
  return view;
}

void FormView::removeControl(Control* c) {
  auto it = views_.find(c);
  if (it == views_.end()) return;
  if (QWidget* w = it->second->widget()) controlOfWidget_.erase(w);
  staleControls_.erase(c);
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
  if (what == Prop::ControlAdded || what == Prop::ControlRemoved) staleWindow_ = true;
  if (what == Prop::ControlAdded) {
    if (onShownPage(&c)) addControl(&c);
    if (c.kind() == Kind::Menu) QTimer::singleShot(0, this, [this] { buildMenus(); });
    syncZOrder();
    return;
  }
  if (what == Prop::ControlRemoved) {
    removeControl(&c);
    return;
  }
  if (&c != form_) return;
  if (what != Prop::Refresh) staleWindow_ = true;
  syncForm(what);
}

bool FormView::anyShownOutOfDate() const {
  for (const Control* c : staleControls_) {
    QWidget* w = builtWidget(c);
    if (w && w->isVisible()) return true;  // a hidden one is painted when it shows
  }
  return false;
}

void FormView::noteChange(const Control* c, Prop what) {
  if (what != Prop::Refresh) staleControls_.insert(c);
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
        // A modal window is modal from its mapping on: a window manager may drop a window
        // that is unmapped and mapped again at once, so it is never shown twice.
        if (f.ShowingModal()) window_->setWindowModality(Qt::ApplicationModal);
        if (!window_->isVisible()) awaitingFirstExposure_ = true;
        window_->show();
        // Shown as the active form (else the activation that follows asks for it).
        if (forms::Screen.ActiveForm() == form_) host_.requestActivation(window_);
        syncFocus();
      } else {
        awaitingFirstExposure_ = false;
        hideWindow();
        // A modal show may end without its loop (the form hid itself while activating, or
        // nobody can answer it): the window's next show may be a modeless one.
        window_->setWindowModality(Qt::NonModal);
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
    case Prop::MousePointer: setPointer(window_, f.MousePointer()); break;
    case Prop::Focus: syncFocus(); break;
    case Prop::Activated:
      if (window_->isVisible()) host_.requestActivation(window_);
      break;
    case Prop::ZOrder:
      // The window comes to the front (or goes to the back) without taking the activation
      // from the window that has it.
      if (window_->isVisible()) {
        if (f.SentToBack()) window_->lower();
        else window_->raise();
      }
      syncZOrder();
      break;
    case Prop::Refresh:
      // A transfer repaints its window between commands without returning to the event
      // loop: let the window system map and paint it (user input stays queued). The progress
      // window's bar has been painted on its own after every command: the window around it
      // is not painted again (see outOfDate).
      if (staleWindow_ || anyShownOutOfDate()) window_->repaint();
      staleWindow_ = false;
      flushPaint();
      awaitFirstExposure();
      break;
    default: break;
  }
}

// A window shown just now and refreshed before the program's work goes on (the splash before
// the connect) is on the screen before that work starts: the work may not let the window system
// in for seconds (a connect that waits out a camera answering at another baud rate), and the
// window would stay unmapped that long. The wait ends when the window system has exposed the
// window, or after kFirstExposureWaitMs. Only the first Refresh after a show waits, and only
// while the window has not been on the screen since: a window the user minimised or left on
// another desktop is refreshed without waiting (a transfer refreshes its progress window after
// every command).
void FormView::awaitFirstExposure() {
  QWindow* handle = window_->windowHandle();
  if (!awaitingFirstExposure_) return;
  awaitingFirstExposure_ = false;
  if (!window_->isVisible() || window_->isMinimized() || !handle || !geometry_->placing()) return;
  const bool onScreen = waitForWindowSystem(kFirstExposureWaitMs, [handle] {
    QGuiApplication::sync();  // the map request is at the window system, its answer is in
    flushPaint();
    return handle->isExposed();
  });
  if (!onScreen) return;
  window_->repaint();
  flushPaint();
  QGuiApplication::sync();
}

void FormView::hideWindow() {
  const bool modal = window_->isModal();
  const unsigned long frame = modal ? windowSystem().managerFrameOf(window_) : 0;
  window_->hide();
  if (modal) repaintUncovered(frame);
}

QPoint FormView::formPlace() const {
  return form_ ? QPoint(px(form_->Left()), px(form_->Top())) : window_->pos();
}

void FormView::userMoved(QPoint at) {
  if (!form_) return;
  // The form's Left and Top follow (no event); the window is where the user put it already.
  const vb::ScopedValue<bool> following(followingUser_, true);
  form_->Move(twips(at.x()), twips(at.y()));
}

// The user resized a window of no fixed size: the form's client size follows (Form_Resize).
void FormView::userResized(QSize size) {
  if (!form_) return;
  const int menuH = client_->y();
  const long w = twips(size.width()), h = twips(std::max(0, size.height() - menuH));
  if (w == form_->ScaleWidth() && h == form_->ScaleHeight()) return;
  client_->resize(size.width(), size.height() - menuH);
  if (menuBar_) menuBar_->resize(size.width(), menuH);
  const vb::ScopedValue<bool> following(followingUser_, true);
  forms::Form* f = form_;
  runUser([f, w, h] { f->ClientSize(w, h); });
}

void FormView::syncWindowGeometry() {
  forms::Form& f = *form_;
  const int menuH = (menuBar_ && !menuBar_->actions().isEmpty()) ? menuBar_->sizeHint().height() : 0;
  const int w = px(f.ScaleWidth()), h = px(f.ScaleHeight());
  if (menuBar_) menuBar_->setGeometry(0, 0, w, menuH);
  client_->setGeometry(0, menuH, w, h);
  Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
  if (f.ControlBox()) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  // Sizable (2) and its tool window (5) take the size the user gives them; the fixed styles
  // (none, fixed single, fixed dialog, fixed tool window) keep theirs, and the window manager
  // is told so by a minimum size equal to the maximum, no maximise button and, for a framed
  // window, hints without resizing (see WindowSystem::forbidResizing). A fixed single window (1) may
  // still be minimised; a dialog or tool window has neither button.
  const bool sizable = f.BorderStyle() == 2 || f.BorderStyle() == 5;
  if (f.ControlBox() && f.MinButton() && (f.BorderStyle() == 1 || f.BorderStyle() == 2))
    flags |= Qt::WindowMinimizeButtonHint;
  if (f.ControlBox() && f.MaxButton() && f.BorderStyle() == 2) flags |= Qt::WindowMaximizeButtonHint;
  // The program's one borderless window is its splash: the window manager is told so (no
  // taskbar entry, placed where the program puts it).
  if (f.BorderStyle() == 0) flags = Qt::SplashScreen | Qt::FramelessWindowHint;
  if (f.BorderStyle() == 4 || f.BorderStyle() == 5) flags |= Qt::Tool;
  if (window_->windowFlags() != flags) {
    const bool shown = window_->isVisible();
    window_->setWindowFlags(flags);
    if (shown) window_->show();
  }
  // A change the user made is in the window already.
  if (followingUser_) return;
  geometry_->setSize({w, h + menuH}, !sizable);
  geometry_->moveTo(formPlace());
}

void FormView::syncFocus() {
  if (!form_ || !window_->isVisible()) return;
  Control* a = form_->ActiveControl();
  // A control not built yet lies on a hidden page: the window keeps the focus.
  QWidget* w = a ? builtWidget(a) : nullptr;
  // The focused control always shows the style's focus mark (the style draws it only after
  // a focus change by the keyboard).
  window_->setAttribute(Qt::WA_KeyboardFocusChange, true);
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
    if (QWidget* w = builtWidget(c)) w->raise();
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
  menuActions_.clear();
  // A title of the menu bar, or an item with items of its own: a menu that tells the model
  // when it opens.
  std::function<void(QMenu*, forms::Menu*)> fill;
  const auto addMenu = [&](auto* into, forms::Menu* item) {
    QMenu* menu = into->addMenu(caption(qs(item->Caption())));
    menu->installEventFilter(this);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, item] { runUser([item] { item->UserOpen(); }); });
    fill(menu, item);
    return menu->menuAction();
  };
  fill = [&](QMenu* menu, forms::Menu* parent) {
    for (forms::Menu* item : parent->Items()) {
      QAction* a = nullptr;
      if (!item->Items().empty()) {
        a = addMenu(menu, item);
      } else if (item->IsSeparator()) {
        a = menu->addSeparator();
      } else {
        a = menu->addAction(caption(qs(item->Caption())));
        a->setShortcut(shortcutOf(item->Shortcut()));
        QObject::connect(a, &QAction::triggered, a, [this, item] { runUser([item] { item->UserClick(); }); });
      }
      a->setObjectName(qs(item->DisplayName()));
      menuActions_[item] = a;
      syncMenu(item);
    }
  };
  for (forms::Menu* title : titles) {
    QAction* a = addMenu(menuBar_, title);
    a->setObjectName(qs(title->DisplayName()));
    menuActions_[title] = a;
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

void FormView::openMenuBar() {
  if (!menuBar_) return;
  for (QAction* a : menuBar_->actions())
    if (a->isVisible() && a->isEnabled()) {
      menuBar_->setActiveAction(a);
      return;
    }
}

bool FormView::handleKey(QKeyEvent* e, Control* target) {
  if (!form_) return true;
  const Qt::KeyboardModifiers mods = e->modifiers();
  // F10 opens the menu bar; the keys then go to the menus, never to a control.
  if (form_->IsMenuKey(keyCode(*e), shiftMask(mods))) {
    openMenuBar();
    return true;
  }
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
  try {
    input();
  } catch (const vb::Error& e) {
    forms::host().UnhandledError("user input", e.Number(), e.Description());
  } catch (const std::exception& e) {
    forms::host().UnhandledError("user input", 0, e.what());
  }
  if (self && form_) syncFocus();
}

void FormView::windowActivated() {
  if (host_.answersActivation(window_) || !form_ || forms::Screen.ActiveForm() == form_) return;
  // The model refuses a hidden, disabled or blocked form itself.
  forms::Form* f = form_;
  host_.userActivates([this, f] { runUser([f] { f->UserActivate(); }); });
}

// Keys in an open menu are the menu's own, but F1, which asks for the help of the highlighted
// item.
bool FormView::menuKey(QMenu* menu, QKeyEvent* e) {
  if (e->key() != Qt::Key_F1 || !menu->activeAction()) return false;
  for (const auto& [item, action] : menuActions_) {
    if (action != menu->activeAction()) continue;
    auto* m = const_cast<forms::Menu*>(item);
    runUser([m] { m->UserHelp(); });
    return true;
  }
  return false;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  if (!form_) return false;
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  if (event->type() == QEvent::Paint) {
    // Painted whole: the widget shows its control as it is now.
    auto it = controlOfWidget_.find(w);
    if (it != controlOfWidget_.end() && QRegion(w->rect()).subtracted(static_cast<QPaintEvent*>(event)->region()).isEmpty())
      staleControls_.erase(it->second);
    return false;
  }
  if (auto* menu = qobject_cast<QMenu*>(w))
    return event->type() == QEvent::KeyPress && menuKey(menu, static_cast<QKeyEvent*>(event));
  switch (event->type()) {
    case QEvent::WindowActivate:
      if (w == window_) windowActivated();
      return false;
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      altTapped_ = e->key() == Qt::Key_Alt && !(e->modifiers() & ~Qt::AltModifier);
      return handleKey(e, form_->ActiveControl());
    }
    case QEvent::KeyRelease: {
      // The Alt key pressed and let go on its own opens the menu bar, as on the desktop.
      auto* e = static_cast<QKeyEvent*>(event);
      if (e->key() == Qt::Key_Alt && altTapped_ && !e->isAutoRepeat()) {
        altTapped_ = false;
        openMenuBar();
        return true;
      }
      return w != window_;
    }
    case QEvent::ShortcutOverride:
      // A key the window system may take as a shortcut (Alt with a letter) is another key.
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt) altTapped_ = false;
      return false;
    case QEvent::Shortcut: {
      // An access key the widget claimed for itself (a frame's caption) is the model's.
      auto* e = static_cast<QShortcutEvent*>(event);
      if (w == window_ || !controlAt(w) || e->key().isEmpty()) return false;
      const int code = keyCode(e->key()[0].key(), {});
      forms::Form* f = form_;
      if (code) runUser([f, code] { f->UserKey(code, forms::vbAltMask); });
      return true;
    }
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
    case QEvent::MouseMove:
      return mouseEvent(w, static_cast<QMouseEvent*>(event));
    default:
      return false;
  }
}

// The mouse on a control: the model gets MouseDown at the pointer (which moves the focus
// where a click takes it), MouseUp at the pointer, and Click when the left button comes up
// over the control it went down on. Scroll bars, up-downs and the tab strip work the model
// through their widgets' signals; a combo box only takes the focus.
bool FormView::mouseEvent(QWidget* w, QMouseEvent* e) {
  Control* c = controlAt(w);
  ControlView* v = c ? builtView(c) : nullptr;
  if (!v || !v->widget()) return false;
  const Kind k = c->kind();
  const QEvent::Type type = e->type();
  if (k == Kind::ComboBox) {
    if (type != QEvent::MouseButtonPress || e->button() != Qt::LeftButton) return false;
    runUser([c] { c->UserFocus(); });
    return !form_ || form_->ActiveControl() != c;  // Validate kept the focus elsewhere
  }
  const bool button = k == Kind::CommandButton || k == Kind::CheckBox || k == Kind::OptionButton;
  if (!button && k != Kind::TextBox && k != Kind::Label && k != Kind::Image && k != Kind::Frame &&
      k != Kind::PictureBox)
    return false;
  // The widget's own input: a text box places its caret and selects; the model decides the rest.
  const bool widgetSees = k != Kind::PictureBox && !button;
  QPointF p = w->mapTo(v->widget(), e->position());
  if (k == Kind::PictureBox) p -= QPointF(v->childOrigin());  // the client area, inside the border
  const double x = p.x(), y = p.y();
  const int shift = shiftMask(e->modifiers());
  const int mouseButton = buttonMask(type == QEvent::MouseMove ? e->buttons() : Qt::MouseButtons(e->button()));
  auto* qbutton = button ? static_cast<QAbstractButton*>(v->widget()) : nullptr;
  switch (type) {
    case QEvent::MouseMove:
      if (k != Kind::PictureBox) return false;
      runUser([c, mouseButton, shift, x, y] { c->UserMouseMove(mouseButton, shift, x, y); });
      return true;
    case QEvent::MouseButtonDblClick:
      // A button takes a double click as a second click.
      if (!button) {
        if (k == Kind::TextBox)
          QTimer::singleShot(0, this, [this, c] {
            if (ControlView* tv = builtView(c); tv && tv->attached()) tv->reportSelection();
          });
        runUser([c] { c->UserDblClick(); });
        return !widgetSees;
      }
      [[fallthrough]];
    case QEvent::MouseButtonPress: {
      bool down = false;
      runUser([c, mouseButton, shift, x, y, &down] { down = c->UserMouseDown(mouseButton, shift, x, y); });
      const bool alive = form_ && builtView(c);
      pressed_ = alive && down && e->button() == Qt::LeftButton ? c : nullptr;
      if (!alive || !down) return true;  // the press goes no further
      if (qbutton && e->button() == Qt::LeftButton) qbutton->setDown(true);
      return !widgetSees;
    }
    case QEvent::MouseButtonRelease: {
      const bool click = e->button() == Qt::LeftButton && pressed_ == c &&
                         (k == Kind::PictureBox || v->widget()->rect().contains(p.toPoint()));
      if (e->button() == Qt::LeftButton) pressed_ = nullptr;
      if (qbutton) qbutton->setDown(false);
      // The selection the user dragged is the model's before MouseUp and Click.
      if (k == Kind::TextBox && e->button() == Qt::LeftButton && v->attached()) v->reportSelection();
      if (click) runUser([c, mouseButton, shift, x, y] { c->UserMouseUpClick(mouseButton, shift, x, y); });
      else runUser([c, mouseButton, shift, x, y] { c->UserMouseUp(mouseButton, shift, x, y); });
      return !widgetSees;
    }
    default:
      return false;
  }
}

}  // namespace qtview
