#pragma once
// Parameter files: the ini-style KRV/MZL, CFG and DEV files the tool writes and reads key by
// key, and the two older sequential formats (4000 and 5000) that it still reads.
#include <cstdint>
#include <span>
#include <string>

namespace SubMain {

// Saves the values `rbyteData` (indexed by command code) to the parameter file `vstrFileName`.
// The kind of file follows the extension: CFG, DEV, anything else KRV. Lines of an existing
// file that the save does not write are kept; the file is replaced as a whole, so a failed
// save leaves the previous file as it was. With `vblnAddRecent` the name goes to the top of
// the recent-file list. False after a run-time error (reported) or a refused file.
bool gblnKRVFileSave(const std::string& vstrFileName, std::span<const uint8_t> rbyteData,
                     bool vblnAddRecent);

// Loads the parameter file `vstrFileName` into `rintData` (-1 for every code the file does not
// hold), sets gblnInitialSet, hands back the FileKind text of an ini-style file in `rstrKind`
// and sets `rblnCancel` when the user declines a file of another firmware version (it is never
// cleared here). True when the file was read, also when declined; False when reading failed.
bool gblnKRVFileLoad(const std::string& vstrFileName, std::span<int16_t> rintData,
                     std::string& rstrKind, bool& rblnCancel);

// Largest parameter file the tool reads or saves over: real ones are a few kilobytes.
inline constexpr std::uintmax_t glngMaxParameterFileSize = 1024 * 1024;

}  // namespace SubMain
