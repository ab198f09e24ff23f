#include "core/registry_enum.h"

#include "core/variables.h"
#include "platform/registry/registry.h"
#include "platform/vb/error.h"

namespace mdlRegistry {

std::string strRemoveNull(const std::string& vstrText) {
  std::size_t nul = vstrText.find('\0');
  return nul == std::string::npos ? vstrText : vstrText.substr(0, nul);
}

int32_t glngGetRegEnum(int32_t vlngRootKey, const std::string& vstrSubKey) {
  registry::HKEY key = 0;
  bool opened = false;
  int32_t result = -1;
  bool ok = vb::guarded("mdlRegistry.glngGetRegEnum", [&] {
    if (registry::RegOpenKeyEx(vlngRootKey, vstrSubKey, 0, registry::KEY_QUERY_VALUE, key) != registry::ERROR_SUCCESS) {
      return false;
    }
    opened = true;
    int32_t index = 0;
    for (;; ++index) {
      std::string name, data;
      long type = 0;
      if (registry::RegEnumValue(key, index, name, 80, type, data) != registry::ERROR_SUCCESS) break;
      gstrRegEnumName.resize(static_cast<std::size_t>(index) + 1);
      gstrRegEnumData.resize(static_cast<std::size_t>(index) + 1);
      gstrRegEnumName[index] = strRemoveNull(name);
      std::string text;
      switch (type) {
        case registry::REG_SZ:
          text = strRemoveNull(data);
          break;
        case registry::REG_BINARY:
          text = data;
          break;
        case registry::REG_DWORD: {
          uint32_t value = 0;
          for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
            value |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
          }
          text = std::to_string(value);
          break;
        }
        default:
          break;
      }
      gstrRegEnumData[index] = text;
    }
    result = index;
    return true;
  });
  if (opened) registry::RegCloseKey(key);
  return ok ? result : -1;
}

}  // namespace mdlRegistry
