// The shell's input: keys, function keys, page turns, commands and sizes from a front end or a
// scenario, routed to the cards, the replay or the rules, in order behind the impact effect.
#include <algorithm>
#include <string>

#include "app/commands.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/typed_chars.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/menu_state.h"
#include "core/random.h"
#include "render/draw.h"
#include "render/pixel_canvas.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"

namespace {

// The original platform's virtual-key code of F1; F2 is the next, and so on.
constexpr uint16_t kVirtualKeyF1 = 0x70;

// A size message carries each side in 16 bits.
int SizeMessageSide(int side) {
  return std::clamp(side, 0, 0xFFFF);
}

}  // namespace

void GameShell::ApplyCommand(uint16_t id) {
  if (id == kCmdHowToPlay || id == kCmdAbout || id == kCmdProgress) {
    OpenHelp(id == kCmdAbout ? Card::kAbout : id == kCmdProgress ? Card::kProgress : Card::kHelp);
    return;
  }
  session_.Command(id);
  OnCommand(id);
}

// A running game waits paused beneath the help, as it does while the window is minimised.
void GameShell::OpenHelp(Card which) {
  if (!cards_.Play()) return;
  if (GameRunning() && gameState.paused == 0) ApplyCommand(kCmdPause);
  cards_.OpenHelp(which, which == Card::kProgress
                             ? session_.Progress(gameState.level, gameState.modeMask)
                             : ProgressView{});
}

// The picture takes the new size before the size handler blanks it; a replay's window takes it
// too, held to the picture's largest side.
void GameShell::ApplySize(int width, int height) {
  cards_.FieldLost();
  client_ = {SizeMessageSide(width), SizeMessageSide(height), true};
  frontEnd_.ResizePicture(client_.width, client_.height);
  // The window need be no larger than the picture it shows.
  if (replay_) {
    frontEnd_.FitWindow(std::min(client_.width, PixelCanvas::kMaxSide),
                        std::min(client_.height, PixelCanvas::kMaxSide));
  }
  session_.Size(client_.width, client_.height);
  OnSize(client_.width, client_.height);
}

// Only the function-key entries of the accelerator table act, and each only while its item
// is enabled, as a greyed item's accelerator does nothing. F1 is the help's, F4 the progress
// card's.
void GameShell::ApplyFunctionKey(int number) {
  if (number < 1 || number > 24) return;
  if (cards_.Play()) {
    cards_.CloseResults();
    if (number == 1) {
      if (!cards_.TurnPage(1)) OpenHelp(Card::kHelp);
      return;
    }
    // F4 opens the progress card, and closes it again.
    if (number == 4) {
      if (cards_.Shown() != Card::kProgress || !cards_.TurnPage(1)) OpenHelp(Card::kProgress);
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
void GameShell::ApplyChar(uint8_t code) {
  switch (cards_.TakeKey(code)) {
    case Cards::KeyUse::kSave:
      cards_.Saved(session_.KeepEndedGame());
      [[fallthrough]];
    case Cards::KeyUse::kTaken:
      session_.Comment("key taken by a card");
      return;
    case Cards::KeyUse::kPassed:
      break;
  }
  session_.Char(code);
  OnChar(code);
  NoteGame();
}

void GameShell::Apply(const Input& input) {
  switch (input.kind) {
    case Input::Kind::kChar:
      ApplyChar(static_cast<uint8_t>(input.a));
      break;
    case Input::Kind::kHelpPage:
      cards_.TurnPage(input.a);
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
void GameShell::Deliver(const Input& input) {
  const bool sizing = input.kind == Input::Kind::kSize || input.kind == Input::Kind::kMinimise;
  if (ending_.ended || (!ending_.started && !sizing)) return;
  if (pacedPicture_.Holding()) {
    waiting_.push_back(input);
  } else {
    Apply(input);
  }
}

// Esc ends a replay, and with it the program.
bool GameShell::Type(char32_t character) {
  if (!replay_) {
    Deliver({Input::Kind::kChar, CodeForTypedChar(character)});
    return true;
  }
  if (ending_.ended) return false;
  const bool used = replay_->Type(character);
  AfterEvent();
  if (replay_->Stopped()) QuitOnce();
  return used;
}

void GameShell::PressFunctionKey(int number) {
  if (!replay_) Deliver({Input::Kind::kFunctionKey, number});
}

bool GameShell::TurnPage(int delta) {
  if (replay_) {
    replay_->ChangeSpeed(delta);
    return true;
  }
  const bool help = cards_.Shown() == Card::kHelp;
  Deliver({Input::Kind::kHelpPage, delta});
  return help;
}

void GameShell::Command(uint16_t id) {
  if (!replay_) Deliver({Input::Kind::kCommand, id});
}

// Before start-up the sizes only set the geometry, as the window's first size messages do.
void GameShell::Size(int width, int height) {
  if (!replay_) Deliver({Input::Kind::kSize, width, height});
}

void GameShell::Minimise() {
  if (!replay_) Deliver({Input::Kind::kMinimise});
}

ScenarioCalls& GameShell::Scenario() {
  return scenario_;
}

void GameShell::ScenarioDriver::Seed(uint32_t seed) {
  SeedRandom(seed);
}

void GameShell::ScenarioDriver::Size(int width, int height) {
  shell_.Deliver({Input::Kind::kSize, width, height});
}

// An impact effect one of the ticks starts is shown whole at once (the picture it ends with is
// the same), so the next tick, or input, follows as it follows the effect in play. Once the
// ticks are run the picture is shown, as Advance shows it after the ticks it runs.
void GameShell::ScenarioDriver::RunTicks(uint64_t count) {
  if (!shell_.ending_.started || shell_.ending_.ended) return;
  for (uint64_t i = 0; i < count; ++i) {
    shell_.RunTick();
    if (shell_.pacedPicture_.Holding()) shell_.FinishImpactEffect();
  }
  shell_.AfterEvent();
}

void GameShell::ScenarioDriver::TypeCode(uint8_t code) {
  shell_.Deliver({Input::Kind::kChar, code});
}

void GameShell::ScenarioDriver::Command(uint16_t id) {
  shell_.Deliver({Input::Kind::kCommand, id});
}

void GameShell::ScenarioDriver::TakeSettings(const std::string* text) {
  if (text != nullptr) {
    ParseSettings(*text);
  } else {
    ApplyDefaultSettings();
  }
  ComputeCapacity();
  CheckMenuFromSettings();
  DrawStatusBar(gameState, fieldGeometry);
  if (shell_.ending_.started) shell_.AfterEvent();
}

std::string GameShell::ScenarioDriver::Dump() {
  std::string line = shell_.StateLine();
  shell_.sound_.played = {};
  return line;
}
