#pragma once
// Forms (windows), the Forms collection, default instances and the Screen object.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control_array.h"

namespace forms {

// ---- Form ------------------------------------------------------------------------------------
// A window. Derive from it, declare the controls as members, override the Form_ handlers.
class Form : public Control {
 public:
  // `layout`: the resource path of the layout ("" = "forms/<name>.txt"; NoLayout = none).
  explicit Form(std::string name, std::string layout = "");
  ~Form() override;
  static constexpr const char* NoLayout = "-";
  // Use a layout given as text instead of the resource (tests).
  void UseLayoutText(std::string text);

  // Life cycle.
  bool Loaded() const { return loaded_; }
  // Load: the layout, then Form_Load. Nothing when loaded already.
  void Load();
  // Show: loads first if needed; modal Show returns when the form is hidden or unloaded
  // (400 when the form is visible already; 401 for a modeless Show while a modal form is
  // up; 364 when the form unloaded itself while loading).
  void Show(int modal = vbModeless);
  void Hide();
  // Unload: QueryUnload(Cancel, vbFormCode), Unload(Cancel); either may keep the form.
  // Nothing when not loaded. Returns true when the form was unloaded.
  bool Unload() { return unload(vbFormCode); }
  bool IsModal() const { return modal_; }
  // True while a modal Show makes the form visible: a view then opens its window as a modal
  // one from the start.
  bool ShowingModal() const { return showingModal_; }
  // True when the last ZOrder of the form sent it to the back (else it came to the front).
  bool SentToBack() const { return sentToBack_; }
  // True when a modal Show may return (the form is hidden or unloaded).
  bool ModalDone() const { return !loaded_ || !c_.Visible; }

  // Properties (Left/Top/Width/Height are the outer window in twips).
  const std::string& Caption() const;
  void Caption(const std::string& v);
  const std::string& Icon() const;
  void Icon(const std::string& v);
  long ScaleWidth() const;   // client area, twips
  long ScaleHeight() const;
  void ClientSize(long width, long height);  // sets Width/Height from a client size
  int WindowState() const;
  void WindowState(int v);
  bool KeyPreview() const;
  void KeyPreview(bool v);
  int BorderStyle() const;
  void BorderStyle(int v);
  bool ControlBox() const;
  bool MinButton() const;
  bool MaxButton() const;
  int StartUpPosition() const;
  Control* ActiveControl() const { return active_; }
  // Non-client allowance (twips) between Width/Height and the client area.
  long FrameWidth() const;
  long FrameHeight() const;
  // The same allowance as the screen shows the window: the frame the window manager draws
  // where the host knows it (else FrameWidth/FrameHeight), the menu bar included. The window
  // takes ScaleWidth + FrameWidthOnScreen by ScaleHeight + FrameHeightOnScreen from its Left
  // and Top.
  long FrameWidthOnScreen() const;
  long FrameHeightOnScreen() const;

  // Every live control of the form, in z-order (later = in front). Empty when not loaded.
  std::vector<Control*> Controls() const;
  // A control by name ("lblData") and index (-1 for a non-array control); nullptr if none.
  Control* FindControl(const std::string& name, int index = -1) const;
  // The controls in tab order.
  std::vector<Control*> TabOrder() const;
  // The menu titles (top-level menu items) in layout order.
  std::vector<Menu*> MenuBar() const;
  CommandButton* DefaultButton() const;
  CommandButton* CancelButton() const;

  // User input on the form (to the focused control, or the form when none has the focus).
  // UserKey: a key by its code (the character it types follows from the code and Shift, US
  // layout); UserKeyStroke: a key with the character the keyboard gave (0 for none; a
  // Unicode code point otherwise), as a view gets it; UserType: characters.
  // Keys for the window's own keyboard interface are taken there: Tab and Shift+Tab move
  // through the tab order; Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp change
  // the page of the tab control (as a click on the tab); Alt with a control's access key
  // clicks a button, toggles a check box, selects an option button, moves the focus on from
  // a label or frame, or selects the page of a tab caption; F10 is the menu bar's (no key
  // events, see IsMenuKey).
  bool UserKey(int keyCode, int shift = 0);
  bool UserKeyStroke(int keyCode, int shift, int character);
  // True when the key opens the menu bar (F10 on a form with a visible menu title): the view
  // opens its menus, and no control sees the key.
  bool IsMenuKey(int keyCode, int shift) const;
  bool UserType(const std::string& text);
  // The user moved or resized the window (twips); Form_Resize when the size changed.
  bool UserMoveResize(long left, long top, long width, long height);
  bool UserClose();  // QueryUnload(vbFormControlMenu); true when the form was unloaded
  // The user made the form's window the active one: the active form gets Deactivate, this
  // one Activate (and its first control the focus when none has it). True when the form is
  // the active form afterwards; false (no events) when it takes no input (hidden,
  // disabled, below a modal form).
  bool UserActivate();
  // Whether the form takes user input now (loaded, visible, enabled, not below a modal form).
  bool AcceptsInput() const;

  // Event handlers of the window (override the ones the window has).
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Deactivate() {}
  virtual void Form_QueryUnload(int& Cancel, int UnloadMode) {}
  virtual void Form_Unload(int& Cancel) {}
  virtual void Form_Resize() {}
  virtual void Form_GotFocus() {}
  virtual void Form_LostFocus() {}
  virtual void Form_KeyDown(int& KeyCode, int Shift) {}
  virtual void Form_KeyPress(int& KeyAscii) {}
  virtual void Form_KeyUp(int& KeyCode, int Shift) {}
  virtual void Form_Click() {}
  virtual void Form_DblClick() {}
  virtual void Form_MouseDown(int Button, int Shift, float X, float Y) {}
  virtual void Form_MouseMove(int Button, int Shift, float X, float Y) {}
  virtual void Form_MouseUp(int Button, int Shift, float X, float Y) {}
  virtual void Form_OLEDragDrop(const DataObject& Data) {}

  void ResetDesign() override;
  bool ApplyLayout(const std::string& key, const std::string& value) override;

  // --- used by the forms layer ---
  void registerMember(Control* c);
  void unregisterMember(Control* c);
  void registerArray(ControlArrayBase* a);
  void unregisterArray(ControlArrayBase* a);
  void addLive(Control* c);      // a control came to life (array member loaded)
  void removeLive(Control* c);   // a control is about to be destroyed
  void placeInTabOrder(Control* c, int index);  // -1 = last
  void focusTo(Control* target);  // the focus move (checks done by the caller)
  void keyStroke(Control* target, int keyCode, int shift, int ascii);
  void activate();
  bool unload(int mode);
  bool unloading() const { return unloading_; }
  bool loading() const { return loading_; }
  void beginImplicitLoad();
  void setDefaultButton(CommandButton* b, bool on);
  void setCancelButton(CommandButton* b, bool on);
  void tabNavigate(bool backwards);
  // The next control the focus can take after `from` in the tab order (nullptr: none).
  Control* nextTabStop(Control* from, bool backwards) const { return nextInTabOrder(from, backwards); }

 protected:
  void onUserClick() override;
  void toScale(double xPixels, double yPixels, float& x, float& y) const override;

 private:
  friend class Control;
  friend class Menu;
  long pendingClientWidth_ = -1, pendingClientHeight_ = -1;
  bool announced_ = false;  // the host has been told of the load
  long menuBarHeight() const;  // twips, 0 without a menu bar
  void notifyAbout(Control& c, Prop what);
  void activatePrevious();
  bool isLive(const Control* c) const;
  bool tabCandidate(Control* c) const;
  Control* nextInTabOrder(Control* from, bool backwards) const;
  // Alt with a letter or digit: the control (or tab page) whose access key it is acts; true
  // when one did.
  bool accessKey(int key);
  // Ctrl+Tab, Ctrl+PageDown and their backward keys on the tab control of `target` (or the
  // form's first one); true when the key was one of them and a tab control took it.
  bool pageKey(Control* target, int keyCode, int shift);
  void applyLayout();
  void destroyLive();
  // A control of the layout that the class does not declare.
  std::unique_ptr<Control> createExtra(Kind kind, const std::string& name);
  ControlArrayBase* createExtraArray(Kind kind, const std::string& name);
  std::vector<std::unique_ptr<ControlArrayBase>> extraArrays_;
  void place();
  bool placed_ = false;  // placed on the screen since the load
  struct Props {
    std::string Caption, Icon;
    int WindowState = 0, BorderStyle = 2, StartUpPosition = 3;
    bool KeyPreview = false, ControlBox = true, MinButton = true, MaxButton = true;
  };
  Props f_;
  std::string layoutName_;
  std::optional<std::string> layoutText_;
  std::vector<Control*> members_;                 // declared controls
  std::vector<ControlArrayBase*> arrays_;         // declared arrays
  std::vector<std::unique_ptr<Control>> extras_;  // layout controls the class does not declare
  std::vector<Control*> live_;                    // z-order
  std::vector<Control*> tabOrder_;
  Control* active_ = nullptr;
  CommandButton* default_ = nullptr;
  CommandButton* cancel_ = nullptr;
  bool loaded_ = false, loading_ = false, unloading_ = false, modal_ = false, showingModal_ = false;
  bool sentToBack_ = false;
  bool focusMoving_ = false;
  Control* focusTarget_ = nullptr;
  int loadGeneration_ = 0;
};

// Free forms of the statements.
inline void Load(Form& f) { f.Load(); }
inline bool Unload(Form& f) { return f.Unload(); }

// ---- The application's forms and the screen ------------------------------------------------
// Every existing form (created, loaded or not), in creation order.
std::vector<Form*> AllForms();
// The loaded forms (the Forms collection).
std::vector<Form*> LoadedForms();
// The topmost modal form, or nullptr.
Form* TopModalForm();

// The default instance of a window class, created on first use (the window's name used as
// a variable). ReleaseDefaultInstances() unloads (without events) and destroys them all.
namespace detail {
void registerInstance(void (*release)());
}
template <class T>
T& DefaultInstance() {
  static T* instance = nullptr;
  if (!instance) {
    instance = new T();
    detail::registerInstance([] {
      delete instance;
      instance = nullptr;
    });
  }
  return *instance;
}
void ReleaseDefaultInstances();

class ScreenObject {
 public:
  // The screen's pointer overrides every form's until set back to 0; changes go to the host.
  int MousePointer() const { return mousePointer_; }
  void MousePointer(int v);
  Form* ActiveForm() const;
  Control* ActiveControl() const;
  long Width() const { return width_; }
  long Height() const { return height_; }
  // The screen's size in twips; the work area becomes the whole screen.
  void SetSize(long widthTwips, long heightTwips) {
    width_ = widthTwips;
    height_ = heightTwips;
    work_ = {0, 0, widthTwips, heightTwips};
  }
  // The work area: the screen less the desktop's panels (twips). Windows open inside it.
  struct Area {
    long Left = 0, Top = 0, Width = 0, Height = 0;
  };
  const Area& WorkArea() const { return work_; }
  void SetWorkArea(const Area& a) { work_ = a; }
  static constexpr long TwipsPerPixelX() { return 15; }
  static constexpr long TwipsPerPixelY() { return 15; }

 private:
  int mousePointer_ = 0;
  long width_ = 1920 * 15, height_ = 1080 * 15;
  Area work_{0, 0, 1920 * 15, 1080 * 15};
};
extern ScreenObject Screen;

// comctl32 InitCommonControls: nothing to do here; kept so that windows can say it.
inline void InitCommonControls() {}

// Whether assigning the same text to a TextBox or Label raises Change (default: no).
void SetChangeOnSameText(bool on);

// The program's end has begun (its shutdown runs): from then on, touching a control or a
// property of a form that is not loaded no longer loads it and runs no Form_Load (the control
// answers with what it held when the form was unloaded). An explicit Load or Show of a form,
// and ReleaseDefaultInstances, end this state.
void BeginProgramEnd();
bool ProgramEnding();

}  // namespace forms
