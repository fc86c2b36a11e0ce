// Checks of the Windows-only parts against the real API (run under Wine on the build
// machine): the GDI canvas, the settings file store and where effects are found. With the
// arguments "close TITLE" it instead sends WM_CLOSE to the window of that title, and with
// "client-size TITLE" it prints that window's client size.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/startup.h"
#include "core/records.h"
#include "frontend/win32/gdi_canvas.h"
#include "frontend/win32/win32_sound.h"
#include "render/sprite_sheet.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what, int line) {
  if (ok) return;
  ++failures;
  std::printf("  line %d: %s\n", line, what);
}
#define CHECK(condition) Check((condition), #condition, __LINE__)

constexpr uint32_t kBlackPixel = 0x000000;
constexpr uint32_t kRedPixel = 0xFF0000;
constexpr uint32_t kYellowPixel = 0xFFFF00;
constexpr uint32_t kWhitePixel = 0xFFFFFF;

std::set<uint32_t> ColoursIn(const GdiCanvas& canvas) {
  std::set<uint32_t> colours;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) colours.insert(canvas.PixelAt(x, y));
  }
  return colours;
}

// The bounding box of the pixels that are not black; empty when there are none.
RECT InkBox(const GdiCanvas& canvas) {
  RECT box{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.PixelAt(x, y) == kBlackPixel) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    }
  }
  return box;
}

bool Contains(const RECT& outer, const RECT& inner) {
  return IsRectEmpty(&inner) || (outer.left <= inner.left && outer.top <= inner.top &&
                                 outer.right >= inner.right && outer.bottom >= inner.bottom);
}

void RasterOperations() {
  GdiCanvas window(64, 64);
  auto* sheet = static_cast<GdiCanvas*>(window.CreateSheet(64, 64));
  const Colour yellowRow[4] = {kYellow, kYellow, kBlack, kBlue};
  sheet->DrawPixelRow(0, 0, yellowRow, 4);

  window.CopyFromSheet(10, 10, 4, 1, 0, 0, RasterOp::kSourceAndNotPattern, kGreen);
  CHECK(window.PixelAt(10, 10) == kRedPixel);  // yellow AND NOT green
  CHECK(window.PixelAt(12, 10) == kBlackPixel);
  CHECK(window.PixelAt(13, 10) == 0x0000FF);  // blue has no green to lose

  window.CopyFromSheet(20, 20, 4, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  CHECK(window.PixelAt(20, 20) == kYellowPixel);
  window.CopyFromSheet(20, 20, 2, 1, 0, 0, RasterOp::kBlackness, kGreen);
  CHECK(window.PixelAt(20, 20) == kBlackPixel);
  CHECK(window.PixelAt(23, 20) == 0x0000FF);  // beyond the blackened width

  // Copies reaching past any edge are cut, never wrapped to the other side.
  window.CopyFromSheet(-2, 63, 4, 4, 0, 0, RasterOp::kSourceCopy, kGreen);
  CHECK(window.PixelAt(0, 63) == kBlackPixel);  // sheet (2, 0) is black
  CHECK(window.PixelAt(1, 63) == 0x0000FF);
  CHECK(window.PixelAt(62, 63) == kBlackPixel);
}

void FillsArcsAndResizing() {
  GdiCanvas canvas(100, 60);
  canvas.FillRectangle(-10, 50, 200, 70, kBlue);
  CHECK(canvas.PixelAt(0, 50) == 0x0000FF && canvas.PixelAt(99, 59) == 0x0000FF);
  CHECK(canvas.PixelAt(0, 49) == kBlackPixel);

  canvas.FillRectangle(0, 0, 100, 60, kBlack);
  canvas.DrawUpperHalfCircle(50, 40, 20, kWhite);
  CHECK(canvas.PixelAt(50, 20) == kWhitePixel);  // the top of the dome
  const RECT dome = InkBox(canvas);
  CHECK(dome.top == 20 && dome.left >= 29 && dome.right <= 72 && dome.bottom <= 42);

  canvas.Resize(60, 120);
  CHECK(canvas.width() == 60 && canvas.height() == 120);
  CHECK(canvas.PixelAt(50, 20) == kWhitePixel);  // kept where it still fits
  CHECK(canvas.PixelAt(0, 100) == kBlackPixel);  // new rows are black
  canvas.Resize(0, 0);                           // a minimised window
  canvas.FillRectangle(0, 0, 10, 10, kBlue);     // draws nowhere, harmlessly
  CHECK(IsRectEmpty(&static_cast<const RECT&>(canvas.TakeDirtyRect())));
}

// Whatever the window draws must reach the screen: the dirty rectangle covers all new ink.
void DirtyRectanglesCoverTheInk() {
  GdiCanvas canvas(200, 80);
  canvas.TakeDirtyRect();
  const char text[] = "Level 1";
  for (int align : {kAlignLeft, kAlignRight, kAlignCenter}) {
    canvas.FillRectangle(0, 0, 200, 80, kBlack);
    canvas.TakeDirtyRect();
    canvas.DrawOpaqueText(100, 70, align | kAlignBottom, text, 7, kWhite, kBlue);
    const RECT dirty = canvas.TakeDirtyRect();
    const RECT ink = InkBox(canvas);
    CHECK(!IsRectEmpty(&ink));
    CHECK(Contains(dirty, ink));
    CHECK(ink.bottom == 70);  // the character box ends at the reference point
  }
  canvas.FillRectangle(0, 0, 200, 80, kBlack);
  canvas.TakeDirtyRect();
  canvas.DrawUpperHalfCircle(100, 60, 30, kWhite);
  CHECK(Contains(canvas.TakeDirtyRect(), InkBox(canvas)));
}

// The game's own start-up draws the glyph cells through this canvas: without antialiasing
// the sheet holds only the five colours, and the kana bytes are read as code page 932.
void GlyphCellsHoldFiveColours() {
  GdiCanvas window(640, 480);
  ResetAllRecords();
  StartUp({.seed = 1, .windowCanvas = &window, .sound = nullptr, .readSettingsFile = false});
  const auto* sheet = window.sheet();
  CHECK(sheet != nullptr);
  if (sheet == nullptr) return;
  const std::set<uint32_t> allowed{kBlackPixel, kRedPixel, 0x00FF00, kYellowPixel, 0x0000FF};
  for (uint32_t colour : ColoursIn(*sheet)) {
    if (!allowed.count(colour)) std::printf("  sheet colour %06X\n", colour);
    CHECK(allowed.count(colour) == 1);
  }
  // Cell 124 holds the first katakana; as two Latin-1 characters it would be twice as wide.
  GdiCanvas copy(32, 32);
  BitBlt(copy.dc(), 0, 0, 32, 32, sheet->dc(), (124 % 16) * 32, (124 / 16) * 32, SRCCOPY);
  const RECT ink = InkBox(copy);
  CHECK(!IsRectEmpty(&ink));
  CHECK(ink.right - ink.left <= 26);
  CHECK(ink.bottom <= 32 && ink.left >= 2);
}

// Runs `check` in a fresh empty working folder.
void InScratchFolder(const std::function<void()>& check) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::wstring folder =
      std::wstring(base) + L"volarin-checks-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder.c_str());
  check();
  SetCurrentDirectoryW(previous);
  const std::wstring pattern = folder + L"\\*";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  while (search != INVALID_HANDLE_VALUE) {
    const std::wstring path = folder + L"\\" + found.cFileName;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
    if (!FindNextFileW(search, &found)) break;
  }
  FindClose(search);
  RemoveDirectoryW(folder.c_str());
}

std::string FileText(const wchar_t* path) {
  std::string text;
  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  CloseHandle(file);
  return text;
}

void PutFile(const wchar_t* path, const std::string& text) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

int EntriesInWorkingFolder() {
  int count = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"*", &found);
  while (search != INVALID_HANDLE_VALUE) {
    if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0) {
      ++count;
    }
    if (!FindNextFileW(search, &found)) break;
  }
  FindClose(search);
  return count;
}

void SettingsStoreWritesCrLfAndReplaces() {
  InScratchFolder([] {
    std::string text;
    CHECK(!ReadSettingsText(&text));
    CHECK(WriteSettingsText("1\n2\n0 -\n"));
    CHECK(FileText(L"VOLARIN.INI") == "1\r\n2\r\n0 -\r\n");
    CHECK(ReadSettingsText(&text) && text == "1\r\n2\r\n0 -\r\n");
    CHECK(WriteSettingsText("3\n"));  // a shorter text leaves no tail of the old one
    CHECK(FileText(L"VOLARIN.INI") == "3\r\n");
    CHECK(EntriesInWorkingFolder() == 1);  // no temporary file left behind
  });
}

void SettingsStoreLeavesWhatItMayNotReplace() {
  InScratchFolder([] {
    PutFile(L"VOLARIN.INI", "7\r\n");
    SetFileAttributesW(L"VOLARIN.INI", FILE_ATTRIBUTE_READONLY);
    CHECK(!WriteSettingsText("1\n"));
    CHECK(FileText(L"VOLARIN.INI") == "7\r\n");
    CHECK(GetFileAttributesW(L"VOLARIN.INI") & FILE_ATTRIBUTE_READONLY);
    CHECK(EntriesInWorkingFolder() == 1);
  });
  InScratchFolder([] {
    CreateDirectoryW(L"VOLARIN.INI", nullptr);
    std::string text;
    CHECK(!ReadSettingsText(&text));
    CHECK(!WriteSettingsText("1\n"));
    CHECK(GetFileAttributesW(L"VOLARIN.INI") & FILE_ATTRIBUTE_DIRECTORY);
  });
}

// A file with a second name is rewritten where it is, so both names see the new text; a
// temporary file a killed writer left is swept away, one still held by a writer is not.
void SettingsStoreKeepsLinksAndSweepsLeftovers() {
  InScratchFolder([] {
    PutFile(L"VOLARIN.INI", "7\r\n");
    CHECK(CreateHardLinkW(L"other.ini", L"VOLARIN.INI", nullptr));
    PutFile(L"VOLARIN.INI.1-2.tmp", "left by a crash");
    const HANDLE held = CreateFileW(L"VOLARIN.INI.3-4.tmp", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, 0, nullptr);
    CHECK(WriteSettingsText("1\n"));
    CHECK(FileText(L"VOLARIN.INI") == "1\r\n");
    CHECK(FileText(L"other.ini") == "1\r\n");
    CHECK(GetFileAttributesW(L"VOLARIN.INI.1-2.tmp") == INVALID_FILE_ATTRIBUTES);
    CHECK(GetFileAttributesW(L"VOLARIN.INI.3-4.tmp") != INVALID_FILE_ATTRIBUTES);
    CloseHandle(held);
  });
}

// A symbolic link stays a link, and its target gets the new text. Skipped where links cannot
// be made (an unprivileged Windows user without developer mode) or followed (Wine 8).
void SettingsStoreWritesThroughALink() {
  InScratchFolder([] {
    PutFile(L"kept.ini", "7\r\n");
    wchar_t target[MAX_PATH];
    GetFullPathNameW(L"kept.ini", MAX_PATH, target, nullptr);
    if (!CreateSymbolicLinkW(L"VOLARIN.INI", target,
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
      std::printf("  skipped: no symbolic link could be made (error %lu)\n", GetLastError());
      return;
    }
    if (FileText(L"VOLARIN.INI") != "7\r\n") {
      std::printf("  skipped: this system cannot open a file through a symbolic link\n");
      DeleteFileW(L"VOLARIN.INI");
      return;
    }
    CHECK(WriteSettingsText("1\n"));
    CHECK(GetFileAttributesW(L"VOLARIN.INI") & FILE_ATTRIBUTE_REPARSE_POINT);
    CHECK(FileText(L"kept.ini") == "1\r\n");
    CHECK(EntriesInWorkingFolder() == 2);
    DeleteFileW(L"VOLARIN.INI");
  });
}

// The working folder first, then the program's folder; nothing when neither has the file.
void EffectsAreFoundInOrder() {
  InScratchFolder([] {
    CreateDirectoryW(L"program", nullptr);
    wchar_t here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    const std::wstring programFolder = std::wstring(here) + L"\\program";
    const Win32SoundOutput sound(programFolder);
    CHECK(sound.Locate("bingo.wav").empty());
    PutFile((programFolder + L"\\bingo.wav").c_str(), "RIFF");
    CHECK(sound.Locate("bingo.wav") == programFolder + L"\\bingo.wav");
    PutFile(L"bingo.wav", "RIFF");
    CHECK(sound.Locate("bingo.wav") == L"bingo.wav");
    CreateDirectoryW(L"miss.wav", nullptr);  // a folder of that name is no sound
    CHECK(sound.Locate("miss.wav").empty());
    DeleteFileW((programFolder + L"\\bingo.wav").c_str());
    RemoveDirectoryW(programFolder.c_str());
    RemoveDirectoryW(L"miss.wav");
  });
}

int CloseWindowTitled(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  if (window == nullptr) return 1;
  return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int PrintClientSize(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  RECT client{};
  if (window == nullptr || !GetClientRect(window, &client)) return 1;
  std::printf("%ldx%ld\n", client.right - client.left, client.bottom - client.top);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"close") == 0) return CloseWindowTitled(argv[2]);
  if (argc == 3 && std::wcscmp(argv[1], L"client-size") == 0) return PrintClientSize(argv[2]);
  const struct {
    const char* name;
    void (*run)();
  } checks[] = {
      {"raster operations", RasterOperations},
      {"fills, arcs and resizing", FillsArcsAndResizing},
      {"dirty rectangles cover the ink", DirtyRectanglesCoverTheInk},
      {"glyph cells hold five colours", GlyphCellsHoldFiveColours},
      {"settings store writes CRLF and replaces", SettingsStoreWritesCrLfAndReplaces},
      {"settings store leaves what it may not replace", SettingsStoreLeavesWhatItMayNotReplace},
      {"settings store keeps links and sweeps leftovers",
       SettingsStoreKeepsLinksAndSweepsLeftovers},
      {"settings store writes through a link", SettingsStoreWritesThroughALink},
      {"effects are found in order", EffectsAreFoundInOrder},
  };
  int passed = 0;
  int failed = 0;
  for (const auto& check : checks) {
    const int before = failures;
    check.run();
    const bool ok = failures == before;
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", check.name);
    ++(ok ? passed : failed);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
