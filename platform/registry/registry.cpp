#include "platform/registry/registry.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace registry {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Key paths compare ignoring case, with "/" taken as "\" and no surrounding separators.
std::string KeyId(const std::string& path) {
  std::string id;
  for (char c : path) id += c == '/' ? '\\' : Lower(c);
  while (!id.empty() && id.front() == '\\') id.erase(0, 1);
  while (!id.empty() && id.back() == '\\') id.pop_back();
  return id;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string Text(const std::string& s) { return s + '\0'; }

// The system-information viewer: the first of a few known viewers found on the PATH.
std::string FindSystemInfoViewer() {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  static const char* const viewers[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"};
  for (const char* viewer : viewers) {
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
      std::size_t end = dirs.find(':', start);
      if (end == std::string::npos) end = dirs.size();
      std::string dir = dirs.substr(start, end - start);
      if (!dir.empty()) {
        std::string candidate = dir + "/" + viewer;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
      }
      start = end + 1;
    }
  }
  return {};
}

struct State {
  std::mutex mutex;
  std::map<std::string, std::vector<Value>> overrides;
  std::map<HKEY, std::vector<Value>> open;
  HKEY next = 0x100;
};

State& state() {
  static State s;
  return s;
}

// The values of a key as it stands now, or false when the key does not exist.
bool LoadKey(HKEY root, const std::string& subKey, std::vector<Value>& values) {
  if (root != HKEY_LOCAL_MACHINE) return false;
  const std::string id = KeyId(subKey);
  {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.overrides.find(id);
    if (it != s.overrides.end()) {
      values = it->second;
      return true;
    }
  }
  values.clear();
  if (id == "hardware\\devicemap\\serialcomm") {
    for (const auto& [number, device] : SerialPorts()) {
      values.push_back({"\\Device\\Serial" + std::to_string(number - 1), REG_SZ, Text("COM" + std::to_string(number))});
    }
    return true;
  }
  if (id == "software\\microsoft\\shared tools\\msinfo") {
    std::string viewer = FindSystemInfoViewer();
    if (!viewer.empty()) values.push_back({"PATH", REG_SZ, Text(viewer)});
    return true;
  }
  if (id == "software\\microsoft\\shared tools location") return true;
  return false;
}

}  // namespace

long RegOpenKeyEx(HKEY root, const std::string& subKey, long options, long access, HKEY& result) {
  std::vector<Value> values;
  if (!LoadKey(root, subKey, values)) return ERROR_FILE_NOT_FOUND;
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  result = s.next++;
  s.open[result] = std::move(values);
  return ERROR_SUCCESS;
}

long RegEnumValue(HKEY key, long index, std::string& name, long nameSize, long& type, std::string& data) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.open.find(key);
  if (it == s.open.end()) return ERROR_INVALID_HANDLE;
  if (index < 0 || static_cast<std::size_t>(index) >= it->second.size()) return ERROR_NO_MORE_ITEMS;
  const Value& v = it->second[static_cast<std::size_t>(index)];
  if (nameSize <= 0 || static_cast<long>(v.name.size()) >= nameSize) return ERROR_MORE_DATA;
  name = v.name;
  type = v.type;
  data = v.data;
  return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const std::string& valueName, long& type, std::string& data) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.open.find(key);
  if (it == s.open.end()) return ERROR_INVALID_HANDLE;
  for (const Value& v : it->second) {
    if (SameName(v.name, valueName)) {
      type = v.type;
      data = v.data;
      return ERROR_SUCCESS;
    }
  }
  return ERROR_FILE_NOT_FOUND;
}

long RegCloseKey(HKEY key) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.open.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace testhooks {
void SetKey(const std::string& subKey, std::vector<Value> values) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.overrides[KeyId(subKey)] = std::move(values);
}
void Reset() {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.overrides.clear();
}
}  // namespace testhooks

}  // namespace registry
