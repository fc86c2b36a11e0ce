// Which card shows, and drawing it into the overlay when that changes.
#include "app/cards.h"

#include <algorithm>
#include <utility>

#include "core/alphabet.h"
#include "core/game.h"
#include "core/records.h"
#include "render/draw.h"
#include "render/handles.h"
#include "render/sprite_sheet.h"

namespace {

constexpr uint8_t kEscape = 0x1B;

// A card is laid out over the part of the field a picture holds, so it shows whatever the
// window's size.
int HeldSide(int side) {
  return std::min(side, PixelCanvas::kMaxSide);
}

}  // namespace

Cards::Cards(GlyphSource* glyphs, PixelOrder order, Language language, bool play)
    : language_(language), play_(play && glyphs != nullptr), hint_(play_) {
  if (glyphs != nullptr) painter_ = std::make_unique<CardPainter>(*glyphs, order);
}

void Cards::GameStarted() {
  results_ = {};
  hint_ = false;
  help_.shown = Card::kNone;
}

void Cards::GameEnded(const GameResults& results, bool canSave) {
  results_ = {.shown = play_,
              .figures = results,
              .canSave = canSave,
              .quietTicksLeft = kQuietTicks,
              .kept = nullptr};
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
  if (!results_.shown) return KeyUse::kPassed;
  if (code == kSaveKey) {
    return results_.canSave && !results_.kept ? KeyUse::kSave : KeyUse::kTaken;
  }
  if (results_.quietTicksLeft == 0) results_.shown = false;
  return KeyUse::kTaken;
}

void Cards::OpenHelp(Card which, ProgressView progress) {
  if (!play_) return;
  results_.shown = false;
  help_.shown = which;
  help_.page = 0;
  help_.progress = std::move(progress);
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
  if (results_.shown) return Card::kResults;
  if (play_ && GameRunning() && gameState.paused != 0) return Card::kPause;
  return Card::kNone;
}

// The help is laid out anew only for another text or another field size. Its footer is never
// wider than the one of a hundred pages.
const std::vector<CardPage>& Cards::HelpPages() {
  const Drawn key{
      help_.shown, 0, HeldSide(fieldGeometry.fieldWidth), HeldSide(fieldGeometry.groundY), false,
      false,       {}};
  if (key == help_.laidOutFor) return help_.pages;
  help_.laidOutFor = key;
  if (help_.shown == Card::kProgress) {
    help_.pages = {CardPage{}};
    return help_.pages;
  }
  const bool about = help_.shown == Card::kAbout;
  help_.pages = painter_->Paginate(HelpSections(language_, about), key.width, key.height,
                                   HelpFooter(language_, about ? 0 : 98, about ? 1 : 99));
  return help_.pages;
}

std::vector<std::string> Cards::Banner() const {
  if (Shown() != Card::kNone) return {};
  if (hint_) return {HintLine(language_)};
  return banner_;
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
  Drawn want{Shown(), help_.page, fieldWidth, height, fieldLost_, results_.kept != nullptr,
             Banner()};
  if (want == drawn_) return;
  drawn_ = std::move(want);
  overlayChanged_ = true;
  if (drawn_.card == Card::kNone && !fieldLost_ && drawn_.banner.empty()) {
    overlay_ = {};
    return;
  }
  CardPainter::Clear(overlay_, fieldWidth, height);
  if (fieldLost_) {
    DrawPausedField();
    CardPainter::CoverWith(overlay_, *pausedField_);
  }
  if (!drawn_.banner.empty())
    painter_->DrawBanner(overlay_, fieldWidth, fieldHeight, drawn_.banner);
  DrawShownCard(drawn_.card, fieldWidth, fieldHeight);
}

void Cards::DrawShownCard(Card card, int fieldWidth, int fieldHeight) {
  if (card == Card::kProgress) {
    painter_->DrawProgress(overlay_, fieldWidth, fieldHeight, help_.progress, language_);
  } else if (card == Card::kHelp || card == Card::kAbout) {
    painter_->DrawCard(overlay_, fieldWidth, fieldHeight, help_.pages[help_.page],
                       HelpFooter(language_, help_.page, static_cast<int>(help_.pages.size())),
                       true);
  } else if (card == Card::kVerdict) {
    painter_->DrawCard(overlay_, fieldWidth, fieldHeight, {verdict_->heading, verdict_->lines},
                       verdict_->footer, false);
  } else if (card != Card::kNone) {
    // The results or the pause card: a heading over its lines.
    const bool results = card == Card::kResults;
    const std::vector<std::string> lines =
        results ? ResultLines(language_, results_.figures, results_.canSave, results_.kept.get())
                : PauseLines(language_);
    painter_->DrawCard(overlay_, fieldWidth, fieldHeight,
                       {lines.front(), {lines.begin() + 1, lines.end()}},
                       results ? ResultsFooter(language_) : "", false);
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
  // The launchers stand on the ground line, which the band's drawing draws them with; the band
  // itself falls below this picture.
  DrawStatusBar(gameState, fieldGeometry);
  windowDC = window;
  sheetDC = sheet;
}
