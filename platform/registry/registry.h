#pragma once
// The registry, read only, as far as the program reads it:
//   HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM
//       one text value per serial port of the port map, named "\Device\Serial<n-1>" and
//       holding "COM<n>", in ascending port order;
//   HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO
//       "PATH": the system-information viewer, when one is installed;
//   HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools Location
//       (no values: there is no MSINFO32.EXE folder on this platform).
// Key paths match ignoring case and may use "\" or "/"; any other key does not open.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace registry {

using HKEY = int32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = static_cast<HKEY>(0x80000000u);
inline constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);
inline constexpr HKEY HKEY_LOCAL_MACHINE = static_cast<HKEY>(0x80000002u);
inline constexpr HKEY HKEY_USERS = static_cast<HKEY>(0x80000003u);

// Result codes.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_NO_MORE_ITEMS = 259;

// Value types.
inline constexpr long REG_NONE = 0;
inline constexpr long REG_SZ = 1;
inline constexpr long REG_BINARY = 3;
inline constexpr long REG_DWORD = 4;

// Access rights (accepted and ignored: every key is read only).
inline constexpr long KEY_QUERY_VALUE = 0x0001;
inline constexpr long KEY_ALL_ACCESS = 0xF003F;

// Opens root\subKey; on success `result` receives a handle for the calls below.
long RegOpenKeyEx(HKEY root, const std::string& subKey, long options, long access, HKEY& result);

// Value `index` of an open key: its name (at most nameSize - 1 characters, else
// ERROR_MORE_DATA), type and data (text values end with one NUL; numbers are 4 bytes, least
// significant first). ERROR_NO_MORE_ITEMS past the last value.
long RegEnumValue(HKEY key, long index, std::string& name, long nameSize, long& type, std::string& data);

// The value of the name (ignoring case) of an open key.
long RegQueryValueEx(HKEY key, const std::string& valueName, long& type, std::string& data);

long RegCloseKey(HKEY key);

// One value as it is stored.
struct Value {
  std::string name;
  long type = REG_SZ;
  std::string data;
};

// The serial ports the SERIALCOMM key lists, those of the port map (platform/serial/port_map.h):
// (COM number, device path), ascending.
std::vector<std::pair<int, std::string>> SerialPorts();

namespace testhooks {
// Replaces the values of one key under HKEY_LOCAL_MACHINE (the key then opens, also when it
// is not one of the keys above); Reset() drops every replacement.
void SetKey(const std::string& subKey, std::vector<Value> values);
void Reset();
}  // namespace testhooks

}  // namespace registry
