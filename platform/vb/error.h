#pragma once
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// Run-time errors as the program's procedures see them: a number and a description,
// thrown where a run-time error is raised, caught by `vb::guarded` at the procedure's edge.
namespace vb {

// Standard run-time error numbers used by the program.
enum ErrorNumber : long {
  errInvalidCall = 5,          // "Invalid procedure call or argument"
  errOverflow = 6,             // "Overflow"
  errOutOfMemory = 7,          // "Out of memory"
  errSubscript = 9,            // "Subscript out of range"
  errDivisionByZero = 11,      // "Division by zero"
  errTypeMismatch = 13,        // "Type mismatch"
  errBadFileNameOrNumber = 52, // "Bad file name or number"
  errFileNotFound = 53,        // "File not found"
  errBadFileMode = 54,         // "Bad file mode"
  errFileAlreadyOpen = 55,     // "File already open"
  errDeviceIO = 57,            // "Device I/O error"
  errDiskFull = 61,            // "Disk full"
  errInputPastEnd = 62,        // "Input past end of file"
  errPermissionDenied = 70,    // "Permission denied"
  errPathFileAccess = 75,      // "Path/File access error"
  errPathNotFound = 76,        // "Path not found"
  errObjectVariable = 91,      // "Object variable or With block variable not set"
  errControlArrayElement = 340, // "Control array element '|' doesn't exist"
  errObjectAlreadyLoaded = 360, // "Object already loaded"
  errInvalidPropertyValue = 380, // "Invalid property value"
  errInvalidPropertyArrayIndex = 381, // "Invalid property array index"
  errCancel = 32755,           // "Cancel was selected." (file dialog with CancelError)
  errInvalidPortNumber = 8002, // "Invalid Port Number"
  errPortAlreadyOpen = 8005,   // "Port already open"
  errPortNotOpen = 8012,       // "The device is not open"
  errSetCommState = 8015,      // "Could not set comm state"
  errPortClosed = 8018,        // "Operation valid only when the port is open"
  errTimeout = 8020,           // "Error reading comm device"
};

// The description the run time gives a standard error number ("Application-defined or
// object-defined error" for numbers it does not know).
std::string ErrorDescription(long number);
// The same with "|" replaced by the name or index the error is about:
// ErrorDescription(340, "3") is "Control array element '3' doesn't exist".
std::string ErrorDescription(long number, std::string_view name);

class Error : public std::exception {
 public:
  explicit Error(long number, std::string description = {}, std::string source = {});
  long Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  long number_;
  std::string description_;
  std::string source_;
};

// Raise a run-time error: throws vb::Error with the standard description when none is given.
[[noreturn]] void Raise(long number, const std::string& description = {}, const std::string& source = {});

// The pending error.
struct ErrObject {
  long Number = 0;
  std::string Description;
  std::string Source;
  void Clear() { Number = 0; Description.clear(); Source.clear(); }
  void Set(const Error& e) { Number = e.Number(); Description = e.Description(); Source = e.Source(); }
  explicit operator bool() const { return Number != 0; }
};

}  // namespace vb

// The pending error, as every procedure sees it.
extern vb::ErrObject Err;

namespace vb {

// The common error reporter (set once at start-up; it receives the procedure's name as
// "Module.Procedure", reads the pending error from `Err` and clears it). Without one, nothing is
// reported and the error is cleared all the same, so that it never reaches a later report.
using ErrorReporter = std::function<void(const std::string& procedure)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::string& procedure);
// How many run-time errors (a pending error with a number) have been reported so far: a
// caller tells by it whether a procedure it called ran into one, reported and cleared inside.
long ReportedErrorCount();

// The procedure convention: run `body`; a vb::Error thrown inside becomes the pending error,
// is passed with the procedure's name to the error reporter, and the procedure returns its
// failure value: false for Boolean procedures, "" for text functions, the value-initialised
// result otherwise. Any other exception is reported as a run-time error too, never let out.
template <class F>
auto guarded(const char* procedure, F&& body) -> decltype(body()) {
  using R = decltype(body());
  try {
    return body();
  } catch (const Error& e) {
    Err.Set(e);
  } catch (const std::bad_alloc&) {
    Err.Set(Error(errOutOfMemory));
  } catch (const std::exception& e) {
    Err.Set(Error(51, std::string("Internal error: ") + e.what()));
  }
  ReportError(procedure);
  if constexpr (!std::is_void_v<R>) return R{};
}

}  // namespace vb
