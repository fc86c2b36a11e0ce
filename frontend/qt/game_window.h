// The game's main window: menu bar, client area, the tick timer, handing events to the shell.
#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <map>
#include <string>

#include "app/shell.h"
#include "frontend/qt/image_canvas.h"

class GameView;
class QAction;
class SoundOutput;
struct Options;

class GameWindow : public QMainWindow, private FrontEnd {
 public:
  // Opens at the client size of the field geometry; every record starts anew here.
  GameWindow();

  // Starts the game, or the replay `options` ask for, over this window's picture; the first
  // tick comes one period later.
  void Start(const Options& options, SoundOutput* sound);

  GameShell& shell() { return shell_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void RunTimer();

  // FrontEnd
  void ResizePicture(int width, int height) override { picture_.Resize(width, height); }
  void ShowPicture() override;
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override;
  // The shell has ended the program; main reads how from it once the loop returns.
  void Quit() override { QCoreApplication::exit(0); }
  void SetTitle(const std::string& title) override {
    setWindowTitle(QString::fromStdString(title));
  }
  void FitWindow(int width, int height) override;
  void BuildMenu(MenuLanguage language) override;

  GameShell shell_;
  ImageCanvas picture_;
  GameView* view_;
  std::map<uint16_t, QAction*> actions_;
  QTimer ticker_;
  bool minimised_ = false;
};
