#include "link/port_change_window.h"

#include "core/registry_enum.h"
#include "core/start_up.h"
#include "core/variables.h"
#include "platform/app/res_string.h"
#include "platform/registry/registry.h"
#include "platform/vb/vb.h"

namespace {
constexpr int kMaxPortNo = 99;

// The number in a "COM<n>" text (its trailing digits), as the up-down steps it.
long portNumberOfText(const std::string& text) {
  return FrmPortChange::mlngGetPortNoFromPortName(text);
}
}  // namespace

FrmPortChange::FrmPortChange() : forms::Form("frmPortChange") {
  udPortNo.UpClick = [this] { udPortNo_UpClick(); };
  udPortNo.DownClick = [this] { udPortNo_DownClick(); };
  btnOK.Click = [this] { btnOK_Click(); };
  btnCancel.Click = [this] { btnCancel_Click(); };
}

FrmPortChange& frmPortChange() { return forms::DefaultInstance<FrmPortChange>(); }

int32_t FrmPortChange::mlngGetPortNoFromPortName(const std::string& vstrPortName) {
  return vb::guarded("frmPortChange.mlngGetPortNoFromPortName", [&]() -> int32_t {
    int32_t result = 0;
    const long length = vb::Len(vstrPortName);
    for (long k = 1; k <= length; ++k) {
      const std::string tail = vb::Right(vstrPortName, k);
      if (!vb::IsNumeric(tail)) break;
      result = vb::CLng(tail);
    }
    return result;
  });
}

bool FrmPortChange::mblnInitPortNoBox(int32_t& rlngPortNo) {
  return vb::guarded("frmPortChange.mblnInitPortNoBox", [&] {
    const int32_t count =
        mdlRegistry::glngGetRegEnum(registry::HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    if (count < 1) {
      mblnPortListFound = false;
      return true;
    }
    mblnPortListFound = true;
    cmbPortNo.Clear();
    for (int32_t i = 0; i < count; ++i) {
      const std::string name = gstrRegEnumData.at(static_cast<size_t>(i));
      const int32_t number = mlngGetPortNoFromPortName(name);
      int before = -1;
      for (int j = 0; j < cmbPortNo.ListCount(); ++j) {
        if (mlngGetPortNoFromPortName(cmbPortNo.List(j)) > number) {
          before = j;
          break;
        }
      }
      cmbPortNo.AddItem(name, before);
    }
    cmbPortNo.ListIndex(0);
    const std::string wanted = "COM" + vb::CStr(static_cast<long>(rlngPortNo));
    for (int j = 0; j < cmbPortNo.ListCount(); ++j) {
      if (cmbPortNo.List(j) == wanted) {
        cmbPortNo.ListIndex(j);
        break;
      }
    }
    return true;
  });
}

void FrmPortChange::Form_Load() {
  vb::guarded("frmPortChange.Form_Load", [&] {
    Caption(SubMain::gstrGetAppTitleString() + " [Serial Port Select]");
    lblPortNoInputMsg.Caption(vb::LoadResString(311));
    if (!mblnInitPortNoBox(glngPortNo)) {
      if (Err) vb::Raise(Err.Number, Err.Description, Err.Source);
      return;
    }
    if (mblnPortListFound) {
      txtPortNo.Visible(false);
      udPortNo.Visible(false);
      cmbPortNo.Visible(true);
    } else {
      txtPortNo.Text("COM" + vb::CStr(static_cast<long>(glngPortNo == 0 ? 1 : glngPortNo)));
      txtPortNo.Visible(true);
      udPortNo.Visible(true);
      cmbPortNo.Visible(false);
    }
    mlngSavedMousePointer = forms::Screen.MousePointer();
    forms::Screen.MousePointer(forms::vbDefault);
  });
}

void FrmPortChange::Form_Unload(int& Cancel) {
  vb::guarded("frmPortChange.Form_Unload", [&] { forms::Screen.MousePointer(mlngSavedMousePointer); });
}

void FrmPortChange::udPortNo_UpClick() {
  vb::guarded("frmPortChange.udPortNo_UpClick", [&] {
    long n = portNumberOfText(txtPortNo.Text()) + 1;
    if (n > kMaxPortNo) n = kMaxPortNo;
    txtPortNo.Text("COM" + vb::CStr(n));
  });
}

void FrmPortChange::udPortNo_DownClick() {
  vb::guarded("frmPortChange.udPortNo_DownClick", [&] {
    long n = portNumberOfText(txtPortNo.Text()) - 1;
    if (n < 1) n = 1;
    txtPortNo.Text("COM" + vb::CStr(n));
  });
}

void FrmPortChange::btnOK_Click() {
  vb::guarded("frmPortChange.btnOK_Click", [&] {
    const std::string name = mblnPortListFound ? cmbPortNo.Text() : txtPortNo.Text();
    glngPortNo = mlngGetPortNoFromPortName(name);
    Unload();
  });
}

void FrmPortChange::btnCancel_Click() {
  vb::guarded("frmPortChange.btnCancel_Click", [&] { Unload(); });
}
