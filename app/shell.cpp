// The shared layer: what every front end does with its ticks, keys, commands, sizes and menu.
#include "app/shell.h"

#include <algorithm>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/cards.h"
#include "app/commands.h"
#include "app/deferred_canvas.h"
#include "app/kept_game.h"
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
#include "render/draw.h"
#include "render/handles.h"
#include "render/sound.h"
#include "render/sprite_sheet.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"

namespace {

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

constexpr uint8_t kEscape = 0x1B;

// S saves a game from its results card; with a kana layout the same key types ト.
bool IsSaveKey(uint8_t code) {
  return code == 's' || code == 'S' || code == 0xC4;
}

// Where every missile and interceptor of the slots is; a hit shows as an interceptor gone
// together with a change of its missile.
struct SlotSnapshot {
  int32_t missile[kSlotCount];
  bool interceptor[kSlotCount];
  void Take() {
    for (int i = 0; i < kSlotCount; ++i) {
      missile[i] = missileSlots[i].state;
      interceptor[i] = interceptorSlots[i].active != 0;
    }
  }
  int HitsSince() const {
    int hits = 0;
    for (int i = 0; i < kSlotCount; ++i) {
      const bool target = missile[i] == Falling || missile[i] == Mirv;
      if (target && interceptor[i] && interceptorSlots[i].active == 0 &&
          missileSlots[i].state != missile[i]) {
        ++hits;
      }
    }
    return hits;
  }
};

// What the overlay shows; it is drawn anew only when this changes.
struct OverlayState {
  Card card = Card::kNone;
  int page = 0;
  int width = 0;
  int height = 0;
  bool field = false;
  bool saved = false;
  bool operator==(const OverlayState&) const = default;
};

// Says where the file should have been, so the player can look at that folder.
std::string SettingsNotKeptMessage() {
  return "The settings and best scores could not be saved to " + SettingsLocation() + ".";
}

}  // namespace

struct GameShell::Impl {
  explicit Impl(FrontEnd& f) : frontEnd(f) {}

  void Apply(const Input& input);
  bool TakenByCard(uint8_t code);
  void OpenHelp(Card which);
  void TurnHelpPage(int delta);
  void NoteGame();
  void SaveEndedGame();
  std::vector<std::string> ResultsCardLines() const;
  void UpdateOverlay();
  void DrawPausedField();
  Card ShownCard() const;
  const std::vector<CardPage>& HelpPages();
  bool GameRunning() const { return gameState.gameOver == 0; }
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

  // The cards.
  bool cards = false;
  Language language = Language::kEnglish;
  std::unique_ptr<CardPainter> painter;
  OverlayPicture overlay;
  OverlayState drawn;
  bool overlayChanged = false;
  Card help = Card::kNone;  // kHelp or kAbout while one shows
  int helpPage = 0;
  int helpPages = 1;
  OverlayState helpLaidOut;  // the help and field size helpText was laid out for
  std::vector<CardPage> helpText;
  bool resultsShown = false;
  bool gameSeenRunning = false;
  int32_t bestBefore = 0;
  GameResults results;
  std::unique_ptr<VerdictCard> verdict;  // the replay viewer's, once it has one
  std::string endedGame;  // the last game's recording, while its results card may save it
  std::string endedAt;    // its local time
  bool gameSaved = false;
  KeptGame kept;
  // A paused game's field, blanked by a size change, drawn again here from the slots: the
  // rules redraw it only at the next tick.
  bool fieldLost = false;
  std::unique_ptr<PixelCanvas> pausedField;
  PixelOrder overlayOrder = PixelOrder::kArgb;
  GlyphSource* glyphs = nullptr;
};

// The Exit command only sets a flag in the rules; the program ends here, once, as it is seen.
void GameShell::Impl::AfterEvent() {
  if (started) ShowMenuChanges();  // every item at start, when the menu exists everywhere
  NoteGame();
  UpdateOverlay();
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
  if (id == kCmdHowToPlay || id == kCmdAbout) {
    if (cards) OpenHelp(id == kCmdAbout ? Card::kAbout : Card::kHelp);
    return;
  }
  recorder.Command(id);
  OnCommand(id);
}

// The picture takes the new size before the size handler blanks it.
void GameShell::Impl::ApplySize(int width, int height) {
  if (cards && GameRunning() && gameState.paused != 0) fieldLost = true;
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
  if (cards) {
    resultsShown = false;
    if (number == 1) {
      if (help == Card::kNone) {
        OpenHelp(Card::kHelp);
      } else {
        TurnHelpPage(1);
      }
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

void GameShell::Impl::Apply(const Input& input) {
  switch (input.kind) {
    case Input::Kind::kChar:
      if (TakenByCard(static_cast<uint8_t>(input.a))) {
        recorder.Comment("key taken by a card");
        break;
      }
      if (GameRunning() && gameState.paused == 0) ++results.typed;
      recorder.Char(static_cast<uint8_t>(input.a));
      OnChar(static_cast<uint32_t>(input.a));
      NoteGame();
      break;
    case Input::Kind::kHelpPage:
      TurnHelpPage(input.a);
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

// A game's ticks and hits are counted for its results card; a tick that ends the game clears
// the field, which is no hit.
void GameShell::Impl::RunTick() {
  recorder.Tick();
  ++ticks;
  const bool counting = GameRunning() && gameState.paused == 0;
  SlotSnapshot before;
  if (counting) before.Take();
  OnTick();
  if (counting && GameRunning()) {
    ++results.ticks;
    results.hits += before.HitsSince();
  }
  NoteGame();
}

// Esc closes the help and Enter or space turns its page; any key closes the results card.
// Neither reaches the rules.
bool GameShell::Impl::TakenByCard(uint8_t code) {
  if (!cards) return false;
  if (help != Card::kNone) {
    if (code == kEscape) {
      help = Card::kNone;
    } else if (code == '\r' || code == ' ') {
      TurnHelpPage(1);
    }
    return true;
  }
  if (!resultsShown) return false;
  if (IsSaveKey(code) && !endedGame.empty()) {
    SaveEndedGame();
  } else {
    resultsShown = false;
  }
  return true;
}

// Once: the card then says where the game went, and the key again does nothing.
void GameShell::Impl::SaveEndedGame() {
  if (gameSaved) return;
  kept = KeepGame(endedAt, endedGame);
  gameSaved = true;
}

std::vector<std::string> GameShell::Impl::ResultsCardLines() const {
  std::vector<std::string> lines = ResultLines(language, results);
  if (endedGame.empty()) return lines;
  if (!gameSaved) {
    lines.push_back(SaveOffer(language));
    return lines;
  }
  for (std::string& line : SavedLines(language, kept.where, kept.problem, kept.download)) {
    lines.push_back(std::move(line));
  }
  return lines;
}

// A running game waits paused beneath the help, as it does while the window is minimised.
void GameShell::Impl::OpenHelp(Card which) {
  if (GameRunning() && gameState.paused == 0) ApplyCommand(kCmdPause);
  resultsShown = false;
  help = which;
  helpPage = 0;
}

// Forward from the last page closes the help; back from the first stays.
void GameShell::Impl::TurnHelpPage(int delta) {
  if (help == Card::kNone) return;
  helpPage = std::max(helpPage + delta, 0);
  if (helpPage >= helpPages) help = Card::kNone;
}

// A game starting clears the last one's card and figures; a game ending shows them. A game
// going on again (F3) closes the help over it.
void GameShell::Impl::NoteGame() {
  const bool running = GameRunning();
  const HighScoreEntry& best = gameState.highScoreTable[gameState.level - 1];
  if (running && !gameSeenRunning) {
    results = {};
    endedGame.clear();
    bestBefore = best.best;
    resultsShown = false;
    help = Card::kNone;
  } else if (!running && gameSeenRunning) {
    results.score = gameState.score;
    results.best = best.best;
    results.newBest = best.best > bestBefore;
    results.level = gameState.level;
    results.misses = gameState.misses;
    resultsShown = cards;
    // The recording ends here, so it replays to the state the card shows.
    endedAt = cards ? frontEnd.LocalTimeNow() : "";
    endedGame = endedAt.empty() ? "" : recorder.SoFar(FormatStateLine(ticks, sound.played));
    gameSaved = false;
  }
  gameSeenRunning = running;
  if (!running || gameState.paused == 0) fieldLost = false;
  if (running && gameState.paused == 0) help = Card::kNone;
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

Card GameShell::Impl::ShownCard() const {
  if (verdict) return Card::kVerdict;
  if (help != Card::kNone) return help;
  if (resultsShown) return Card::kResults;
  if (cards && GameRunning() && gameState.paused != 0) return Card::kPause;
  return Card::kNone;
}

// The help is laid out anew only for another text or another field size.
const std::vector<CardPage>& GameShell::Impl::HelpPages() {
  const OverlayState key{help, 0, fieldGeometry.fieldWidth, fieldGeometry.groundY, false};
  if (key == helpLaidOut) return helpText;
  helpLaidOut = key;
  helpText =
      painter->Paginate(help == Card::kAbout ? std::vector<HelpSection>{AboutSection(language)}
                                             : HelpSections(language),
                        key.width, key.height);
  return helpText;
}

// Drawn anew only when what it shows changes: the cards' figures are fixed while they show.
void GameShell::Impl::UpdateOverlay() {
  if (!painter || pacedPicture.Holding()) return;
  const int fieldWidth = fieldGeometry.fieldWidth;
  const int fieldHeight = fieldGeometry.groundY;
  if (help != Card::kNone) {
    helpPages = static_cast<int>(HelpPages().size());
    helpPage = std::min(helpPage, helpPages - 1);
  }
  const int width = fieldGeometry.fieldWidth;
  const int height = fieldGeometry.fieldHeight + fieldGeometry.statusHeight;
  const OverlayState want{ShownCard(), helpPage, width, height, fieldLost, gameSaved};
  if (want == drawn) return;
  drawn = want;
  overlayChanged = true;
  if (want.card == Card::kNone && !fieldLost) {
    overlay = {};
    return;
  }
  CardPainter::Clear(overlay, width, height);
  if (fieldLost) {
    DrawPausedField();
    CardPainter::CoverWith(overlay, *pausedField);
  }
  switch (want.card) {
    case Card::kHelp:
    case Card::kAbout:
      painter->DrawCard(overlay, fieldWidth, fieldHeight, helpText[helpPage],
                        help == Card::kAbout ? "" : HelpFooter(language, helpPage, helpPages),
                        true);
      break;
    case Card::kResults: {
      std::vector<std::string> lines = ResultsCardLines();
      const CardPage page{lines.front(), {lines.begin() + 1, lines.end()}};
      painter->DrawCard(overlay, fieldWidth, fieldHeight, page, ResultsFooter(language), false);
      break;
    }
    case Card::kPause: {
      const std::vector<std::string> lines = PauseLines(language);
      painter->DrawCard(overlay, fieldWidth, fieldHeight, {lines[0], {lines[1]}}, "", false);
      break;
    }
    case Card::kVerdict:
      painter->DrawCard(overlay, fieldWidth, fieldHeight, {verdict->heading, verdict->lines},
                        verdict->footer, false);
      break;
    case Card::kNone:
      break;
  }
}

// The sprites are copied from a sheet made beside this picture, as start-up makes the
// window's; the rules' handles are theirs again afterwards.
void GameShell::Impl::DrawPausedField() {
  const int width = fieldGeometry.fieldWidth;
  const int height = fieldGeometry.groundY;
  if (!pausedField) pausedField = std::make_unique<PixelCanvas>(0, 0, overlayOrder, *glyphs);
  pausedField->Resize(0, 0);
  pausedField->Resize(width, height);
  Canvas* const window = windowDC;
  Canvas* const sheet = sheetDC;
  windowDC = pausedField.get();
  CreateSpriteSheet();
  PrepareWindowDC();
  RenderGlyphCells(kAlphabet, classRanges);
  for (int32_t i = 0; i < kSlotCount; ++i) {
    const MissileSlot& m = missileSlots[i];
    if (m.state == Falling || m.state == Mirv) DrawMissileSprite(m.x, m.y, i, m.state);
    if (m.state >= ExplodingFirst && m.state < ExplodingEnd) {
      DrawExplosionFrame(m.x, m.y, m.state - ExplodingFirst);
    }
    if (interceptorSlots[i].active != 0)
      DrawInterceptor(interceptorSlots[i].x, interceptorSlots[i].y);
  }
  windowDC = window;
  sheetDC = sheet;
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
  s.cards = start.showCards && start.cardGlyphs != nullptr;
  if (start.cardGlyphs != nullptr) {
    s.glyphs = start.cardGlyphs;
    s.overlayOrder = start.overlayOrder;
    s.painter = std::make_unique<CardPainter>(*start.cardGlyphs, start.overlayOrder);
  }
  s.language = LanguageOfLocale(start.locale);
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

Language GameShell::CardLanguage() const {
  return impl_->language;
}

Card GameShell::ShownCard() const {
  return impl_->ShownCard();
}

void GameShell::TurnHelpPage(int delta) {
  impl_->Deliver({Input::Kind::kHelpPage, delta});
}

const OverlayPicture& GameShell::Overlay() const {
  return impl_->overlay;
}

bool GameShell::TakeOverlayChange() {
  return std::exchange(impl_->overlayChanged, false);
}

const GameResults& GameShell::LastResults() const {
  return impl_->results;
}

const std::string& GameShell::LastGameRecording() const {
  return impl_->endedGame;
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

void GameShell::DrawStatusBar() {
  ::DrawStatusBar(gameState, fieldGeometry);
  impl_->AfterEvent();
}

void GameShell::ShowVerdict(const VerdictCard& card) {
  impl_->verdict = std::make_unique<VerdictCard>(card);
  impl_->AfterEvent();
}

void GameShell::AttachPicture(Canvas* picture) {
  impl_->pacedPicture.SetTarget(picture);
  AttachWindowPicture(&impl_->pacedPicture);
}

bool GameShell::KeepSettings() {
  return impl_->replay || WriteSettingsFile();
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
  if (!replay) {
    const ProgramEnding ending = EndProgram(how);
    exitStatus = ending.exitCode;
    if (!ending.settingsKept) endProblem = SettingsNotKeptMessage();
  }
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
