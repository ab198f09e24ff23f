// Stand-ins for procedures whose real code has not landed yet (see not_built_yet.h).
#include "core/not_built_yet.h"

#include <cstdio>

#include "platform/app/res_string.h"
#include "platform/forms/host.h"
#include "platform/vb/error.h"

namespace {
void sayNotBuilt(const char* what) { std::fprintf(stderr, "orvadex: %s is not built yet\n", what); }
}  // namespace

namespace NotBuiltYet {

// Stands in until the port-selection window lands.
void frmPortChange_ShowModal() { sayNotBuilt("the port-selection window frmPortChange"); }

// Stands in until the main window lands: the program ends after Main.
void frmMain_Show() { sayNotBuilt("the main window frmMain; the program ends"); }

// Stands in until the serial link lands.
bool gblnMSComm_Close() {
  sayNotBuilt("mdlMSComm.gblnMSComm_Close");
  return false;
}

}  // namespace NotBuiltYet
