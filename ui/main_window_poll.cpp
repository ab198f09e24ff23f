// The status poll of the "Current Data" frame and the focus of the pages.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "core/start_up.h"
#include "core/variables.h"
#include "link/mscomm.h"
#include "platform/app/res_string.h"
#include "platform/vb/vb.h"
#include "ui/main_window.h"

namespace {

constexpr long kPollPauseMs = 1000;

// The poll's run flag lives in the button's Tag as the text of a Boolean, so that the close
// check and a nested click read and flip the same flag.
bool pollRunning(const forms::CommandButton& button) { return vb::CBool(button.Tag()); }
void setPollRunning(forms::CommandButton& button, bool running) { button.Tag(vb::CStr(running)); }

// The last `width` digits of the value with leading zeros (a value of more digits loses its
// leading ones).
std::string lastDigits(uint8_t value, long width) { return vb::Right("000" + vb::CStr(value), width); }

// The page of the tab strip that holds `control`, -1 for a control outside it.
int pageOf(const forms::Control& control, const forms::SSTab& tabs) {
  const forms::Control* c = &control;
  while (c->Container() && c->Container() != &tabs) c = c->Container();
  return c->Container() ? c->ContainerTab() : -1;
}

// The control that gets the focus when page `tab` is chosen: the one the page's tab order
// starts at, as its layout gives it. An option group takes the focus at its selected button,
// and nowhere while none is selected.
forms::Control* pageFocusTarget(FrmMain& f, int tab) {
  const std::vector<forms::Control*> order = f.TabOrder();
  const auto first = std::find_if(order.begin(), order.end(),
                                  [&](const forms::Control* c) { return pageOf(*c, f.SSTab1) == tab; });
  if (first == order.end()) return nullptr;
  if ((*first)->kind() != forms::Kind::OptionButton) return *first;
  for (forms::Control* c : order)
    if (c->kind() == forms::Kind::OptionButton && c->Container() == (*first)->Container() &&
        static_cast<forms::OptionButton*>(c)->Value())
      return c;
  return nullptr;
}

std::string statusLine() {
  return "Time " + gstrCurStatusTime + "   IRIS=" + lastDigits(gbyteCurIRIS, 3) + "   WbRB=" +
         lastDigits(gbyteCurWbRB, 2) + "   WbMG=" + lastDigits(gbyteCurWbMG, 2) + "   Gain=" +
         lastDigits(gbyteCurGain, 3);
}

int message(long number, int buttons) {
  return forms::MsgBox(vb::LoadResString(number), buttons, SubMain::gstrGetAppTitleString());
}

}  // namespace

void FrmMain::cmdGetCurrentData_Click() {
  // Returns true when the click ends without the common ending (busy, or reconnected).
  const auto body = [&]() -> bool {
    if (!mblnChkNowProcessing()) return true;
    if (gblnOnLine) {
      setPollRunning(cmdGetCurrentData, !pollRunning(cmdGetCurrentData));
      for (;;) {
        // A second click or the loss of the focus clears the flag while the loop waits; the
        // end of the desktop session stops the poll as well.
        if (!pollRunning(cmdGetCurrentData) || forms::SessionEnding()) {
          setPollRunning(cmdGetCurrentData, false);
          cmdGetCurrentData.Caption("Get(&G)");
          return true;
        }
        cmdGetCurrentData.Caption("Stop(&S)");
        if (!mdlMSComm::gblnGetCurrentData()) return false;
        lblCurrentData.Caption(statusLine());
        // The interval lets the user act; a second click, the loss of the focus or the window's
        // close (End, once the flag is clear) ends it at once, and the loop ends without
        // touching a closed window again.
        forms::Pause(kPollPauseMs, [this] { return !Loaded() || !pollRunning(cmdGetCurrentData); });
        if (!Loaded()) return true;
      }
    }
    if (message(310, forms::vbYesNo + forms::vbExclamation) == forms::vbYes) {
      mnuReboot_Click();
      if (gblnOnLine) return true;
      message(351, forms::vbOKOnly + forms::vbExclamation);
    } else {
      message(351, forms::vbOKOnly + forms::vbInformation);
    }
    return false;
  };

  bool done = false;
  try {
    done = body();
  } catch (const vb::Error& e) {
    Err.Set(e);
  } catch (const std::exception& e) {
    Err.Set(vb::Error(51, std::string("Internal error: ") + e.what()));
  }
  if (done) return;
  vb::guarded("frmMain.cmdGetCurrentData_Click", [&] {
    if (Err) vb::ReportError("frmMain.cmdGetCurrentData_Click");
    if (!gblnOnLine) {
      mblnUpdateLineStatusString();
      gbyteFirmVersion = 0;
      lblFirmWareVersion.Caption("FirmWare Ver." + vb::CStr(gbyteFirmVersion));
    }
    cmdGetCurrentData.Caption("Get(&G)");
    setPollRunning(cmdGetCurrentData, false);
  });
}

void FrmMain::cmdGetCurrentData_LostFocus() {
  vb::guarded("frmMain.cmdGetCurrentData_LostFocus", [&] { setPollRunning(cmdGetCurrentData, false); });
}

void FrmMain::SSTab1_GotFocus() {
  try {
    const int tab = SSTab1.Tab();
    // The developing pages keep the focus on the tabs.
    if (std::find(kDevelopingPages.begin(), kDevelopingPages.end(), tab) != kDevelopingPages.end()) return;
    if (forms::Control* first = pageFocusTarget(*this, tab)) first->SetFocus();
  } catch (const vb::Error& e) {
    // A hidden or disabled first field (an unsupported code) just leaves the focus where it is.
    if (e.Number() == vb::errInvalidCall) return;
    Err.Set(e);
    vb::ReportError("frmMain.SSTab1_GotFocus");
  }
}
