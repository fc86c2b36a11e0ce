// The main window: its class, menu, keys, paint and the message loop, over the shared shell.
#pragma once

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "app/kept_game.h"
#include "app/options.h"
#include "app/replay_viewer.h"
#include "app/shell.h"
#include "frontend/win32/gdi_canvas.h"
#include "frontend/win32/win32_sound.h"

class GameWindow : public FrontEnd {
 public:
  explicit GameWindow(HINSTANCE instance);
  ~GameWindow() override;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Registers the class and opens the window with a 640 x 480 client area below the menu
  // bar; false when either fails.
  bool Open(int showCommand);
  // Starts the game, runs the message loop until the program ends and returns the exit status
  // the shell gives (0 when the window was closed, 40014 after File > Exit). The session is
  // written to `options.record` as a scenario when it is set. With `--replay` the window shows
  // the recording instead, its verdict going to `report`; with `--exit-at-end` the loop ends
  // at the verdict and the status is 0 when verified, 1 when not.
  int Run(const Options& options, std::FILE* report);

  void ResizePicture(int width, int height) override;
  void ShowPicture() override;
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override;
  void Quit() override { quit_ = true; }
  std::string LocalTimeNow() override { return LocalTimeStamp(std::time(nullptr)); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleSize(WPARAM kind, LPARAM size);
  void HandleChar(WPARAM unit);
  bool HandleKeyDown(WPARAM key);
  void Paint();
  void StartReplay(const Options& options, std::FILE* report);
  int RunReplay(const Options& options, std::FILE* report);
  void RunLoop();
  PaceClock::time_point Advance();
  // A replay's window takes the client size the recording gives the picture, minimised at 0 x 0.
  void FitReplaySize(int width, int height);
  // Copies `area` of the picture to `dc`, with the shell's overlay laid over it.
  void Show(HDC dc, RECT area);
  void FitClientArea(int clientHeight);
  // Blocks until a message arrives or the next tick is due, whichever is first.
  void WaitForMessageOrTick() const;
  // A lost settings file is told in a message box when the player ended the program; when the
  // session ends nobody is there to close one.
  void TellEndProblem();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HDC windowDc_ = nullptr;  // the class's own DC, kept for the window's life
  GameShell shell_{*this};
  GdiCanvas picture_{0, 0};
  GdiCanvas shown_{0, 0};  // the picture with the overlay over it, while a card shows
  Win32SoundOutput sound_{ProgramFolder()};
  PaceClock::time_point due_{};
  bool minimised_ = false;
  bool quit_ = false;
  wchar_t highSurrogate_ = 0;
  std::unique_ptr<ReplayViewer> viewer_;  // set while the window shows a replay
  bool exitAtEnd_ = false;
};
