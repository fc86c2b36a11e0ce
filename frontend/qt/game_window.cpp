// The main window hands ticks, typed characters, menu commands and size changes to the shell.
#include "frontend/qt/game_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QMenuBar>

#include "app/replay_viewer.h"
#include "frontend/qt/game_view.h"
#include "frontend/qt/menu_keyboard.h"
#include "frontend/qt/qt_glyph_source.h"
#include "resources/menu_resource.h"
#include "resources/version.h"

GameWindow::GameWindow() : shell_(*this), picture_(0, 0) {
  setWindowTitle(QStringLiteral(VOLARIN_TITLE));
  const QSize startSize(shell_.ClientWidth(), shell_.ClientHeight());
  view_ = new GameView(picture_, shell_.Overlay(), startSize,
                       {
                           [this](int w, int h) {
                             if (!minimised_ && !viewer_) shell_.Size(w, h);
                           },
                           [this](char32_t c) { Typed(c); },
                           [this](int key) {
                             if (!viewer_) shell_.PressFunctionKey(key - Qt::Key_F1 + 1);
                           },
                           [this](int delta) {
                             if (viewer_) viewer_->Arrow(delta);
                             if (!viewer_) shell_.TurnHelpPage(delta);
                           },
                       });
  setCentralWidget(view_);
  BuildMenuBar();
  KeepKeyboardInField(menuBar(), view_);
  resize(sizeHint());
  view_->setFocus();
  ticker_.setSingleShot(true);
  ticker_.setTimerType(Qt::PreciseTimer);
  connect(&ticker_, &QTimer::timeout, this, [this] { RunTimer(); });
}

GameWindow::~GameWindow() = default;

// In a replay nothing typed reaches the game: the viewer takes its keys, Esc closes.
void GameWindow::Typed(char32_t character) {
  if (!viewer_) {
    shell_.Type(character);
    return;
  }
  viewer_->Type(character);
  if (viewer_->Stopped()) close();
}

void GameWindow::ResizePicture(int width, int height) {
  picture_.Resize(width, height);
  if (viewer_) FitReplaySize(width, height);
}

// A replay shows the field at the sizes it was played at, minimised where the player
// minimised it.
void GameWindow::FitReplaySize(int width, int height) {
  if (width == 0 && height == 0) {
    showMinimized();
    return;
  }
  if (isMinimized()) showNormal();
  view_->setFixedSize(width, height);
  adjustSize();
}

void GameWindow::BuildMenuBar() {
  for (const MenuResourcePopup* popup : kMenuBar) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup->text));
    for (int i = 0; i < popup->count; ++i) {
      const MenuResourceItem& item = popup->items[i];
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      // After a tab the key shows in the shortcut column without becoming a second shortcut.
      QString text = QString::fromUtf8(item.text);
      if (item.keys != nullptr) text += QLatin1Char('\t') + QString::fromUtf8(item.keys);
      QAction* action = menu->addAction(text);
      connect(action, &QAction::triggered, this, [this, id = item.id] { shell_.Command(id); });
      actions_[item.id] = action;
    }
  }
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
  if (shell_.TakeOverlayChange()) {
    view_->update();
  } else {
    view_->update(dirty);
  }
}

// The shell has ended the program; main reads how from it once the loop returns.
void GameWindow::Quit() {
  QCoreApplication::exit(0);
}

void GameWindow::Start(uint32_t seed, SoundOutput* sound, std::FILE* record) {
  const PaceClock::time_point now = PaceClock::now();
  shell_.Start({.seed = seed,
                .windowCanvas = &picture_,
                .sound = sound,
                .record = record,
                .now = now,
                .showCards = true,
                .cardGlyphs = &QtGlyphs(),
                .overlayOrder = PixelOrder::kArgb,
                .locale = QLocale::system().name().toStdString()});
  ticker_.start(std::chrono::ceil<std::chrono::milliseconds>(shell_.Advance(now) - now));
}

void GameWindow::StartReplay(const std::string& recording, const std::string& unreadable,
                             bool exitAtEnd, SoundOutput* sound) {
  setWindowTitle(QStringLiteral(VOLARIN_TITLE " - replay"));
  menuBar()->hide();  // a replay takes no commands
  viewer_ = std::make_unique<ReplayViewer>(shell_, stdout);
  exitAtEnd_ = exitAtEnd;
  const PaceClock::time_point now = PaceClock::now();
  viewer_->Start(recording,
                 {.windowCanvas = &picture_,
                  .sound = sound,
                  .now = now,
                  .cardGlyphs = &QtGlyphs(),
                  .overlayOrder = PixelOrder::kArgb,
                  .locale = QLocale::system().name().toStdString()},
                 unreadable);
  FitReplaySize(shell_.ClientWidth(), shell_.ClientHeight());
  ticker_.start(0);  // from the event loop, which an unreadable recording may end at once
}

int GameWindow::EndReplay() {
  if (!viewer_) return 0;
  viewer_->Stop();
  return exitAtEnd_ ? viewer_->ExitStatus() : 0;
}

void GameWindow::RunTimer() {
  const PaceClock::time_point now = PaceClock::now();
  if (viewer_ && viewer_->Finished() && exitAtEnd_) {
    QCoreApplication::exit(viewer_->ExitStatus());
    return;
  }
  const PaceClock::time_point next = viewer_ ? viewer_->Advance(now) : shell_.Advance(now);
  ticker_.start(std::chrono::ceil<std::chrono::milliseconds>(std::max(next - now, {})));
}

// A minimised window has a client area of 0 by 0, as the game has always been told.
void GameWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (viewer_) return;  // a replay minimises as recorded, whatever the player does
  if (event->type() != QEvent::WindowStateChange || isMinimized() == minimised_) return;
  minimised_ = isMinimized();
  if (minimised_) {
    shell_.Minimise();
  } else {
    shell_.Restore(view_->width(), view_->height());
  }
}
