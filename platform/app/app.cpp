#include "platform/app/app.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ORVADEX_VERSION_MAJOR
#error "ORVADEX_VERSION_MAJOR, _MINOR and _PATCH come from the project version (platform/CMakeLists.txt)"
#endif

namespace vb {

namespace {

struct Location {
  std::string folder;  // without a trailing "/", "/" for the root
  std::string file;    // file name as it lies in the folder
};

struct State {
  std::mutex mutex;
  std::optional<Location> forTesting;
  std::optional<Location> real;
  std::string helpFile;
  std::optional<bool> prevInstance;
  int lockFd = -1;
};

State& state() {
  static State s;
  return s;
}

std::string FolderWithoutSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder.empty() ? "/" : folder;
}

Location Split(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {FolderWithoutSlash(path.substr(0, slash)), path.substr(slash + 1)};
}

// The resolved path of the running executable.
Location RealLocation() {
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return {".", "orvadex"};
  path.resize(static_cast<size_t>(n));
  const std::string deleted = " (deleted)";  // the file was replaced while running
  if (path.size() > deleted.size() && path.ends_with(deleted)) path.resize(path.size() - deleted.size());
  return Split(path);
}

// Callers hold the mutex.
const Location& CurrentLocation() {
  State& s = state();
  if (s.forTesting) return *s.forTesting;
  if (!s.real) s.real = RealLocation();
  return *s.real;
}

// The executable's name as the program knows it: Linux executables carry no extension, so only
// a ".exe" ending is dropped ("tool.old" stays "tool.old", its log is "tool.old.LOG").
std::string WithoutExtension(const std::string& file) {
  const size_t n = file.size();
  if (n > 4 && file[n - 4] == '.' && (file[n - 3] | 0x20) == 'e' && (file[n - 2] | 0x20) == 'x' &&
      (file[n - 1] | 0x20) == 'e')
    return file.substr(0, n - 4);
  return file;
}

void ReleaseLock(State& s) {
  if (s.lockFd >= 0) close(s.lockFd);  // closing drops the flock
  s.lockFd = -1;
  s.prevInstance.reset();
}

}  // namespace

std::string App::Title() { return "Orvadex"; }
int App::Major() { return ORVADEX_VERSION_MAJOR; }
int App::Minor() { return ORVADEX_VERSION_MINOR; }
int App::Revision() { return ORVADEX_VERSION_PATCH; }

std::string App::Path() {
  std::lock_guard lock(state().mutex);
  return CurrentLocation().folder;
}

std::string App::EXEName() {
  std::lock_guard lock(state().mutex);
  return WithoutExtension(CurrentLocation().file);
}

std::string App::HelpFile() {
  std::lock_guard lock(state().mutex);
  return state().helpFile;
}

void App::HelpFile(std::string path) {
  std::lock_guard lock(state().mutex);
  state().helpFile = std::move(path);
}

bool App::PrevInstance() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (s.prevInstance) return *s.prevInstance;
  // The lock is on the program folder itself: the same for every user and session of the
  // machine, and no file is made for it.
  int fd = open(CurrentLocation().folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    s.prevInstance = false;  // no way to tell: let the program start
    return false;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) {
    s.lockFd = fd;  // held until the process ends
    s.prevInstance = false;
  } else {
    bool held = errno == EWOULDBLOCK;
    close(fd);
    s.prevInstance = held;
  }
  return *s.prevInstance;
}

void App::SetLocationForTesting(std::string folder, std::string exeName) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  ReleaseLock(s);
  if (folder.empty()) s.forTesting.reset();
  else s.forTesting = Location{FolderWithoutSlash(std::move(folder)), std::move(exeName)};
}

}  // namespace vb
