// The main window routes ticks, typed characters, menu commands and size changes to the game.
#include "frontend/qt/game_window.h"

#include <QAction>
#include <QEvent>
#include <QMenuBar>
#include <algorithm>
#include <thread>

#include "app/commands.h"
#include "app/typed_chars.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/menu_state.h"
#include "core/records.h"
#include "frontend/qt/game_view.h"
#include "render/draw.h"
#include "resources/menu_resource.h"

namespace {

// The original platform's virtual-key codes of F1 to F24.
constexpr uint16_t kVirtualKeyF1 = 0x70;

// A size message carries each side in 16 bits.
int SizeMessageSide(int side) {
  return std::clamp(side, 0, 0xFFFF);
}

}  // namespace

GameWindow::GameWindow() : picture_(0, 0), schedule_(PaceClock::now()) {
  setWindowTitle(QStringLiteral("Volarin ver2.21"));
  // The field and the status band as the geometry starts them: 640 x 480.
  const FieldGeometry& f = fieldGeometry;
  const QSize startSize(f.fieldWidth, f.fieldHeight + f.statusHeight);
  view_ = new GameView(picture_, startSize,
                       {
                           [this](int w, int h) { ClientResized(w, h); },
                           [this](char32_t c) { TypeCharacter(c); },
                           [this](int key) { PressFunctionKey(key); },
                       });
  setCentralWidget(view_);
  BuildMenuBar();
  SyncMenuWithModel();
  resize(sizeHint());
  view_->setFocus();
  picture_.SetPresentHandler([this] { ShowImpactFrame(); });
  ticker_.setSingleShot(true);
  ticker_.setTimerType(Qt::PreciseTimer);
  connect(&ticker_, &QTimer::timeout, this, [this] { RunTick(); });
}

void GameWindow::BuildMenuBar() {
  for (const MenuResourcePopup& popup : kMenuResource) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.text));
    for (int i = 0; i < popup.count; ++i) {
      const MenuResourceItem& item = popup.items[i];
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString::fromUtf8(item.text));
      connect(action, &QAction::triggered, this, [this, id = item.id] { RunCommand(id); });
      actions_[item.id] = action;
    }
  }
}

// An item is checkable only while it carries its check mark, so unchecked items show no
// empty box, as on the original platform.
void GameWindow::SyncMenuWithModel() {
  for (const MenuItemState& item : menuModel.items) {
    const auto found = actions_.find(item.id);
    if (found == actions_.end()) continue;
    QAction* action = found->second;
    const bool checked = item.checked != 0;
    if (action->isCheckable() != checked) action->setCheckable(checked);
    if (action->isChecked() != checked) action->setChecked(checked);
    if (action->isEnabled() == (item.greyed != 0)) action->setEnabled(item.greyed == 0);
  }
}

void GameWindow::StartTicking() {
  schedule_ = TickSchedule(PaceClock::now());
  ticker_.start(std::chrono::ceil<std::chrono::milliseconds>(kTickPeriod));
  AfterGameEvent();
}

// Only what the game drew is shown anew: copying the whole picture each tick would cost more
// than the game itself.
void GameWindow::AfterGameEvent() {
  SyncMenuWithModel();
  view_->update(picture_.TakeDirtyRect());
}

void GameWindow::RunCommand(uint16_t id) {
  OnCommand(id);
  AfterGameEvent();
  if (gameState.quit != 0 && quit_) quit_();
}

// The next tick is scheduled from when this one ended, so the time an impact effect took is
// not made up for afterwards.
void GameWindow::RunTick() {
  OnTick();
  impactPacer_.Reset();
  AfterGameEvent();
  const PaceClock::time_point now = PaceClock::now();
  const PaceClock::time_point due = schedule_.NextAfterTick(now);
  ticker_.start(std::chrono::ceil<std::chrono::milliseconds>(due - now));
}

void GameWindow::TypeCharacter(char32_t character) {
  OnChar(CodeForTypedChar(character));
  AfterGameEvent();
}

// Only the function-key entries of the accelerator table act; the keypad digits stay the
// typed digits the digit class needs. An entry works only while its item is enabled.
void GameWindow::PressFunctionKey(int qtKey) {
  const auto virtualKey = static_cast<uint16_t>(kVirtualKeyF1 + (qtKey - Qt::Key_F1));
  for (const AcceleratorEntry& entry : kAcceleratorTable) {
    if (entry.virtualKey != virtualKey) continue;
    const MenuItemState* item = FindMenuItem(entry.command);
    if (item != nullptr && item->greyed == 0) RunCommand(entry.command);
  }
}

void GameWindow::ClientResized(int width, int height) {
  if (minimised_) return;
  const int w = SizeMessageSide(width);
  const int h = SizeMessageSide(height);
  picture_.Resize(w, h);
  OnSize(w, h);
  AfterGameEvent();
}

// A minimised window has a client area of 0 by 0, as the game has always been told.
void GameWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || isMinimized() == minimised_) return;
  if (isMinimized()) {
    ClientResized(0, 0);
    minimised_ = true;
  } else {
    minimised_ = false;
    ClientResized(view_->width(), view_->height());
  }
}

// Nothing else is handled while the effect runs: keys typed meanwhile wait in the queue.
void GameWindow::ShowImpactFrame() {
  const ImpactEffectPacer::Step step =
      impactPacer_.OnPresent(PaceClock::now(), ImpactEffectPresentCount());
  if (!step.show) return;
  view_->repaint(picture_.TakeDirtyRect());
  std::this_thread::sleep_until(step.waitUntil);
}
