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
int32_t glngRcvRetry = 0;
int32_t glngSleepTimeUnit = 0;
int32_t glngTimeOut = 0;
int32_t glngRetryWrongReplayBeforeMsg = 0;
int32_t glngRetryTimeOutBeforeMsg = 0;
std::string gstrSettings;
bool gblnAutoBaudRateChange = false;
bool gblnEnterKeySend = false;
bool gblnWriteErrLogWrongReplay = false;
bool gblnWriteErrLogTimeOut = false;
bool gblnOptimizeWritting = false;
std::vector<std::string> gstrRecentlyUsedFile(6);  // indexes 0 to 5, emptied again by Main
bool gblnWriteLogFile = false;
std::string gstrAdvancedPwd;
int32_t glngStartUpTabNo = 0;
int32_t glngSmallChange = 0;
int32_t glngLargeChange = 0;
bool gblnDeveloping = false;
bool gblnAdvancedMode = false;

// Registry enumeration
std::vector<std::string> gstrRegEnumName;
std::vector<std::string> gstrRegEnumData;

// Serial link state
bool gblnOnLine = false;
serial::MSComm* gobjMSComm = nullptr;
uint8_t gbyteCurrentMode = 0;
bool gblnKeepNotSupportCmd = false;
bool gblnReadingData = false;
bool gblnEEPROMWriting = false;
bool gblnTimeOutRetry = false;
int32_t glngTimeOutCount = 0;
bool gblnWrongReplayRetry = false;
int32_t glngWrongReplayCount = 0;
uint8_t gbyteFirmVersion = 0;
uint8_t gbyteCameraModel = 0;
uint8_t gbyteCameraType = 0;
uint8_t gbyteCurIRIS = 0;
uint8_t gbyteCurWbRB = 0;
uint8_t gbyteCurWbMG = 0;
uint8_t gbyteCurGain = 0;
std::string gstrCurStatusTime;

// Parameter files
bool gblnInitialSet = false;

// Progress window
std::string gstrStatusCaption;
int32_t glngStatusMax = 0;
int32_t glngStatusValue = 0;
bool gblnShowStatus = false;

// Splash screen
bool gblnShowSplash = false;

// File-data window
bool gblnDispNewData = false;
bool gblnDispDataCancel = false;

}  // namespace mdlVariables
