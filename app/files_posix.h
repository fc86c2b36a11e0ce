// Writing a whole text to a file descriptor, for the shared layer's POSIX files.
#pragma once

#include <sys/types.h>

#include <string_view>

// Writes all of `text` from `offset` on, again after an interruption; false on the first
// write that fails or writes nothing (errno says why).
bool WriteAllAt(int fd, std::string_view text, off_t offset);
