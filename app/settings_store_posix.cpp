// The settings file on a POSIX system: "VOLARIN.INI" in the working directory, replaced
// atomically when it is a regular file, keeping its owner, group and mode.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/files_posix.h"
#include "app/settings.h"
#include "app/settings_store.h"

namespace {

// A write past the file-size limit would otherwise kill the process with SIGXFSZ before
// anything could be cleaned up; ignored, the write fails with EFBIG like any other.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previous_);
  }
  ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

// Reads to the end of the file or to kLongestSettingsText bytes, whichever comes first.
bool ReadAll(int fd, std::string* text) {
  char buffer[4096];
  text->clear();
  while (text->size() < kLongestSettingsText) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    text->append(buffer, static_cast<size_t>(n));
  }
  return true;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The file a name leads to through symbolic links, or the name when it leads nowhere.
std::string ResolvedPath(const char* name) {
  char* resolved = ::realpath(name, nullptr);
  if (resolved == nullptr) return name;
  std::string path = resolved;
  std::free(resolved);
  return path;
}

// The settings file as found before writing: its own path (through a symbolic link) and,
// when it exists, its status.
struct Target {
  std::string path = kSettingsFileName;
  bool exists = false;
  struct stat status {};
};

// False when the name stands for something that must be left as it is: anything but a
// regular file (a device, a FIFO, a directory: replacing it would destroy it, and nothing
// could be read back from it), or a file that cannot be opened for writing.
bool FindTarget(Target* target) {
  if (::stat(kSettingsFileName, &target->status) != 0) return errno == ENOENT;
  if (!S_ISREG(target->status.st_mode)) return false;
  const int fd = ::open(kSettingsFileName, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool regular = ::fstat(fd, &target->status) == 0 && S_ISREG(target->status.st_mode);
  ::close(fd);
  if (!regular) return false;
  target->exists = true;
  target->path = ResolvedPath(kSettingsFileName);
  return true;
}

// With the slash: "./" when the path names no folder, so names can be put after it.
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name beside the file no player would give a file of their own:
// ".VOLARIN.INI.volarin-lock", ".VOLARIN.INI.volarin-tmp-a1B2c3".
std::string BesideAsHidden(const std::string& target, std::string_view part) {
  return DirectoryOf(target) + "." + BaseNameOf(target) + std::string(part);
}

constexpr std::string_view kLockPart = ".volarin-lock";
constexpr std::string_view kTemporaryPart = ".volarin-tmp-";

void SyncDirectoryOf(const std::string& path) {
  const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// --- The save lock. Every save holds ".VOLARIN.INI.volarin-lock" exclusively from looking at
// the file to its replacement, and every read holds it shared, so two copies never write at
// once and none reads a half-rewritten file. A copy stopped while saving must not stop the
// others for ever: the wait is bounded.

// Tries 5 ms apart, about 5 s in all. Counted rather than timed: this layer reads no clock.
constexpr int kLockTries = 1000;

// False when the lock was not had in time; a file system without locks lets the caller go on.
bool WaitForLock(int fd, int operation) {
  for (int tried = 1; ::flock(fd, operation | LOCK_NB) != 0; ++tried) {
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
    if (tried == kLockTries) return false;
    ::usleep(5000);
  }
  return true;
}

// The lock file, made for a save when missing; -1 when it cannot be had (a folder we may not
// write) or the name holds anything but a regular file.
int OpenLockFile(const std::string& target, bool create) {
  const std::string name = BesideAsHidden(target, kLockPart);
  const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = ::open(name.c_str(), flags | (create ? O_CREAT : 0), NewFileMode());
  struct stat status {};
  if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

// Where no lock file can be made only a rewrite in place is possible, which keeps the file
// itself: that file is then locked instead.
class SaveLock {
 public:
  SaveLock(const std::string& target, int operation) {
    fd_ = OpenLockFile(target, operation == LOCK_EX);
    if (fd_ < 0) fd_ = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    held_ = fd_ < 0 || WaitForLock(fd_, operation);  // no file at all: nothing to keep apart
  }
  ~SaveLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

// --- Temporary files: ".VOLARIN.INI.volarin-tmp-XXXXXX" beside the file, made and moved only
// under the save lock, and locked by their writer for as long as they exist. One found under
// the save lock that no writer holds was left by a killed save; any other name is the
// player's and stays.

bool IsTemporaryName(std::string_view name, std::string_view base) {
  const size_t prefix = 1 + base.size() + kTemporaryPart.size();
  if (name.size() != prefix + 6 || name[0] != '.' || name.substr(1, base.size()) != base ||
      name.substr(1 + base.size(), kTemporaryPart.size()) != kTemporaryPart) {
    return false;
  }
  for (const char c : name.substr(prefix)) {
    const bool alphanumeric =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alphanumeric) return false;
  }
  return true;
}

void RemoveIfUnused(int directory, const char* name) {
  const int fd =
      ::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    ::unlinkat(directory, name, 0);
  }
  ::close(fd);
}

void RemoveStaleTemporaries(const std::string& target) {
  DIR* directory = ::opendir(DirectoryOf(target).c_str());
  if (directory == nullptr) return;
  const std::string base = BaseNameOf(target);
  while (const dirent* entry = ::readdir(directory)) {
    if (IsTemporaryName(entry->d_name, base)) RemoveIfUnused(::dirfd(directory), entry->d_name);
  }
  ::closedir(directory);
}

// A new locked temporary file. A sweep by a copy that could not lock may remove the name
// between its creation and the lock; the file then has no name left and another is made.
int CreateTemporary(const std::string& target, std::string* name) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    *name = BesideAsHidden(target, kTemporaryPart) + "XXXXXX";
    const int fd = ::mkostemp(name->data(), O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &status) == 0 && status.st_nlink > 0) return fd;
    ::close(fd);
  }
  errno = EAGAIN;
  return -1;
}

// The replacement takes the old file's owner, group and mode; false when it cannot (another
// user's file, a group we are not in).
bool TakeIdentity(int fd, const Target& target) {
  if (!target.exists) return ::fchmod(fd, NewFileMode()) == 0;
  const struct stat& old = target.status;
  if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0;  // after fchown, which clears set-id bits
}

// --- The two ways of writing.

// Overwrites the file where it is, as a plain open for writing would; the old content is put
// back should the new one not fit.
bool RewriteInPlace(const std::string& path, const std::string& text) {
  int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  std::string old;
  const bool restorable = fd >= 0 && ReadAll(fd, &old) && old.size() < kLongestSettingsText;
  if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  bool written = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && WriteAllAt(fd, text, 0) &&
                 ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 && ::fsync(fd) == 0;
  // The write has failed either way; putting the old content back is all that is left to try.
  if (!written && restorable && WriteAllAt(fd, old, 0)) {
    [[maybe_unused]] const int restored = ::ftruncate(fd, static_cast<off_t>(old.size()));
  }
  written = ::close(fd) == 0 && written;
  return written;
}

enum class Replaced { kYes, kNo, kOnlyInPlace };

// The new content goes to a temporary file beside the old one and replaces it only once it
// is completely on disk, so a full disk or a crash never leaves a truncated file.
Replaced ReplaceFile(const Target& target, const std::string& text) {
  std::string temporary;
  const int fd = CreateTemporary(target.path, &temporary);
  if (fd < 0) return errno == EACCES ? Replaced::kOnlyInPlace : Replaced::kNo;
  if (!TakeIdentity(fd, target)) {
    ::unlink(temporary.c_str());
    ::close(fd);
    return Replaced::kOnlyInPlace;
  }
  const bool written = WriteAllAt(fd, text, 0) && ::fsync(fd) == 0;
  // Renamed while still locked, so no sweep takes it for a leftover.
  const bool renamed = written && ::rename(temporary.c_str(), target.path.c_str()) == 0;
  if (!renamed) ::unlink(temporary.c_str());
  ::close(fd);
  if (!renamed) return Replaced::kNo;
  SyncDirectoryOf(target.path);
  return Replaced::kYes;
}

}  // namespace

// Only a regular file is read, and it is opened without blocking: a FIFO or a device named
// like the settings file must not hold up start-up.
bool ReadSettingsText(std::string* text) {
  const int fd = ::open(kSettingsFileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (ok) {
    // Read even when the lock is not had in time: the file's scores are worth more than the
    // defaults, which the next save would write over them.
    const SaveLock lock(ResolvedPath(kSettingsFileName), LOCK_SH);
    ok = ReadAll(fd, text);
  }
  ::close(fd);
  return ok;
}

// A renamed replacement would be a new file: another name linked to the old one would keep
// the old content, so such a file too is rewritten in place.
bool WriteSettingsText(const std::string& text) {
  const FileSizeSignalIgnored fileSizeSignalIgnored;
  Target target;
  if (!FindTarget(&target)) return false;
  const SaveLock lock(target.path, LOCK_EX);
  // Looked at again: another copy may have replaced or made the file while this one waited.
  target = Target{};
  if (!lock.held() || !FindTarget(&target)) return false;
  RemoveStaleTemporaries(target.path);
  if (target.exists && target.status.st_nlink > 1) return RewriteInPlace(target.path, text);
  switch (ReplaceFile(target, text)) {
    case Replaced::kYes:
      return true;
    case Replaced::kOnlyInPlace:
      return target.exists && RewriteInPlace(target.path, text);
    case Replaced::kNo:
      break;
  }
  return false;
}

std::string SettingsLocation() {
  std::string folder(256, '\0');
  while (::getcwd(folder.data(), folder.size()) == nullptr) {
    if (errno != ERANGE) return kSettingsFileName;
    folder.resize(folder.size() * 2);
  }
  folder.resize(folder.find('\0'));
  return folder + (folder.ends_with('/') ? "" : "/") + kSettingsFileName;
}
