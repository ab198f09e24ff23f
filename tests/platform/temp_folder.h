#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it; and a
// way to run checks as an unprivileged user.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace testutil {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvadex-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = made ? made : "";
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(file(name), std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

 private:
  std::string path_;
};

// Runs `checks` in a child process as an unprivileged user, for checks of file permissions
// that root would bypass: as "nobody" (uid and gid 65534) when the tests run as root, as the
// present user otherwise. `folder` and everything in it are handed to that user first.
// `checks` returns "" when they passed, else what failed; so does this function.
inline std::string AsUnprivilegedUser(const std::string& folder, const std::function<std::string()>& checks) {
  const bool root = ::geteuid() == 0;
  constexpr uid_t kNobody = 65534;
  if (root) {
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
      if (::lchown(e.path().c_str(), kNobody, kNobody) != 0) return "cannot hand " + e.path().string() + " over";
    if (::chown(folder.c_str(), kNobody, kNobody) != 0) return "cannot hand " + folder + " over";
  }
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid < 0) return "no fork";
  if (pid == 0) {
    ::close(fds[0]);
    std::string failure;
    if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
      failure = "cannot drop to nobody";
    else
      failure = checks();
    if (::write(fds[1], failure.data(), failure.size()) < 0) {
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string failure;
  char buf[256];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) failure.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return "the child process died";
  if (root) {
    if (::chown(folder.c_str(), 0, 0) != 0) {
    }
  }
  return failure;
}

}  // namespace testutil
