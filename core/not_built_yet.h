#pragma once
// Stand-ins for procedures whose real code has not landed yet. Each says on standard error that
// it stands in and fails (returns False), so that start-up ends cleanly where it would need
// one. When the real procedure lands, delete its stand-in here and in not_built_yet.cpp, and
// include the header of the real one from this file in its place.
#include <string>

#include "core/common_helpers.h"
#include "core/logs.h"
#include "core/settings_file.h"

// Stand-ins for the windows and the serial link, installed as the defaults of UpperLayers()
// (core/upper_layers.h) until the real ones are installed by the program's entry.
namespace NotBuiltYet {
void frmPortChange_ShowModal();  // shows nothing: the port stays unchosen
void frmMain_Show();             // shows nothing
bool gblnMSComm_Close();
}  // namespace NotBuiltYet
