#pragma once
// Start-up and shutdown call into the serial link and the windows, which sit above the core and
// are linked only into the program. They reach them through these calls, which the program's
// entry (or a test) sets before Main runs. An unset call raises run-time error 91.
#include <functional>

namespace SubMain {

struct UpperLayerCalls {
  std::function<void()> frmPortChange_ShowModal;  // the port-selection window, modal
  std::function<void()> frmMain_Show;             // the main window, modeless
  std::function<bool()> gblnMSComm_Close;         // closes the serial port
};

// The calls in use (unset until the program or a test sets them).
UpperLayerCalls& UpperLayers();

}  // namespace SubMain
