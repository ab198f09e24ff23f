#pragma once
// The secondary windows the main window opens modally: the file-data window, the all-data
// view, the password window and the about window. The main window reaches them only through
// these calls, so that each can be switched to its window as the window lands.
namespace MainWindowWindows {

// The file-data window over gstrKRVCmdList (with the file's values when gblnDispNewData);
// its answer is left in gblnDispDataCancel.
void ShowKRVFileData();
void ShowAllData();
void ShowPassword();
void ShowAbout();

}  // namespace MainWindowWindows

// Input and answer of the file-data window.
namespace mdlVariables {
extern bool gblnDispNewData;     // show the file's values beside the current ones
extern bool gblnDispDataCancel;  // True unless the window was closed with OK
}  // namespace mdlVariables
using namespace mdlVariables;
