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

// A GUI program has standard streams only when its starter gave it them (a redirecting shell
// or Wine): null when there is none; a note is then lost, and the exit status still tells.
HANDLE Standard(DWORD which) {
  HANDLE stream = GetStdHandle(which);
  return stream == INVALID_HANDLE_VALUE ? nullptr : stream;
}

void Write(DWORD which, const std::string& text) {
  DWORD written = 0;
  if (HANDLE stream = Standard(which)) {
    WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

// The standard output as a file, for the replay's verdict; null when there is none.
std::FILE* StandardOutput() {
  HANDLE output = Standard(STD_OUTPUT_HANDLE);
  if (output == nullptr) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY | _O_BINARY);
  return fd == -1 ? nullptr : _fdopen(fd, "wb");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  const std::string information = InformationAsked(Arguments(), Program::kGame);
  if (!information.empty()) {
    Write(STD_OUTPUT_HANDLE, information);
    return 0;
  }
  const Options options = ParseOptions(Arguments());
  for (const std::string& note : options.notes) {
    Write(STD_ERROR_HANDLE, "volarin: " + note + "\n");
  }
  if (!options.ok) return kBadOptionsStatus;
  GameWindow window(instance);
  if (!window.Open(showCommand)) return 0;
  return window.Run(options, options.replay ? StandardOutput() : nullptr);
}
