// Checks of the Windows-only parts against the real API (run under Wine on the build
// machine): GDI's glyphs in the game's picture and the settings file store. With the arguments
// "close TITLE", "minimise TITLE" or "restore TITLE" it instead asks the window of that title
// to do so, and with "client-size TITLE" it prints that window's client size. "save-loop
// ROUNDS a" and "save-loop ROUNDS b", run at once, are two copies saving different bests into
// one file.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app/settings.h"
#include "frontend/win32/gdi_glyphs.h"
#include "render/text_box.h"

namespace {

namespace fs = std::filesystem;

int failures = 0;

void Check(bool ok, const char* what, int line) {
  if (ok) return;
  ++failures;
  std::printf("  line %d: %s\n", line, what);
}
#define CHECK(condition) Check((condition), #condition, __LINE__)

constexpr uint32_t kBlackPixel = 0x000000;
constexpr uint32_t kYellowPixel = 0xFFFF00;

// The pixel at (x, y) as 0x00RRGGBB.
uint32_t PixelAt(const PixelCanvas& canvas, int x, int y) {
  return canvas.pixels()[static_cast<size_t>(y) * canvas.width() + x] & 0xFFFFFF;
}

// The bounding box of the pixels within `area` that are not `other` (black by default), or
// that are `colour` when one is given; empty when there are none.
RECT InkBox(const PixelCanvas& canvas, RECT area, uint32_t colour = kBlackPixel,
            bool other = true) {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if ((PixelAt(canvas, x, y) == colour) == other) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    }
  }
  return box;
}

bool Contains(const RECT& outer, const RECT& inner) {
  RECT both{};
  return UnionRect(&both, &outer, &inner) && EqualRect(&both, &outer);
}

// Whatever the window draws must reach the screen: with GDI's glyphs the drawn area covers the
// text's box, in each alignment; the box ends at the reference point, and the glyphs stand on
// a baseline above its bottom, which leaves the face's descent below it.
void TextReachesTheDrawnArea() {
  PixelCanvas canvas(200, 80, PixelOrder::kArgb, GdiGlyphs());
  for (int align : {kAlignLeft, kAlignRight, kAlignCenter}) {
    canvas.FillRectangle(0, 0, 200, 80, kBlack);
    canvas.TakeDirtyArea();
    canvas.DrawOpaqueText(100, 70, align | kAlignBottom, "Level 1", 7, kYellow, kBlue);
    const PixelRect area = canvas.TakeDirtyArea();
    const RECT drawn{area.left, area.top, area.left + area.width, area.top + area.height};
    const RECT box = InkBox(canvas, {0, 0, 200, 80});
    const RECT ink = InkBox(canvas, box, kYellowPixel, false);
    CHECK(!IsRectEmpty(&ink) && Contains(drawn, box) && Contains(box, ink));
    CHECK(box.bottom == 70 && box.bottom - box.top <= kStatusBandHeight);
    CHECK(ink.bottom <= 67);  // "Level 1" has no descender
  }
}

// Runs `check` in a fresh empty working folder, removed afterwards.
void InScratchFolder(const std::function<void()>& check) {
  const fs::path folder =
      fs::temp_directory_path() / ("volarin-checks-" + std::to_string(GetCurrentProcessId()));
  fs::create_directory(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  check();
  fs::current_path(previous);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void PutFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool WriteSettingsText(const std::string& text) {
  return UpdateStoredText(SettingsFile(), 1 << 20, [&text](const std::string*) { return text; });
}

long EntriesInWorkingFolder() {
  return std::distance(fs::directory_iterator("."), fs::directory_iterator());
}

// CR LF line ends; a shorter text leaves no tail of the old one; a file with a second name is
// rewritten where it is, so both names see the new text; a temporary file a killed writer
// left is swept away, one still held by a writer is not, nor any name a player may choose.
void SettingsStoreReplacesKeepsLinksAndSweeps() {
  InScratchFolder([] {
    std::string text;
    CHECK(!ReadSettingsText(&text));
    CHECK(WriteSettingsText("1\n2\n0 -\n"));
    CHECK(ReadSettingsText(&text) && text == "1\r\n2\r\n0 -\r\n");
    CHECK(CreateHardLinkW(L"other.ini", L"VOLARIN.INI", nullptr));
    for (const char* kept :
         {"VOLARIN.INI.1-2.tmp", "VOLARIN.INI.before-update.tmp",
          ".VOLARIN.INI.volarin-tmp-a1b2c3.tmp", ".VOLARIN.INI.volarin-tmp-1-2"}) {
      PutFile(kept, "the player's");
    }
    PutFile(".VOLARIN.INI.volarin-tmp-a1B2c3", "left by a crash");
    const HANDLE held = CreateFileW(L".VOLARIN.INI.volarin-tmp-held00", GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
    CHECK(WriteSettingsText("3\n"));
    CHECK(FileText("VOLARIN.INI") == "3\r\n" && FileText("other.ini") == "3\r\n");
    CHECK(!fs::exists(".VOLARIN.INI.volarin-tmp-a1B2c3") &&
          fs::exists(".VOLARIN.INI.volarin-tmp-held00"));
    CloseHandle(held);
    // Nothing of its own left behind but the lock file.
    CHECK(EntriesInWorkingFolder() == 8 && fs::exists(".VOLARIN.INI.volarin-lock"));
  });
}

void SettingsStoreLeavesWhatItMayNotReplace() {
  InScratchFolder([] {
    PutFile("VOLARIN.INI", "7\r\n");
    SetFileAttributesW(L"VOLARIN.INI", FILE_ATTRIBUTE_READONLY);
    CHECK(!WriteSettingsText("1\n"));
    CHECK(FileText("VOLARIN.INI") == "7\r\n");
    CHECK(GetFileAttributesW(L"VOLARIN.INI") & FILE_ATTRIBUTE_READONLY);
    CHECK(EntriesInWorkingFolder() == 1);
    SetFileAttributesW(L"VOLARIN.INI", FILE_ATTRIBUTE_NORMAL);
    fs::remove("VOLARIN.INI");
    fs::create_directory("VOLARIN.INI");
    std::string text;
    CHECK(!ReadSettingsText(&text) && !WriteSettingsText("1\n"));
    CHECK(fs::is_directory("VOLARIN.INI"));
  });
}

// Asks the window of that title to close, minimise or be restored, as its system menu does.
int AskWindowTitled(const std::wstring& request, const wchar_t* title) {
  const WPARAM command = request == L"close"      ? SC_CLOSE
                         : request == L"minimise" ? SC_MINIMIZE
                         : request == L"restore"  ? SC_RESTORE
                                                  : 0;
  HWND window = command != 0 ? FindWindowW(nullptr, title) : nullptr;
  return window != nullptr && PostMessageW(window, WM_SYSCOMMAND, command, 0) ? 0 : 1;
}

int PrintClientSize(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  RECT client{};
  if (window == nullptr || !GetClientRect(window, &client)) return 1;
  std::printf("%ldx%ld\n", client.right - client.left, client.bottom - client.top);
  return 0;
}

// Each copy saves a best of its own, at a level of its own, with options of its own: every save
// must succeed, and every read after one must find a whole file that still holds that best,
// as the other copy's saves keep the higher best of each level.
int SaveInALoop(int rounds, bool second) {
  const std::string own = second ? "8 b\n" : "91234 aaaaaaaaaaaaaaaa\n";
  ParseSettings((second ? "3 2 0 1 0 - " : "1 1 1 1 ") + own);
  int lost = 0;
  int damaged = 0;
  for (int round = 0; round < rounds; ++round) {
    lost += !WriteSettingsFile();
    std::string text;
    const bool read = ReadSettingsText(&text);
    std::erase(text, '\r');
    damaged += !read || std::count(text.begin(), text.end(), '\n') != 9 ||
               !(text.starts_with("1\n1\n1\n1\n") || text.starts_with("3\n2\n0\n1\n")) ||
               text.find(own) == std::string::npos;
  }
  std::printf("%d of %d saves lost, %d reads damaged\n", lost, rounds, damaged);
  return lost + damaged == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"client-size") == 0) return PrintClientSize(argv[2]);
  if (argc == 4 && std::wcscmp(argv[1], L"save-loop") == 0) {
    return SaveInALoop(std::wcstol(argv[2], nullptr, 10), argv[3][0] == L'b');
  }
  if (argc == 3) return AskWindowTitled(argv[1], argv[2]);
  // Each check counts once however many of its conditions fail; those print their lines.
  int passed = 0;
  int failed = 0;
  for (void (*check)() : {TextReachesTheDrawnArea, SettingsStoreReplacesKeepsLinksAndSweeps,
                          SettingsStoreLeavesWhatItMayNotReplace}) {
    const int before = failures;
    check();
    ++(failures == before ? passed : failed);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
