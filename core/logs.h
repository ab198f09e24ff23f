#pragma once
// The error log, the communication log and the common error reporter (module SubMain).
// Both logs lie beside the program, named after the executable ("orvadex.ERR",
// "orvadex.LOG"); each line is opened, appended with CR LF and closed at once.
#include <cstdint>
#include <string>

namespace SubMain {

// The common error reporter. Appends "[yyyy/mm/dd hh:mm:ss]" TAB reportingText to the error
// log, followed by TAB number TAB description when an error is pending (Err); for a pending
// error it then shows the critical box "System error occured." CRLF "No.<n>)<description>"
// captioned with the reporting text, and clears the error. A log that cannot be written is
// passed over: the box is still shown and the program goes on.
// This is the reporter of vb::guarded: it is installed when the program is linked with it.
void gErrorProc(const std::string& reportingText);

// Appends "yyyy/mm/dd hh:mm:ss,command,data" (and ",reply1,reply2" when vblnWithReply) to the
// communication log, bytes in upper-case hexadecimal without leading zeros. True when written.
// A log that cannot be written is reported once and then left alone until the program ends.
bool gblnWriteCommLog(bool vblnWithReply, uint8_t vbyteCommand, uint8_t vbyteData, uint8_t vbyteReply1,
                      uint8_t vbyteReply2);

// The files of the two logs.
std::string gstrErrorLogFile();
std::string gstrCommLogFile();

}  // namespace SubMain
