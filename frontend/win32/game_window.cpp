// The Win32 window procedure and message loop: every event goes to the shared shell, which
// says when the next tick is due; the loop sleeps until then or until a message comes.
#include "frontend/win32/game_window.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iterator>
#include <string>

#include "app/overlay.h"
#include "frontend/win32/gdi_glyphs.h"
#include "frontend/win32/resource_ids.h"

namespace {

const wchar_t kClassName[] = L"VolarinMainWindow";
// The menu resources: the class opens the window with the Japanese one.
constexpr int kMenuId = 105;
constexpr int kEnglishMenuId = 106;
// While a menu is open or the window is moved, the system runs its own loop; a timer then
// keeps the ticks coming at the shell's schedule.
constexpr UINT_PTR kModalLoopTimer = 1;

// Only the language matters to the shell: "ja" for a Japanese user interface.
std::string PlayerLocale() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? "ja" : "en";
}

std::wstring Wide(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  text.data(), static_cast<int>(text.size())));
  return text;
}

bool ModifierDown() {
  return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0;
}

// The icon resource's image nearest the size the system uses there; shared, so never freed.
HICON GameIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(VOLARIN_ICON_ID), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_SHARED));
}

// Each picture pixel is shown as a square of whole screen pixels, so the picture stays crisp:
// the step nearest the screen's scale (96 dots per inch is 1) at which a `width` x `height`
// picture and the window's frame still fit the monitor's work area.
int ScaleFor(HWND window, int dpi, int width, int height) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  int scale = std::max(1, (dpi + 48) / 96);
  for (; scale > 1; --scale) {
    RECT frame{0, 0, width * scale, height * scale};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
    if (frame.right - frame.left <= work.right - work.left &&
        frame.bottom - frame.top <= work.bottom - work.top) {
      break;
    }
  }
  return scale;
}

}  // namespace

GameWindow::GameWindow(HINSTANCE instance) : instance_(instance) {
  // Waits then end within a millisecond of the tick they wait for, not a 15.6 ms slice later.
  timeBeginPeriod(1);
}

GameWindow::~GameWindow() {
  timeEndPeriod(1);
}

bool GameWindow::Open(int showCommand) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // A DC of its own, taken once: each frame is then one copy, not three calls.
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEW(kMenuId);
  windowClass.lpszClassName = kClassName;
  // Each the image of the size the system shows there: Alt+Tab, and the title bar.
  windowClass.hIcon = GameIcon(instance_, SM_CXICON, SM_CYICON);
  windowClass.hIconSm = GameIcon(instance_, SM_CXSMICON, SM_CYSMICON);
  if (RegisterClassExW(&windowClass) == 0) return false;

  // The field and the status band at the size the geometry starts with, read before the
  // window's first size messages change it.
  const int clientWidth = shell_.ClientWidth();
  const int clientHeight = shell_.ClientHeight();
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  window_ = CreateWindowExW(0, kClassName, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance_, this);
  if (window_ == nullptr) return false;
  windowDc_ = GetDC(window_);
  // Nearest neighbour: whole-step scaling then copies each pixel, blending none.
  SetStretchBltMode(windowDc_, COLORONCOLOR);
  scale_ = ScaleFor(window_, GetDeviceCaps(windowDc_, LOGPIXELSY), clientWidth, clientHeight);
  FitClientArea(clientWidth, clientHeight);
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  return true;
}

// A menu bar that wraps onto a second row takes its height from the client area, and the frame
// of a monitor at another scale than the system's differs from the one worked out: the window
// then grows or shrinks by what is missing so the field has its full size.
void GameWindow::FitClientArea(int width, int height) {
  width *= scale_;
  height *= scale_;
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(window_, &client);
  const int wider = width - (client.right - client.left);
  const int taller = height - (client.bottom - client.top);
  if (wider == 0 && taller == 0) return;
  GetWindowRect(window_, &frame);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + wider,
               frame.bottom - frame.top + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window goes where the system suggests (on the monitor it was moved to), with the
// picture's size kept at the new scale.
void GameWindow::ChangeDpi(int dpi, const RECT& suggested) {
  const int width = shell_.ClientWidth();
  const int height = shell_.ClientHeight();
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  scale_ = ScaleFor(window_, dpi, width, height);
  FitClientArea(width, height);
  InvalidateRect(window_, nullptr, FALSE);
}

void GameWindow::SetTitle(const std::string& title) {
  title_ = Wide(title);
  if (window_ != nullptr) SetWindowTextW(window_, title_.c_str());
}

// A replay's window takes the client size the recording gives the picture, minimised at 0 x 0.
void GameWindow::FitWindow(int width, int height) {
  if (window_ == nullptr) return;
  if (width == 0 && height == 0) {
    ShowWindow(window_, SW_MINIMIZE);
    return;
  }
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  FitClientArea(width, height);
}

// A menu bar of another width may take another number of rows: the client area keeps its size.
void GameWindow::BuildMenu(MenuLanguage language) {
  if (window_ == nullptr || language == MenuLanguage::kJapanese) return;
  HMENU japanese = GetMenu(window_);
  SetMenu(window_, LoadMenuW(instance_, MAKEINTRESOURCEW(kEnglishMenuId)));
  if (japanese != nullptr) DestroyMenu(japanese);
  FitClientArea(shell_.ClientWidth(), shell_.ClientHeight());
}

int GameWindow::Run(const Options& options, std::FILE* report) {
  shell_.Start(options, {.seed = static_cast<uint32_t>(std::time(nullptr)),
                         .windowCanvas = &picture_,
                         .sound = &sound_,
                         .now = PaceClock::now(),
                         .cardGlyphs = &GdiGlyphs(),
                         .locale = PlayerLocale(),
                         .report = report});
  RunLoop();
  const int status = shell_.End(ProgramEnd::kWindowClosed);
  // A lost settings file is told when the player ended the program; when the session ends
  // nobody is there to close a message box.
  const std::string& problem = shell_.EndProblem();
  if (!problem.empty() && shell_.PlayerEnded()) {
    MessageBoxW(nullptr, Wide(problem).c_str(), title_.c_str(), MB_OK | MB_ICONWARNING);
  }
  return status;
}

// Sleeps until a message arrives or the next tick is due, whichever is first.
void GameWindow::RunLoop() {
  while (!quit_) {
    due_ = shell_.Advance(PaceClock::now());
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due_ - PaceClock::now());
    const auto timeout = std::clamp<decltype(wait.count())>(wait.count(), 0, 1000);
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeout), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG message;
    while (!quit_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit_ = true;
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// Only what changed since the last call goes to the screen, or all of it when a card came,
// went or changed.
void GameWindow::ShowPicture() {
  PixelRect changed = picture_.TakeDirtyArea();
  if (shell_.TakeOverlayChange()) changed = {0, 0, picture_.width(), picture_.height()};
  if (windowDc_ == nullptr || changed.Empty()) return;
  Show(windowDc_, changed);
}

// One StretchDIBits from the picture's rows (0xAARRGGBB is a 32-bit DIB's own order). The
// rows handed over start at the area's top, so the source's y is 0 whichever way up the
// system counts it.
void GameWindow::Show(HDC dc, PixelRect area) {
  const int width = picture_.width();
  area.width = std::min(area.width, width - area.left);
  area.height = std::min(area.height, picture_.height() - area.top);
  if (area.Empty()) return;
  const uint32_t* rows =
      ShownPixels(picture_, shell_.Overlay(), area, shown_) + static_cast<size_t>(area.top) * width;
  const BITMAPINFO info = TopDownPixels(width, area.height);
  StretchDIBits(dc, area.left * scale_, area.top * scale_, area.width * scale_,
                area.height * scale_, area.left, 0, area.width, area.height, rows, &info,
                DIB_RGB_COLORS, SRCCOPY);
}

// The menu items are the resource's, so every item the shell names has one to show it.
void GameWindow::SetMenuItem(uint16_t id, bool checked, bool greyed) {
  HMENU menu = window_ != nullptr ? GetMenu(window_) : nullptr;
  if (menu == nullptr) return;
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(menu, id, MF_BYCOMMAND | (greyed ? MF_GRAYED : MF_ENABLED));
}

LRESULT CALLBACK GameWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<GameWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<GameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(window, message, wParam, lParam);
}

LRESULT GameWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // Minimising gives a 0 x 0 client area, as the size message itself says; the shell
      // pauses a running game before the field shrinks.
      if (wParam == SIZE_MINIMIZED) {
        shell_.Minimise();
      } else {
        shell_.Size(LOWORD(lParam) / scale_, HIWORD(lParam) / scale_);
      }
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything from the picture
    case WM_CHAR:
      HandleChar(wParam);
      return 0;
    case WM_KEYDOWN:
      if (HandleKeyDown(wParam)) return 0;
      break;
    case WM_COMMAND:
      shell_.Command(LOWORD(wParam));
      return 0;
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
      SetTimer(window, kModalLoopTimer, USER_TIMER_MINIMUM, nullptr);
      return 0;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
      KillTimer(window, kModalLoopTimer);
      return 0;
    case WM_TIMER:
      due_ = shell_.Advance(PaceClock::now());
      return 0;
    case WM_DPICHANGED:
      ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    // The session may end: the default answer to WM_QUERYENDSESSION agrees.
    case WM_ENDSESSION:
      // The process may be stopped once this returns: the settings are written now, and the
      // loop then ends without writing them again.
      if (wParam != FALSE) {
        shell_.End(ProgramEnd::kSessionEnded);
        quit_ = true;
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      windowDc_ = nullptr;
      window_ = nullptr;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A character outside the basic plane comes as two units; the pair is handed on as one.
void GameWindow::HandleChar(WPARAM unit) {
  const auto code = static_cast<wchar_t>(unit);
  if (IS_HIGH_SURROGATE(code)) {
    highSurrogate_ = code;
    return;
  }
  char32_t character = code;
  if (IS_LOW_SURROGATE(code)) {
    if (highSurrogate_ == 0) return;
    character = 0x10000 + ((char32_t{highSurrogate_} - 0xD800) << 10) + (code - 0xDC00);
  }
  highSurrogate_ = 0;
  shell_.Type(character);
}

// Function keys without modifiers go to the shell, which acts only through an enabled item.
// The keypad is left alone so that its digits arrive as characters.
bool GameWindow::HandleKeyDown(WPARAM key) {
  if (ModifierDown()) return false;
  if (key == VK_NEXT || key == VK_RIGHT || key == VK_PRIOR || key == VK_LEFT) {
    shell_.TurnPage(key == VK_NEXT || key == VK_RIGHT ? 1 : -1);
    return true;
  }
  if (key < VK_F1 || key > VK_F24) return false;
  shell_.PressFunctionKey(static_cast<int>(key - VK_F1) + 1);
  return true;
}

void GameWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  const RECT& area = paint.rcPaint;
  const int left = area.left / scale_;
  const int top = area.top / scale_;
  Show(dc, {left, top, (area.right + scale_ - 1) / scale_ - left,
            (area.bottom + scale_ - 1) / scale_ - top});
  // Beyond the largest picture the client area is black.
  const RECT right{picture_.width() * scale_, area.top, area.right, area.bottom};
  const RECT below{area.left, picture_.height() * scale_, area.right, area.bottom};
  for (const RECT& rest : {right, below}) {
    if (rest.left < rest.right && rest.top < rest.bottom) {
      FillRect(dc, &rest, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }
  EndPaint(window_, &paint);
}
