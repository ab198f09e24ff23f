// The secondary windows of the main window, each shown modally.
#include "ui/main_window_windows_shim.h"

#include "platform/forms/forms.h"
#include "ui/about_window.h"
#include "ui/all_data_window.h"
#include "ui/file_data_window.h"
#include "ui/password_window.h"

namespace MainWindowWindows {
void ShowKRVFileData() { frmDispKRVFileData().Show(forms::vbModal); }
void ShowAllData() { frmSimpleStyle().Show(forms::vbModal); }
void ShowPassword() { frmPwd().Show(forms::vbModal); }
void ShowAbout() { frmAbout().Show(forms::vbModal); }
}  // namespace MainWindowWindows
