#include "platform/forms/scripted_host.h"

#include <cstdio>

#include "platform/forms/forms.h"

namespace forms {

namespace {
Host* installedHost() { return &host(); }
}  // namespace

ScriptedHost::ScriptedHost() : previous_(installedHost()) { setHost(this); }

ScriptedHost::~ScriptedHost() {
  VerifyAllUsed();
  setHost(previous_);
}

void ScriptedHost::fail(const std::string& message) {
  failures_.push_back(message);
  if (OnFailure) OnFailure(message);
  else std::fprintf(stderr, "ScriptedHost: %s\n", message.c_str());
}

void ScriptedHost::VerifyAllUsed() {
  for (auto& a : msgAnswers_)
    fail("a scripted message-box answer was not used" + (a.checkPrompt ? " (\"" + a.prompt + "\")" : std::string()));
  msgAnswers_.clear();
  for (auto& a : fileAnswers_)
    fail("a scripted file-dialog answer was not used" + (a.cancel ? std::string(" (cancel)") : " (" + a.fileName + ")"));
  fileAnswers_.clear();
  for (auto& m : modalUsers_) fail("the modal form " + m.form + " was never shown");
  modalUsers_.clear();
  for (auto& q : queued_) (void)q, fail("an action queued for DoEvents never ran");
  queued_.clear();
}

void ScriptedHost::AnswerMsgBox(int answer) { msgAnswers_.push_back(MsgAnswer{false, {}, answer, nullptr}); }
void ScriptedHost::AnswerMsgBox(const std::string& prompt, int answer) {
  msgAnswers_.push_back(MsgAnswer{true, prompt, answer, nullptr});
}
void ScriptedHost::AnswerMsgBox(std::function<int(const MsgBoxRecord&)> answer) {
  msgAnswers_.push_back(MsgAnswer{false, {}, 0, std::move(answer)});
}

int ScriptedHost::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  MsgBoxRecord r;
  r.prompt = prompt;
  r.title = title;
  r.style = buttons;
  r.buttons = buttons & 7;
  r.icon = buttons & 0x70;
  r.defaultButton = ((buttons >> 8) & 3) + 1;
  if (msgAnswers_.empty()) {
    fail("unexpected message box \"" + prompt + "\" [" + title + "]");
    r.answer = DefaultMsgBoxAnswer(buttons);
  } else {
    MsgAnswer a = std::move(msgAnswers_.front());
    msgAnswers_.erase(msgAnswers_.begin());
    if (a.checkPrompt && a.prompt != prompt)
      fail("message box \"" + prompt + "\" shown where \"" + a.prompt + "\" was expected");
    r.answer = a.fn ? a.fn(r) : a.answer;
  }
  msgBoxes_.push_back(r);
  return r.answer;
}

void ScriptedHost::AnswerFileDialog(const std::string& fileName, int filterIndex) {
  fileAnswers_.push_back(FileAnswer{false, fileName, filterIndex});
}
void ScriptedHost::CancelFileDialog() { fileAnswers_.push_back(FileAnswer{true, {}, 0}); }

bool ScriptedHost::FileDialog(FileDialogRequest& request) {
  fileDialogs_.push_back(request);
  if (fileAnswers_.empty()) {
    fail("unexpected file dialog \"" + request.DialogTitle + "\"");
    return false;
  }
  FileAnswer a = std::move(fileAnswers_.front());
  fileAnswers_.erase(fileAnswers_.begin());
  if (a.cancel) return false;
  request.FileName = a.fileName;
  if (a.filterIndex) request.FilterIndex = a.filterIndex;
  return true;
}

void ScriptedHost::OnModal(const std::string& formName, std::function<void(Form&)> user) {
  modalUsers_.push_back(ModalUser{formName, std::move(user)});
}

void ScriptedHost::RunModal(Form& form) {
  modalForms_.push_back(form.Name());
  auto it = modalUsers_.begin();
  while (it != modalUsers_.end() && it->form != form.Name() && it->form != "*") ++it;
  if (it == modalUsers_.end()) {
    fail("unexpected modal form " + form.Name());
  } else {
    auto user = std::move(it->user);
    modalUsers_.erase(it);
    if (user) user(form);
    if (form.ModalDone()) return;
    fail("the modal form " + form.Name() + " is still open after the user's script");
  }
  if (!form.ModalDone()) form.UserClose();
  if (!form.ModalDone()) form.Hide();
}

void ScriptedHost::AtDoEvents(std::function<void()> action, int call) {
  queued_.push_back(Queued{doEventsCount_ + std::max(call, 1), std::move(action)});
}

void ScriptedHost::DoEvents() {
  int now = ++doEventsCount_;
  Host::DoEvents();
  for (size_t i = 0; i < queued_.size();) {
    if (queued_[i].atCall == now) {
      auto action = std::move(queued_[i].action);
      queued_.erase(queued_.begin() + static_cast<long>(i));
      if (action) action();
    } else {
      ++i;
    }
  }
}

bool ScriptedHost::FrameOf(int, WindowFrame& frame) {
  if (!Frame) return false;
  frame = *Frame;
  return true;
}

bool ScriptedHost::OpenDocument(const std::string& target) {
  documents_.push_back(target);
  return OpenDocumentResult;
}

void ScriptedHost::FormLoaded(Form& form) { formLog_.push_back("load " + form.Name()); }
void ScriptedHost::FormUnloaded(Form& form) { formLog_.push_back("unload " + form.Name()); }

void ScriptedHost::UnhandledError(const std::string& where, long number, const std::string& description) {
  fail("run-time error " + std::to_string(number) + " (" + description + ") escaped from " + where);
}

}  // namespace forms
