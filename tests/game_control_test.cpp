// Tests of game control: keystrokes, misses, the flush, pausing, ending and the demonstration.
#include "core/game.h"
#include "core/geometry.h"
#include "core_fixtures.h"

using Sounds = std::vector<std::string>;

TEST_F(PlayingTest, SpaceActsOnAFirstThenFlushes) {
  PlaceMissile(0, 100, 100, 0, 1);
  PlaceMissile(5, 300, 100, 0, 1, Mirv);
  PlaceMissile(7, 400, 100, 0, 1, ExplodingFirst + 5);
  interceptorSlots[5] = InterceptorSlot{300, 300, 0, -6, 1};
  OnChar(' ');
  EXPECT_EQ(sound.played, Sounds{"flush.wav"});
  EXPECT_EQ(interceptorSlots[0].x, 160.0) << "launched at A before the flush";
  for (const InterceptorSlot& in : interceptorSlots) EXPECT_EQ(in.active, 0);
  EXPECT_EQ(missileSlots[0].state, ExplodingFirst);
  EXPECT_EQ(missileSlots[5].state, ExplodingFirst);
  EXPECT_EQ(missileSlots[7].state, ExplodingFirst + 5);
  EXPECT_EQ(gameState.liveMirvs, 0);
  EXPECT_EQ(gameState.liveMissiles, 3);
  EXPECT_EQ(gameState.flushesLeft, 2);
  EXPECT_TRUE(Drew("copy 292 292 16 16 32 0 black"));
  EXPECT_TRUE(Drew("text 640 480 10 ' Flush:2  Miss:00  ' fg=255,255,255 bg=0,0,255"));

  sound.played.clear();  // "A" is exploding now: a miss, then the flush
  OnChar(' ');
  EXPECT_EQ(sound.played, (Sounds{"miss.wav", "flush.wav"}));
  gameState.flushesLeft = 0;
  sound.played.clear();
  PlaceMissile(9, 300, 100, 0, 1);
  OnChar(' ');
  EXPECT_EQ(sound.played, Sounds{"miss.wav"});
  EXPECT_EQ(missileSlots[9].state, Falling);
  EXPECT_EQ(gameState.misses, 2);
}

TEST_F(PlayingTest, TenthMissEndsTheGameAtOnceAndStartBeginsAfresh) {
  gameState.score = 70;
  gameState.misses = 8;
  gameState.flushesLeft = 1;
  PlaceMissile(2, 300, 100, 0, 1);
  OnChar('b');  // the lower-case class is off: "b" never falls
  EXPECT_EQ(gameState.gameOver, 0);
  OnChar('b');
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(canvas.calls.back(), "text 320 224 14 'GAME OVER' fg=255,0,0 bg=0,0,0");
  EXPECT_EQ(missileSlots[2].state, Idle);
  EXPECT_EQ(sound.played, (Sounds{"miss.wav", "miss.wav"}));
  EXPECT_EQ(gameState.highScoreTable[0].best, 70);
  gameState.score = 900;  // the demonstration's own score never enters the table
  OnChar('b');
  EXPECT_EQ(gameState.misses, 11);
  EXPECT_EQ(gameState.highScoreTable[0].best, 70);
  PlaceMissile(2, 300, 100, 0, 1);
  interceptorSlots[2].active = 1;
  StartGame();
  EXPECT_EQ(gameState.score + gameState.misses + gameState.liveMissiles, 0);
  EXPECT_EQ(gameState.flushesLeft, 3);
  EXPECT_EQ(missileSlots[2].state + interceptorSlots[2].active, 0);
}

TEST_F(PlayingTest, KeystrokesThatDoNothing) {
  PlaceMissile(2, 300, 100, 0, 1);
  interceptorSlots[2] = InterceptorSlot{300, 300, 0, -6, 1};
  OnChar('C');  // its interceptor is in flight
  EXPECT_EQ(interceptorSlots[2].y, 300.0);
  TogglePause();
  const uint32_t before = randomSeed;
  OnChar('Q');
  OnTick();
  EXPECT_EQ(randomSeed, before);
  TogglePause();
  PlaceMissile(0, 300, 100, 0, 1);
  OnChar(0x142);  // above the table: slot 0, not the slot of its low byte "B"
  OnChar(0xFFFFFFFFu);
  EXPECT_EQ(interceptorSlots[0].active, 1);
  EXPECT_EQ(gameState.misses, 0);
  EXPECT_TRUE(sound.played.empty());
}

// Only the demonstration shoots by itself: at each new missile at once, silently, and never
// again at a missile already shot at.
TEST_F(GameTest, OnlyTheDemonstrationShootsAndOnceAtEachMissile) {
  SeedRandom(SeedSpawningAt({4}, 4));
  OnTick();
  EXPECT_EQ(interceptorSlots[4].active, 1);
  const double launchedAt = interceptorSlots[4].y;
  OnTick();
  EXPECT_LT(interceptorSlots[4].y, launchedAt - 5) << "launched again";
  for (int i = 0; i < 3000; ++i) OnTick();
  EXPECT_GT(gameState.score, 0);
  EXPECT_TRUE(sound.played.empty());
  StartGame();
  NoSpawns();
  PlaceMissile(3, 100, 100, 0, 1);
  OnTick();
  EXPECT_EQ(interceptorSlots[3].active, 0);
}

TEST_F(GameTest, NarrowFieldsNeverDivideByZero) {
  OnSize(100, 480);
  PassSpawns(0, 4, [](const int32_t* d) { return d[1] % 30 / 10 == 1; });  // dx 0
  EXPECT_EQ(missileSlots[0].x, 50.0);
  gameState.modeMask = 31;
  ComputeCapacity();
  gameState.level = 5;
  for (int32_t width : {100, 40, 1, 0}) {
    OnSize(width, width * 3);
    for (int i = 0; i < 2000; ++i) OnTick();
    StartGame();
    for (int i = 0; i < 500; ++i) OnTick();
  }
}
