#pragma once
// The camera's EEPROM: the command sequences of load, write and clear, and the four user-level
// operations (read, write, clear, write with optimisation) with their questions, the backup
// file of the current values and the optimisation of the fields written.
#include <cstdint>
#include <string>

namespace mdlMSComm {

// Access modes of gblnEEPROMAccess.
enum EEPROMAccessMode : int16_t { eepLoad = 1, eepWrite = 2, eepClear = 3 };
// Operation numbers of gblnEEPROMOperation (the numbering of the EEPROM menu).
enum EEPROMOperation : int16_t { eepOpRead = 1, eepOpWrite = 2, eepOpClear = 3, eepOpOptimize = 4 };

// Sends one EEPROM command sequence. Mode 1: the camera loads its EEPROM, every code of
// gstrAllCmdList is read back and gstrWriteCmdList is sent again; mode 2: the codes of
// vstrCmdList are written to the EEPROM with the values of gbyteCurrentData; mode 3: the EEPROM
// is erased, then as mode 1. Any other mode sends the sync only. False at the first failing step.
bool gblnEEPROMAccess(int16_t vintMode, std::string vstrCmdList);

// The user-level operation vintOperation (1 read, 2 write the codes of vstrCmdList, 3 clear,
// 4 write and optimise). Asks first (1, 3, 4), saves the current values to a backup file beside
// the program, which it deletes on success and names to the user on failure. False when off
// line, refused, or failed.
bool gblnEEPROMOperation(int16_t vintOperation, std::string vstrCmdList);

}  // namespace mdlMSComm
