// Opening a recording on a POSIX system: non-blocking, checked against the settings file.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/recording_file.h"
#include "app/settings.h"

namespace {

constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// An existing file is opened without O_TRUNC: it is emptied only once it is known not to be
// the settings file. `created` tells whether this call made the file.
int OpenUntruncated(const char* path, bool* created) {
  const int fd = ::open(path, kOpenFlags);
  *created = false;
  if (fd >= 0 || errno != ENOENT) return fd;
  *created = true;
  return ::open(path, kOpenFlags | O_CREAT, 0666);
}

// Empty when the file open as `fd` may take the recording, else why not.
std::string CheckRecordingTarget(int fd, struct stat* status) {
  if (::fstat(fd, status) != 0) return std::strerror(errno);
  struct stat settings {};
  if (::stat(kSettingsFileName, &settings) == 0 && settings.st_dev == status->st_dev &&
      settings.st_ino == status->st_ino) {
    return std::string("it is the settings file ") + kSettingsFileName +
           ", which the recording would wipe";
  }
  if (S_ISREG(status->st_mode) && ::ftruncate(fd, 0) != 0) return std::strerror(errno);
  // Writes then wait for a slow reader, as any program's output does.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) return std::strerror(errno);
  return "";
}

}  // namespace

void IgnoreBrokenPipes() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, nullptr);
}

std::FILE* OpenRecordingFile(const std::string& path, std::string* problem) {
  bool created = false;
  const int fd = OpenUntruncated(path.c_str(), &created);
  if (fd < 0) {
    // Opening a FIFO for writing without a reader fails with ENXIO when it would block.
    *problem = errno == ENXIO ? "no program is reading that pipe" : std::strerror(errno);
    return nullptr;
  }
  struct stat status {};
  *problem = CheckRecordingTarget(fd, &status);
  std::FILE* file = problem->empty() ? ::fdopen(fd, "w") : nullptr;
  if (file != nullptr) return file;
  if (problem->empty()) *problem = std::strerror(errno);
  ::close(fd);
  // A settings file this call made would otherwise be left behind, empty.
  if (created && status.st_size == 0) ::unlink(path.c_str());
  return nullptr;
}

namespace {

// Empty when the open file is one the viewer reads, else why not.
std::string CheckRecordingSource(int fd, size_t limit) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return std::strerror(errno);
  if (S_ISDIR(status.st_mode)) return "it is a folder";
  if (!S_ISREG(status.st_mode)) return "not a regular file";
  if (static_cast<uint64_t>(status.st_size) > limit) {
    return "larger than " + std::to_string(limit >> 20) + " MiB: not a recording";
  }
  return "";
}

}  // namespace

bool ReadRecordingText(const std::string& path, size_t limit, std::string* text,
                       std::string* problem) {
  // Non-blocking, so that opening a FIFO nobody writes to returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *problem = std::strerror(errno);
    return false;
  }
  *problem = CheckRecordingSource(fd, limit);
  text->clear();
  char buffer[1 << 16];
  while (problem->empty()) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) *problem = std::strerror(errno);
    if (got > 0) text->append(buffer, static_cast<size_t>(got));
    // A file that grows while it is read is cut at the limit rather than read without end.
    if (text->size() > limit) *problem = "larger than " + std::to_string(limit >> 20) + " MiB";
  }
  ::close(fd);
  return problem->empty();
}
