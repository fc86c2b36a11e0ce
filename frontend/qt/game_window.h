// The game's main window: menu bar, client area, the tick timer and the routing of events.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>

#include "frontend/qt/image_canvas.h"
#include "frontend/qt/pacing.h"

class GameView;
class QAction;

class GameWindow : public QMainWindow {
 public:
  // Opens at the client size of the field geometry; the records must be reset first.
  GameWindow();

  // The window picture; it follows the client size from the first resize on.
  ImageCanvas& picture() { return picture_; }

  // Takes the first tick one period from now. Start-up must be complete.
  void StartTicking();

  // Called when a command has asked the program to end.
  void SetQuitHandler(std::function<void()> handler) { quit_ = std::move(handler); }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenuBar();
  void SyncMenuWithModel();
  void RunCommand(uint16_t id);
  void RunTick();
  void TypeCharacter(char32_t character);
  void PressFunctionKey(int qtKey);
  void ClientResized(int width, int height);
  void ShowImpactFrame();
  void AfterGameEvent();

  ImageCanvas picture_;
  GameView* view_;
  std::map<uint16_t, QAction*> actions_;
  QTimer ticker_;
  TickSchedule schedule_;
  ImpactEffectPacer impactPacer_;
  bool minimised_ = false;
  std::function<void()> quit_;
};
