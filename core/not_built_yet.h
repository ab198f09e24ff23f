#pragma once
// Stand-ins for procedures whose real code has not landed yet. Each says on standard error that
// it stands in and fails (returns False), so that start-up ends cleanly where it would need
// one. When the real procedure lands, delete its stand-in here and in not_built_yet.cpp, and
// include the header of the real one from this file in its place.
#include <string>

namespace SubMain {
// Stands in for the common error reporter until the error log lands: shows the critical box
// "System error occured." with the number and description of the pending error (captioned
// with the reporting text) and clears the error; with no error pending, writes the reporting
// text to standard error. Writes no error log.
void gErrorProc(const std::string& reportingText);
// Stand in for the settings file until it lands.
bool gblnReadInitFile();
bool gblnWriteInitFile();
}  // namespace SubMain

namespace mdlCommon {
// Stand in for the common file helpers until they land.
bool gblnDeleteFile(const std::string& path);
bool gblnChkFileExist(const std::string& path);
}  // namespace mdlCommon

// Stand-ins for the windows and the serial link, installed as the defaults of UpperLayers()
// (core/upper_layers.h) until the real ones are installed by the program's entry.
namespace NotBuiltYet {
void frmPortChange_ShowModal();  // shows nothing: the port stays unchosen
void frmMain_Show();             // shows nothing
bool gblnMSComm_Close();
}  // namespace NotBuiltYet
