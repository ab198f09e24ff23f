#pragma once
// A host for tests: it records every message box, file dialog, modal window, help request,
// opened document and mouse-pointer change, and answers from a script. Anything the script
// did not foresee (an unexpected message box, a modal window without a user callback, an
// answer left unused at the end) is a failure, reported through OnFailure.
//
//   forms::ScriptedHost host;                       // installed until it goes out of scope
//   host.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
//   host.AnswerMsgBox("End?", forms::vbYes);
//   host.OnModal("frmPortChange", [](forms::Form& f) { ...play the user...; f.UserClose(); });
//   host.AtDoEvents([&] { frm.cmdStop.UserClick(); });   // runs at the next DoEvents
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/host.h"

namespace forms {

class ScriptedHost : public Host {
 public:
  ScriptedHost();
  ~ScriptedHost() override;
  ScriptedHost(const ScriptedHost&) = delete;
  ScriptedHost& operator=(const ScriptedHost&) = delete;

  struct MsgBoxRecord {
    std::string prompt, title;
    int style = 0;          // as passed: buttons + icon + default button
    int buttons = 0;        // style & 7 (vbOKOnly, vbYesNo, ...)
    int icon = 0;           // style & 0x70 (vbCritical, vbQuestion, ...)
    int defaultButton = 1;  // 1..4
    int answer = 0;
  };
  // The next message box is answered with `answer`; with a prompt, the box must show it.
  void AnswerMsgBox(int answer);
  void AnswerMsgBox(const std::string& prompt, int answer);
  void AnswerMsgBox(std::function<int(const MsgBoxRecord&)> answer);
  const std::vector<MsgBoxRecord>& MsgBoxes() const { return msgBoxes_; }

  // The next file dialog returns `fileName` (and `filterIndex` when not 0), or is cancelled.
  void AnswerFileDialog(const std::string& fileName, int filterIndex = 0);
  void CancelFileDialog();
  const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }

  // The next modal Show of the form with this name ("*": of any form) runs `user`, which
  // plays the user and should close the form (a form left open is a failure, and is closed
  // by the host). Callbacks are taken in the order given.
  void OnModal(const std::string& formName, std::function<void(Form&)> user);
  // The names of the forms shown modally, in order.
  const std::vector<std::string>& ModalForms() const { return modalForms_; }

  // `action` runs during the `call`-th DoEvents from now (1 = the next one).
  void AtDoEvents(std::function<void()> action, int call = 1);
  int DoEventsCount() const { return doEventsCount_; }

  const std::vector<int>& MousePointers() const { return mousePointers_; }
  const std::vector<std::pair<std::string, long>>& HelpShown() const { return help_; }
  const std::vector<std::string>& Documents() const { return documents_; }
  bool OpenDocumentResult = true;
  // The frame a window manager would draw around every framed window; none: the forms' own.
  std::optional<WindowFrame> Frame;
  // "load frmX", "unload frmX" in order.
  const std::vector<std::string>& FormLog() const { return formLog_; }

  // Failures so far; each is also passed to OnFailure when set.
  const std::vector<std::string>& Failures() const { return failures_; }
  std::function<void(const std::string&)> OnFailure;
  // Checks that every scripted answer was used (also done by the destructor).
  void VerifyAllUsed();

  // Host.
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
  bool FileDialog(FileDialogRequest& request) override;
  void RunModal(Form& form) override;
  void DoEvents() override;
  void MousePointerChanged(int pointer) override { mousePointers_.push_back(pointer); }
  void ShowHelp(const std::string& helpFile, long context) override { help_.emplace_back(helpFile, context); }
  bool OpenDocument(const std::string& target) override;
  bool FrameOf(int borderStyle, WindowFrame& frame) override;
  void FormLoaded(Form& form) override;
  void FormUnloaded(Form& form) override;
  void UnhandledError(const std::string& where, long number, const std::string& description) override;

 private:
  void fail(const std::string& message);
  struct MsgAnswer {
    bool checkPrompt = false;
    std::string prompt;
    int answer = 0;
    std::function<int(const MsgBoxRecord&)> fn;
  };
  struct FileAnswer {
    bool cancel = false;
    std::string fileName;
    int filterIndex = 0;
  };
  struct ModalUser {
    std::string form;
    std::function<void(Form&)> user;
  };
  struct Queued {
    int atCall = 0;
    std::function<void()> action;
  };
  Host* previous_;
  std::vector<MsgAnswer> msgAnswers_;
  std::vector<MsgBoxRecord> msgBoxes_;
  std::vector<FileAnswer> fileAnswers_;
  std::vector<FileDialogRequest> fileDialogs_;
  std::vector<ModalUser> modalUsers_;
  std::vector<std::string> modalForms_;
  std::vector<Queued> queued_;
  int doEventsCount_ = 0;
  std::vector<int> mousePointers_;
  std::vector<std::pair<std::string, long>> help_;
  std::vector<std::string> documents_;
  std::vector<std::string> formLog_;
  std::vector<std::string> failures_;
};

}  // namespace forms
