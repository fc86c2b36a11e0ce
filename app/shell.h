// The layer every front end drives: start-up, pace, input routing, the impact effect, the menu's
// marks and the end of the program; the cards, the session and a replay are its parts.
//
// A front end owns its window, its menu widgets, its key events, its timer, the canvas it
// implements and its sound output; everything else it hands to a GameShell, in play and in a
// replay alike. The shell never blocks and never reads the clock: the front end passes the
// time with each call to Advance and is told when to call again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>

#include "app/cards.h"
#include "app/deferred_canvas.h"
#include "app/overlay.h"
#include "app/pacing.h"
#include "app/scenario.h"
#include "app/session.h"
#include "app/startup.h"
#include "app/state_line.h"
#include "core/records.h"
#include "render/pixel_canvas.h"
#include "resources/menu_resource.h"

class Canvas;
class Replay;
class SoundOutput;
struct Options;

// What the shell asks of the front end; it calls only when something happened.
class FrontEnd {
 public:
  virtual ~FrontEnd() = default;
  // The window picture takes the new client size; the rules then draw at it.
  virtual void ResizePicture(int width, int height) = 0;
  // Shows what has been drawn since the last call. Called after every event and every frame
  // of the impact effect; never from inside the rules.
  virtual void ShowPicture() = 0;
  // A menu item's check mark or greyed state is now this: every item at start, then only the
  // items whose marks changed.
  virtual void SetMenuItem(uint16_t id, bool checked, bool greyed) = 0;
  // The program has ended (the Exit command, or a replay that is over): leave the event loop.
  virtual void Quit() = 0;
  // The window's title, said once at start.
  virtual void SetTitle(const std::string&) {}
  // The menu bar, in the player's language (kMenuBar's texts in it), is to be made now: said
  // once at start, before any item's marks.
  virtual void BuildMenu(MenuLanguage) {}
  // A replay shows the field at the sizes it was played at: the window takes this client
  // size (each side at most PixelCanvas::kMaxSide), minimised at 0 x 0.
  virtual void FitWindow(int, int) {}
  // The local time now as "YYYYMMDD-HHMMSS" (LocalTimeStamp), asked when a game ends: the name
  // its recording is saved under. Empty, the results card offers no saving.
  virtual std::string LocalTimeNow();
};

// The client size of the last size message.
struct ClientSize {
  int width = 0;
  int height = 0;
  bool sized = false;  // a size message came
};

enum class ShellMode {
  kPlay,  // a player at the window
  // A session driven from a scenario (the runner): start-up takes the default settings without
  // reading the settings file, and the Exit command only sets the quit flag, as the rules leave
  // it, so the scenario's next commands still run.
  kScenario,
  // A recording played in the window: as a scenario, and the player's keys pace it.
  kReplay,
};

struct ShellStart {
  uint32_t seed = 1;                  // the front end reads the clock; the rules never do
  Canvas* windowCanvas = nullptr;     // the window's picture
  SoundOutput* sound = nullptr;       // plays the effects
  std::FILE* record = nullptr;        // in play, the session is written there as a scenario
  PaceClock::time_point now{};        // the first tick is due one period after this
  GlyphSource* cardGlyphs = nullptr;  // the cards' text; no cards without it
  PixelOrder overlayOrder = PixelOrder::kArgb;
  std::string locale{};  // the player's language as the system names it ("ja_JP.UTF-8", "en-US")
  ShellMode mode = ShellMode::kPlay;
  // A replay's recording, or why its file could not be read; with `exitAtEnd` the program ends
  // at the verdict, which goes to `report` (null: nowhere), followed by the state line with
  // `reportStateLine`.
  std::string recording{};
  std::string unreadable{};
  bool exitAtEnd = false;
  std::FILE* report = stdout;
  bool reportStateLine = false;
};

class GameShell {
 public:
  // Puts every record and platform handle back to its program-start value. Make the shell
  // before the window: the window's first size changes already go to Size().
  explicit GameShell(FrontEnd& frontEnd);
  ~GameShell();
  GameShell(const GameShell&) = delete;
  GameShell& operator=(const GameShell&) = delete;

  // The client size the field and the status band take now: 640 x 480 before any size change.
  int ClientWidth() const;
  int ClientHeight() const;

  // The start-up order, from seeding the generator to the first status bar and menu marks:
  // a game, or the replay the command line asks for. `platform` holds the front end's parts.
  void Start(const Options& options, ShellStart platform);
  void Start(const ShellStart& start);

  // Runs the ticks due by `now` (a stall is not caught up), or the next frames of an impact
  // effect, or what a replay has due; returns when to call again. Called early, it does
  // nothing.
  PaceClock::time_point Advance(PaceClock::time_point now);

  // The player's input, as the window gives it. In a replay only the replay's own keys act
  // (space, +, -, Esc and the page keys), and sizes and commands change nothing.
  //
  // A typed character (any Unicode character); true when it meant something.
  bool Type(char32_t character);
  // A function key pressed without modifiers, 1 for F1; acts only through an enabled item.
  void PressFunctionKey(int number);
  // The page keys, +1 forward (PageDown, Right), -1 back (PageUp, Left): the help's pages, or
  // a replay's speed. True when they turned something.
  bool TurnPage(int delta);
  // A menu command chosen from the menu bar.
  void Command(uint16_t id);
  // The client area's new size; each side is held to 0..65535 as a size message carries it.
  void Size(int width, int height);
  // The window was minimised (or the page hidden): a running game is paused, then the field
  // becomes 0 x 0. Size() shows it again.
  void Minimise();

  // A scenario's calls, which a played session never makes: each runs at once, and Size and
  // Command act in every mode.
  ScenarioCalls& Scenario();
  // Gives a shell started without a picture the window's picture: the sprite sheet and the
  // glyph cells are made in it and the status bar drawn, as start-up makes them.
  void AttachPicture(Canvas* picture);

  // Writes the settings now, as the session or the page may end without another word; false
  // when they could not be kept. Anything but play has nothing of the player's to keep: it
  // writes nothing and says so with true, and so does a session already ended.
  bool KeepSettings();

  // What to lay over the window picture whenever it is shown (LayOverlay, or a painter that
  // draws transparent pixels as such); empty when no card shows.
  const OverlayPicture& Overlay() const;
  // True once after the overlay changed: the whole picture is to be shown anew.
  bool TakeOverlayChange();
  Card ShownCard() const;

  // The timer ticks run since start-up, as the state line counts them.
  uint64_t TicksRun() const;

  // Ends the program as `how` says: writes the settings (in play only: nothing else touches the
  // player's settings file), ends the recording with the final state line, and returns the
  // process's exit status (0, or 40014 after the Exit command; a replay's with --exit-at-end:
  // 0 when verified, 1 when not). Only the first call ends; later ones return the same status.
  // Input is then ignored.
  int End(ProgramEnd how);
  bool Ended() const;
  // After End: empty when all went well, else what the player must be told, in one sentence
  // (the settings file could not be written, so this run's best scores are lost).
  const std::string& EndProblem() const;
  // After End: true when the player ended the program (Exit, or closing the window) and is
  // there to read a message box; false after a signal, a lost display or an ending session.
  bool PlayerEnded() const;

 private:
  // One piece of input, kept while the impact effect is shown.
  struct Input {
    enum class Kind { kChar, kFunctionKey, kCommand, kSize, kMinimise, kHelpPage } kind;
    int a = 0;
    int b = 0;
  };
  // How far the session has got, and how it ended.
  struct Ending {
    bool started = false;
    bool ended = false;
    bool exitAtEnd = false;  // a replay ends the program at its verdict
    bool quitAsked = false;  // the front end was told to quit
    ProgramEnd how = ProgramEnd::kWindowClosed;
    int status = 0;
    std::string problem;
  };
  // A scenario's commands, which act in every mode: the runner's, and a replay's own.
  class ScenarioDriver final : public ScenarioCalls {
   public:
    explicit ScenarioDriver(GameShell& shell) : shell_(shell) {}
    void Seed(uint32_t seed) override;
    void Size(int width, int height) override;
    void RunTicks(uint64_t count) override;
    void TypeCode(uint8_t code) override;
    void Command(uint16_t id) override;
    void TakeSettings(const std::string* text) override;
    std::string Dump() override;

   private:
    GameShell& shell_;
  };

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
  PaceClock::time_point Play(PaceClock::time_point now);
  PaceClock::time_point StepImpactEffect(PaceClock::time_point now);
  void FinishImpactEffect();
  void QuitOnce();
  bool Playing() const { return mode_ == ShellMode::kPlay; }
  std::string StateLine() const { return FormatStateLine(ticks_, sound_.played); }

  FrontEnd& frontEnd_;
  ShellMode mode_ = ShellMode::kPlay;
  // Between the rules and the window's picture, so the impact effect can be shown frame by
  // frame after the tick that drew it.
  DeferredCanvas pacedPicture_;
  NotedSound sound_;
  ImpactPacing pace_;
  std::deque<Input> waiting_;  // input given while the impact effect is shown
  MenuModel shownMenu_{};      // the marks the front end was last given
  bool menuShown_ = false;
  // Assigned, never replaced, at start: front ends hold on to its overlay.
  Cards cards_{nullptr, PixelOrder::kArgb, Language::kEnglish, false};
  Session session_;
  std::unique_ptr<Replay> replay_;  // in a replay
  bool gameSeenRunning_ = false;
  ClientSize client_;
  uint64_t ticks_ = 0;
  Ending ending_;
  ScenarioDriver scenario_{*this};
};
