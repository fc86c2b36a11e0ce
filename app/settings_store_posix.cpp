// The settings file on a POSIX system: "VOLARIN.INI" in the working directory, replaced
// atomically when it is a regular file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "app/settings_store.h"

namespace {

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The file's own path (through a symbolic link), whether it exists, and its permissions.
// False when an existing file cannot be opened for writing: it is then left untouched.
bool PrepareTarget(std::string* target, mode_t* mode) {
  *mode = NewFileMode();
  const int fd = ::open(kSettingsFileName, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat status {};
  if (::fstat(fd, &status) == 0) *mode = status.st_mode & 07777;
  ::close(fd);
  if (char* resolved = ::realpath(kSettingsFileName, nullptr)) {
    *target = resolved;
    std::free(resolved);
  }
  return true;
}

void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A writable file in a directory where nothing new may be created can only be rewritten in
// place, as the plain text-mode write would.
bool RewriteInPlace(const std::string& target, const std::string& text) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text);
  return ::close(fd) == 0 && written;
}

// The new content goes to a temporary file beside the old one and replaces it only once it
// is completely on disk, so a full disk or a crash never leaves a truncated file.
bool ReplaceFile(const std::string& target, mode_t mode, const std::string& text) {
  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return errno == EACCES && RewriteInPlace(target, text);
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncDirectoryOf(target);
  return true;
}

}  // namespace

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

// Only a regular file is read, and it is opened without blocking: a FIFO or a device named
// like the settings file must not hold up start-up.
bool ReadSettingsText(std::string* text) {
  const int fd = ::open(kSettingsFileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  char buffer[4096];
  text->clear();
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    text->append(buffer, static_cast<size_t>(n));
    if (text->size() >= kLongestSettingsText) break;
  }
  ::close(fd);
  return ok;
}

bool WriteSettingsText(const std::string& text) {
  std::string target = kSettingsFileName;
  mode_t mode = 0;
  if (!PrepareTarget(&target, &mode)) return false;
  return ReplaceFile(target, mode, text);
}
