// The shared layer: what every front end does with its ticks, keys, commands, sizes and menu.
#include "app/shell.h"

#include <algorithm>
#include <ctime>
#include <string>
#include <utility>

#include "app/commands.h"
#include "app/kept_game.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/typed_chars.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/menu_state.h"
#include "core/random.h"
#include "render/draw.h"
#include "render/handles.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"
#include "resources/version.h"

namespace {

// Says where the file should have been, so the player can look at that folder.
std::string SettingsNotKeptMessage() {
  return "The settings and best scores could not be saved to " + SettingsLocation() + ".";
}

}  // namespace

// The calendar date names a kept game; the pace never reads this clock.
std::string FrontEnd::LocalTimeNow() {
  return LocalTimeStamp(std::time(nullptr));
}

GameShell::GameShell(FrontEnd& frontEnd) : frontEnd_(frontEnd) {
  ResetAllRecords();
  ResetPlatformHandles();
  gameEvents = nullptr;
}

GameShell::~GameShell() {
  if (windowDC == &pacedPicture_) windowDC = nullptr;
  if (soundOutput == &sound_) soundOutput = nullptr;
  if (gameEvents == &session_) gameEvents = nullptr;
}

int GameShell::ClientWidth() const {
  return fieldGeometry.fieldWidth;
}

int GameShell::ClientHeight() const {
  return fieldGeometry.fieldHeight + fieldGeometry.statusHeight;
}

void GameShell::Start(const Options& options, ShellStart platform) {
  platform.record = options.record.get();
  if (options.replay) {
    platform.mode = ShellMode::kReplay;
    platform.recording = options.replayText;
    platform.unreadable = options.replayProblem;
    platform.exitAtEnd = options.exitAtEnd;
    platform.reportStateLine = options.stateLine;
  }
  Start(platform);
}

// A replay begins as the runner begins, whatever sizes the window had before: the recording
// gives its own.
void GameShell::Start(const ShellStart& start) {
  mode_ = start.mode;
  if (!Playing()) {
    ResetAllRecords();
    client_ = {};
  }
  pacedPicture_.SetTarget(start.windowCanvas);
  sound_.output = start.sound;
  cards_ = Cards(start.cardGlyphs, start.overlayOrder, LanguageOfLocale(start.locale), Playing());
  session_ = Session(Playing() ? start.record : nullptr, cards_.Play(), Playing());
  sound_.game = &session_.GameSounds();
  ending_.exitAtEnd = start.exitAtEnd;
  // Read once, so the recording holds exactly the text the game started with.
  std::string settingsText;
  const bool settingsRead = Playing() && ReadSettingsText(&settingsText);
  session_.Start(start.seed, settingsRead ? &settingsText : nullptr);
  if (client_.sized) session_.Size(client_.width, client_.height);
  // A replay's picture is the start-up size until the recording gives one, so a recording that
  // gives none (or cannot be read) still has a field for its verdict.
  if (mode_ == ShellMode::kReplay) frontEnd_.ResizePicture(ClientWidth(), ClientHeight());
  gameEvents = &session_;
  session_.LoadHistory();
  RunStartUp({.seed = start.seed,
              .windowCanvas = start.windowCanvas != nullptr ? &pacedPicture_ : nullptr,
              .sound = &sound_,
              .settingsText = settingsRead ? &settingsText : nullptr});
  pace_.schedule.Restart(start.now);
  pace_.nextCall = pace_.schedule.NextDue();
  frontEnd_.BuildMenu(cards_.language() == Language::kJapanese ? MenuLanguage::kJapanese
                                                               : MenuLanguage::kEnglish);
  ending_.started = true;
  frontEnd_.SetTitle(mode_ == ShellMode::kReplay ? VOLARIN_TITLE " - replay" : VOLARIN_TITLE);
  if (mode_ == ShellMode::kReplay) {
    replay_ = std::make_unique<Replay>(scenario_, start.report, start.reportStateLine);
    frontEnd_.FitWindow(ClientWidth(), ClientHeight());
    replay_->Start(start.recording, start.unreadable, start.now);
  }
  AfterEvent();
}

// The Exit command only sets a flag in the rules; the program ends here, once, as it is seen.
// A replay's verdict shows once it has one.
void GameShell::AfterEvent() {
  if (ending_.started) ShowMenuChanges();
  NoteGame();
  if (replay_ && replay_->Finished() && cards_.Shown() != Card::kVerdict) {
    cards_.ShowVerdict(replay_->Verdict(cards_.language()));
  }
  if (replay_ && !replay_->Finished()) {
    cards_.SetBanner(
        ReplayBanner(cards_.language(), replay_->Speed(), replay_->Paused(), replay_->LastKeys()));
  }
  if (!pacedPicture_.Holding()) cards_.Update();
  frontEnd_.ShowPicture();
  if (gameState.quit != 0 && !ending_.ended && Playing()) {
    End(ProgramEnd::kExitCommand);
    frontEnd_.Quit();
  }
}

// A replay takes no command: its items are all greyed, with the marks the recording gives.
void GameShell::ShowMenuChanges() {
  for (int i = 0; i < kMenuItemCount; ++i) {
    MenuItemState item = menuModel.items[i];
    if (replay_) item.greyed = 1;
    MenuItemState& shown = shownMenu_.items[i];
    if (menuShown_ && item == shown) continue;
    frontEnd_.SetMenuItem(item.id, item.checked != 0, item.greyed != 0);
    shown = item;
  }
  if (!menuShown_ && replay_) {
    const MenuResourcePopup& help = *kMenuBar[kMenuBarCount - 1];  // the items the shell answers
    for (int i = 0; i < help.count; ++i) frontEnd_.SetMenuItem(help.items[i].id, false, true);
  }
  menuShown_ = true;
}

void GameShell::QuitOnce() {
  if (!std::exchange(ending_.quitAsked, true)) frontEnd_.Quit();
}

void GameShell::RunTick() {
  session_.Tick();
  ++ticks_;
  OnTick();
  session_.TickRan();
  cards_.TickRan();
  NoteGame();
}

// A game starting clears the last one's card and figures; a game ending shows them.
void GameShell::NoteGame() {
  const bool running = GameRunning();
  if (running && !gameSeenRunning_) {
    session_.GameStarted();
    cards_.GameStarted();
  } else if (!running && gameSeenRunning_) {
    session_.GameEnded(Playing() ? frontEnd_.LocalTimeNow() : "");
    cards_.GameEnded(session_.Results(), !session_.EndedGame().empty());
  }
  gameSeenRunning_ = running;
}

// Shows as many of the dome's frames as are due by now; the last step passes on the rest of
// the tick's drawing (the end of the game).
PaceClock::time_point GameShell::StepImpactEffect(PaceClock::time_point now) {
  const int release = pace_.FramesDue(now, pacedPicture_.PresentsHeld());
  if (release < 0) {
    pace_.schedule.Restart(now);  // the time the effect took is not made up for
    FinishImpactEffect();
    return pace_.schedule.NextDue();
  }
  pacedPicture_.ReleaseThroughPresent(release);
  frontEnd_.ShowPicture();
  return now + kImpactFrameInterval;
}

void GameShell::FinishImpactEffect() {
  pacedPicture_.ReleaseAll();
  AfterEvent();
  while (!waiting_.empty() && !pacedPicture_.Holding()) {
    const Input input = waiting_.front();
    waiting_.pop_front();
    Apply(input);
  }
}

// The ticks due, or the next frames of an impact effect one of them started.
PaceClock::time_point GameShell::Play(PaceClock::time_point now) {
  if (pacedPicture_.Holding()) return StepImpactEffect(now);
  for (int64_t due = pace_.schedule.TakeDueTicks(now); due > 0; --due) {
    RunTick();
    if (pacedPicture_.Holding()) {
      pace_.Begin(now, pacedPicture_.PresentsHeld());
      return StepImpactEffect(now);
    }
  }
  AfterEvent();
  return pace_.schedule.NextDue();
}

// A front end may call whenever it wakes (a message, a display frame): before the time last
// given back nothing is due, and nothing is done or shown.
PaceClock::time_point GameShell::Advance(PaceClock::time_point now) {
  if (!ending_.started || ending_.ended) return now + kTickPeriod;
  if (now < pace_.nextCall) return pace_.nextCall;
  if (!replay_) {
    pace_.nextCall = Play(now);
    return pace_.nextCall;
  }
  pace_.nextCall = replay_->Advance(now);
  AfterEvent();
  if (replay_->Finished() && ending_.exitAtEnd) QuitOnce();
  return pace_.nextCall;
}

void GameShell::AttachPicture(Canvas* picture) {
  pacedPicture_.SetTarget(picture);
  AttachWindowPicture(&pacedPicture_);
}

bool GameShell::KeepSettings() {
  if (!Playing() || ending_.ended) return true;
  return WriteSettingsFile();
}

const OverlayPicture& GameShell::Overlay() const {
  return cards_.Overlay();
}

bool GameShell::TakeOverlayChange() {
  return cards_.TakeOverlayChange();
}

Card GameShell::ShownCard() const {
  return cards_.Shown();
}

uint64_t GameShell::TicksRun() const {
  return ticks_;
}

// Input still waiting is dropped: the program ends where the player left it.
int GameShell::End(ProgramEnd how) {
  if (ending_.ended) return ending_.status;
  waiting_.clear();
  pacedPicture_.ReleaseAll();
  ending_.ended = true;
  ending_.how = how;
  if (replay_) {
    replay_->Stop();
    ending_.status = ending_.exitAtEnd && !replay_->Verified() ? 1 : 0;
  } else if (Playing()) {
    const ProgramEnding ended = EndProgram(how);
    ending_.status = ended.exitCode;
    if (!ended.settingsKept) ending_.problem = SettingsNotKeptMessage();
    if (session_.HistoryNotKept()) {
      if (!ending_.problem.empty()) ending_.problem += ' ';
      ending_.problem += "The history of games could not be saved to " + HistoryLocation() + ".";
    }
  }
  session_.Finish(StateLine());
  return ending_.status;
}

bool GameShell::Ended() const {
  return ending_.ended;
}

const std::string& GameShell::EndProblem() const {
  return ending_.problem;
}

bool GameShell::PlayerEnded() const {
  return ending_.how == ProgramEnd::kExitCommand || ending_.how == ProgramEnd::kWindowClosed;
}
