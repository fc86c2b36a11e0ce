// The Windows game's entry point: the command line, one window, one thread, the exit status.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.h"
#include "frontend/win32/game_window.h"

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminating zero
  return bytes;
}

// The arguments after the program's name, as the runtime split them, in UTF-8 as the shared
// layer reads them.
std::vector<std::string> Arguments() {
  std::vector<std::string> utf8;
  for (int i = 1; i < __argc; ++i) utf8.push_back(Utf8(__wargv[i]));
  return utf8;
}

// A GUI program has an error stream only when its starter gave it one (a redirecting shell
// or Wine); otherwise the note is lost, and the exit status still tells.
void Note(const std::string& text) {
  HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  if (errors == nullptr || errors == INVALID_HANDLE_VALUE) return;
  const std::string line = "volarin: " + text + "\n";
  DWORD written = 0;
  WriteFile(errors, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// Writes `text` to the standard output the starter gave, if any (a GUI program has none of
// its own).
void Print(const std::string& text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The standard output the starter gave (Wine, a redirecting shell), for the replay's verdict;
// null when there is none.
std::FILE* StandardOutput() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY | _O_BINARY);
  return fd == -1 ? nullptr : _fdopen(fd, "wb");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const std::string information = InformationAsked(Arguments(), Program::kGame);
  if (!information.empty()) {
    Print(information);
    return 0;
  }
  const Options options = ParseOptions(Arguments());
  for (const std::string& note : options.notes) Note(note);
  if (!options.ok) return kBadOptionsStatus;
  GameWindow window(instance);
  if (!window.Open(showCommand)) return 0;
  return window.Run(options, options.replay ? StandardOutput() : nullptr);
}
