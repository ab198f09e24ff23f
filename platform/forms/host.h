#pragma once
// Everything the user answers goes through the Host: message boxes, file dialogs, DoEvents,
// the mouse pointer, modal windows, help, opening a document. The Qt front end implements
// it with real dialogs and a nested event loop; tests use forms::ScriptedHost
// (platform/forms/scripted_host.h), which answers from a script.
#include <functional>
#include <string>
#include <vector>

namespace forms {

class Form;
class Control;
struct Font;

// Message-box buttons, icons and default button (added together, as the run time does).
enum MsgBoxStyle : int {
  vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
  vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512, vbDefaultButton4 = 768,
  vbApplicationModal = 0, vbSystemModal = 4096,
};
// Message-box results.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The answer a message box gives when the user just confirms it (Enter on the default
// button): used by hosts that cannot ask anybody.
int DefaultMsgBoxAnswer(int buttons);
// The answer of a message box closed as cancelled: Cancel where the box has it, No for Yes/No,
// Abort for Abort/Retry/Ignore, OK for OK alone. The end of the desktop session answers so.
int CancelMsgBoxAnswer(int buttons);

// What a file dialog is asked to show, and what it gives back.
struct FileDialogRequest {
  bool Save = false;           // ShowSave (true) or ShowOpen (false)
  std::string DialogTitle;     // "" = the host's default ("Open" / "Save As")
  std::string Filter;          // "Text (*.txt)|*.txt|All files (*.*)|*.*"
  int FilterIndex = 1;         // 1-based; out: the pair chosen
  std::string InitDir;
  std::string DefaultExt;      // without dot
  long Flags = 0;              // cdlOFN... flags
  std::string FileName;        // in: initial name; out: chosen full path
};

// The frame a window manager draws around a window (twips): its title bar and borders, not
// the window's menu bar.
struct WindowFrame {
  long Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Size of a text in twips.
struct TextSize {
  long Width = 0;
  long Height = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Shows a message box and returns the button pressed.
  virtual int MsgBox(const std::string& prompt, int buttons, const std::string& title) = 0;

  // Shows an open or save dialog. True with request.FileName (and FilterIndex) set when the
  // user chose a file; false when the user cancelled. Default: cancelled.
  virtual bool FileDialog(FileDialogRequest& request) { return false; }

  // Runs the user's side while `form` is shown modally. Must return once the form is hidden
  // or unloaded (Form::ModalDone() is then true). The Qt host runs a nested event loop; the
  // scripted host calls the test's callback. Default: the form is closed as by its close box.
  virtual void RunModal(Form& form);

  // Lets queued events run (posted tasks, the scripted user's queued actions). The base
  // implementation runs the posted tasks.
  virtual void DoEvents();
  // Queues a task to run when the program next waits for input (after the current user
  // event has been handled, or at DoEvents). Used by SendKeys without wait.
  virtual void Post(std::function<void()> task);
  // Runs the posted tasks now (called by the forms layer when an outermost user event ends,
  // and by DoEvents). The Qt host may run them from its own event loop instead.
  void RunPosted();

  // The screen's mouse pointer changed (vbDefault, vbHourglass, ...).
  virtual void MousePointerChanged(int pointer) {}
  // F1 / SendKeys "{F1}": show the help file at a context number (0 = contents).
  virtual void ShowHelp(const std::string& helpFile, long context) {}
  // Opens a document or URL with the system's viewer (ShellExecute "open"); true when started.
  virtual bool OpenDocument(const std::string& target) { return false; }
  // Measures a text in a font (twips). The default assumes a fixed average character
  // width; the Qt host measures with the real font.
  virtual TextSize MeasureText(const std::string& text, const Font& font);
  // The frame the desktop draws around a window of the border style (twips). True with `frame`
  // set when the host knows it; false where the platform's standard metrics stand (the
  // default, and a display without a window manager).
  virtual bool FrameOf(int borderStyle, WindowFrame& frame) { return false; }
  // A form was loaded (its controls exist) or unloaded (they are about to go).
  virtual void FormLoaded(Form& form) {}
  virtual void FormUnloaded(Form& form) {}
  // A run-time error escaped an event handler raised by user input. The program's handlers
  // trap their own errors, so this is a fault; the default writes it to standard error.
  virtual void UnhandledError(const std::string& where, long number, const std::string& description);

  // The desktop session ends (a logout, the terminal closed, Ctrl+C in it: SIGTERM, SIGHUP,
  // SIGINT), which the program cannot refuse. From the signal on (serial::SessionEnded) every
  // question and modal window is closed as cancelled, a read of the camera, a status poll or a
  // batch stops at its next command, and the program ends by itself once the change to the
  // camera under way is done. The front end calls EndSession once; the Qt host then closes the
  // questions and windows open at that moment.
  bool SessionEnding() const;
  virtual void EndSession() { sessionEnding_ = true; }

 private:
  bool sessionEnding_ = false;
  std::vector<std::function<void()>> posted_;
  bool runningPosted_ = false;
};

// The host in use. Before one is installed, a host that writes message boxes to standard
// error and answers with the default button stands in.
Host& host();
void setHost(Host* h);

// The run time's MsgBox: shows through the current host.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = "");

// Whether the desktop session is ending (Host::SessionEnding of the host in use).
bool SessionEnding();

// The run time's DoEvents: lets queued events run; returns the number of loaded forms.
int DoEvents();

// A pause the user asked for (a batch's Sleep line, the status poll's interval): waits `ms`
// milliseconds on the link's clock (serial::Pause) while the windows stay alive (they repaint,
// take clicks and keys), and ends as soon as `stopped()` holds or the desktop session ends.
// True when the whole time passed.
bool Pause(long ms, const std::function<bool()>& stopped);

// SendKeys: keystrokes to the active control of the active form, as if typed.
// "{F1}", "{ENTER}" or "~", "{ESC}", "{TAB}", "{BS}", "{DEL}", "{UP}", "{DOWN}", "{LEFT}",
// "{RIGHT}", "{HOME}", "{END}", "{PGUP}", "{PGDN}", "{F1}".."{F16}", "+" Shift, "^" Ctrl,
// "%" Alt, "{+}" etc. for literal characters. Without `wait` the keys are queued through
// Host::Post; with `wait` they are processed before SendKeys returns. A malformed string
// raises error 5.
void SendKeys(const std::string& keys, bool wait = false);

}  // namespace forms
