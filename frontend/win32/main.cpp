// The Windows game's entry point: one window, one thread, the exit code of the way out.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "app/recording_file.h"
#include "frontend/win32/game_window.h"

namespace {

// A GUI program has an error stream only when its starter gave it one (a redirecting shell
// or Wine); otherwise the note is lost, and the exit status still tells.
void Note(const std::wstring& text) {
  HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  if (errors == nullptr || errors == INVALID_HANDLE_VALUE) return;
  const std::wstring line = L"volarin: " + text + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(errors, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// `--record FILE` is the one option, as in the other front ends; anything else is passed over
// with a note. False when the recording asked for cannot be made: the game then does not
// start.
bool OpenRecording(std::FILE** record) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return true;
  bool ok = true;
  for (int i = 1; i < count && ok; ++i) {
    const std::wstring argument = arguments[i];
    if (argument != L"--record") {
      Note(L"ignoring the argument '" + argument + L"'");
    } else if (i + 1 >= count) {
      Note(L"--record needs a file name");
      ok = false;
    } else {
      if (*record != nullptr) std::fclose(*record);
      std::string problem;
      *record = OpenRecordingFile(arguments[++i], &problem);
      if (*record == nullptr) {
        Note(L"cannot record to " + std::wstring(arguments[i]) + L": " +
             std::wstring(problem.begin(), problem.end()));
      }
      ok = *record != nullptr;
    }
  }
  LocalFree(arguments);
  return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  std::FILE* record = nullptr;
  if (!OpenRecording(&record)) return 2;
  int code = 0;
  {
    GameWindow window(instance);
    if (window.Open(showCommand)) code = window.Run(record);
  }
  if (record != nullptr) std::fclose(record);
  return code;
}
