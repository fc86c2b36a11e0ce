// The layer every front end drives: start-up, pace, input routing, the impact effect, the menu's
// marks, recording and the end of the program.
//
// A front end owns its window, its menu widgets, its key events, its timer, the canvas it
// implements and its sound output; everything else it hands to a GameShell. The shell never
// blocks and never reads the clock: the front end passes the time with each call to Advance
// and is told when to call again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "app/card_text.h"
#include "app/overlay.h"
#include "app/pacing.h"
#include "app/startup.h"
#include "render/pixel_canvas.h"

class Canvas;
class SoundOutput;

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
  // The Exit command has ended the program (GameShell::End has run): leave the event loop.
  virtual void Quit() = 0;
  // The local time now as "YYYYMMDD-HHMMSS" (LocalTimeStamp), asked when a game ends: the name
  // its recording is saved under. Empty, the results card offers no saving.
  virtual std::string LocalTimeNow() { return ""; }
};

struct ShellStart {
  uint32_t seed = 1;               // the front end reads the clock; the rules never do
  Canvas* windowCanvas = nullptr;  // the window's picture
  SoundOutput* sound = nullptr;    // plays the effects
  std::FILE* record = nullptr;     // when set, the session is written there as a scenario
  PaceClock::time_point now{};     // the first tick is due one period after this
  // A session driven from a scenario (the runner, a replay) rather than played: start-up
  // takes the default settings without reading the settings file, and the Exit command only
  // sets the quit flag, as the rules leave it, so the scenario's next commands still run.
  bool replay = false;
  // The cards a window shows over the field (help, pause, results). Off, the shell behaves as
  // it always has: the runner and a replay see every key the player gave.
  bool showCards = false;
  GlyphSource* cardGlyphs = nullptr;  // the cards' text; no cards without it
  PixelOrder overlayOrder = PixelOrder::kArgb;
  std::string locale{};  // the player's language as the system names it ("ja_JP.UTF-8", "en-US")
};

// The card the shell shows over the field, at most one at a time.
enum class Card { kNone, kHelp, kAbout, kPause, kResults, kVerdict };

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

  // The start-up order, from seeding the generator to the first status bar and menu marks.
  void Start(const ShellStart& start);

  // Runs the ticks due by `now` (a stall is not caught up), or the next frames of an impact
  // effect; returns when to call again. Called early, it does nothing.
  PaceClock::time_point Advance(PaceClock::time_point now);

  // A typed character, as the window's text input gives it (any Unicode character).
  void Type(char32_t character);
  // A character already in the game's own code (0 to 255, kana in Shift_JIS), as a
  // recording holds it.
  void TypeCode(uint8_t code);
  // A function key pressed without modifiers, 1 for F1; acts only through an enabled item.
  void PressFunctionKey(int number);
  // Turns the help's page: +1 forward (PageDown, Right), -1 back (PageUp, Left).
  void TurnHelpPage(int delta);
  // A menu command chosen from the menu bar.
  void Command(uint16_t id);
  // The client area's new size; each side is held to 0..65535 as a size message carries it.
  void Size(int width, int height);
  // The window was minimised (or the page hidden): a running game is paused, then the field
  // becomes 0 x 0.
  void Minimise();
  // The window is shown again at this client size; a paused game stays paused.
  void Restore(int width, int height);

  // A scenario's calls, which a played session never makes. Each runs at once: a scenario
  // waits for nothing.
  //
  // Runs `count` ticks one after another, each as Advance runs a tick that is due; an impact
  // effect one of them starts is shown whole at once (the picture it ends with is the same),
  // so the next tick, or input, follows as it follows the effect in play.
  void RunTicks(uint64_t count);
  // Sets the generator's state.
  void Seed(uint32_t seed);
  // Takes the settings from `text` as start-up does, or the defaults when there is none (as
  // without a settings file), and what follows from them: the missile capacity, the menu's
  // marks. The settings file itself is neither read nor written here. The status bar is left
  // as it was, as the runner's pictures have always shown it; a viewer redraws it.
  void TakeSettings(const std::string* text);
  // Draws the status bar from the settings and the game as they are now, and shows it.
  void DrawStatusBar();
  // Shows the replay viewer's verdict over the field from now on (with the card glyphs given
  // at start, even when the other cards are off).
  void ShowVerdict(const VerdictCard& card);
  // Gives a shell started without a picture the window's picture: the sprite sheet and the
  // glyph cells are made in it and the status bar drawn, as start-up makes them. The rest of
  // the field appears as the game next draws it.
  void AttachPicture(Canvas* picture);

  // Writes the settings now, as the session or the page may end without another word; false
  // when they could not be kept. A replay has nothing of the player's to keep: it writes
  // nothing and says so with true, whoever asks (a session ending in the middle of one).
  bool KeepSettings();

  // True while an impact effect is being shown; input given meanwhile waits until it ends.
  bool ShowingImpactEffect() const;

  // What to lay over the window picture whenever it is shown (LayOverlay, or a painter that
  // draws transparent pixels as such); empty when no card shows.
  const OverlayPicture& Overlay() const;
  // True once after the overlay changed: the whole picture is to be shown anew.
  bool TakeOverlayChange();
  Card ShownCard() const;
  // The language the cards speak, from the locale given at start.
  Language CardLanguage() const;
  // The last game's figures, as its results card shows them.
  const GameResults& LastResults() const;
  // The last game's recording, as its results card's save key keeps it: the session from
  // start-up to the game's end and its final state line. Empty while no game has ended since
  // one started, without the front end's time, or once the session is too long to keep.
  const std::string& LastGameRecording() const;

  // The timer ticks run since start-up, for measuring the pace.
  uint64_t TicksRun() const;

  // Ends the program as `how` says: writes the settings (not in a replay, which never touches
  // the player's settings file), ends the recording with the final
  // state line, and returns the process's exit status (0, or 40014 after the Exit command).
  // Only the first call ends; later ones return the same status. Input is then ignored.
  int End(ProgramEnd how);
  bool Ended() const;
  // After End: empty when all went well, else what the player must be told, in one sentence
  // (the settings file could not be written, so this run's best scores are lost).
  const std::string& EndProblem() const;
  // After End: true when the player ended the program (Exit, or closing the window) and is
  // there to read a message box; false after a signal, a lost display or an ending session.
  bool PlayerEnded() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
