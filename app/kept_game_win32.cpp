// Keeping a game on Windows: a new file in the settings file's folder, written whole.
#include <windows.h>

#include <string>

#include "app/files_win32.h"
#include "app/kept_game.h"
#include "app/settings_store.h"

namespace {

// Names already taken get a suffix; past this many in one second something else is wrong.
constexpr int kMostCopies = 99;

std::string SettingsFolder() {
  const std::string location = SettingsLocation();
  const size_t slash = location.find_last_of("\\/");
  return slash == std::string::npos ? "" : location.substr(0, slash + 1);
}

}  // namespace

// CREATE_NEW refuses any existing name, a link included, so nothing is overwritten. The
// recording keeps the runner's own line ends. A file not written whole is removed.
KeptGame KeepGame(const std::string& stamp, const std::string& recording) {
  const std::string folder = SettingsFolder();
  KeptGame kept;
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD error = 0;
  std::wstring path;
  for (int copy = 1; copy <= kMostCopies && file == INVALID_HANDLE_VALUE; ++copy) {
    kept.where = folder + KeptGameName(stamp, copy);
    path = Utf16(kept.where);
    file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    error = GetLastError();
    if (file == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS &&
        error != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    kept.problem = Win32Problem(error);
    return kept;
  }
  const bool written = WriteAll(file, recording) && FlushFileBuffers(file) != 0;
  error = GetLastError();
  CloseHandle(file);
  if (!written) {
    kept.problem = Win32Problem(error);
    DeleteFileW(path.c_str());
  }
  return kept;
}
