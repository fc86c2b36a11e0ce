// Writing a whole text to a file descriptor, for the shared layer's POSIX files.
#include "app/files_posix.h"

#include <unistd.h>

#include <cerrno>

bool WriteAllAt(int fd, std::string_view text, off_t offset) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n =
        ::pwrite(fd, text.data() + done, text.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}
