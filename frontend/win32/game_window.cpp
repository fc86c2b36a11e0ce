// The Win32 window procedure and message loop: every event goes to the shared shell, which
// says when the next tick is due; the loop sleeps until then or until a message comes.
#include "frontend/win32/game_window.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iterator>
#include <string>

namespace {

const wchar_t kClassName[] = L"VolarinMainWindow";
const wchar_t kTitle[] = L"Volarin ver2.21";
constexpr int kMenuId = 105;
constexpr int kStartWidth = 640;
constexpr int kStartHeight = 480;
// While a menu is open or the window is moved, the system runs its own loop; a timer then
// keeps the ticks coming at the shell's schedule.
constexpr UINT_PTR kModalLoopTimer = 1;

bool ModifierDown() {
  return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0;
}

}  // namespace

GameWindow::GameWindow(HINSTANCE instance) : instance_(instance) {
  // Waits then end within a millisecond of the tick they wait for, not a 15.6 ms slice later.
  timeBeginPeriod(1);
  picture_.SetPresentHandler([this] { ShowPicture(); });
}

GameWindow::~GameWindow() {
  timeEndPeriod(1);
}

bool GameWindow::Open(int showCommand) {
  WNDCLASSW windowClass{};
  // A DC of its own, taken once: each frame is then one copy, not three calls.
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = MAKEINTRESOURCEW(kMenuId);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) return false;

  RECT frame{0, 0, kStartWidth, kStartHeight};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0);
  window_ = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  windowDc_ = GetDC(window_);
  FitClientArea();
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  return true;
}

// A menu bar that wraps onto a second row takes its height from the client area; the window
// grows by that much so the field starts at its full size.
void GameWindow::FitClientArea() {
  RECT client{};
  GetClientRect(window_, &client);
  const int missing = kStartHeight - (client.bottom - client.top);
  if (missing <= 0) return;
  RECT frame{};
  GetWindowRect(window_, &frame);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + missing,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int GameWindow::Run(std::FILE* record) {
  const ShellClock::time_point now = ShellClock::now();
  shell_.StartUp({.seed = static_cast<uint32_t>(std::time(nullptr)),
                  .windowCanvas = &picture_,
                  .sound = &sound_,
                  .record = record,
                  .now = now});
  started_ = true;
  due_ = now;
  while (!quit_) {
    AdvanceIfDue();
    WaitForMessageOrTick();
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
  End(exitCommand_ ? ProgramEnd::kExitCommand : ProgramEnd::kWindowClosed);
  return exitCode_;
}

void GameWindow::AdvanceIfDue() {
  const ShellClock::time_point now = ShellClock::now();
  if (now >= due_) due_ = shell_.Advance(now);
}

void GameWindow::WaitForMessageOrTick() const {
  const auto wait = due_ - ShellClock::now();
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
  const DWORD timeout =
      static_cast<DWORD>(std::clamp<decltype(milliseconds)>(milliseconds, 0, 1000));
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void GameWindow::End(ProgramEnd how, bool sessionEnding) {
  if (ended_) return;
  ended_ = true;
  exitCode_ = shell_.End(how);
  const std::string& problem = shell_.EndProblem();
  if (problem.empty() || sessionEnding) return;
  std::wstring text(problem.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, problem.data(), static_cast<int>(problem.size()),
                                  text.data(), static_cast<int>(text.size())));
  MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
}

void GameWindow::ResizePicture(int width, int height) {
  picture_.Resize(width, height);
}

// Only what changed since the last call goes to the screen.
void GameWindow::ShowPicture() {
  const RECT changed = picture_.TakeDirtyRect();
  if (windowDc_ == nullptr || IsRectEmpty(&changed)) return;
  BitBlt(windowDc_, changed.left, changed.top, changed.right - changed.left,
         changed.bottom - changed.top, picture_.dc(), changed.left, changed.top, SRCCOPY);
}

// The menu items are the resource's, so every item of the model has one to show it.
void GameWindow::SyncMenu() {
  HMENU menu = window_ != nullptr ? GetMenu(window_) : nullptr;
  if (menu == nullptr) return;
  for (size_t i = 0; i < std::size(menuModel.items); ++i) {
    const MenuItemState& item = menuModel.items[i];
    MenuItemState& shown = shownMenu_.items[i];
    if (menuShown_ && item.checked == shown.checked && item.greyed == shown.greyed) continue;
    CheckMenuItem(menu, item.id, MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.greyed ? MF_GRAYED : MF_ENABLED));
    shown = item;
  }
  menuShown_ = true;
}

void GameWindow::Quit() {
  exitCommand_ = true;
  quit_ = true;
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
      OnSize(wParam, lParam);
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything from the picture
    case WM_CHAR:
      OnChar(wParam);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_COMMAND:
      if (started_) shell_.Command(LOWORD(wParam));
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
      if (started_ && !quit_) AdvanceIfDue();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE) OnEndSession();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      windowDc_ = nullptr;
      window_ = nullptr;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Minimising gives a 0 x 0 client area, as the size message itself says; the shell pauses a
// running game before the field shrinks.
void GameWindow::OnSize(WPARAM kind, LPARAM size) {
  const int width = LOWORD(size);
  const int height = HIWORD(size);
  if (kind == SIZE_MINIMIZED) {
    minimised_ = true;
    shell_.Minimise();
  } else if (minimised_) {
    minimised_ = false;
    shell_.Restore(width, height);
  } else {
    shell_.Size(width, height);
  }
  if (started_) ShowPicture();
}

// A character outside the basic plane comes as two units; the pair is handed on as one.
void GameWindow::OnChar(WPARAM unit) {
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
  if (started_) shell_.Type(character);
}

// Function keys without modifiers go to the shell, which acts only through an enabled item.
// The keypad is left alone so that its digits arrive as characters.
bool GameWindow::OnKeyDown(WPARAM key) {
  if (key < VK_F1 || key > VK_F24 || ModifierDown()) return false;
  if (started_) shell_.PressFunctionKey(static_cast<int>(key - VK_F1) + 1);
  return true;
}

void GameWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  const RECT& area = paint.rcPaint;
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, picture_.dc(),
         area.left, area.top, SRCCOPY);
  // Beyond the largest picture the client area is black.
  const RECT right{picture_.width(), area.top, area.right, area.bottom};
  const RECT below{area.left, picture_.height(), area.right, area.bottom};
  for (const RECT& rest : {right, below}) {
    if (rest.left < rest.right && rest.top < rest.bottom) {
      FillRect(dc, &rest, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }
  EndPaint(window_, &paint);
}

// The session is ending and the process may be stopped once this returns: the settings are
// written now, and the loop then ends without writing them again.
void GameWindow::OnEndSession() {
  End(exitCommand_ ? ProgramEnd::kExitCommand : ProgramEnd::kWindowClosed, true);
  quit_ = true;
}
