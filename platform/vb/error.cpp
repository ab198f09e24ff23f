#include "platform/vb/error.h"

#include <map>

vb::ErrObject Err;

namespace vb {

std::string ErrorDescription(long number) {
  // The run time's own texts; "|" stands for the name or index the error is about.
  static const std::map<long, std::string> texts = {
      {3, "Return without GoSub"},
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {10, "This array is fixed or temporarily locked"},
      {11, "Division by zero"},
      {13, "Type mismatch"},
      {14, "Out of string space"},
      {17, "Can't perform requested operation"},
      {20, "Resume without error"},
      {28, "Out of stack space"},
      {35, "Sub, Function, or Property not defined"},
      {48, "Error in loading DLL"},
      {49, "Bad DLL calling convention"},
      {51, "Internal error"},
      {52, "Bad file name or number"},
      {53, "File not found"},
      {54, "Bad file mode"},
      {55, "File already open"},
      {57, "Device I/O error"},
      {58, "File already exists"},
      {59, "Bad record length"},
      {61, "Disk full"},
      {62, "Input past end of file"},
      {63, "Bad record number"},
      {67, "Too many files"},
      {68, "Device unavailable"},
      {70, "Permission denied"},
      {71, "Disk not ready"},
      {74, "Can't rename with different drive"},
      {75, "Path/File access error"},
      {76, "Path not found"},
      {91, "Object variable or With block variable not set"},
      {92, "For loop not initialized"},
      {93, "Invalid pattern string"},
      {94, "Invalid use of Null"},
      // Forms and controls.
      {340, "Control array element '|' doesn't exist"},
      {341, "Invalid control array index"},
      {343, "Object not an array"},
      {360, "Object already loaded"},
      {361, "Can't load or unload this object"},
      {362, "Can't unload controls created at design time"},
      {364, "Object was unloaded"},
      {365, "Unable to unload within this context"},
      {380, "Invalid property value"},
      {381, "Invalid property array index"},
      {382, "'|' property cannot be set at run time"},
      {383, "'|' property is read-only"},
      {384, "A form can't be moved or sized while minimized or maximized"},
      {385, "Need property-array index"},
      {387, "'|' property can't be set on this control"},
      {393, "'|' property cannot be read at run time"},
      {394, "'|' property is write-only"},
      {400, "Form already displayed; can't show modally"},
      {401, "Can't show non-modal form when modal form is displayed"},
      {402, "Must close or hide topmost modal form first"},
      {424, "Object required"},
      {438, "Object doesn't support this property or method"},
      {32755, "Cancel was selected."},
      // The serial control (its own texts; for 383 and 394 it says "Property is read-only").
      {8000, "Operation not valid while the port is opened"},
      {8001, "Timeout value must be greater than zero"},
      {8002, "Invalid Port Number"},
      {8003, "Property available only at run time"},
      {8004, "Property is read only at runtime"},
      {8005, "Port already open"},
      {8006, "The device identifier is invalid or unsupported"},
      {8007, "The device's baud rate is unsupported"},
      {8008, "The specified byte size is invalid"},
      {8009, "The default parameters are in error"},
      {8010, "The hardware is not available (locked by another device)"},
      {8011, "The function cannot allocate the queues"},
      {8012, "The device is not open"},
      {8013, "The device is already open"},
      {8014, "Could not enable comm notification"},
      {8015, "Could not set comm state"},
      {8016, "Could not set comm event mask"},
      {8018, "Operation valid only when the port is open"},
      {8019, "Device busy"},
      {8020, "Error reading comm device"},
      {8021, "Internal error retrieving device control block for the port"},
  };

  auto it = texts.find(number);
  return it != texts.end() ? it->second : "Application-defined or object-defined error";
}

std::string ErrorDescription(long number, std::string_view name) {
  std::string text = ErrorDescription(number);
  size_t bar = text.find('|');
  if (bar != std::string::npos) text.replace(bar, 1, name);
  return text;
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

namespace {
long reportedErrors = 0;
}  // namespace

long ReportedErrorCount() { return reportedErrors; }

void ReportError(const std::string& procedure) {
  if (Err.Number != 0) ++reportedErrors;
  if (reporter()) {
    reporter()(procedure);
  } else {
    Err.Clear();  // reported to nobody, the error still ends here
  }
}

}  // namespace vb
