// The shared layer: what every front end does with its ticks, keys, commands, sizes and menu.
#include "app/shell.h"

#include <algorithm>
#include <deque>
#include <string>

#include "app/commands.h"
#include "app/deferred_canvas.h"
#include "app/pacing.h"
#include "app/recording.h"
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
#include "render/handles.h"
#include "render/sound.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"

namespace {

// The original platform's virtual-key code of F1; F2 is the next, and so on.
constexpr uint16_t kVirtualKeyF1 = 0x70;

// A size message carries each side in 16 bits.
int SizeMessageSide(int side) {
  return std::clamp(side, 0, 0xFFFF);
}

// The front end's sound output, with every effect it is asked to play noted for the
// recording's final state line.
class NotedSound : public SoundOutput {
 public:
  void Play(SoundEffect effect) override {
    if (noting) played.Add(SoundEffectFile(effect));
    if (output != nullptr) output->Play(effect);
  }
  SoundOutput* output = nullptr;
  bool noting = false;
  PlayedSounds played;
};

// One piece of input, kept while the impact effect is shown.
struct Input {
  enum class Kind { kChar, kFunctionKey, kCommand, kSize, kMinimise } kind;
  int a = 0;
  int b = 0;
};

// Says where the file should have been, so the player can look at that folder.
std::string SettingsNotKeptMessage() {
  return "The settings and best scores could not be saved to " + SettingsLocation() + ".";
}

}  // namespace

struct GameShell::Impl {
  explicit Impl(FrontEnd& f) : frontEnd(f) {}

  void Apply(const Input& input);
  void ApplyCommand(uint16_t id);
  void ApplySize(int width, int height);
  void ApplyFunctionKey(int number);
  void Deliver(const Input& input);
  void AfterEvent();
  void ShowMenuChanges();
  void RunTick();
  PaceClock::time_point StepImpactEffect(PaceClock::time_point now);
  void FinishImpactEffect();
  PaceClock::time_point Advance(PaceClock::time_point now);
  int End(ProgramEnd how);

  FrontEnd& frontEnd;
  // Between the rules and the window's picture, so the impact effect can be shown frame by
  // frame after the tick that drew it.
  DeferredCanvas pacedPicture;
  NotedSound sound;
  SessionRecorder recorder;
  TickSchedule schedule;
  PaceClock::time_point nextCall{};  // when Advance has something to do again
  MenuModel shownMenu{};             // the marks the front end was last given
  bool menuShown = false;
  bool started = false;
  bool replay = false;
  bool ended = false;
  ProgramEnd endedBy = ProgramEnd::kWindowClosed;
  int exitStatus = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  bool sized = false;
  uint64_t ticks = 0;
  PaceClock::time_point effectStart;
  int64_t effectPresents = 0;  // the presents the effect's tick made
  std::deque<Input> waiting;   // input given while the impact effect is shown
  std::string endProblem;
};

// The Exit command only sets a flag in the rules; the program ends here, once, as it is seen.
void GameShell::Impl::AfterEvent() {
  if (started) ShowMenuChanges();  // every item at start, when the menu exists everywhere
  frontEnd.ShowPicture();
  if (gameState.quit != 0 && !ended && !replay) {
    End(ProgramEnd::kExitCommand);
    frontEnd.Quit();
  }
}

void GameShell::Impl::ShowMenuChanges() {
  for (int i = 0; i < kMenuItemCount; ++i) {
    const MenuItemState& item = menuModel.items[i];
    MenuItemState& shown = shownMenu.items[i];
    if (menuShown && item == shown) continue;
    frontEnd.SetMenuItem(item.id, item.checked != 0, item.greyed != 0);
    shown = item;
  }
  menuShown = true;
}

void GameShell::Impl::ApplyCommand(uint16_t id) {
  recorder.Command(id);
  OnCommand(id);
}

// The picture takes the new size before the size handler blanks it.
void GameShell::Impl::ApplySize(int width, int height) {
  clientWidth = SizeMessageSide(width);
  clientHeight = SizeMessageSide(height);
  sized = true;
  frontEnd.ResizePicture(clientWidth, clientHeight);
  recorder.Size(clientWidth, clientHeight);
  OnSize(clientWidth, clientHeight);
}

// Only the function-key entries of the accelerator table act, and each only while its item
// is enabled, as a greyed item's accelerator does nothing.
void GameShell::Impl::ApplyFunctionKey(int number) {
  if (number < 1 || number > 24) return;
  const auto virtualKey = static_cast<uint16_t>(kVirtualKeyF1 + number - 1);
  for (const AcceleratorEntry& entry : kAcceleratorTable) {
    if (entry.virtualKey != virtualKey) continue;
    const MenuItemState* item = FindMenuItem(entry.command);
    if (item != nullptr && item->greyed == 0) ApplyCommand(entry.command);
  }
}

void GameShell::Impl::Apply(const Input& input) {
  switch (input.kind) {
    case Input::Kind::kChar:
      recorder.Char(static_cast<uint8_t>(input.a));
      OnChar(static_cast<uint32_t>(input.a));
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
      if (gameState.gameOver == 0 && gameState.paused == 0) ApplyCommand(kCmdPause);
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
  if (ended || (!started && !sizing)) return;
  if (pacedPicture.Holding()) {
    waiting.push_back(input);
  } else {
    Apply(input);
  }
}

void GameShell::Impl::RunTick() {
  recorder.Tick();
  ++ticks;
  OnTick();
}

// Shows as many of the dome's frames as are due by now, spread evenly over the effect's
// duration; the last step passes on the rest of the tick's drawing (the end of the game).
PaceClock::time_point GameShell::Impl::StepImpactEffect(PaceClock::time_point now) {
  const auto elapsed = now - effectStart;
  if (elapsed >= kImpactEffectDuration) {
    schedule.Restart(now);  // the time the effect took is not made up for
    FinishImpactEffect();
    return schedule.NextDue();
  }
  const int64_t due =
      1 + effectPresents * elapsed.count() /
              std::chrono::duration_cast<PaceClock::duration>(kImpactEffectDuration).count();
  const int64_t released = effectPresents - pacedPicture.PresentsHeld();
  pacedPicture.ReleaseThroughPresent(
      static_cast<int>(std::min(due, effectPresents - 1) - released));
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

GameShell::GameShell(FrontEnd& frontEnd) : impl_(std::make_unique<Impl>(frontEnd)) {
  ResetAllRecords();
  ResetPlatformHandles();
}

GameShell::~GameShell() {
  if (windowDC == &impl_->pacedPicture) windowDC = nullptr;
  if (soundOutput == &impl_->sound) soundOutput = nullptr;
}

int GameShell::ClientWidth() const {
  return fieldGeometry.fieldWidth;
}

int GameShell::ClientHeight() const {
  return fieldGeometry.fieldHeight + fieldGeometry.statusHeight;
}

void GameShell::Start(const ShellStart& start) {
  Impl& s = *impl_;
  s.pacedPicture.SetTarget(start.windowCanvas);
  s.sound.output = start.sound;
  s.recorder = SessionRecorder(start.record);
  s.sound.noting = s.recorder.active();
  s.replay = start.replay;
  // Read once, so the recording holds exactly the text the game started with.
  std::string settingsText;
  const bool settingsRead = !s.replay && ReadSettingsText(&settingsText);
  s.recorder.Start(start.seed, settingsRead ? &settingsText : nullptr);
  if (s.sized) s.recorder.Size(s.clientWidth, s.clientHeight);
  RunStartUp({.seed = start.seed,
              .windowCanvas = start.windowCanvas != nullptr ? &s.pacedPicture : nullptr,
              .sound = &s.sound,
              .readSettingsFile = false,
              .settingsText = settingsRead ? &settingsText : nullptr});
  s.schedule.Restart(start.now);
  s.nextCall = s.schedule.NextDue();
  s.started = true;
  s.AfterEvent();
}

PaceClock::time_point GameShell::Impl::Advance(PaceClock::time_point now) {
  if (pacedPicture.Holding()) return StepImpactEffect(now);
  for (int64_t due = schedule.TakeDueTicks(now); due > 0; --due) {
    RunTick();
    if (pacedPicture.Holding()) {
      effectStart = now;
      effectPresents = pacedPicture.PresentsHeld();
      return StepImpactEffect(now);
    }
  }
  AfterEvent();
  return schedule.NextDue();
}

// A front end may call whenever it wakes (a message, a display frame): before the time last
// given back nothing is due, and nothing is done or shown.
PaceClock::time_point GameShell::Advance(PaceClock::time_point now) {
  Impl& s = *impl_;
  if (!s.started || s.ended) return now + kTickPeriod;
  if (now < s.nextCall) return s.nextCall;
  s.nextCall = s.Advance(now);
  return s.nextCall;
}

void GameShell::Type(char32_t character) {
  impl_->Deliver({Input::Kind::kChar, CodeForTypedChar(character)});
}

void GameShell::TypeCode(uint8_t code) {
  impl_->Deliver({Input::Kind::kChar, code});
}

void GameShell::PressFunctionKey(int number) {
  impl_->Deliver({Input::Kind::kFunctionKey, number});
}

void GameShell::Command(uint16_t id) {
  impl_->Deliver({Input::Kind::kCommand, id});
}

// Before start-up the sizes only set the geometry, as the window's first size messages do.
void GameShell::Size(int width, int height) {
  impl_->Deliver({Input::Kind::kSize, width, height});
}

void GameShell::Minimise() {
  impl_->Deliver({Input::Kind::kMinimise});
}

void GameShell::Restore(int width, int height) {
  Size(width, height);
}

// Once the ticks are run the picture is shown, as Advance shows it after the ticks it runs.
void GameShell::RunTicks(uint64_t count) {
  Impl& s = *impl_;
  if (!s.started || s.ended) return;
  for (uint64_t i = 0; i < count; ++i) {
    s.RunTick();
    if (s.pacedPicture.Holding()) s.FinishImpactEffect();
  }
  s.AfterEvent();
}

void GameShell::Seed(uint32_t seed) {
  SeedRandom(seed);
}

void GameShell::TakeSettings(const std::string* text) {
  if (text != nullptr) {
    ParseSettings(*text);
  } else {
    ApplyDefaultSettings();
  }
  ComputeCapacity();
  CheckMenuFromSettings();
  if (impl_->started) impl_->AfterEvent();
}

void GameShell::AttachPicture(Canvas* picture) {
  impl_->pacedPicture.SetTarget(picture);
  AttachWindowPicture(&impl_->pacedPicture);
}

bool GameShell::KeepSettings() {
  return WriteSettingsFile();
}

bool GameShell::ShowingImpactEffect() const {
  return impl_->pacedPicture.Holding();
}

uint64_t GameShell::TicksRun() const {
  return impl_->ticks;
}

// Input still waiting is dropped: the program ends where the player left it.
int GameShell::Impl::End(ProgramEnd how) {
  if (ended) return exitStatus;
  waiting.clear();
  pacedPicture.ReleaseAll();
  ended = true;
  endedBy = how;
  const ProgramEnding ending = EndProgram(how);
  exitStatus = ending.exitCode;
  if (!ending.settingsKept) endProblem = SettingsNotKeptMessage();
  recorder.Finish(FormatStateLine(ticks, sound.played));
  return exitStatus;
}

int GameShell::End(ProgramEnd how) {
  return impl_->End(how);
}

bool GameShell::Ended() const {
  return impl_->ended;
}

const std::string& GameShell::EndProblem() const {
  return impl_->endProblem;
}

bool GameShell::PlayerEnded() const {
  return impl_->endedBy == ProgramEnd::kExitCommand || impl_->endedBy == ProgramEnd::kWindowClosed;
}
