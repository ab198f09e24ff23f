#pragma once
// Common helpers (module mdlCommon): profile files, file names, deleting, existence and
// searching of files. Paths use "/" between folder and file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/profile/profile.h"

namespace forms {
class TextBox;
}

namespace mdlCommon {

// The value of the key (NUL characters removed, surrounding blanks removed), or the default
// when the key or the file is missing; read through a 1024-character buffer, so a longer
// value comes back cut to 1023 characters.
std::string GetPrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                    const std::string& vstrDefault, const std::string& vstrFileName);
// The same from a file read once (a reader of many keys).
std::string GetPrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                    const std::string& vstrDefault, const profile::Document& vobjFile);
// Writes key=value; returns the platform writer's result (non-zero on success).
int32_t WritePrivateProfileString(const std::string& vstrSection, const std::string& vstrKey,
                                  const std::string& vstrValue, const std::string& vstrFileName);

// Name splitting by the last "." or "/" anywhere in the text (folder names included).
std::string GetNoneExtFileName(const std::string& vstrPath);  // text before the last "."
std::string GetExt(const std::string& vstrPath);              // text after the last ".", or ""
std::string GetOnlyFileName(const std::string& vstrPath);     // text after the last "/"

// Deletes the file (wildcards "*" and "?" allowed); a missing file counts as deleted.
bool gblnDeleteFile(const std::string& vstrPath);
// True when the file can be opened for reading; a missing file or folder is no error.
bool gblnChkFileExist(const std::string& vstrPath);
// Adds folder + "/" + name to the collection for every ordinary file of the folder whose name
// matches the pattern ("*", "?", "#", [lists]; case ignored), or every file when the pattern
// is empty, in the order the folder lists them.
bool gFileSearch(std::vector<std::string>& rcolFiles, const std::string& vstrFolder, const std::string& vstrPattern);

// Adds the style bits to the text box's window style (bits are only added, never removed);
// the value boxes get ES_NUMBER (0x2000, digits only).
bool gblnTextBox_LockStyle(forms::TextBox& rtxtTextBox, int32_t vlngStyle);

}  // namespace mdlCommon
