// The shared layer: what every front end does with its ticks, keys, commands, sizes and menu.
#include "app/shell.h"

#include <algorithm>
#include <ctime>
#include <deque>
#include <string>
#include <utility>

#include "app/commands.h"
#include "app/deferred_canvas.h"
#include "app/kept_game.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/session.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "app/state_line.h"
#include "app/typed_chars.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/menu_state.h"
#include "core/random.h"
#include "core/records.h"
#include "render/draw.h"
#include "render/handles.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"

namespace {

constexpr const char* kWindowTitle = "Volarin ver2.21";

// The original platform's virtual-key code of F1; F2 is the next, and so on.
constexpr uint16_t kVirtualKeyF1 = 0x70;

// A size message carries each side in 16 bits.
int SizeMessageSide(int side) {
  return std::clamp(side, 0, 0xFFFF);
}

// One piece of input, kept while the impact effect is shown.
struct Input {
  enum class Kind { kChar, kFunctionKey, kCommand, kSize, kMinimise, kHelpPage } kind;
  int a = 0;
  int b = 0;
};

bool GameRunning() {
  return gameState.gameOver == 0;
}

// The client size of the last size message.
struct ClientSize {
  int width = 0;
  int height = 0;
  bool sized = false;  // a size message came
};

// How far the session has got, and how it ended.
struct ShellEnding {
  bool started = false;
  bool ended = false;
  bool exitAtEnd = false;  // a replay ends the program at its verdict
  bool quitAsked = false;  // the front end was told to quit
  ProgramEnd how = ProgramEnd::kWindowClosed;
  int status = 0;
  std::string problem;
};

// Says where the file should have been, so the player can look at that folder.
std::string SettingsNotKeptMessage() {
  return "The settings and best scores could not be saved to " + SettingsLocation() + ".";
}

}  // namespace

// The calendar date names a kept game; the pace never reads this clock.
std::string FrontEnd::LocalTimeNow() {
  return LocalTimeStamp(std::time(nullptr));
}

struct GameShell::Impl final : ScenarioCalls {
  explicit Impl(FrontEnd& f) : frontEnd(f) {}

  // ScenarioCalls: a scenario's commands, in every mode.
  void Seed(uint32_t seed) override { SeedRandom(seed); }
  void Size(int width, int height) override { Deliver({Input::Kind::kSize, width, height}); }
  void RunTicks(uint64_t count) override;
  void TypeCode(uint8_t code) override { Deliver({Input::Kind::kChar, code}); }
  void Command(uint16_t id) override { Deliver({Input::Kind::kCommand, id}); }
  void TakeSettings(const std::string* text) override;
  std::string Dump() override;

  void Start(const ShellStart& start);
  void Deliver(const Input& input);
  void Apply(const Input& input);
  void ApplyChar(uint8_t code);
  void ApplyCommand(uint16_t id);
  void ApplySize(int width, int height);
  void ApplyFunctionKey(int number);
  void OpenHelp(Card which);
  void NoteGame();
  void AfterEvent();
  void ShowMenuChanges();
  void RunTick();
  PaceClock::time_point Advance(PaceClock::time_point now);
  PaceClock::time_point StepImpactEffect(PaceClock::time_point now);
  void FinishImpactEffect();
  int End(ProgramEnd how);
  bool Playing() const { return mode == ShellMode::kPlay; }
  std::string StateLine() const { return FormatStateLine(ticks, sound.played); }

  FrontEnd& frontEnd;
  ShellMode mode = ShellMode::kPlay;
  // Between the rules and the window's picture, so the impact effect can be shown frame by
  // frame after the tick that drew it.
  DeferredCanvas pacedPicture;
  NotedSound sound;
  ImpactPacing pace;
  std::deque<Input> waiting;  // input given while the impact effect is shown
  MenuModel shownMenu{};      // the marks the front end was last given
  bool menuShown = false;
  // Assigned, never replaced, at start: front ends hold on to its overlay.
  Cards cards{nullptr, PixelOrder::kArgb, Language::kEnglish, false};
  Session session;
  std::unique_ptr<Replay> replay;  // in a replay
  bool gameSeenRunning = false;
  ClientSize client;
  uint64_t ticks = 0;
  ShellEnding ending;
};

// The Exit command only sets a flag in the rules; the program ends here, once, as it is seen.
// A replay's verdict shows once it has one.
void GameShell::Impl::AfterEvent() {
  if (ending.started) ShowMenuChanges();
  NoteGame();
  if (replay && replay->Finished() && cards.Shown() != Card::kVerdict) {
    cards.ShowVerdict(replay->Verdict(cards.language()));
  }
  if (!pacedPicture.Holding()) cards.Update();
  frontEnd.ShowPicture();
  if (gameState.quit != 0 && !ending.ended && Playing()) {
    End(ProgramEnd::kExitCommand);
    frontEnd.Quit();
  }
}

// A replay takes no command: its items are all greyed, with the marks the recording gives.
void GameShell::Impl::ShowMenuChanges() {
  for (int i = 0; i < kMenuItemCount; ++i) {
    MenuItemState item = menuModel.items[i];
    if (replay) item.greyed = 1;
    MenuItemState& shown = shownMenu.items[i];
    if (menuShown && item == shown) continue;
    frontEnd.SetMenuItem(item.id, item.checked != 0, item.greyed != 0);
    shown = item;
  }
  if (!menuShown && replay) {
    for (int i = 0; i < kHelpMenu.count; ++i)
      frontEnd.SetMenuItem(kHelpMenu.items[i].id, false, true);
  }
  menuShown = true;
}

void GameShell::Impl::ApplyCommand(uint16_t id) {
  if (id == kCmdHowToPlay || id == kCmdAbout) {
    OpenHelp(id == kCmdAbout ? Card::kAbout : Card::kHelp);
    return;
  }
  session.Command(id);
  OnCommand(id);
}

// A running game waits paused beneath the help, as it does while the window is minimised.
void GameShell::Impl::OpenHelp(Card which) {
  if (!cards.Play()) return;
  if (GameRunning() && gameState.paused == 0) ApplyCommand(kCmdPause);
  cards.OpenHelp(which);
}

// The picture takes the new size before the size handler blanks it; a replay's window takes it
// too.
void GameShell::Impl::ApplySize(int width, int height) {
  cards.FieldLost();
  client = {SizeMessageSide(width), SizeMessageSide(height), true};
  frontEnd.ResizePicture(client.width, client.height);
  if (replay) frontEnd.FitWindow(client.width, client.height);
  session.Size(client.width, client.height);
  OnSize(client.width, client.height);
}

// Only the function-key entries of the accelerator table act, and each only while its item
// is enabled, as a greyed item's accelerator does nothing. F1 is the help's.
void GameShell::Impl::ApplyFunctionKey(int number) {
  if (number < 1 || number > 24) return;
  if (cards.Play()) {
    cards.CloseResults();
    if (number == 1) {
      if (!cards.TurnPage(1)) OpenHelp(Card::kHelp);
      return;
    }
  }
  const auto virtualKey = static_cast<uint16_t>(kVirtualKeyF1 + number - 1);
  for (const AcceleratorEntry& entry : kAcceleratorTable) {
    if (entry.virtualKey != virtualKey) continue;
    const MenuItemState* item = FindMenuItem(entry.command);
    if (item != nullptr && item->greyed == 0) ApplyCommand(entry.command);
  }
}

// A key a card takes never reaches the rules; the recording notes it, so it replays the same.
void GameShell::Impl::ApplyChar(uint8_t code) {
  switch (cards.TakeKey(code)) {
    case Cards::KeyUse::kSave:
      cards.Saved(session.KeepEndedGame());
      [[fallthrough]];
    case Cards::KeyUse::kTaken:
      session.Comment("key taken by a card");
      return;
    case Cards::KeyUse::kPassed:
      break;
  }
  session.Char(code);
  OnChar(code);
  NoteGame();
}

void GameShell::Impl::Apply(const Input& input) {
  switch (input.kind) {
    case Input::Kind::kChar:
      ApplyChar(static_cast<uint8_t>(input.a));
      break;
    case Input::Kind::kHelpPage:
      cards.TurnPage(input.a);
      break;
    case Input::Kind::kFunctionKey:
      ApplyFunctionKey(input.a);
      break;
    case Input::Kind::kCommand:
      ApplyCommand(static_cast<uint16_t>(input.a));
      break;
    case Input::Kind::kSize:
      ApplySize(input.a, input.b);
      break;
    case Input::Kind::kMinimise:
      // A running game would end at the next tick on a field of no size: it waits paused.
      if (GameRunning() && gameState.paused == 0) ApplyCommand(kCmdPause);
      ApplySize(0, 0);
      break;
  }
  AfterEvent();
}

// Input waits while the impact effect is shown, as it would in the queue of a window that
// is busy drawing it, and is handled in order afterwards. Before start-up only the window's
// size counts; after the end nothing does.
void GameShell::Impl::Deliver(const Input& input) {
  const bool sizing = input.kind == Input::Kind::kSize || input.kind == Input::Kind::kMinimise;
  if (ending.ended || (!ending.started && !sizing)) return;
  if (pacedPicture.Holding()) {
    waiting.push_back(input);
  } else {
    Apply(input);
  }
}

void GameShell::Impl::RunTick() {
  session.Tick();
  ++ticks;
  OnTick();
  session.TickRan();
  NoteGame();
}

// A game starting clears the last one's card and figures; a game ending shows them.
void GameShell::Impl::NoteGame() {
  const bool running = GameRunning();
  if (running && !gameSeenRunning) {
    session.GameStarted();
    cards.GameStarted();
  } else if (!running && gameSeenRunning) {
    const std::string stamp = cards.Play() ? frontEnd.LocalTimeNow() : "";
    session.GameEnded(stamp.empty() ? "" : StateLine(), stamp);
    cards.GameEnded(session.Results(), !session.EndedGame().empty());
  }
  gameSeenRunning = running;
}

// Shows as many of the dome's frames as are due by now; the last step passes on the rest of
// the tick's drawing (the end of the game).
PaceClock::time_point GameShell::Impl::StepImpactEffect(PaceClock::time_point now) {
  const int release = pace.FramesDue(now, pacedPicture.PresentsHeld());
  if (release < 0) {
    pace.schedule.Restart(now);  // the time the effect took is not made up for
    FinishImpactEffect();
    return pace.schedule.NextDue();
  }
  pacedPicture.ReleaseThroughPresent(release);
  frontEnd.ShowPicture();
  return now + kImpactFrameInterval;
}

void GameShell::Impl::FinishImpactEffect() {
  pacedPicture.ReleaseAll();
  AfterEvent();
  while (!waiting.empty() && !pacedPicture.Holding()) {
    const Input input = waiting.front();
    waiting.pop_front();
    Apply(input);
  }
}

PaceClock::time_point GameShell::Impl::Advance(PaceClock::time_point now) {
  if (replay) {
    const PaceClock::time_point next = replay->Advance(now);
    AfterEvent();
    if (replay->Finished() && ending.exitAtEnd && !std::exchange(ending.quitAsked, true)) {
      frontEnd.Quit();
    }
    return next;
  }
  if (pacedPicture.Holding()) return StepImpactEffect(now);
  for (int64_t due = pace.schedule.TakeDueTicks(now); due > 0; --due) {
    RunTick();
    if (pacedPicture.Holding()) {
      pace.Begin(now, pacedPicture.PresentsHeld());
      return StepImpactEffect(now);
    }
  }
  AfterEvent();
  return pace.schedule.NextDue();
}

// An impact effect one of the ticks starts is shown whole at once (the picture it ends with is
// the same), so the next tick, or input, follows as it follows the effect in play. Once the
// ticks are run the picture is shown, as Advance shows it after the ticks it runs.
void GameShell::Impl::RunTicks(uint64_t count) {
  if (!ending.started || ending.ended) return;
  for (uint64_t i = 0; i < count; ++i) {
    RunTick();
    if (pacedPicture.Holding()) FinishImpactEffect();
  }
  AfterEvent();
}

void GameShell::Impl::TakeSettings(const std::string* text) {
  if (text != nullptr) {
    ParseSettings(*text);
  } else {
    ApplyDefaultSettings();
  }
  ComputeCapacity();
  CheckMenuFromSettings();
  ::DrawStatusBar(gameState, fieldGeometry);
  if (ending.started) AfterEvent();
}

std::string GameShell::Impl::Dump() {
  std::string line = StateLine();
  sound.played.Clear();
  return line;
}

// A replay begins as the runner begins, whatever sizes the window had before: the recording
// gives its own.
void GameShell::Impl::Start(const ShellStart& start) {
  mode = start.mode;
  if (!Playing()) {
    ResetAllRecords();
    client = {};
  }
  pacedPicture.SetTarget(start.windowCanvas);
  sound.output = start.sound;
  session = Session(Playing() ? start.record : nullptr);
  cards = Cards(start.cardGlyphs, start.overlayOrder, LanguageOfLocale(start.locale), Playing());
  ending.exitAtEnd = start.exitAtEnd;
  // Read once, so the recording holds exactly the text the game started with.
  std::string settingsText;
  const bool settingsRead = Playing() && ReadSettingsText(&settingsText);
  session.Start(start.seed, settingsRead ? &settingsText : nullptr);
  if (client.sized) session.Size(client.width, client.height);
  gameEvents = &session;
  RunStartUp({.seed = start.seed,
              .windowCanvas = start.windowCanvas != nullptr ? &pacedPicture : nullptr,
              .sound = &sound,
              .settingsText = settingsRead ? &settingsText : nullptr});
  pace.schedule.Restart(start.now);
  pace.nextCall = pace.schedule.NextDue();
  ending.started = true;
  frontEnd.SetTitle(mode == ShellMode::kReplay ? std::string(kWindowTitle) + " - replay"
                                               : kWindowTitle);
  if (mode == ShellMode::kReplay) {
    replay = std::make_unique<Replay>(*this, start.report);
    frontEnd.FitWindow(fieldGeometry.fieldWidth,
                       fieldGeometry.fieldHeight + fieldGeometry.statusHeight);
    replay->Start(start.recording, start.unreadable, start.now);
  }
  AfterEvent();
}

// Input still waiting is dropped: the program ends where the player left it.
int GameShell::Impl::End(ProgramEnd how) {
  if (ending.ended) return ending.status;
  waiting.clear();
  pacedPicture.ReleaseAll();
  ending.ended = true;
  ending.how = how;
  if (replay) {
    replay->Stop();
    ending.status = ending.exitAtEnd && !replay->Verified() ? 1 : 0;
  } else if (Playing()) {
    const ProgramEnding ended = EndProgram(how);
    ending.status = ended.exitCode;
    if (!ended.settingsKept) ending.problem = SettingsNotKeptMessage();
  }
  session.Finish(StateLine());
  return ending.status;
}

GameShell::GameShell(FrontEnd& frontEnd) : impl_(std::make_unique<Impl>(frontEnd)) {
  ResetAllRecords();
  ResetPlatformHandles();
  gameEvents = nullptr;
}

GameShell::~GameShell() {
  if (windowDC == &impl_->pacedPicture) windowDC = nullptr;
  if (soundOutput == &impl_->sound) soundOutput = nullptr;
  if (gameEvents == &impl_->session) gameEvents = nullptr;
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
  }
  Start(platform);
}

void GameShell::Start(const ShellStart& start) {
  impl_->Start(start);
}

// A front end may call whenever it wakes (a message, a display frame): before the time last
// given back nothing is due, and nothing is done or shown.
PaceClock::time_point GameShell::Advance(PaceClock::time_point now) {
  Impl& s = *impl_;
  if (!s.ending.started || s.ending.ended) return now + kTickPeriod;
  if (now < s.pace.nextCall) return s.pace.nextCall;
  s.pace.nextCall = s.Advance(now);
  return s.pace.nextCall;
}

// Esc ends a replay, and with it the program.
bool GameShell::Type(char32_t character) {
  Impl& s = *impl_;
  if (!s.replay) {
    s.Deliver({Input::Kind::kChar, CodeForTypedChar(character)});
    return true;
  }
  if (s.ending.ended) return false;
  const bool used = s.replay->Type(character);
  s.AfterEvent();
  if (s.replay->Stopped() && !std::exchange(s.ending.quitAsked, true)) s.frontEnd.Quit();
  return used;
}

void GameShell::PressFunctionKey(int number) {
  if (!impl_->replay) impl_->Deliver({Input::Kind::kFunctionKey, number});
}

bool GameShell::TurnPage(int delta) {
  Impl& s = *impl_;
  if (s.replay) {
    s.replay->ChangeSpeed(delta);
    return true;
  }
  const bool help = s.cards.Shown() == Card::kHelp;
  s.Deliver({Input::Kind::kHelpPage, delta});
  return help;
}

void GameShell::Command(uint16_t id) {
  if (!impl_->replay) impl_->Command(id);
}

// Before start-up the sizes only set the geometry, as the window's first size messages do.
void GameShell::Size(int width, int height) {
  if (!impl_->replay) impl_->Size(width, height);
}

void GameShell::Minimise() {
  if (!impl_->replay) impl_->Deliver({Input::Kind::kMinimise});
}

ScenarioCalls& GameShell::Scenario() {
  return *impl_;
}

void GameShell::AttachPicture(Canvas* picture) {
  impl_->pacedPicture.SetTarget(picture);
  AttachWindowPicture(&impl_->pacedPicture);
}

bool GameShell::KeepSettings() {
  const Impl& s = *impl_;
  if (!s.Playing() || s.ending.ended) return true;
  return WriteSettingsFile();
}

const OverlayPicture& GameShell::Overlay() const {
  return impl_->cards.Overlay();
}

bool GameShell::TakeOverlayChange() {
  return impl_->cards.TakeOverlayChange();
}

Card GameShell::ShownCard() const {
  return impl_->cards.Shown();
}

uint64_t GameShell::TicksRun() const {
  return impl_->ticks;
}

int GameShell::End(ProgramEnd how) {
  return impl_->End(how);
}

bool GameShell::Ended() const {
  return impl_->ending.ended;
}

const std::string& GameShell::EndProblem() const {
  return impl_->ending.problem;
}

bool GameShell::PlayerEnded() const {
  const ProgramEnd how = impl_->ending.how;
  return how == ProgramEnd::kExitCommand || how == ProgramEnd::kWindowClosed;
}
