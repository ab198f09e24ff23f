#pragma once
// The body of the layout fuzz target, shared by the libFuzzer entry and the test that replays
// the seed corpus: the input is parsed as a window layout and loaded into a window that
// declares no controls of its own. A layout may be refused only with error 380 (or 341 for an
// array index out of range); anything else (a crash, another exception, a form left half
// loaded) is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/forms/forms.h"
#include "platform/forms/layout.h"

namespace layout_fuzz {

class AnyWindow : public forms::Form {
 public:
  explicit AnyWindow(std::string layout) : Form("frmAny") { UseLayoutText(std::move(layout)); }
};

// Returns 1 when the layout loaded.
inline int LoadBytes(const uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    forms::ParseLayout(text, "fuzz");
  } catch (const vb::Error& e) {
    if (e.Number() != 380 && e.Number() != 341) std::abort();
  }
  AnyWindow w(text);
  try {
    w.Load();
  } catch (const vb::Error& e) {
    if (e.Number() != 380 && e.Number() != 341) std::abort();
    if (w.Loaded() || !w.Controls().empty()) std::abort();
    return 0;
  }
  if (!w.Loaded()) std::abort();
  // Everything loaded can be walked and unloaded again.
  for (forms::Control* c : w.Controls()) {
    (void)c->IsShownInForm();
    (void)c->IsEnabledInForm();
    if (c->Container() && &c->Container()->Parent() != &w) std::abort();
  }
  if (!w.Unload() || !w.Controls().empty()) std::abort();
  return 1;
}

}  // namespace layout_fuzz
