#include "core/variables.h"

namespace mdlVariables {

// Parameter table and values
std::array<std::unique_ptr<clsDataInfo>, 256> gobjDataInfo;
std::array<uint8_t, 256> gbyteCurrentData{};
std::array<int16_t, 256> gintFileData{};
std::array<uint8_t, 256> gbyteFileData{};

// Command lists
std::string gstrAllCmdList;
std::string gstrKRVCmdList;
std::string gstrWriteCmdList;

// Settings
int32_t glngPortNo = 0;
std::vector<std::string> gstrRecentlyUsedFile;
int32_t glngStartUpTabNo = 0;
bool gblnDeveloping = false;
bool gblnAdvancedMode = false;

// Serial link state
bool gblnOnLine = false;
uint8_t gbyteFirmVersion = 0;
uint8_t gbyteCameraModel = 0;
uint8_t gbyteCameraType = 0;

// Parameter files
bool gblnInitialSet = false;

// Progress window
std::string gstrStatusCaption;
int32_t glngStatusMax = 0;
int32_t glngStatusValue = 0;

}  // namespace mdlVariables
