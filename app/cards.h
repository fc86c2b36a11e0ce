// The cards over the field (help, about, progress, pause, results, a replay's verdict) and the
// banner at its top (the hint before the first game, a replay's state): which shows, what it says
// and its picture, the overlay every front end lays over the window picture. Cards never change the
// rules' picture or what a recording holds.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/card_painter.h"
#include "app/card_text.h"
#include "app/kept_game.h"
#include "app/overlay.h"
#include "app/progress.h"
#include "render/pixel_canvas.h"

// The card shown over the field, at most one at a time.
enum class Card { kNone, kHelp, kAbout, kProgress, kPause, kResults, kVerdict };

class Cards {
 public:
  // A card that appears while the player may still be typing takes no key for this many ticks
  // (a second): the keys of the game's last moment neither close it nor reach the rules.
  static constexpr int kQuietTicks = 64;
  // Ctrl+S: the key that keeps a game from its results card, one no player types in a game.
  static constexpr uint8_t kSaveKey = 0x13;

  // `glyphs` draws their text; without it no card shows. Only `play` shows the cards of play
  // (help, pause, results) and the hint: a replay shows its verdict alone.
  Cards(GlyphSource* glyphs, PixelOrder order, Language language, bool play);

  Language language() const { return language_; }
  // Whether the cards of play show (a window playing, with glyphs to draw them).
  bool Play() const { return play_; }

  // A game began: the last one's card goes, and the hint for good.
  void GameStarted();
  // A game ended: its results show; `canSave` offers to keep it.
  void GameEnded(const GameResults& results, bool canSave);
  // A tick ran: the results card's quiet moment runs out.
  void TickRan() { results_.quietTicksLeft = std::max(results_.quietTicksLeft - 1, 0); }
  // The ended game was kept, or could not be: the results card says where, or why not.
  void Saved(const KeptGame& kept) { results_.kept = std::make_unique<KeptGame>(kept); }
  // The replay's verdict, shown from now on.
  void ShowVerdict(const VerdictCard& card) { verdict_ = std::make_unique<VerdictCard>(card); }
  // The lines at the top of the field while no card shows (a replay's state); empty for none.
  void SetBanner(std::vector<std::string> lines) { banner_ = std::move(lines); }

  enum class KeyUse { kPassed, kTaken, kSave };
  // A typed key: Esc closes the help and Enter or space turn its page; after its quiet moment
  // any key closes the results card but the save key, which asks to keep the game.
  // kPassed: no card took it.
  KeyUse TakeKey(uint8_t code);
  // A function key closes the results card.
  void CloseResults() { results_.shown = false; }
  // The help or About; the progress card with what it shows, which stays as it was opened.
  void OpenHelp(Card which, ProgressView progress = {});
  // +1 turns the help forward (from the last page: closes it), -1 back; false without help.
  bool TurnPage(int delta);
  // A size change while a game waits paused blanks its field, which the rules redraw only at
  // the next tick: the overlay shows it drawn again from the slots meanwhile.
  void FieldLost();

  // Draws the overlay anew when what it shows changed.
  void Update();
  Card Shown() const;
  const OverlayPicture& Overlay() const { return overlay_; }
  // True once after the overlay changed: the whole picture is to be shown anew.
  bool TakeOverlayChange() { return std::exchange(overlayChanged_, false); }

 private:
  // What the overlay shows; it is drawn anew only when this changes.
  struct Drawn {
    Card card = Card::kNone;
    int page = 0;
    int width = 0;
    int height = 0;
    bool field = false;
    bool saved = false;
    std::vector<std::string> banner;
    bool operator==(const Drawn&) const = default;
  };
  // The help (or the about text) laid out in pages for the field's size; the progress card is
  // one page.
  struct Help {
    Card shown = Card::kNone;  // kHelp, kAbout or kProgress while one shows
    int page = 0;
    Drawn laidOutFor;
    std::vector<CardPage> pages;
    ProgressView progress;
  };
  // The last game's card.
  struct Results {
    bool shown = false;
    GameResults figures;
    bool canSave = false;
    int quietTicksLeft = 0;
    std::unique_ptr<KeptGame> kept;  // once the ended game was kept
  };

  const std::vector<CardPage>& HelpPages();
  std::vector<std::string> Banner() const;
  void DrawShownCard(Card card, int fieldWidth, int fieldHeight);
  void DrawPausedField();

  Language language_;
  bool play_;
  std::unique_ptr<CardPainter> painter_;
  OverlayPicture overlay_;
  Drawn drawn_;
  bool overlayChanged_ = false;
  Help help_;
  Results results_;
  bool hint_;  // until the first game starts
  std::vector<std::string> banner_;
  std::unique_ptr<VerdictCard> verdict_;  // a replay's, once it ended
  bool fieldLost_ = false;
  std::unique_ptr<PixelCanvas> pausedField_;
};
