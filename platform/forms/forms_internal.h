#pragma once
// Helpers shared by the sources of the forms layer (not part of its interface).
#include <exception>
#include <string>

#include "platform/forms/forms.h"
#include "platform/forms/layout.h"

namespace forms::detail {

// Raises an event slot: the array's slot with the index for array members, else the
// control's own.
#define FORMS_RAISE(ev, ...)                                           \
  do {                                                                 \
    if (array_) {                                                      \
      if (array_->ev) array_->ev(index_ __VA_OPT__(, ) __VA_ARGS__);   \
    } else if (ev) {                                                   \
      ev(__VA_ARGS__);                                                 \
    }                                                                  \
  } while (0)

// Depth of user-input handling; when the outermost user event ends, posted tasks run.
int& inputDepth();

// Ends the state BeginProgramEnd began (a window is loaded on purpose, or the windows go).
void EndOfProgramEnd();

// Runs one user-input event: errors escaping handlers go to Host::UnhandledError; posted
// tasks run when the outermost event ends. Returns what `body` returns (false on error).
template <class F>
bool userInput(const std::string& what, F&& body) {
  ++inputDepth();
  bool result = false;
  try {
    result = body();
  } catch (const vb::Error& e) {
    host().UnhandledError(what, e.Number(), e.Description());
  } catch (const std::exception& e) {
    host().UnhandledError(what, 51, e.what());
  }
  if (--inputDepth() == 0) host().RunPosted();
  return result;
}

// F1 on `target` (nullptr: the form): the help file at the context of the target, or of the
// nearest container (for a menu item: the nearest menu above it) that has one, else the
// form's; nothing without a help file.
void showHelpFor(Form& form, Control* target);

// The character a key produces (0 for none), from the key code and the shift state.
int asciiForKey(int keyCode, int shift);
// The key code and shift state that type a character.
void keyForChar(unsigned char ch, int& keyCode, int& shift);

// Text without the access-key marks ("&&" stays as "&").
std::string withoutMnemonic(const std::string& s);
// The access key a caption marks with "&" (upper case; "&&" marks none), or 0.
int accessKeyOf(const std::string& caption);

// Whole number within the Long range, blanks allowed around it; false otherwise.
bool parseWhole(const std::string& text, long& value);

}  // namespace forms::detail
