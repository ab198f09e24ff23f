#pragma once
// Registry enumeration (module mdlRegistry): the names and data of the values of one key,
// into gstrRegEnumName and gstrRegEnumData (core/variables.h).
#include <cstdint>
#include <string>

namespace mdlRegistry {

// Enumerates the values of root\subkey; returns their number, or -1 when the key does not open
// (the arrays are then left as they were). Text values give their text, binary values their
// bytes as characters, 32-bit numbers their unsigned decimal text, other types "".
int32_t glngGetRegEnum(int32_t vlngRootKey, const std::string& vstrSubKey);

// The text before its first NUL character (the whole text when it has none).
std::string strRemoveNull(const std::string& vstrText);

}  // namespace mdlRegistry
