#pragma once
// The secondary windows the main window opens modally: the file-data window, the all-data
// view, the password window and the about window.
namespace MainWindowWindows {

// The file-data window over gstrKRVCmdList (with the file's values when gblnDispNewData);
// its answer is left in gblnDispDataCancel.
void ShowKRVFileData();
void ShowAllData();
void ShowPassword();
void ShowAbout();

}  // namespace MainWindowWindows
