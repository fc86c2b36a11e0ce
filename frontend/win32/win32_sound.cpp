// Effects through PlaySoundW, looked up at every request so a sound put into the working
// folder while the game runs is played from there.
#include "frontend/win32/win32_sound.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <string>
#include <utility>

#include "app/effect_files.h"

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

Win32SoundOutput::Win32SoundOutput(std::wstring programFolder)
    : programFolder_(std::move(programFolder)) {}

// A sound still playing would otherwise outlive the buffers of the process ending.
Win32SoundOutput::~Win32SoundOutput() {
  PlaySoundW(nullptr, nullptr, 0);
}

// SND_NODEFAULT: a file that cannot be played must not ring the system's default sound.
// Effect names are plain ASCII file names.
void Win32SoundOutput::Play(SoundEffect effect) {
  const std::string name = SoundEffectFile(effect);
  const std::wstring path = LocateEffectFile(std::wstring(name.begin(), name.end()),
                                             {programFolder_}, std::wstring(L"\\"), IsFile);
  if (path.empty()) {
    PlaySoundW(nullptr, nullptr, 0);
    return;
  }
  PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
