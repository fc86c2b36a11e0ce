// Tests of the drawing operations: sprite copies, the status bar, the dome, the glyph cells.
#include "render/draw.h"

#include <climits>
#include <string>
#include <vector>

#include "app/startup.h"
#include "core/game.h"
#include "core/geometry.h"
#include "test_support.h"

namespace {

using Calls = std::vector<std::string>;
const std::string kOnBlue = "' fg=255,255,255 bg=0,0,255";

using DrawTest = GameTest;

// Positions truncate toward zero, for negative ones too.
TEST_F(DrawTest, SpritesTruncateTowardZero) {
  DrawMissileSprite(99.9, 50.7, 36, Falling);
  DrawMissileSprite(-0.5, -0.5, 36, Falling);
  DrawInterceptor(99.9, 50.7);
  EraseInterceptor(-0.5, 8.2);
  DrawExplosionFrame(99.9, 50.7, 19);
  EraseCell(99.9, 50.7);
  EXPECT_EQ(canvas.calls, (Calls{"copy 83 34 32 32 128 128 src", "copy -16 -16 32 32 128 128 src",
                                 "copy 91 42 16 16 32 0 src", "copy -8 0 16 16 32 0 black",
                                 "copy 83 34 32 32 160 32 src", "copy 83 34 32 32 0 0 black"}));
}

// The status bar at each new size is in the golden transcripts' pictures.
TEST_F(DrawTest, StatusNumbersPrintUnchangedEvenAtTheirWidest) {
  gameState.highScoreTable[0].best = -1;
  gameState.score = gameState.flushesLeft = gameState.misses = INT_MIN;
  DrawStatusBar(gameState, fieldGeometry);
  EXPECT_EQ(canvas.calls[1], "text 0 480 8 '  Score:-2147483648/-0001 " + kOnBlue);
  EXPECT_EQ(canvas.calls[3], "text 640 480 10 ' Flush:-2147483648  Miss:-2147483648  " + kOnBlue);
}

// Every arc is presented, so that a window showing frames shows the dome move.
TEST_F(DrawTest, ImpactDomeGrowsWhiteThenShrinksBlack) {
  Calls expected;
  for (int i = 0; i < 2 * 448 + 1; ++i) {
    const bool growing = i < 448;
    expected.push_back("arc 99 448 " + std::to_string(growing ? i : 2 * 448 - i) +
                       (growing ? " 255,255,255" : " 0,0,0"));
    expected.push_back("present");
  }
  DrawImpactEffect(99.9, fieldGeometry);
  EXPECT_EQ(canvas.calls, expected);
  canvas.calls.clear();
  fieldGeometry.fieldHeight = 0;
  DrawImpactEffect(-0.5, fieldGeometry);
  fieldGeometry.fieldHeight = -3;
  DrawImpactEffect(10, fieldGeometry);
  EXPECT_EQ(canvas.calls, (Calls{"arc 0 448 0 0,0,0", "present"}));
}

// The sheet gets every glyph once: slots 0 to 91 in the text font, then the 41 katakana from
// their two-byte codes in the kana font. Where their ink lands is checked in the pictures.
TEST_F(DrawTest, StartUpWritesEachGlyphIntoItsCell) {
  RunStartUp({.seed = 1, .windowCanvas = &canvas, .sound = nullptr});
  const Calls& glyphs = canvas.sheet->calls;
  ASSERT_EQ(glyphs.size(), 135u);
  EXPECT_EQ(glyphs[92], "text 368 255 14 '_' fg=255,255,0 bg=0,0,0");
  EXPECT_EQ(glyphs[93], "font kana");
  EXPECT_EQ(glyphs[94], "text 400 255 14 '\x83\x41' fg=255,255,0 bg=0,0,0");
  EXPECT_EQ(glyphs[134], "text 144 351 14 '\x83\x93' fg=255,255,0 bg=0,0,0");
}

}  // namespace
