#pragma once
// Program-wide variables (module mdlVariables). Every module reads and writes them directly;
// the `using` below lets code name them without the module prefix.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/data_info.h"

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
extern std::vector<std::string> gstrRecentlyUsedFile;  // recently used files, most recent first
extern int32_t glngStartUpTabNo;                     // tab of the main window shown first
extern bool gblnDeveloping;                          // developing mode
extern bool gblnAdvancedMode;                        // advanced mode (implied by developing mode)

// ---- Serial link state ---------------------------------------------------------------------------
extern bool gblnOnLine;  // the camera answers
extern uint8_t gbyteFirmVersion;  // the camera's firmware version (0 while off line)
extern uint8_t gbyteCameraModel;  // the camera's model byte
extern uint8_t gbyteCameraType;   // the camera's type byte

// ---- Parameter files -----------------------------------------------------------------------------
extern bool gblnInitialSet;  // the loaded file asks for an EEPROM clear before it is applied

// ---- Progress window -----------------------------------------------------------------------------
extern std::string gstrStatusCaption;
extern int32_t glngStatusMax;
extern int32_t glngStatusValue;

}  // namespace mdlVariables

using namespace mdlVariables;
