// The game's main window: menu bar, client area, the tick timer, handing events to the shell.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <map>

#include "app/shell.h"
#include "frontend/qt/image_canvas.h"

class GameView;
class QAction;
class SoundOutput;

class GameWindow : public QMainWindow, private FrontEnd {
 public:
  // Opens at the client size of the field geometry; every record starts anew here.
  GameWindow();

  // Starts the game over this window's picture; the first tick comes one period later.
  // `record`, when set, receives the session as a scenario.
  void Start(uint32_t seed, SoundOutput* sound, std::FILE* record);

  GameShell& shell() { return shell_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenuBar();
  void RunTimer();

  // FrontEnd
  void ResizePicture(int width, int height) override { picture_.Resize(width, height); }
  void ShowPicture() override;
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override;
  void Quit() override;

  GameShell shell_;
  ImageCanvas picture_;
  GameView* view_;
  std::map<uint16_t, QAction*> actions_;
  QTimer ticker_;
  bool minimised_ = false;
};
