// The main window hands ticks, typed characters, menu commands and size changes to the shell.
#include "frontend/qt/game_window.h"

#include <QAction>
#include <QEvent>
#include <QLocale>
#include <QMenuBar>
#include <ctime>

#include "app/options.h"
#include "frontend/qt/game_view.h"
#include "frontend/qt/menu_keyboard.h"
#include "resources/menu_resource.h"

GameWindow::GameWindow() : shell_(*this), picture_(0, 0) {
  view_ = new GameView(shell_, picture_);
  setCentralWidget(view_);
  resize(sizeHint());
  view_->setFocus();
  ticker_.setSingleShot(true);
  ticker_.setTimerType(Qt::PreciseTimer);
  connect(&ticker_, &QTimer::timeout, this, [this] { RunTimer(); });
}

void GameWindow::FitWindow(int width, int height) {
  if (width == 0 && height == 0) {
    showMinimized();
    return;
  }
  if (isMinimized()) showNormal();
  view_->setFixedSize(width, height);
  adjustSize();
}

// Before the window shows, which then takes the menu bar's height too.
void GameWindow::BuildMenu(MenuLanguage language) {
  for (const MenuResourcePopup* popup : kMenuBar) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(MenuText(*popup, language)));
    for (int i = 0; i < popup->count; ++i) {
      const MenuResourceItem& item = popup->items[i];
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      // After a tab the key shows in the shortcut column without becoming a second shortcut.
      QString text = QString::fromUtf8(MenuText(item, language));
      if (item.keys != nullptr) text += QLatin1Char('\t') + QString::fromUtf8(item.keys);
      QAction* action = menu->addAction(text);
      connect(action, &QAction::triggered, this, [this, id = item.id] { shell_.Command(id); });
      actions_[item.id] = action;
    }
  }
  KeepKeyboardInField(menuBar(), view_);
  resize(sizeHint());
}

// An item is checkable only while it carries its check mark, so unchecked items show no
// empty box, as on the original platform.
void GameWindow::SetMenuItem(uint16_t id, bool checked, bool greyed) {
  const auto found = actions_.find(id);
  if (found == actions_.end()) return;
  found->second->setCheckable(checked);
  found->second->setChecked(checked);
  found->second->setEnabled(!greyed);
}

// Only what the game drew is shown anew: copying the whole picture each tick would cost more
// than the game itself.
void GameWindow::ShowPicture() {
  const QRegion dirty = picture_.TakeDirtyRegion();
  view_->update(shell_.TakeOverlayChange() ? QRegion(view_->rect()) : dirty);
}

// The first call comes from the event loop, which a replay that cannot be read ends at once.
void GameWindow::Start(const Options& options, SoundOutput* sound) {
  shell_.Start(options, {.seed = static_cast<uint32_t>(std::time(nullptr)),
                         .windowCanvas = &picture_,
                         .sound = sound,
                         .now = PaceClock::now(),
                         .cardGlyphs = &QtGlyphs(),
                         .locale = QLocale::system().name().toStdString()});
  ticker_.start(0);
}

void GameWindow::RunTimer() {
  const PaceClock::time_point now = PaceClock::now();
  const PaceClock::time_point next = shell_.Advance(now);
  ticker_.start(std::chrono::ceil<std::chrono::milliseconds>(std::max(next - now, {})));
}

// A minimised window has a client area of 0 by 0, as the game has always been told.
void GameWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || isMinimized() == minimised_) return;
  minimised_ = isMinimized();
  if (minimised_) {
    shell_.Minimise();
  } else {
    shell_.Size(view_->width(), view_->height());
  }
}
