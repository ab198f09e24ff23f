#include "platform/vb/error.h"

#include <map>

vb::ErrObject Err;

namespace vb {

std::string ErrorDescription(long number) {
  static const std::map<long, std::string> texts = {
      {3, "Return without GoSub"},
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {10, "This array is fixed or temporarily locked"},
      {11, "Division by zero"},
      {13, "Type mismatch"},
      {28, "Out of stack space"},
      {51, "Internal error"},
      {52, "Bad file name or number"},
      {53, "File not found"},
      {54, "Bad file mode"},
      {55, "File already open"},
      {57, "Device I/O error"},
      {58, "File already exists"},
      {61, "Disk full"},
      {62, "Input past end of file"},
      {67, "Too many files"},
      {68, "Device unavailable"},
      {70, "Permission denied"},
      {71, "Disk not ready"},
      {75, "Path/File access error"},
      {76, "Path not found"},
      {91, "Object variable or With block variable not set"},
      {94, "Invalid use of Null"},
      {340, "Control array element does not exist"},
      {360, "Object already loaded"},
      {380, "Invalid property value"},
      {8002, "Invalid port number"},
      {8005, "Port already open"},
      {8012, "The device is not open"},
      {8015, "Could not set comm state"},
      {8018, "Operation valid only when the port is open"},
      {8020, "Error reading comm device"},
  };
  auto it = texts.find(number);
  return it != texts.end() ? it->second : "Application-defined or object-defined error";
}

Error::Error(long number, std::string description, std::string source)
    : number_(number),
      description_(description.empty() ? ErrorDescription(number) : std::move(description)),
      source_(std::move(source)) {}

void Raise(long number, const std::string& description, const std::string& source) {
  throw Error(number, description, source);
}

namespace {
ErrorReporter& reporter() {
  static ErrorReporter r;
  return r;
}
}  // namespace

void SetErrorReporter(ErrorReporter r) { reporter() = std::move(r); }

void ReportError(const std::string& procedure) {
  if (reporter()) {
    reporter()(procedure);
  }
}

}  // namespace vb
