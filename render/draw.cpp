// The drawing operations: sprite copies, erasing, status bar, game-over text, impact dome.
#include "render/draw.h"

#include <algorithm>
#include <cstdio>

#include "core/records.h"
#include "render/canvas.h"
#include "render/sprite_sheet.h"

Canvas* windowDC = nullptr;

namespace {

constexpr int kInterceptorSize = 16;
constexpr int kInterceptorSheetX = 32;

// Holds the longest status text and its zero: the flush text with both numbers at their widest
// 32-bit form is 38 characters, longer than the score text's 32.
char statusText[39];

// Positions truncate toward zero, not down: x = -0.5 gives 0.
int Trunc(double v) {
  return static_cast<int>(v);
}

void CopyCell(double x, double y, int cell, RasterOp op) {
  windowDC->CopyFromSheet(Trunc(x) - kCellSize / 2, Trunc(y) - kCellSize / 2, kCellSize, kCellSize,
                          (cell % 16) * kCellSize, (cell / 16) * kCellSize, op, kGreen);
}

void CopyInterceptorSquare(double x, double y, RasterOp op) {
  windowDC->CopyFromSheet(Trunc(x) - kInterceptorSize / 2, Trunc(y) - kInterceptorSize / 2,
                          kInterceptorSize, kInterceptorSize, kInterceptorSheetX, 0, op, kGreen);
}

// Status texts are white on blue, their box's bottom edge on the band's bottom edge.
void WriteStatusText(int x, int y, int align, int length) {
  windowDC->DrawOpaqueText(x, y, align | kAlignBottom, statusText, length, kWhite, kBlue);
}

int FormatStatus(const char* format, int a, int b) {
  const int n = std::snprintf(statusText, sizeof statusText, format, a, b);
  return n < 0 ? 0 : std::min(n, static_cast<int>(sizeof statusText) - 1);
}

void DrawLauncherBase(int32_t lx) {
  const int32_t g = fieldGeometry.groundY;
  windowDC->FillRectangle(lx - 4, g - 8, lx + 4, g, kGreen);
}

void DrawPresentedArc(int cx, int cy, int r, Colour pen) {
  windowDC->DrawUpperHalfCircle(cx, cy, r, pen);
  windowDC->Present();
}

}  // namespace

// A Mirv is the same yellow glyph with its green taken away: red on black.
void DrawMissileSprite(double x, double y, int32_t slot) {
  if (windowDC == nullptr) return;
  const RasterOp op =
      missileSlots[slot].state == Falling ? RasterOp::kSourceCopy : RasterOp::kSourceAndNotPattern;
  CopyCell(x, y, slot + kGlyphCellOffset, op);
}

void EraseCell(double x, double y) {
  if (windowDC == nullptr) return;
  CopyCell(x, y, 0, RasterOp::kBlackness);
}

void DrawExplosionFrame(double x, double y, int32_t frame) {
  if (windowDC == nullptr) return;
  CopyCell(x, y, frame + kExplosionCellOffset, RasterOp::kSourceCopy);
}

void DrawInterceptor(double x, double y) {
  if (windowDC == nullptr) return;
  CopyInterceptorSquare(x, y, RasterOp::kSourceCopy);
}

void EraseInterceptor(double x, double y) {
  if (windowDC == nullptr) return;
  CopyInterceptorSquare(x, y, RasterOp::kBlackness);
}

void DrawStatusBar() {
  if (windowDC == nullptr) return;
  const FieldGeometry& f = fieldGeometry;
  const GameState& g = gameState;
  const int32_t bottom = f.statusTop + f.statusHeight;
  windowDC->FillRectangle(f.fieldLeft, f.statusTop, f.fieldRight, bottom, kBlue);
  const int32_t best = g.highScoreTable[g.level - 1].best;
  WriteStatusText(f.fieldLeft, bottom, kAlignLeft,
                  FormatStatus("  Score:%05d/%05d ", g.score, best));
  WriteStatusText(f.fieldLeft + f.fieldWidth / 2, bottom, kAlignCenter,
                  FormatStatus(" Lv:%d ", g.level, 0));
  WriteStatusText(f.fieldLeft + f.fieldWidth, bottom, kAlignRight,
                  FormatStatus(" Flush:%d  Miss:%02d  ", g.flushesLeft, g.misses));
  DrawLauncherBase(f.centreLauncherX);
  DrawLauncherBase(f.leftLauncherX);
  DrawLauncherBase(f.rightLauncherX);
}

void BlankField() {
  if (windowDC == nullptr) return;
  const FieldGeometry& f = fieldGeometry;
  windowDC->FillRectangle(f.fieldLeft, f.fieldTop, f.fieldRight, f.groundY, kBlack);
  DrawStatusBar();
}

void DrawGameOverText() {
  if (windowDC == nullptr) return;
  const FieldGeometry& f = fieldGeometry;
  windowDC->DrawOpaqueText(f.fieldLeft + f.fieldWidth / 2, f.fieldTop + f.fieldHeight / 2,
                           kAlignCenter | kAlignBottom, "GAME OVER", 9, kRed, kBlack);
}

// The dome grows to almost the top of the field, then is wiped from the outside in. Each arc
// is presented on its own so that a front end showing frames can show the dome move.
void DrawImpactEffect(double x) {
  if (windowDC == nullptr) return;
  const int cx = Trunc(x);
  const int32_t g = fieldGeometry.groundY;
  const int32_t h = fieldGeometry.fieldHeight;
  for (int32_t r = 0; r < h; ++r) DrawPresentedArc(cx, g, r, kWhite);
  for (int32_t r = h; r >= 0; --r) DrawPresentedArc(cx, g, r, kBlack);
}

int32_t ImpactEffectPresentCount() {
  const int32_t h = fieldGeometry.fieldHeight;
  return h < 0 ? 0 : 2 * h + 1;
}

// Every text call names its own colours and alignment and the pattern of the Mirv copy is
// passed with it, so the font is the window picture's only lasting state.
void PrepareWindowDC() {
  if (windowDC == nullptr) return;
  windowDC->SelectFont(FontId::kTextFont);
}
