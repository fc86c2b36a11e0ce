// Opening a recording on Windows: checked against the settings file by its file index.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "app/files_win32.h"
#include "app/recording_file.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether both handles are the same file: the same volume and the same index on it.
bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool IsSettingsFile(HANDLE file) {
  // No access asked for: only the file's identity is read.
  HANDLE settings = CreateFileW(L"VOLARIN.INI", 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (settings == INVALID_HANDLE_VALUE) return false;
  const bool same = SameFile(file, settings);
  CloseHandle(settings);
  return same;
}

}  // namespace

// Windows has no SIGPIPE: a write to a closed pipe fails with an error.
void IgnoreBrokenPipes() {}

// Opened existing or new but not emptied, so the settings file can be recognised first. Pipe
// servers are not waited for: a busy or missing one fails the open at once.
std::FILE* OpenRecordingFile(const std::string& utf8Path, std::string* problem) {
  const std::wstring path = Utf16(utf8Path);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *problem = Win32Problem(GetLastError());
    return nullptr;
  }
  const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
  if (IsSettingsFile(file)) {
    *problem = "it is the settings file VOLARIN.INI, which the recording would wipe";
    CloseHandle(file);
    if (created) DeleteFileW(path.c_str());
    return nullptr;
  }
  if (GetFileType(file) == FILE_TYPE_DISK && !SetEndOfFile(file)) {
    *problem = Win32Problem(GetLastError());
    CloseHandle(file);
    return nullptr;
  }
  // Binary, so the scenario keeps the runner's own line ends on every system.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
  std::FILE* stream = fd == -1 ? nullptr : _fdopen(fd, "wb");
  if (stream != nullptr) return stream;
  *problem = "the file could not be opened as a stream";
  if (fd == -1) CloseHandle(file);
  if (fd != -1) _close(fd);
  return nullptr;
}

namespace {

// Empty when the open file is one the viewer reads, else why not.
std::string CheckRecordingSource(HANDLE file, size_t limit) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)) {
    return "not a regular file";
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a folder";
  const uint64_t size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if (size > limit) return "larger than " + std::to_string(limit >> 20) + " MiB: not a recording";
  return "";
}

}  // namespace

bool ReadRecordingText(const std::string& utf8Path, size_t limit, std::string* text,
                       std::string* problem) {
  HANDLE file = CreateFileW(Utf16(utf8Path).c_str(), GENERIC_READ, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *problem = Win32Problem(GetLastError());
    return false;
  }
  *problem = CheckRecordingSource(file, limit);
  text->clear();
  char buffer[1 << 16];
  while (problem->empty()) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr))
      *problem = Win32Problem(GetLastError());
    if (got == 0) break;
    text->append(buffer, got);
    if (text->size() > limit) *problem = "larger than " + std::to_string(limit >> 20) + " MiB";
  }
  CloseHandle(file);
  return problem->empty();
}
