// The main window: its class, menu, keys, paint and the message loop, over the shared shell.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/shell.h"
#include "frontend/win32/gdi_glyphs.h"
#include "frontend/win32/win32_sound.h"
#include "render/pixel_canvas.h"

class GameWindow : public FrontEnd {
 public:
  explicit GameWindow(HINSTANCE instance);
  ~GameWindow() override;
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  // Registers the class and opens the window with a 640 x 480 client area below the menu
  // bar; false when either fails.
  bool Open(int showCommand);
  // Starts the game (or the replay `options` ask for, its verdict going to `report`), runs the
  // message loop until the program ends and returns the exit status the shell gives.
  int Run(const Options& options, std::FILE* report);

  void ResizePicture(int width, int height) override { picture_.Resize(width, height); }
  void ShowPicture() override;
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override;
  void Quit() override { quit_ = true; }
  void SetTitle(const std::string& title) override;
  void FitWindow(int width, int height) override;
  void BuildMenu(MenuLanguage language) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleChar(WPARAM unit);
  bool HandleKeyDown(WPARAM key);
  void Paint();
  void RunLoop();
  // Copies `area` of the picture to `dc`, with the shell's overlay laid over it, each pixel a
  // square of scale_ x scale_.
  void Show(HDC dc, PixelRect area);
  // Sizes the window until its client area shows a `width` x `height` picture below the menu
  // bar, however many rows the menu bar takes.
  void FitClientArea(int width, int height);
  // A new dots-per-inch from the monitor the window is on: a new whole scale, and the window
  // sized to keep the picture's size.
  void ChangeDpi(int dpi, const RECT& suggested);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HDC windowDc_ = nullptr;  // the class's own DC, kept for the window's life
  GameShell shell_{*this};
  PixelCanvas picture_{0, 0, PixelOrder::kArgb, GdiGlyphs()};
  std::vector<uint32_t> shown_;  // the picture with the overlay over it, while a card shows
  int scale_ = 1;                // screen pixels a side of each picture pixel
  Win32SoundOutput sound_{ProgramFolder()};
  PaceClock::time_point due_{};
  bool quit_ = false;
  wchar_t highSurrogate_ = 0;
  std::wstring title_;  // the message box after the window has it too
};
