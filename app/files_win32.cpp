// Text, writing and error helpers for the shared layer's Windows files.
#include "app/files_win32.h"

#include <algorithm>

std::wstring Utf16(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  text.data(), static_cast<int>(text.size())));
  return text;
}

bool WriteAll(HANDLE file, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

std::string Win32Problem(DWORD error) {
  return error == ERROR_PIPE_BUSY ? "no program is reading that pipe"
                                  : "Windows error " + std::to_string(error);
}
