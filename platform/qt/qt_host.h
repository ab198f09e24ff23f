#pragma once
// The Host of the forms model on Qt: real message boxes and file dialogs, DoEvents as
// processEvents, the hourglass as an override cursor, modal windows through a nested event
// loop, help and links opened with the desktop's opener, and a view window for every loaded
// form.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/forms/host.h"
#include "platform/qt/activation.h"

class QEventLoop;
class QWidget;

namespace qtview {

class FormView;

class QtHost : public forms::Host {
 public:
  QtHost();
  ~QtHost() override;

  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
  bool FileDialog(forms::FileDialogRequest& request) override;
  void RunModal(forms::Form& form) override;
  void DoEvents() override;
  void Post(std::function<void()> task) override;
  void MousePointerChanged(int pointer) override;
  void ShowHelp(const std::string& helpFile, long context) override;
  bool OpenDocument(const std::string& target) override;
  forms::TextSize MeasureText(const std::string& text, const forms::Font& font) override;
  bool FrameOf(int borderStyle, forms::WindowFrame& frame) override;
  void FormLoaded(forms::Form& form) override;
  void FormUnloaded(forms::Form& form) override;
  // The session ends: the message boxes and file dialogs up now are closed as cancelled, and
  // each modal window is closed as by its close box once the work running inside it is done.
  void EndSession() override;

  // The view of a loaded form (nullptr when it is not loaded).
  FormView* viewOf(const forms::Form& form) const;
  // Called when the last loaded form has gone (the program then ends).
  std::function<void()> onNoFormLoaded;
  // Closes every view window (at the end of the session).
  void closeAll();
  // Unattended (the offscreen platform, which nobody can see): message boxes go to standard
  // error as "[title] prompt" and take their default button, file dialogs are cancelled and
  // modal windows are closed as by their close box, so that the program never waits for an
  // answer nobody can give. Windows are still built and drawn.
  void setUnattended(bool on) { unattended_ = on; }
  bool unattended() const { return unattended_; }
  // Depth of nested modal loops running now.
  int modalDepth() const { return modalDepth_; }
  // The program is in the middle of its work: it paints while it works, runs DoEvents, or waits
  // for the answer to a message box, a file dialog or a modal window (which an operation may
  // show between its transfers). Events then reach it inside that work.
  bool atWork() const;

  // Raises a window and asks the window system to activate it for the program (the model made
  // its form the active one), unless it will be active anyway; the activation reported for it
  // then is not taken as the user's (see ActivationRecord).
  void requestActivation(QWidget* window);
  // The window system activated `window`: true when that answers the program's request.
  bool answersActivation(QWidget* window) { return activations_.answers(window); }
  // Runs the model's side of the user's switch to another window, unless a switch is still
  // raising its events (a handler that opens a message box makes the window system move the
  // activation again).
  void userActivates(const std::function<void()>& activate);
  // The window a dialog belongs to: the active modal window, else the active window, else the
  // window of the active form.
  QWidget* dialogParent() const;

 private:
  void checkNoForm();
  void schedulePosted();
  static forms::TextSize measure(const std::string& text, const forms::Font& font, bool japanese);
  // Texts measured so far, by text and the font's size and style (the face is the catalogue's).
  using MeasureKey = std::tuple<std::string, double, bool, bool, bool>;
  static constexpr size_t kMeasuredKept = 4096;
  std::map<MeasureKey, forms::TextSize> measured_;
  std::map<const forms::Form*, FormView*> views_;
  int modalDepth_ = 0;
  int working_ = 0;  // DoEvents, message boxes and file dialogs running now
  std::vector<QPointer<QDialog>> asking_;  // the message boxes and file dialogs up now
  std::vector<QEventLoop*> modalLoops_;    // the loops of the modal windows shown now
  int pointer_ = 0;
  bool unattended_ = false;
  ActivationRecord activations_;
  bool activatingForUser_ = false;
};

// True when a Qt platform can be opened here: a display (DISPLAY or WAYLAND_DISPLAY) or a
// platform named in QT_QPA_PLATFORM. `why` receives the message to show otherwise.
bool displayAvailable(QString* why = nullptr);

}  // namespace qtview
