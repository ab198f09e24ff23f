// The secondary windows of the main window. The file-data window stands in until it lands:
// a bare window of its name with its OK and Cancel.
#include "ui/main_window_windows_shim.h"

#include "platform/forms/forms.h"
#include "ui/about_window.h"
#include "ui/all_data_window.h"
#include "ui/password_window.h"

bool mdlVariables::gblnDispNewData = false;
bool mdlVariables::gblnDispDataCancel = true;

namespace {

class KRVFileData : public forms::Form {
 public:
  KRVFileData() : forms::Form("frmDispKRVFileData") {
    UseLayoutText("Form frmDispKRVFileData Caption=\"File Data\" ClientWidth=3000 ClientHeight=1200\n"
                  "CommandButton cmdOk Left=120 Top=120 Width=1200 Height=360 Caption=\"OK(&O)\"\n"
                  "CommandButton cmdCancel Left=120 Top=600 Width=1200 Height=360 Caption=\"Cancel(&C)\"\n");
    cmdOk.Click = [this] {
      gblnDispDataCancel = false;
      Unload();
    };
    cmdCancel.Click = [this] { Unload(); };
  }
  void Form_Load() override { gblnDispDataCancel = true; }
  forms::CommandButton cmdOk{this, "cmdOk"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};
};

}  // namespace

namespace MainWindowWindows {
void ShowKRVFileData() { forms::DefaultInstance<KRVFileData>().Show(forms::vbModal); }
void ShowAllData() { frmSimpleStyle().Show(forms::vbModal); }
void ShowPassword() { frmPwd().Show(forms::vbModal); }
void ShowAbout() { frmAbout().Show(forms::vbModal); }
}  // namespace MainWindowWindows
