// The shared layer: what every front end does with its ticks, keys, commands and sizes.
#include "app/shell.h"

#include <algorithm>
#include <deque>
#include <string>

#include "app/commands.h"
#include "app/deferred_canvas.h"
#include "app/pacing.h"
#include "app/recording.h"
#include "app/settings_store.h"
#include "app/state_line.h"
#include "app/typed_chars.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/menu_state.h"
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
  void Play(const char* name) override {
    if (noting) played.Add(name);
    if (output != nullptr) output->Play(name);
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
  void RunTick();
  ShellClock::time_point StepImpactEffect(ShellClock::time_point now);
  void FinishImpactEffect(ShellClock::time_point now);

  FrontEnd& frontEnd;
  DeferredCanvas window;
  NotedSound sound;
  SessionRecorder recorder;
  TickSchedule schedule;
  bool started = false;
  bool ended = false;
  bool quitAnnounced = false;
  int clientWidth = 0;
  int clientHeight = 0;
  bool sized = false;
  uint64_t ticks = 0;
  ShellClock::time_point effectStart;
  int64_t effectPresents = 0;  // the presents the effect's tick made
  std::deque<Input> waiting;   // input given while the impact effect is shown
  std::string endProblem;
};

void GameShell::Impl::AfterEvent() {
  frontEnd.SyncMenu();
  frontEnd.ShowPicture();
  if (gameState.quit != 0 && !quitAnnounced) {
    quitAnnounced = true;
    frontEnd.Quit();
  }
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
// is busy drawing it, and is handled in order afterwards.
void GameShell::Impl::Deliver(const Input& input) {
  if (ended) return;
  if (window.Holding()) {
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
ShellClock::time_point GameShell::Impl::StepImpactEffect(ShellClock::time_point now) {
  const auto elapsed = now - effectStart;
  if (elapsed >= kImpactEffectDuration) {
    FinishImpactEffect(now);
    return schedule.NextDue();
  }
  const int64_t due =
      1 + effectPresents * elapsed.count() /
              std::chrono::duration_cast<ShellClock::duration>(kImpactEffectDuration).count();
  const int64_t released = effectPresents - window.PresentsHeld();
  window.ReleaseThroughPresent(static_cast<int>(std::min(due, effectPresents - 1) - released));
  frontEnd.ShowPicture();
  return now + kImpactFrameInterval;
}

// The ticks go on from now: the time the effect took is not made up for.
void GameShell::Impl::FinishImpactEffect(ShellClock::time_point now) {
  window.ReleaseAll();
  schedule.Restart(now);
  AfterEvent();
  while (!waiting.empty() && !window.Holding()) {
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
  if (windowDC == &impl_->window) windowDC = nullptr;
  if (soundOutput == &impl_->sound) soundOutput = nullptr;
}

void GameShell::StartUp(const ShellStartUp& startUp) {
  Impl& s = *impl_;
  s.window.SetTarget(startUp.windowCanvas);
  s.sound.output = startUp.sound;
  s.recorder = SessionRecorder(startUp.record);
  s.sound.noting = s.recorder.active();
  std::string settingsText;
  const bool settingsRead = s.recorder.active() && ReadSettingsText(&settingsText);
  s.recorder.Start(startUp.seed, settingsRead, settingsText);
  if (s.sized) s.recorder.Size(s.clientWidth, s.clientHeight);
  ::StartUp({.seed = startUp.seed,
             .windowCanvas = startUp.windowCanvas != nullptr ? &s.window : nullptr,
             .sound = &s.sound,
             .readSettingsFile = true});
  s.schedule.Restart(startUp.now);
  s.started = true;
  s.AfterEvent();
}

ShellClock::time_point GameShell::Advance(ShellClock::time_point now) {
  Impl& s = *impl_;
  if (!s.started || s.ended) return now + kTickPeriod;
  if (s.window.Holding()) return s.StepImpactEffect(now);
  for (int64_t due = s.schedule.TakeDueTicks(now); due > 0; --due) {
    s.RunTick();
    if (s.window.Holding()) {
      s.effectStart = now;
      s.effectPresents = s.window.PresentsHeld();
      return s.StepImpactEffect(now);
    }
  }
  s.AfterEvent();
  return s.schedule.NextDue();
}

void GameShell::Type(char32_t character) {
  impl_->Deliver({Input::Kind::kChar, CodeForTypedChar(character)});
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

bool GameShell::ShowingImpactEffect() const {
  return impl_->window.Holding();
}

uint64_t GameShell::TicksRun() const {
  return impl_->ticks;
}

// Input still waiting is dropped: the program ends where the player left it.
int GameShell::End(ProgramEnd how) {
  Impl& s = *impl_;
  if (s.ended) return how == ProgramEnd::kExitCommand ? kExitCommandCode : 0;
  s.waiting.clear();
  s.window.ReleaseAll();
  s.ended = true;
  const ProgramEnding ending = EndProgram(how);
  if (!ending.settingsKept) s.endProblem = SettingsNotKeptMessage();
  s.recorder.Finish(FormatStateLine(s.ticks, s.sound.played));
  return ending.exitCode;
}

const std::string& GameShell::EndProblem() const {
  return impl_->endProblem;
}
