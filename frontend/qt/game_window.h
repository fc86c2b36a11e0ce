// The game's main window: menu bar, client area, the tick timer, handing events to the shell.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "app/shell.h"
#include "frontend/qt/image_canvas.h"

class GameView;
class QAction;
class SoundOutput;

class GameWindow : public QMainWindow, private FrontEnd {
 public:
  // Opens at the client size of the field geometry; every record starts anew here.
  GameWindow();

  // Runs start-up over this window's picture, then takes the first tick one period later.
  // `record`, when set, receives the session as a scenario.
  void StartUp(uint32_t seed, SoundOutput* sound, std::FILE* record);

  // Ends the program: writes the settings and the recording's end; returns the exit code.
  int End(ProgramEnd how) { return shell_.End(how); }
  const std::string& EndProblem() const { return shell_.EndProblem(); }

  // Called when the Exit command has asked the program to end.
  void SetQuitHandler(std::function<void()> handler) { quit_ = std::move(handler); }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenuBar();
  void RunTimer();

  // FrontEnd
  void ResizePicture(int width, int height) override { picture_.Resize(width, height); }
  void ShowPicture() override;
  void SyncMenu() override;
  void Quit() override;

  GameShell shell_;
  ImageCanvas picture_;
  GameView* view_;
  std::map<uint16_t, QAction*> actions_;
  QTimer ticker_;
  bool minimised_ = false;
  std::function<void()> quit_;
};
