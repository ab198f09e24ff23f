// Whole-file replacement for the settings and parameter files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fs/files.h"

namespace files {
namespace {

namespace fs = std::filesystem;

// The file-creation mask, read without changing it (umask() would race with other threads).
mode_t CreationMode() {
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Umask:", 0) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
      break;
    }
  }
  return 0666 & ~mask;
}

// Whether the permission bits let this program write the file. Root may write anything, so
// for root a file counts as read-only when no one may write it.
bool BitsPermitWriting(const std::string& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// The file itself, overwritten: its room first (a longer text), then the text, then the
// length.
int WriteInPlace(const std::string& path, std::string_view content, off_t oldSize) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const off_t size = static_cast<off_t>(content.size());
  int err = size > oldSize ? ::posix_fallocate(fd, 0, size) : 0;
  if (err != 0 && err != EOPNOTSUPP && err != EINVAL) {
    if (::ftruncate(fd, oldSize) != 0) {
    }
    ::close(fd);
    return err;
  }
  err = WriteAll(fd, content);
  if (err == 0 && ::ftruncate(fd, size) != 0) err = errno;
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  return err;
}

}  // namespace

int ReplaceContent(const std::string& path, std::string_view content) {
  if (path.empty()) return ENOENT;
  std::error_code ec;
  fs::path target(path);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::weakly_canonical(target, ec);
    if (ec) return ENOENT;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) return ENOENT;

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return EISDIR;
  if (exists && !BitsPermitWriting(target.string(), st)) return EACCES;
  const mode_t mode = exists ? (st.st_mode & 07777) : CreationMode();

  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    const int err = errno;
    if (exists && (err == EACCES || err == EPERM)) return WriteInPlace(target.string(), content, st.st_size);
    return err;
  }
  int err = WriteAll(fd, content);
  if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
  if (err == 0 && exists && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Keeping the owner is not always allowed; it is no reason to refuse the write.
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.data(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.data());
    return err;
  }
  SyncFolder(folder);
  return 0;
}

}  // namespace files
