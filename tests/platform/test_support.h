#pragma once
// Shared by the tests of the program's layers: a host that records every message box and plays
// the user (answers, modal windows, file dialogs), the seed corpus of a fuzz target, and a
// check of a text's shape.
#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/app/res_string.h"
#include "platform/forms/forms.h"
#include "platform/forms/host.h"
#include "tests/platform/temp_folder.h"

namespace testutil {

// True when `text` has the shape of `pattern`: each '#' of the pattern stands for one digit,
// every other character for itself ("####/##/##" for a date).
inline bool HasShape(std::string_view text, std::string_view pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (pattern[i] == '#' ? !digit : text[i] != pattern[i]) return false;
  }
  return true;
}

struct Box {
  std::string prompt;
  int buttons = 0;
  std::string title;
  bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "{\"" << b.prompt << "\", " << b.buttons << ", \"" << b.title << "\"}";
}

// Records message boxes and answers from `answers` in order; when that is empty, a question
// gets Yes (No with `sayNo`) and anything else OK. `onBox` runs first. A modal window is played
// by `onModal` and closed with the close box when left open; a file dialog picks `chosenFile`
// (cancelled when unset); every DoEvents runs `onDoEvents`.
class RecordingHost : public forms::Host {
 public:
  int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
    boxes.push_back({prompt, buttons, title});
    if (onBox) onBox(boxes.back());
    if (!answers.empty()) {
      const int a = answers.front();
      answers.pop_front();
      return a;
    }
    const int kind = buttons & 7;
    if (kind == forms::vbYesNo || kind == forms::vbYesNoCancel) return sayNo ? forms::vbNo : forms::vbYes;
    return forms::vbOK;
  }
  void RunModal(forms::Form& form) override {
    modalForms.push_back(form.Name());
    if (onModal) onModal(form);
    if (!form.ModalDone()) form.UserClose();
  }
  bool FileDialog(forms::FileDialogRequest& request) override {
    requests.push_back(request);
    if (!chosenFile) return false;
    request.FileName = *chosenFile;
    return true;
  }
  void DoEvents() override {
    forms::Host::DoEvents();
    ++doEvents;
    if (onDoEvents) onDoEvents(doEvents);
  }
  void FormUnloaded(forms::Form& form) override {
    if (onUnload) onUnload(form);
  }
  bool FrameOf(int, forms::WindowFrame& f) override {
    if (frame) f = *frame;
    return frame.has_value();
  }

  std::vector<std::string> prompts() const {
    std::vector<std::string> texts;
    for (const Box& b : boxes) texts.push_back(b.prompt);
    return texts;
  }
  // The boxes whose text begins with catalogue entry `message`.
  int count(long message) const {
    const std::string text = vb::LoadResString(message);
    return static_cast<int>(std::count_if(boxes.begin(), boxes.end(), [&](const Box& b) {
      return b.prompt.compare(0, text.size(), text) == 0;
    }));
  }

  std::vector<Box> boxes;
  std::deque<int> answers;
  bool sayNo = false;
  std::function<void(const Box&)> onBox;
  std::vector<std::string> modalForms;
  std::function<void(forms::Form&)> onModal, onUnload;
  std::function<void(int)> onDoEvents;
  std::optional<std::string> chosenFile;
  // The frame a window manager draws around framed windows (none: the forms' own).
  std::optional<forms::WindowFrame> frame;
  std::vector<forms::FileDialogRequest> requests;
  int doEvents = 0;
};

// The files of the fuzz corpus in `folder` (below the source tree), in name order.
inline std::vector<std::string> Corpus(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ORVADEX_SOURCE_DIR) / folder))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<std::string> inputs;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return inputs;
}

}  // namespace testutil
