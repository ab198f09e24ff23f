#include "core/logs.h"

#include <exception>

#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/fs/files.h"
#include "platform/vb/vb.h"

namespace SubMain {
namespace {

std::string TimeStamp() { return vb::Format(vb::Now(), "yyyy/mm/dd hh:mm:ss"); }

// vb::guarded reports through gErrorProc wherever this module is part of the program.
const bool reporterInstalled = (vb::SetErrorReporter([](const std::string& text) { gErrorProc(text); }), true);

}  // namespace

std::string gstrErrorLogFile() { return vb::App::Path() + "/" + vb::App::EXEName() + ".ERR"; }
std::string gstrCommLogFile() { return vb::App::Path() + "/" + vb::App::EXEName() + ".LOG"; }

void gErrorProc(const std::string& reportingText) {
  (void)reporterInstalled;
  const long number = Err.Number;
  const std::string description = Err.Description;

  std::string line = "[" + TimeStamp() + "]" + vb::vbTab + reportingText;
  if (number != 0) line += vb::vbTab + std::to_string(number) + vb::vbTab + description;
  try {
    files::AppendLine(gstrErrorLogFile(), line);
  } catch (const std::exception&) {
    // No error log (read-only folder, full disk): the report still reaches the user.
  }

  if (number == 0) return;
  std::string first;
  try {
    first = vb::LoadResString(0);
  } catch (const std::exception&) {
    first = "System error occured.";
  }
  forms::MsgBox(first + vb::vbCrLf + "No." + std::to_string(number) + ")" + description,
                forms::vbCritical | forms::vbOKOnly, reportingText);
  Err.Clear();
}

bool gblnWriteCommLog(bool vblnWithReply, uint8_t vbyteCommand, uint8_t vbyteData, uint8_t vbyteReply1,
                      uint8_t vbyteReply2) {
  // The log that could not be written, reported once: it is not written again while the
  // program runs (the setting stays as the user chose it).
  static std::string failedLog;
  const std::string file = gstrCommLogFile();
  if (file == failedLog) return false;
  const bool written = vb::guarded("SubMain.gblnWriteCommLog", [&] {
    std::string line = TimeStamp() + "," + vb::Hex(vbyteCommand) + "," + vb::Hex(vbyteData);
    if (vblnWithReply) line += "," + vb::Hex(vbyteReply1) + "," + vb::Hex(vbyteReply2);
    files::AppendLine(file, line);
    return true;
  });
  if (!written) failedLog = file;
  return written;
}

}  // namespace SubMain
