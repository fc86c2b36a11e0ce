// The main window: its class, menu, keys, paint and the message loop, over the shared shell.
#pragma once

#include <windows.h>

#include <cstdio>

#include "app/shell.h"
#include "core/records.h"
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
  // Starts the game, runs the message loop until the program ends and returns the exit code
  // (0 when the window was closed, 40014 after File > Exit). The session is written to
  // `record` as a scenario when it is set.
  int Run(std::FILE* record);

  void ResizePicture(int width, int height) override;
  void ShowPicture() override;
  void SyncMenu() override;
  void Quit() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnSize(WPARAM kind, LPARAM size);
  void OnChar(WPARAM unit);
  bool OnKeyDown(WPARAM key);
  void OnPaint();
  void OnEndSession();
  void AdvanceIfDue();
  void FitClientArea();
  // Blocks until a message arrives or the next tick is due, whichever is first.
  void WaitForMessageOrTick() const;
  // Ends the game once; a lost settings file is told in a message box unless the session is
  // ending, when nobody is there to close one.
  void End(ProgramEnd how, bool sessionEnding = false);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HDC windowDc_ = nullptr;  // the class's own DC, kept for the window's life
  // The item states last shown, so only changes reach the menu: every tick asks for a sync.
  MenuModel shownMenu_{};
  bool menuShown_ = false;
  GameShell shell_{*this};
  GdiCanvas picture_{0, 0};
  Win32SoundOutput sound_{ProgramFolder()};
  ShellClock::time_point due_{};
  bool started_ = false;
  bool minimised_ = false;
  bool quit_ = false;
  bool exitCommand_ = false;
  bool ended_ = false;
  int exitCode_ = 0;
  wchar_t highSurrogate_ = 0;
};
