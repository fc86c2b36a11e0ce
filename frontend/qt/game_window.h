// The game's main window: menu bar, client area, the tick timer, handing events to the shell.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "app/kept_game.h"
#include "app/shell.h"
#include "frontend/qt/image_canvas.h"

class GameView;
class ReplayViewer;
class QAction;
class SoundOutput;

class GameWindow : public QMainWindow, private FrontEnd {
 public:
  // Opens at the client size of the field geometry; every record starts anew here.
  GameWindow();
  ~GameWindow() override;

  // Starts the game over this window's picture; the first tick comes one period later.
  // `record`, when set, receives the session as a scenario.
  void Start(uint32_t seed, SoundOutput* sound, std::FILE* record);

  // Shows the recording instead of a game (`unreadable`, when set, says why the file could not
  // be read); with `exitAtEnd` the event loop ends with the verdict's status once it is known.
  void StartReplay(const std::string& recording, const std::string& unreadable, bool exitAtEnd,
                   SoundOutput* sound);
  // The replay ends where it is (the window closed): the status the program exits with then,
  // 0 when not a replay or without --exit-at-end.
  int EndReplay();

  GameShell& shell() { return shell_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenuBar();
  void RunTimer();

  // FrontEnd
  void ResizePicture(int width, int height) override;
  void Typed(char32_t character);
  void FitReplaySize(int width, int height);
  void ShowPicture() override;
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override;
  void Quit() override;
  std::string LocalTimeNow() override { return LocalTimeStamp(std::time(nullptr)); }

  GameShell shell_;
  ImageCanvas picture_;
  GameView* view_;
  std::map<uint16_t, QAction*> actions_;
  QTimer ticker_;
  bool minimised_ = false;
  std::unique_ptr<ReplayViewer> viewer_;  // set while the window shows a replay
  bool exitAtEnd_ = false;
};
