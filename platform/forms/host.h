#pragma once
// Everything the user answers goes through the Host: message boxes, file dialogs, DoEvents,
// the mouse pointer, modal windows, help. The Qt front end implements it with real dialogs;
// tests use a scripted host.
#include <string>

namespace forms {

// Message-box buttons, icons and default button (added together, as the run time does).
enum MsgBoxStyle : int {
  vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
  vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
// Message-box results.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class Host {
 public:
  virtual ~Host() = default;
  // Shows a message box and returns the button pressed.
  virtual int MsgBox(const std::string& prompt, int buttons, const std::string& title) = 0;
};

// The host in use. Before one is installed, a host that writes message boxes to standard
// error and answers with the default button stands in.
Host& host();
void setHost(Host* h);

// The run time's MsgBox: shows through the current host.
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = "");

}  // namespace forms
