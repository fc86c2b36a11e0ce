// Reading and writing "VOLARIN.INI": nine lines of options and the best score of each level.
#include "app/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/records.h"

namespace {

void ApplyProgramStartValues() {
  gameState.modeMask = 1;
  gameState.level = 1;
  gameState.soundOn = 1;
  gameState.mirvOn = 1;
  for (HighScoreEntry& entry : gameState.highScoreTable) {
    entry.best = 0;
    entry.name[0] = '\0';
  }
}

// --- Reading, by the rules of formatted input: white space of any kind separates items,
// and the first item that cannot be read ends the reading.

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

int SkipSpace(FILE* file) {
  int c = std::getc(file);
  while (IsSpace(c)) c = std::getc(file);
  return c;
}

void PutBack(int c, FILE* file) {
  if (c != EOF) std::ungetc(c, file);
}

// An optionally signed decimal number. Like the C library, the number saturates at the
// 64-bit limits and keeps its low 32 bits, so an absurd value in the file is still read
// the same way every time rather than being undefined.
bool ScanInt(FILE* file, int32_t* out) {
  int c = SkipSpace(file);
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = std::getc(file);
  if (!IsDigit(c)) {
    PutBack(c, file);
    return false;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (; IsDigit(c); c = std::getc(file)) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  PutBack(c, file);
  const uint64_t bits = negative ? uint64_t{0} - magnitude : magnitude;
  *out = static_cast<int32_t>(static_cast<uint32_t>(bits));
  return true;
}

// A run of non-white characters. A word longer than the name field keeps its first 79
// characters; the rest of the word is passed over so the next item reads normally.
bool ScanWord(FILE* file, char (&out)[kNameSize]) {
  int c = SkipSpace(file);
  if (c == EOF) return false;
  int length = 0;
  for (; c != EOF && !IsSpace(c); c = std::getc(file)) {
    if (length < kNameSize - 1) out[length++] = static_cast<char>(c);
  }
  PutBack(c, file);
  out[length] = '\0';
  return true;
}

void ReadSettings(FILE* file) {
  int32_t mask = 0;
  if (!ScanInt(file, &mask)) return;
  gameState.modeMask = static_cast<uint8_t>(mask);  // the low 8 bits
  if (!ScanInt(file, &gameState.level)) return;
  if (!ScanInt(file, &gameState.soundOn)) return;
  if (!ScanInt(file, &gameState.mirvOn)) return;
  for (HighScoreEntry& entry : gameState.highScoreTable) {
    if (!ScanInt(file, &entry.best)) return;
    if (!ScanWord(file, entry.name)) return;
  }
}

// --- Writing.

std::string FormatSettings() {
  std::string text;
  char line[32 + kNameSize];
  auto append = [&](int length) { text.append(line, length > 0 ? length : 0); };
  append(std::snprintf(line, sizeof line, "%d\n", static_cast<int>(gameState.modeMask)));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.level));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.soundOn));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.mirvOn));
  for (const HighScoreEntry& entry : gameState.highScoreTable) {
    const char* name = entry.name[0] != '\0' ? entry.name : "-";
    append(std::snprintf(line, sizeof line, "%d %.*s\n", entry.best, kNameSize - 1, name));
  }
  return text;
}

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
void RewriteInPlace(const std::string& target, const std::string& text) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  WriteAll(fd, text);
  ::close(fd);
}

// The new content goes to a temporary file beside the old one and replaces it only once it
// is completely on disk, so a full disk or a crash never leaves a truncated file.
void ReplaceFile(const std::string& target, mode_t mode, const std::string& text) {
  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    if (errno == EACCES) RewriteInPlace(target, text);
    return;
  }
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return;
  }
  SyncDirectoryOf(target);
}

}  // namespace

void ApplyDefaultSettings() {
  ApplyProgramStartValues();
  for (HighScoreEntry& entry : gameState.highScoreTable) std::strcpy(entry.name, "-");
}

// Every item the file cannot supply keeps its program-start value. A level outside 1..5
// would index outside the best-score table, so it is taken as level 1.
void LoadSettings() {
  FILE* file = std::fopen(kSettingsFileName, "r");
  if (file == nullptr) {
    ApplyDefaultSettings();
    return;
  }
  ApplyProgramStartValues();
  ReadSettings(file);
  std::fclose(file);
  if (gameState.level < 1 || gameState.level > kLevelCount) gameState.level = 1;
}

void SaveSettings() {
  std::string target = kSettingsFileName;
  mode_t mode = 0;
  if (!PrepareTarget(&target, &mode)) return;
  ReplaceFile(target, mode, FormatSettings());
}
