// Stands in for the secondary windows until they land: each is a bare window of the real
// window's name, shown modally; the file-data stand-in has the real window's OK and Cancel.
#include "ui/main_window_windows_shim.h"

#include "platform/forms/forms.h"

bool mdlVariables::gblnDispNewData = false;
bool mdlVariables::gblnDispDataCancel = true;

namespace {

class StandIn : public forms::Form {
 public:
  explicit StandIn(const std::string& name) : forms::Form(name) {
    UseLayoutText("Form " + name + " Caption=\"" + name + "\" ClientWidth=3000 ClientHeight=1200\n"
                  "CommandButton cmdOk Left=120 Top=120 Width=1200 Height=360 Caption=\"OK(&O)\"\n"
                  "CommandButton cmdCancel Left=120 Top=600 Width=1200 Height=360 Caption=\"Cancel(&C)\"\n");
    cmdOk.Click = [this] {
      if (Name() == "frmDispKRVFileData") gblnDispDataCancel = false;
      Unload();
    };
    cmdCancel.Click = [this] { Unload(); };
  }
  void Form_Load() override {
    if (Name() == "frmDispKRVFileData") gblnDispDataCancel = true;
  }
  forms::CommandButton cmdOk{this, "cmdOk"};
  forms::CommandButton cmdCancel{this, "cmdCancel"};
};

struct KRVFileData : StandIn { KRVFileData() : StandIn("frmDispKRVFileData") {} };
struct SimpleStyle : StandIn { SimpleStyle() : StandIn("frmSimpleStyle") {} };
struct Pwd : StandIn { Pwd() : StandIn("frmPwd") {} };
struct About : StandIn { About() : StandIn("frmAbout") {} };

}  // namespace

namespace MainWindowWindows {
void ShowKRVFileData() { forms::DefaultInstance<KRVFileData>().Show(forms::vbModal); }
void ShowAllData() { forms::DefaultInstance<SimpleStyle>().Show(forms::vbModal); }
void ShowPassword() { forms::DefaultInstance<Pwd>().Show(forms::vbModal); }
void ShowAbout() { forms::DefaultInstance<About>().Show(forms::vbModal); }
}  // namespace MainWindowWindows
