#include "platform/vb/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "platform/vb/error.h"

extern char** environ;

namespace vb {

long Shell(const std::string& pathName, int windowStyle) {
  (void)windowStyle;
  if (pathName.empty()) Raise(errInvalidCall);
  std::string program = pathName;
  std::vector<char*> argv = {program.data(), nullptr};
  pid_t pid = -1;
  // posix_spawn reports a failed exec (missing file, no execute permission) as its result.
  const int rc = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    if (rc == ENOENT || rc == ENOTDIR) Raise(errFileNotFound);
    if (rc == EACCES || rc == EPERM) Raise(errPermissionDenied);
    Raise(errInvalidCall);
  }
  // Nobody waits for the program: a thread of its own reaps it when it ends.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return static_cast<long>(pid);
}

}  // namespace vb
