#pragma once
// The camera protocol: the serial port's set-up, one two-byte command transaction with its
// reply check and recovery, the baud-rate detection and the list transfers and queries.
#include <cstdint>
#include <functional>
#include <string>

namespace mdlMSComm {

// ---- Port and transaction ------------------------------------------------------------------
// Opens and sets up the port of glngPortNo, finds the baud rate and reads the camera's identity.
// True when the camera answered (gblnOnLine then True).
bool gblnMSComm_Init();

// One transaction: sends (vbyteCmd, vbyteData) and checks the camera's reply, recovering from
// time-outs and wrong replies. The reply bytes are written to rbyteReplyCmd and rbyteReplyData.
// rintStatus receives 0 (none), 1 (time-out), 2 (wrong reply) or kStatusRefused; the form
// without it keeps a status of its own that its nested calls share.
bool gblnSendSettingData(uint8_t vbyteCmd, uint8_t vbyteData, uint8_t& rbyteReplyCmd,
                         uint8_t& rbyteReplyData);
// The status of a transaction refused because another one is under way (asked for by what the
// repaint of the screen work on the wire let through): it failed without a byte on the wire.
constexpr int16_t kStatusRefused = 3;
bool gblnSendSettingData(uint8_t vbyteCmd, uint8_t vbyteData, uint8_t& rbyteReplyCmd,
                         uint8_t& rbyteReplyData, int16_t& rintStatus);

// Work for the screen that can wait for the next command (a progress window's repaint): it runs
// once that command's bytes are on their way, in the time the link would only wait for the
// reply, so that a transfer of many commands takes its wire time and no more. A later call
// replaces work not yet run; gFinishWorkOnWire runs it at once (the transfer has no next command).
void gDoWhileNextCommandOnWire(std::function<void()> work);
void gFinishWorkOnWire();

// What `window` does as soon as the link knows the camera is gone (its device unplugged or hung
// up), gblnOnLine already False, before the error is reported: show the line off. A later call
// for the window replaces it; an empty `show` forgets the window.
void gWhenLineLost(const void* window, std::function<void()> show);

// Closes the port when it is open.
bool gblnMSComm_Close();

// The present local time as seconds since the start of the month: ((dd*24+hh)*60+mm)*60+ss.
// It falls back at the end of a month; the waits of the link therefore count seconds on the
// monotonic clock instead.
int32_t mlngGetDDHHMMSS();

// Removes a code the camera does not support from the three command lists.
bool mblnRemoveNotSupportCmd(uint8_t vbyteCmd);

// ---- Baud rate --------------------------------------------------------------------------------
// Finds the setting at which the camera answers and the shortest poll interval that finds the
// reply at the first poll; stores them in gstrSettings and glngSleepTimeUnit.
bool gblnSetBaudRate();
// One probe with the sync command at `vstrSettings`, polling every `vstrInterval` ms;
// rlngPolls receives the number of empty polls before the reply. Used by gblnSetBaudRate only.
bool mblnCheckBaudRate(const std::string& vstrSettings, const std::string& vstrInterval,
                       int32_t& rlngPolls);

// ---- Queries and list transfers ----------------------------------------------------------
// Sends the current value of every code of the list, optionally framed by sync and end.
bool gblnSetDataFromPC(std::string vstrCmdList, bool vblnFrame);
// Reads every code of the list from the camera into gbyteCurrentData.
bool gblnGetDataFromCamera(std::string vstrCmdList);
// Reads the status bytes (iris, white balance, gain) and stamps gstrCurStatusTime.
bool gblnGetCurrentData();
// Reads the firmware version (into rbyteFirmVersion), the camera model and the camera type.
bool gblnGetFirmVersion(uint8_t& rbyteFirmVersion);
// True when the code stands in gstrAllCmdList.
bool gblnSupportCmdOrNot(uint8_t vbyteCmd);

}  // namespace mdlMSComm
