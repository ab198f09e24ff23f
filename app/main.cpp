// The program's entry: opens the window session, runs start-up, and runs until no window is
// loaded.
#include <csignal>
#include <cstdio>

#include "core/start_up.h"
#include "core/logs.h"
#include "core/upper_layers.h"
#include "link/mscomm.h"
#include "link/port_change_window.h"
#include "ui/main_window.h"
#include "platform/vb/error.h"
#ifdef ORVADEX_GUI
#include "platform/qt/application.h"
#endif

int main(int argc, char** argv) {
  // A write past the file-size limit fails (EFBIG) and is reported as the full disk it is,
  // rather than killing the program with half a log line and no settings written.
  std::signal(SIGXFSZ, SIG_IGN);
  // A write to a closed pipe (standard error read by a terminal or a launcher that has gone)
  // fails instead of ending the program, as a desktop program's does.
  std::signal(SIGPIPE, SIG_IGN);
  // Every procedure reports its run-time errors through the common error reporter.
  vb::SetErrorReporter([](const std::string& procedure) { SubMain::gErrorProc(procedure); });
  // The windows and the serial link that start-up and shutdown call into.
  SubMain::UpperLayerCalls& upper = SubMain::UpperLayers();
  upper.frmPortChange_ShowModal = [] { frmPortChange().Show(forms::vbModal); };
  upper.frmMain_Show = [] { frmMain().Show(); };
  upper.gblnMSComm_Close = [] { return mdlMSComm::gblnMSComm_Close(); };
#ifdef ORVADEX_GUI
  // Without a display this says so and returns non-zero. On the offscreen platform (tests)
  // message boxes are answered on standard error with their default button.
  return qtview::run(argc, argv, [] { SubMain::Main(); });
#else
  (void)argc;
  (void)argv;
  // A build without the window front end: message boxes go to standard error.
  SubMain::Main();
  return 0;
#endif
}
