// The drawing operations: sprite copies, erasing, status bar, game-over text, impact dome.
#include "render/draw.h"

#include <algorithm>
#include <cstdio>

#include "render/canvas.h"
#include "render/sprite_sheet.h"

namespace {

constexpr int kInterceptorSize = 16;
constexpr int kInterceptorSheetX = 32;

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
  windowDC->DrawOpaqueText(x, y, align | kAlignBottom, platformHandles.statusText, length, kWhite,
                           kBlue);
}

int FormatStatus(const char* format, int a, int b) {
  const int n = std::snprintf(platformHandles.statusText, kStatusTextSize, format, a, b);
  return n < 0 ? 0 : std::min(n, kStatusTextSize - 1);
}

void DrawLauncherBase(int32_t lx, int32_t groundY) {
  windowDC->FillRectangle(lx - 4, groundY - 8, lx + 4, groundY, kGreen);
}

void DrawPresentedArc(int cx, int cy, int r, Colour pen) {
  windowDC->DrawUpperHalfCircle(cx, cy, r, pen);
  windowDC->Present();
}

}  // namespace

// A Mirv is the same yellow glyph with its green taken away: red on black.
void DrawMissileSprite(double x, double y, int32_t slot, int32_t state) {
  if (windowDC == nullptr) return;
  const RasterOp op = state == Falling ? RasterOp::kSourceCopy : RasterOp::kSourceAndNotPattern;
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

void DrawStatusBar(const GameState& g, const FieldGeometry& f) {
  if (windowDC == nullptr) return;
  const int32_t bottom = f.statusTop + f.statusHeight;
  windowDC->FillRectangle(f.fieldLeft, f.statusTop, f.fieldRight, bottom, kBlue);
  const int32_t best = g.highScoreTable[g.level - 1].best;
  WriteStatusText(f.fieldLeft, bottom, kAlignLeft,
                  FormatStatus("  Score:%05d/%05d ", g.score, best));
  WriteStatusText(f.fieldLeft + f.fieldWidth / 2, bottom, kAlignCenter,
                  FormatStatus(" Lv:%d ", g.level, 0));
  WriteStatusText(f.fieldLeft + f.fieldWidth, bottom, kAlignRight,
                  FormatStatus(" Flush:%d  Miss:%02d  ", g.flushesLeft, g.misses));
  DrawLauncherBase(f.centreLauncherX, f.groundY);
  DrawLauncherBase(f.leftLauncherX, f.groundY);
  DrawLauncherBase(f.rightLauncherX, f.groundY);
}

void BlankField(const GameState& g, const FieldGeometry& f) {
  if (windowDC == nullptr) return;
  windowDC->FillRectangle(f.fieldLeft, f.fieldTop, f.fieldRight, f.groundY, kBlack);
  DrawStatusBar(g, f);
}

void DrawGameOverText(const FieldGeometry& f) {
  if (windowDC == nullptr) return;
  windowDC->DrawOpaqueText(f.fieldLeft + f.fieldWidth / 2, f.fieldTop + f.fieldHeight / 2,
                           kAlignCenter | kAlignBottom, "GAME OVER", 9, kRed, kBlack);
}

// The dome grows to almost the top of the field, then is wiped from the outside in. Each arc
// is presented on its own so that a front end showing frames can show the dome move.
void DrawImpactEffect(double x, const FieldGeometry& f) {
  if (windowDC == nullptr) return;
  const int cx = Trunc(x);
  const int32_t g = f.groundY;
  const int32_t h = f.fieldHeight;
  for (int32_t r = 0; r < h; ++r) DrawPresentedArc(cx, g, r, kWhite);
  for (int32_t r = h; r >= 0; --r) DrawPresentedArc(cx, g, r, kBlack);
}

// Every text call names its own colours and alignment and the pattern of the Mirv copy is
// passed with it, so the font is the window picture's only lasting state.
void PrepareWindowDC() {
  if (windowDC == nullptr) return;
  windowDC->SelectFont(FontId::kTextFont);
}
