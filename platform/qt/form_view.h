#pragma once
// The Qt Widgets view of one loaded form of the headless forms model (platform/forms).
//
// One top-level window per loaded form, one widget per control once it is needed (QLineEdit,
// QLabel, QCheckBox, QRadioButton, QGroupBox, QPushButton, QScrollBar, spin buttons for the
// up-down, QComboBox, painted widgets for picture boxes, shapes and lines, QProgressBar, a tab
// strip for the SSTab, QMenuBar; see viewOf). The model is the single source of truth: every widget mirrors
// its control's properties (through the control's observer), and user input never changes a
// widget directly but goes to the model's User... entry points, whose events then come back
// as property changes. So keys reach a text box as KeyDown before the key changes the text,
// the focus moves only where the model lets it (Validate), and option groups, up-down
// buddies and scroll ranges behave exactly as the model says.
//
// Geometry is the model's twips at 15 per pixel. The tab strip of an SSTab takes
// kTabRowTwips per row of tabs at its top; the controls of a page are placed in the SSTab's
// own coordinates, so a layout starts its page contents below the rows that all its tabs take.
// When hidden tabs leave fewer rows, the pages' contents move up with them.
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/qt/window_system.h"

class QMenuBar;
class QMenu;
class QAction;

namespace qtview {

// Height of one row of tabs of an SSTab, in twips.
constexpr long kTabRowTwips = 330;

class FormView;
class QtHost;
class WindowGeometry;

// True while the view lets the window system paint in the middle of the program's work
// (a Refresh); the host then keeps the program's posted tasks for later.
bool flushingPaint();

// The view of one control: its widget, kept in step with the control.
class ControlView {
 public:
  ControlView(FormView& form, forms::Control& control) : form_(form), control_(&control) {}
  virtual ~ControlView();
  forms::Control& control() const { return *control_; }
  // The widget (nullptr for controls without one: menus, common dialogs).
  QWidget* widget() const { return widget_.data(); }
  // The widget that holds the children of a container control.
  QWidget* childArea() const { return widget_; }
  // Offset of the children's origin inside childArea(), in pixels.
  virtual QPoint childOrigin() const { return {}; }
  // Brings the widget in step with one property group of the control.
  void sync(forms::Prop what);
  // Brings every property in step.
  void syncAll();
  // Tells the model the selection the user made in the widget with the mouse (text boxes).
  virtual void reportSelection() {}
  // Stops talking to the control (it is about to go).
  void detach();
  bool attached() const { return control_ != nullptr && subscription_ != 0; }
  void subscribe();

 protected:
  // The properties a kind of control shows in its own way; false leaves `what` to the common
  // ones: geometry, visibility, enabled state, colours, font, tool tip, pointer.
  virtual bool syncKind(forms::Prop) { return false; }
  virtual void syncGeometry();
  virtual void syncVisible();
  virtual void syncEnabled();
  virtual void syncColors();
  void syncPalette(bool backIsBase);
  // Where the origin of this control's container's children lies, in pixels.
  QPoint containerOrigin() const;
  // True while the view writes the widget (its signals are then not user input).
  bool syncing() const { return syncing_ > 0; }
  struct SyncGuard {
    explicit SyncGuard(ControlView& v) : v_(v) { ++v_.syncing_; }
    ~SyncGuard() { --v_.syncing_; }
    ControlView& v_;
  };

  FormView& form_;
  forms::Control* control_;
  QPointer<QWidget> widget_;  // a container's widget deletes its children's with it
  int subscription_ = 0;
  int syncing_ = 0;
  friend class FormView;
};

// The window of one loaded form.
class FormView : public QObject {
  Q_OBJECT
 public:
  FormView(forms::Form& form, QtHost& host);
  ~FormView() override;

  forms::Form& form() const { return *form_; }
  // The top-level window.
  QWidget* window() const { return window_; }
  // The client area (below the menu bar), where the form's own controls sit.
  QWidget* client() const { return client_; }
  // A control's view and widget are built when first needed: when the page of a tab control
  // that holds it shows (a control on no such page is built with the window), or when anyone
  // asks for them here. Until then the control has no widget; the widget, once built, shows
  // the control as it is then.
  //
  // The view of a control (built now if it was not yet), or nullptr when the control is not
  // one of this window's.
  ControlView* viewOf(const forms::Control* c) const;
  // The widget of a control (built now if it was not yet), or nullptr.
  QWidget* widgetOf(const forms::Control* c) const;
  // The control shown by a widget (or by its nearest ancestor that shows one), or nullptr.
  forms::Control* controlAt(QWidget* w) const;
  // Every control's view (building those not yet built), in the order they were built.
  std::vector<ControlView*> views() const;
  // The views built so far, in the order they were built.
  std::vector<ControlView*> builtViews() const;
  // A tab control shows another page: builds the views of the controls now shown.
  void pageShown();
  QMenuBar* menuBar() const { return menuBar_; }
  // The action of a menu item, or nullptr.
  QAction* actionOf(const forms::Menu* m) const;

  // Stops talking to the model (the form is unloading) and closes the window.
  void detach();
  bool attached() const { return form_ != nullptr; }

  // Focus the widget of the model's active control.
  void syncFocus();
  // Restack the widgets as the model's z-order says.
  void syncZOrder();
  // The font of a control's model font in this window.
  QFont fontOf(const forms::Font& f) const;
  bool japanese() const { return japanese_; }

  // A control's model changed (`what`): its widget is out of date until it is painted whole.
  void noteChange(const forms::Control* c, forms::Prop what);
  // True while the control's widget has not been painted whole since its model last changed.
  // A Refresh repaints only what is out of date: painting the same pixels again shows nothing
  // new, while the pass through the events still paints what Qt has pending.
  bool outOfDate(const forms::Control* c) const { return staleControls_.count(c) > 0; }

  // Input plumbing used by the control views.
  bool handleKey(QKeyEvent* e, forms::Control* target);
  // Opens the first menu of the menu bar, as F10 (or the Alt key on its own) does.
  void openMenuBar();
  void runUser(const std::function<void()>& input);

 signals:
  // The form was hidden or unloaded (modal loops watch this).
  void modalMaybeDone();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool menuKey(QMenu* menu, QKeyEvent* e);

 private:
  friend class ControlView;
  void build();
  // Builds the view of a control (and of its containers first) unless it is built already.
  ControlView* addControl(forms::Control* c);
  // Builds the view of `asked` (when given) and those not built yet of the controls on shown
  // pages (`all`: of every control); returns the view of `asked`.
  ControlView* addPass(forms::Control* asked, bool all);
  // Builds the view of a control someone asked for.
  ControlView* addAsked(const forms::Control* c);
  ControlView* builtView(const forms::Control* c) const;
  // The widget of a built view, or nullptr (builds nothing).
  QWidget* builtWidget(const forms::Control* c) const;
  // False when the control lies on a page of a tab control (or inside a control on one) that
  // is not the shown page.
  bool onShownPage(const forms::Control* c) const;
  // New widgets go in front of their siblings: the siblings of the views built from `first`
  // on are stacked again in the model's order.
  void restackFrom(size_t first);
  void removeControl(forms::Control* c);
  void syncForm(forms::Prop what);
  bool anyShownOutOfDate() const;
  void syncWindowGeometry();
  void awaitFirstExposure();
  // Where the form says the window's frame belongs.
  QPoint formPlace() const;
  // The user moved or resized the window: the form follows.
  void userMoved(QPoint at);
  void userResized(QSize size);
  // Hides the window; a modal one has the windows it covered painted again first.
  void hideWindow();
  void buildMenus();
 public:
  void syncMenu(forms::Menu* m);
 private:
  QWidget* parentFor(forms::Control* c) const;
  void onFormEvent(forms::Control& c, forms::Prop what);
  // The window system made the window active: the user's switch goes to the model.
  void windowActivated();
  // A mouse event on a control's widget (or a part of it); true when it goes no further.
  bool mouseEvent(QWidget* w, QMouseEvent* e);

  forms::Form* form_;
  QtHost& host_;
  QWidget* window_ = nullptr;
  WindowGeometry* geometry_ = nullptr;  // the window's, deleted with it
  QWidget* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  std::unordered_map<const forms::Control*, std::unique_ptr<ControlView>> views_;
  std::vector<const forms::Control*> order_;  // the built views, in the order they were built
  bool adding_ = false;  // in addPass
  std::map<const forms::Menu*, QAction*> menuActions_;
  int formSubscription_ = 0;
  const forms::Control* pressed_ = nullptr;  // where the left button went down, if the press went through
  bool japanese_ = false;
  bool followingUser_ = false;  // the form follows a move or resize the user made
  // Shown and not refreshed since: the next Refresh waits for the window to be on the screen
  // (see awaitFirstExposure).
  bool awaitingFirstExposure_ = false;
  bool menusBuilt_ = false;
  bool altTapped_ = false;  // the Alt key is down and no other key came since
  // The controls whose widgets are out of date, and whether the window itself is (its own
  // properties changed, or controls came or went, since its last whole repaint).
  std::set<const forms::Control*> staleControls_;
  bool staleWindow_ = true;
  std::unordered_map<const QWidget*, const forms::Control*> controlOfWidget_;
};

}  // namespace qtview
