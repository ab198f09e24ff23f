#pragma once
// Start-up and shutdown (module SubMain): the program's entry and exit, the parameter table,
// and the application title and version texts that every window uses.
#include <string>

namespace SubMain {

// The process entry: refuses a second instance, prepares the shared data, makes sure a serial
// port is chosen and shows the main window. The program ends when it has returned and no
// window is loaded.
void Main();

// Shutdown: closes the serial port, writes the settings file, releases the parameter table.
// Stops at the first failing step; True when all succeeded. From its start, windows that are
// unloaded are no longer loaded again by touching their controls (forms::BeginProgramEnd).
bool gblnApplicationEnd();

// The version, "<major>.<minor><revision>" (1, 3, 1 gives "1.31"); "" on failure.
std::string gstrGetVersionString();
// The application title, the caption of the program's message boxes; "" on failure.
std::string gstrGetAppTitleString();

// Steps of Main, declared here for the tests only.
bool mblnSetDataInfo();   // builds the parameter table gobjDataInfo
bool mblnIniVariable();   // copies every default into gbyteCurrentData

}  // namespace SubMain
