#include "ui/about_window.h"

#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/app.h"
#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/fs/files.h"
#include "platform/registry/registry.h"
#include "platform/vb/shell.h"
#include "platform/vb/vb.h"

namespace {
// Where the system-information viewer is registered: its path, or the folder that holds it.
constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSysInfoValue = "PATH";
constexpr const char* kSysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kSysInfoLocationValue = "MSINFO";
constexpr const char* kSysInfoProgram = "/MSINFO32.EXE";
constexpr long kKeyAccess = 0x2003F;
// The size of the buffer a registry value is read into.
constexpr size_t kValueBuffer = 1024;

// A byte as two upper-case hexadecimal digits.
std::string twoHexDigits(long value) { return vb::Right("00" + vb::Hex(value), 2); }
}  // namespace

FrmAbout::FrmAbout() : forms::Form("frmAbout") {
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
  lblLink.Click = [this] { lblLink_Click(); };
}

FrmAbout& frmAbout() { return forms::DefaultInstance<FrmAbout>(); }

void FrmAbout::Form_Load() {
  vb::guarded("frmAbout.Form_Load", [&] {
    forms::InitCommonControls();
    const std::string title = SubMain::gstrGetAppTitleString();
    Caption(title + " [Version Information]");
    lblVersion.Caption("Control Software : Version " + SubMain::gstrGetVersionString());
    lblTitle.Caption(title);
    lblFirmWare.Caption("Firmware : Version " + vb::Right(vb::Space(5) + vb::CStr(gbyteFirmVersion), 5));
    lblDisclaimer.Caption("CDS" + vb::CStr(vb::App::Major()) + vb::CStr(vb::App::Minor()) +
                          vb::CStr(vb::App::Revision()) + "F" + twoHexDigits(gbyteFirmVersion) + "M" +
                          twoHexDigits(gbyteCameraModel) + "T" + twoHexDigits(gbyteCameraType));
    lblLink.Caption(vb::LoadResString(500));
  });
}

void FrmAbout::cmdOK_Click() {
  vb::guarded("frmAbout.cmdOK_Click", [&] { Unload(); });
}

void FrmAbout::cmdSysInfo_Click() {
  vb::guarded("frmAbout.cmdSysInfo_Click", [&] { StartSysInfo(); });
}

void FrmAbout::lblLink_Click() {
  // What the shell makes of the link is its own affair: the result is not looked at.
  vb::guarded("frmAbout.lblLink_Click", [&] { forms::host().OpenDocument(lblLink.Caption()); });
}

void FrmAbout::StartSysInfo() {
  vb::guarded("frmAbout.StartSysInfo", [&] {
    std::string path;
    if (GetKeyValue(registry::HKEY_LOCAL_MACHINE, kSysInfoKey, kSysInfoValue, path)) {
      // the registered path itself
    } else if (GetKeyValue(registry::HKEY_LOCAL_MACHINE, kSysInfoLocationKey, kSysInfoLocationValue, path) &&
               files::FileExists(path + kSysInfoProgram)) {
      path += kSysInfoProgram;
    } else {
      // No viewer: nothing happens, unless an error is pending from the look-up.
      if (Err) vb::Raise(Err.Number, Err.Description, Err.Source);
      return;
    }
    vb::Shell(path, vb::vbNormalFocus);
  });
}

bool FrmAbout::GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
  return vb::guarded("frmAbout.GetKeyValue", [&] {
    registry::HKEY key = 0;
    if (registry::RegOpenKeyEx(KeyRoot, KeyName, 0, kKeyAccess, key) != registry::ERROR_SUCCESS) {
      KeyVal = "";
      return false;
    }
    long type = 0;
    std::string data;
    // A value longer than the buffer is not read, as the platform answers "more data" for it.
    if (registry::RegQueryValueEx(key, SubKeyRef, type, data) != registry::ERROR_SUCCESS ||
        data.size() > kValueBuffer) {
      KeyVal = "";
      registry::RegCloseKey(key);
      return false;
    }
    if (!data.empty() && data.back() == '\0') data.pop_back();
    if (type == registry::REG_SZ) {
      KeyVal = data;
    } else if (type == registry::REG_DWORD) {
      std::string text = "&h";
      for (size_t i = data.size(); i-- > 0;) text += twoHexDigits(static_cast<unsigned char>(data[i]));
      KeyVal = text;
    }
    registry::RegCloseKey(key);
    return true;
  });
}
