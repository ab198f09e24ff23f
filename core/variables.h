#pragma once
// Program-wide variables (module mdlVariables). Every module reads and writes them directly;
// the `using` below lets code name them without the module prefix.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/data_info.h"

namespace serial {
class MSComm;
}

namespace mdlVariables {

// ---- Parameter table and values ------------------------------------------------------------
// The parameter table, indexed by command code; filled at start-up, released (null) at shutdown.
extern std::array<std::unique_ptr<clsDataInfo>, 256> gobjDataInfo;
// Current value of every command code.
extern std::array<uint8_t, 256> gbyteCurrentData;
// Values of a loaded parameter file (-1: absent from the file).
extern std::array<int16_t, 256> gintFileData;
// The file image of a loaded parameter file.
extern std::array<uint8_t, 256> gbyteFileData;

// ---- Command lists -------------------------------------------------------------------------------
extern std::string gstrAllCmdList;    // codes the camera supports
extern std::string gstrKRVCmdList;    // codes saved to and loaded from parameter files
extern std::string gstrWriteCmdList;  // codes written to the camera

// ---- Settings (read from and written to the settings file) -----------------------------------
extern int32_t glngPortNo;                           // serial port number; 0 = none chosen yet
extern int32_t glngRcvRetry;                         // least number of polls before a time-out
extern int32_t glngSleepTimeUnit;                    // poll interval, ms (at least 1)
extern int32_t glngTimeOut;                          // receive time-out, s (at least 5)
extern int32_t glngRetryWrongReplayBeforeMsg;        // wrong replies in a row before asking
extern int32_t glngRetryTimeOutBeforeMsg;            // time-outs in a row before asking (at least 1)
extern std::string gstrSettings;                     // serial settings, "1200,n,8,2"
extern bool gblnAutoBaudRateChange;                  // detect the baud rate at connect
extern bool gblnEnterKeySend;                        // a typed value is sent on Enter only
extern bool gblnWriteErrLogWrongReplay;              // error-log line for every wrong reply
extern bool gblnWriteErrLogTimeOut;                  // error-log line for every time-out
extern bool gblnOptimizeWritting;                    // EEPROM writes take the optimising path
extern std::vector<std::string> gstrRecentlyUsedFile;  // recently used files, most recent first
extern bool gblnWriteLogFile;                        // write the communication log
extern std::string gstrAdvancedPwd;                  // saved advanced-mode password
extern int32_t glngStartUpTabNo;                     // tab of the main window shown first
extern int32_t glngSmallChange;                      // small step of the value scroll bars
extern int32_t glngLargeChange;                      // large step of the value scroll bars
extern bool gblnDeveloping;                          // developing mode
extern bool gblnAdvancedMode;                        // advanced mode (implied by developing mode)

// ---- Registry enumeration (mdlRegistry.glngGetRegEnum) ------------------------------------------
extern std::vector<std::string> gstrRegEnumName;  // names of the values of the key enumerated last
extern std::vector<std::string> gstrRegEnumData;  // their data as text

// ---- Serial link state ---------------------------------------------------------------------------
extern bool gblnOnLine;  // the camera answers
// The serial control of the main window, handed over when it loads; all port access goes
// through it (not owned here).
extern serial::MSComm* gobjMSComm;
extern uint8_t gbyteCurrentMode;       // data byte of the last system command the camera echoed
extern bool gblnKeepNotSupportCmd;     // False: a not-supported code leaves the command lists
extern bool gblnReadingData;           // a list read is in read mode
extern bool gblnEEPROMWriting;         // EEPROM write mode is on
// Runs of failed transactions: a flag while a run lasts and the count of failures in it.
extern bool gblnTimeOutRetry;
extern int32_t glngTimeOutCount;
extern bool gblnWrongReplayRetry;
extern int32_t glngWrongReplayCount;
// The camera's identity bytes and its last status reading.
extern uint8_t gbyteFirmVersion;
extern uint8_t gbyteCameraModel;
extern uint8_t gbyteCameraType;
extern uint8_t gbyteCurIRIS;
extern uint8_t gbyteCurWbRB;
extern uint8_t gbyteCurWbMG;
extern uint8_t gbyteCurGain;
extern std::string gstrCurStatusTime;  // "hh:mm:ss" of the last status reading

// ---- Parameter files -----------------------------------------------------------------------------
extern bool gblnInitialSet;  // the loaded file asks for an EEPROM clear before it is applied

// ---- Progress window -----------------------------------------------------------------------------
extern std::string gstrStatusCaption;
extern int32_t glngStatusMax;
extern int32_t glngStatusValue;
extern bool gblnShowStatus;  // the progress window is loaded

// ---- Splash screen -----------------------------------------------------------------------------
extern bool gblnShowSplash;  // the splash screen is loaded

// ---- File-data window ----------------------------------------------------------------------
extern bool gblnDispNewData;     // set before showing it: True = the file's values beside the current ones
extern bool gblnDispDataCancel;  // its answer: True unless OK was pressed

}  // namespace mdlVariables

using namespace mdlVariables;
