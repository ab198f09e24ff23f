// The program's entry: runs start-up; the program runs until no window is loaded.
#include "core/not_built_yet.h"
#include "core/start_up.h"
#include "platform/vb/error.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  // Every procedure reports its run-time errors through the common error reporter.
  vb::SetErrorReporter([](const std::string& procedure) { SubMain::gErrorProc(procedure); });
  SubMain::Main();
  // No window can be loaded yet (the main window reports itself as not built on standard
  // error), so the program ends here.
  return 0;
}
