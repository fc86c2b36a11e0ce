// The file operations of a POSIX system (app/files.h), and its broken pipes.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/files.h"
#include "app/store.h"

const char kFolderSeparators[] = "/";
const char kLineEnd[] = "\n";

namespace {

// Gives what was done with the signal before in `previous`, when not null.
void Ignore(int signal, struct sigaction* previous) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(signal, &ignore, previous);
}

// A write past the file-size limit would otherwise kill the process with SIGXFSZ before
// anything could be cleaned up; ignored, the write fails with EFBIG like any other.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored() { Ignore(SIGXFSZ, &previous_); }
  ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

 private:
  struct sigaction previous_ {};
};

// The text the C library made for the caller, then freed; "" for none.
std::string Freed(char* text) {
  const std::string copy = text != nullptr ? text : "";
  std::free(text);
  return copy;
}

// A failed call leaves `status` as zeros.
FileFacts Facts(int result, const struct stat& status) {
  return {.known = result == 0,
          .regular = S_ISREG(status.st_mode),
          .folder = S_ISDIR(status.st_mode),
          .size = static_cast<uint64_t>(status.st_size),
          .links = static_cast<uint32_t>(status.st_nlink),
          .volume = status.st_dev,
          .index = status.st_ino};
}

}  // namespace

std::string FollowLinks(const std::string& name) {
  const std::string path = Freed(::realpath(name.c_str(), nullptr));
  return path.empty() ? name : path;
}

std::string WorkingFolder() {
  const std::string folder = Freed(::getcwd(nullptr, 0));  // as long as it needs to be
  return folder.empty() || folder.ends_with('/') ? folder : folder + "/";
}

// The home folder is $HOME, or the user database's when that is unset.
std::string PerUserFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/volarin/";
  const char* home = std::getenv("HOME");
  const passwd* user = home == nullptr || home[0] != '/' ? ::getpwuid(::getuid()) : nullptr;
  if (user != nullptr) home = user->pw_dir;
  if (home == nullptr || home[0] != '/') return "";
  return std::string(home) + "/.local/share/volarin/";
}

bool MakeFolders(const std::string& folder) {
  for (size_t end = folder.find('/', 1); end != std::string::npos;
       end = folder.find('/', end + 1)) {
    ::mkdir(folder.substr(0, end).c_str(), 0700);  // those there already stay as they are
  }
  struct stat status {};
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// access() answers for a read-only file system too, which root's permissions would not show.
bool FolderWritable(const std::string& folder) {
  return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

void ForEachNameIn(const std::string& folder, const std::function<void(const char*)>& visit) {
  DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return;
  while (const dirent* entry = ::readdir(directory)) visit(entry->d_name);
  ::closedir(directory);
}

uint64_t ProcessNumber() {
  return static_cast<uint64_t>(::getpid());
}

// None waits: a FIFO or a device must not hold the game up.
FileHandle OpenFile(const std::string& path, FileUse use) {
  constexpr int kFlags[] = {O_RDONLY, O_WRONLY, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                            O_RDONLY | O_NOFOLLOW, O_RDONLY | O_NOFOLLOW | O_CREAT};  // by use
  const int flags = kFlags[static_cast<int>(use)] | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  return ::open(path.c_str(), flags, 0666);
}

bool CloseFile(FileHandle file) {
  return ::close(static_cast<int>(file)) == 0;
}

FileFacts LookAt(FileHandle file) {
  struct stat status {};
  return Facts(::fstat(static_cast<int>(file), &status), status);
}

FileFacts LookAtPath(const std::string& path) {
  struct stat status {};
  return Facts(::stat(path.c_str(), &status), status);
}

bool ReadSome(FileHandle file, char* buffer, size_t size, size_t* got) {
  ssize_t n = 0;
  while ((n = ::read(static_cast<int>(file), buffer, size)) < 0 && errno == EINTR) continue;
  *got = n > 0 ? static_cast<size_t>(n) : 0;
  return n >= 0;
}

bool WriteWhole(FileHandle file, const std::string& text) {
  const FileSizeSignalIgnored fileSizeSignalIgnored;
  const int fd = static_cast<int>(file);
  for (size_t done = 0; done < text.size();) {
    const ssize_t n =
        ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 && ::fsync(fd) == 0;
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

FileError LastError() {
  return errno == ENOENT   ? FileError::kNotFound
         : errno == EEXIST ? FileError::kExists
         : errno == EACCES ? FileError::kDenied
                           : FileError::kOther;
}

// Opening a FIFO for writing without a reader fails with ENXIO when it would block.
std::string LastProblem() {
  return errno == ENXIO ? "no program is reading that pipe" : std::strerror(errno);
}

bool TryLock(FileHandle file, bool exclusive) {
  while (::flock(static_cast<int>(file), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    if (errno != EINTR) return errno != EWOULDBLOCK;
  }
  return true;
}

void PauseBriefly() {
  ::usleep(5000);
}

bool LeftAlone(const std::string& name) {
  struct stat status {};
  return ::stat(name.c_str(), &status) == 0 &&
         (!S_ISREG(status.st_mode) || ::access(name.c_str(), W_OK) != 0);
}

// After fchown, which clears set-id bits, fchmod gives the mode back.
bool TakeIdentity(FileHandle temporary, const Target& target) {
  const int fd = static_cast<int>(temporary);
  struct stat old {};
  if (!target.exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0;
  }
  return ::stat(target.path.c_str(), &old) == 0 &&
         ((old.st_uid == ::geteuid() && old.st_gid == ::getegid()) ||
          ::fchown(fd, old.st_uid, old.st_gid) == 0) &&
         ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Renamed while still locked, so no sweep takes it for a leftover; the folder then holds the
// new name on disk.
bool MoveOver(FileHandle temporary, const std::string& temporaryPath, const Target& target) {
  const bool moved = ::rename(temporaryPath.c_str(), target.path.c_str()) == 0;
  ::close(static_cast<int>(temporary));
  const std::string folder = target.path.substr(0, target.path.rfind('/') + 1);
  const int fd =
      moved ? ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
            : -1;
  if (fd >= 0) ::fsync(fd);
  if (fd >= 0) ::close(fd);
  return moved;
}

// Writes then wait for a slow reader, as any program's output does.
std::FILE* StreamOf(FileHandle file) {
  const int fd = static_cast<int>(file);
  const int flags = ::fcntl(fd, F_GETFL);
  std::FILE* stream =
      flags != -1 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != -1 ? ::fdopen(fd, "w") : nullptr;
  const int error = errno;
  if (stream == nullptr) ::close(fd);
  errno = error;
  return stream;
}

void IgnoreBrokenPipes() {
  Ignore(SIGPIPE, nullptr);
}
