// Which card shows, and drawing it into the overlay when that changes.
#include "app/cards.h"

#include <algorithm>
#include <utility>

#include "core/alphabet.h"
#include "core/records.h"
#include "render/draw.h"
#include "render/handles.h"
#include "render/sprite_sheet.h"

namespace {

constexpr uint8_t kEscape = 0x1B;

// S keeps a game from its results card; with a kana layout the same key types ト.
bool IsSaveKey(uint8_t code) {
  return code == 's' || code == 'S' || code == 0xC4;
}

bool GameRunning() {
  return gameState.gameOver == 0;
}

// A card is laid out over the part of the field a picture holds, so it shows whatever the
// window's size.
int HeldSide(int side) {
  return std::min(side, PixelCanvas::kMaxSide);
}

}  // namespace

Cards::Cards(GlyphSource* glyphs, PixelOrder order, Language language, bool play)
    : language_(language), play_(play && glyphs != nullptr) {
  if (glyphs != nullptr) painter_ = std::make_unique<CardPainter>(*glyphs, order);
}

void Cards::GameStarted() {
  resultsShown_ = false;
  kept_.reset();
  help_.shown = Card::kNone;
}

void Cards::GameEnded(const GameResults& results, bool canSave) {
  resultsShown_ = play_;
  results_ = results;
  canSave_ = canSave;
  kept_.reset();
}

void Cards::Saved(const KeptGame& kept) {
  kept_ = std::make_unique<KeptGame>(kept);
}

void Cards::ShowVerdict(const VerdictCard& card) {
  verdict_ = std::make_unique<VerdictCard>(card);
}

Cards::KeyUse Cards::TakeKey(uint8_t code) {
  if (!play_) return KeyUse::kPassed;
  if (help_.shown != Card::kNone) {
    if (code == kEscape) {
      help_.shown = Card::kNone;
    } else if (code == '\r' || code == ' ') {
      TurnPage(1);
    }
    return KeyUse::kTaken;
  }
  if (!resultsShown_) return KeyUse::kPassed;
  if (IsSaveKey(code) && canSave_) return kept_ ? KeyUse::kTaken : KeyUse::kSave;
  resultsShown_ = false;
  return KeyUse::kTaken;
}

void Cards::OpenHelp(Card which) {
  if (!play_) return;
  resultsShown_ = false;
  help_.shown = which;
  help_.page = 0;
}

// Forward from the last page closes the help; back from the first stays.
bool Cards::TurnPage(int delta) {
  if (help_.shown == Card::kNone) return false;
  help_.page = std::max(help_.page + delta, 0);
  if (help_.page >= static_cast<int>(HelpPages().size())) help_.shown = Card::kNone;
  return true;
}

void Cards::FieldLost() {
  if (play_ && GameRunning() && gameState.paused != 0) fieldLost_ = true;
}

Card Cards::Shown() const {
  if (verdict_) return Card::kVerdict;
  if (help_.shown != Card::kNone) return help_.shown;
  if (resultsShown_) return Card::kResults;
  if (play_ && GameRunning() && gameState.paused != 0) return Card::kPause;
  return Card::kNone;
}

bool Cards::TakeOverlayChange() {
  return std::exchange(overlayChanged_, false);
}

// The help is laid out anew only for another text or another field size.
const std::vector<CardPage>& Cards::HelpPages() {
  const Drawn key{help_.shown, 0, HeldSide(fieldGeometry.fieldWidth),
                  HeldSide(fieldGeometry.groundY)};
  if (key == help_.laidOutFor) return help_.pages;
  help_.laidOutFor = key;
  const bool about = help_.shown == Card::kAbout;
  help_.pages = painter_->Paginate(
      about ? std::vector<HelpSection>{AboutSection(language_)} : HelpSections(language_),
      key.width, key.height);
  return help_.pages;
}

std::vector<std::string> Cards::ResultsLines() const {
  std::vector<std::string> lines = ResultLines(language_, results_);
  if (!canSave_) return lines;
  if (!kept_) {
    lines.push_back(SaveOffer(language_));
    return lines;
  }
  for (std::string& line : SavedLines(language_, kept_->where, kept_->problem, kept_->download)) {
    lines.push_back(std::move(line));
  }
  return lines;
}

// Drawn anew only when what it shows changes: the cards' figures are fixed while they show. A
// game going on again (F3) closes the help over it, and the rules redraw its field.
void Cards::Update() {
  if (!painter_) return;
  if (!GameRunning() || gameState.paused == 0) fieldLost_ = false;
  if (GameRunning() && gameState.paused == 0) help_.shown = Card::kNone;
  const int fieldWidth = HeldSide(fieldGeometry.fieldWidth);
  const int fieldHeight = HeldSide(fieldGeometry.groundY);
  if (help_.shown != Card::kNone) {
    help_.page = std::min(help_.page, static_cast<int>(HelpPages().size()) - 1);
  }
  const int height = fieldGeometry.fieldHeight + fieldGeometry.statusHeight;
  const Drawn want{Shown(), help_.page, fieldWidth, height, fieldLost_, kept_ != nullptr};
  if (want == drawn_) return;
  drawn_ = want;
  overlayChanged_ = true;
  if (want.card == Card::kNone && !fieldLost_) {
    overlay_ = {};
    return;
  }
  CardPainter::Clear(overlay_, fieldWidth, height);
  if (fieldLost_) {
    DrawPausedField();
    CardPainter::CoverWith(overlay_, *pausedField_);
  }
  std::vector<std::string> lines;
  switch (want.card) {
    case Card::kHelp:
    case Card::kAbout:
      painter_->DrawCard(
          overlay_, fieldWidth, fieldHeight, help_.pages[help_.page],
          want.card == Card::kAbout
              ? ""
              : HelpFooter(language_, help_.page, static_cast<int>(help_.pages.size())),
          true);
      break;
    case Card::kResults:
      lines = ResultsLines();
      painter_->DrawCard(overlay_, fieldWidth, fieldHeight,
                         {lines.front(), {lines.begin() + 1, lines.end()}},
                         ResultsFooter(language_), false);
      break;
    case Card::kPause:
      lines = PauseLines(language_);
      painter_->DrawCard(overlay_, fieldWidth, fieldHeight, {lines[0], {lines[1]}}, "", false);
      break;
    case Card::kVerdict:
      painter_->DrawCard(overlay_, fieldWidth, fieldHeight, {verdict_->heading, verdict_->lines},
                         verdict_->footer, false);
      break;
    case Card::kNone:
      break;
  }
}

// The sprites are copied from a sheet made beside this picture, as start-up makes the
// window's; the rules' handles are theirs again afterwards.
void Cards::DrawPausedField() {
  const int width = fieldGeometry.fieldWidth;
  const int height = fieldGeometry.groundY;
  if (!pausedField_) {
    pausedField_ = std::make_unique<PixelCanvas>(0, 0, painter_->order(), painter_->glyphs());
  }
  pausedField_->Resize(0, 0);
  pausedField_->Resize(width, height);
  Canvas* const window = windowDC;
  Canvas* const sheet = sheetDC;
  windowDC = pausedField_.get();
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
