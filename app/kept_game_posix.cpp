// Keeping a game on a POSIX system: a new file in the settings file's folder, written whole.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/files_posix.h"
#include "app/kept_game.h"
#include "app/settings_store.h"

namespace {

// Names already taken get a suffix; past this many in one second something else is wrong.
constexpr int kMostCopies = 99;

// Where the settings file is named, with its trailing slash; empty when that is unknown.
std::string SettingsFolder() {
  const std::string location = SettingsLocation();
  const size_t slash = location.rfind('/');
  return slash == std::string::npos ? "" : location.substr(0, slash + 1);
}

}  // namespace

// O_EXCL refuses any existing name, a link (even a dangling one) or a FIFO included, so
// nothing is overwritten or waited on. A file that could not be written whole is removed.
KeptGame KeepGame(const std::string& stamp, const std::string& recording) {
  const std::string folder = SettingsFolder();
  KeptGame kept;
  int fd = -1;
  for (int copy = 1; copy <= kMostCopies && fd < 0; ++copy) {
    kept.where = folder + KeptGameName(stamp, copy);
    fd = ::open(kept.where.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    kept.problem = std::strerror(errno);
    return kept;
  }
  const bool written = WriteAllAt(fd, recording, 0) && ::fsync(fd) == 0;
  const int error = errno;
  if (::close(fd) != 0 || !written) {
    kept.problem = std::strerror(written ? errno : error);
    ::unlink(kept.where.c_str());
  }
  return kept;
}
