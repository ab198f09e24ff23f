#pragma once
// A host for the link's windows: records message boxes like the link fixture's host, plays the
// user while a window is modal, answers file dialogs and runs a callback at every DoEvents.
#include <functional>
#include <optional>
#include <string>

#include "link_fixture.h"
#include "platform/forms/forms.h"

namespace linktest {

class WindowHost : public RecordingHost {
 public:
  void RunModal(forms::Form& form) override {
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

  std::function<void(forms::Form&)> onModal;
  std::function<void(int)> onDoEvents;
  std::optional<std::string> chosenFile;
  std::vector<forms::FileDialogRequest> requests;
  int doEvents = 0;
};

// The link fixture with the window host installed in place of its own.
class WindowTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    forms::setHost(&ui);
  }
  void TearDown() override {
    forms::ReleaseDefaultInstances();
    LinkTest::TearDown();
  }
  int countUiBoxes(long message) const {
    const std::string text = vb::LoadResString(message);
    int n = 0;
    for (const Box& b : ui.boxes)
      if (b.prompt.compare(0, text.size(), text) == 0) ++n;
    return n;
  }
  WindowHost ui;
};

}  // namespace linktest
