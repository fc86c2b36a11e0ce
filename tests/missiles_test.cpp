// Tests of the missile pass: generator use, spawn limits, speed, edges, ground and explosions.
#include "core/game.h"
#include "core_fixtures.h"

TEST_F(GameTest, GeneratorDrawsOncePerIdleSlotAndThreeOrFourMorePerSpawn) {
  SeedRandom(1);
  for (int32_t expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(NextRandom(), expected);
  NoSpawns();  // slot 133 and the disabled classes draw all the same
  PlaceMissile(40, 300, 100, 0, 0);
  SeedRandom(1);
  UpdateMissiles();
  EXPECT_EQ(randomSeed, Lookahead{1}.After(133));
  gameState.modeMask = 1;
  ComputeCapacity();
  for (int32_t mirv : {0, 1}) {
    ClearField();
    gameState.mirvOn = mirv;
    const uint32_t seed = SeedSpawningAt({7}, 3 + mirv);
    SeedRandom(seed);
    UpdateMissiles();
    EXPECT_NE(missileSlots[7].state, Idle);
    EXPECT_EQ(randomSeed, Lookahead{seed}.After(137 + mirv)) << "mirvOn " << mirv;
  }
}

TEST_F(GameTest, SpawnLimitsOfLevelAndCapacity) {
  PlaceMissile(30, 300, 100, 0, 0);  // slots of a disabled class: they only count
  PlaceMissile(31, 300, 100, 0, 0, ExplodingFirst);
  PlaceMissile(32, 300, 100, 0, 0, Mirv);
  EXPECT_FALSE(PassSpawns(5, 0)) << "three live at level 1";
  PlaceMissile(30, 0, 0, 0, 0, Idle);
  EXPECT_TRUE(PassSpawns(5)) << "an explosion and a Mirv are two";
  ClearField();
  for (int32_t i = 26; i < 44; ++i) PlaceMissile(i, 300, 100, 0, 0);
  gameState.level = 4;
  EXPECT_FALSE(PassSpawns(5, 0)) << "18 live at level 4";
  for (int32_t i = 44; i < 53; ++i) PlaceMissile(i, 300, 100, 0, 0);
  gameState.missileCapacity = 133;
  gameState.level = 5;
  EXPECT_TRUE(PassSpawns(6)) << "27 live at level 5";

  ClearField();
  gameState.modeMask = 4;  // digits: capacity 10
  ComputeCapacity();
  PlaceMissile(0, 300, 100, 0, 0, Mirv);
  PlaceMissile(1, 300, 100, 0, 0);
  PlaceMissile(2, 300, 100, 0, 0);
  EXPECT_TRUE(PassSpawns(55)) << "3 * 1 + 2 = 5";
  PlaceMissile(55, 0, 0, 0, 0, Idle);
  PlaceMissile(1, 300, 100, 0, 0, Mirv);
  PlaceMissile(2, 0, 0, 0, 0, Idle);
  EXPECT_FALSE(PassSpawns(55, 0)) << "3 * 2 = 6";
}

TEST_F(GameTest, SpeedAndMirvChanceFollowTheScore) {
  // score, least remainder of the dy draw by score + 1 (at most 999 more), dy
  const int32_t speeds[][3] = {{999, 999, 1}, {3999, 3999, 4}, {4000, 4000, 5}, {99999, 5000, 5}};
  for (auto c : speeds) {
    ClearField();
    gameState.score = c[0];
    double x = 0;  // where the spawn taken starts and moves to on its spawn tick
    PassSpawns(9, 4, [&](const int32_t* d) {
      const int32_t r = d[2] % (c[0] + 1);
      x = d[0] % 540 + 50 + d[1] % 30 / 10 - 1;
      return r >= c[1] && r < c[1] + 1000;
    });
    EXPECT_EQ(missileSlots[9].dy, c[2]) << c[0];
    EXPECT_EQ(missileSlots[9].x, x);
    EXPECT_EQ(missileSlots[9].y, c[2]);
  }
  // A Mirv draw divisible by 3 but odd makes a Mirv at 1999 only; even but not by 3, at 2000.
  for (int32_t score : {1999, 2000}) {
    for (int32_t by : {3, 2}) {
      ClearField();
      gameState.score = score;
      PassSpawns(9, 4, [&](const int32_t* d) { return d[3] % by == 0 && d[3] % (5 - by) != 0; });
      EXPECT_EQ(missileSlots[9].state, (score == 1999) == (by == 3) ? Mirv : Falling) << score;
    }
  }
}

TEST_F(GameTest, SideEdgesCarryMissilesAndExplosionsAcross) {
  NoSpawns();
  const double cases[][3] = {{640, 1, 0}, {0, -1, 640}, {639, 1, 640}, {1, -1, 0}};
  for (int32_t state : {1, 2, 10}) {
    for (const auto& c : cases) {
      PlaceMissile(3, c[0], 100, c[1], 1, state);
      UpdateMissiles();
      EXPECT_EQ(missileSlots[3].x, c[2]) << c[0] << " state " << state;
    }
  }
}

TEST_F(GameTest, GroundEndsAGameWithTheImpactDome) {
  for (int32_t state : {1, 2}) {
    StartGame();
    NoSpawns();
    sound.played.clear();
    gameState.score = 50 + state;
    PlaceMissile(4, 300, 0, 0, 1, state);
    for (int i = 0; i < 431; ++i) UpdateMissiles();
    EXPECT_EQ(gameState.gameOver, 0) << "drawn at groundY - 17";
    UpdateMissiles();
    EXPECT_EQ(gameState.gameOver, 1) << "the 432nd move reaches groundY - 16";
    EXPECT_EQ(sound.played, std::vector<std::string>{"gameover.wav"});
    EXPECT_EQ(gameState.highScoreTable[0].best, 50 + state);
    EXPECT_TRUE(Drew("arc 300 448 447 255,255,255"));
    canvas.calls.clear();
  }
}

TEST_F(GameTest, ImpactMidPassLetsOnlyHigherSlotsSpawnAgain) {
  StartGame();
  PlaceMissile(10, 300, 431, 0, 1);
  SeedRandom(SeedSpawningAt({3, 12}, 4));
  UpdateMissiles();
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(missileSlots[3].state, Idle);  // spawned, then cleared by the impact
  EXPECT_NE(missileSlots[12].state, Idle);
  EXPECT_EQ(gameState.liveMissiles + gameState.liveMirvs, 1);
}

TEST_F(PlayingTest, ExplosionsLastTwentyPassesOrSinkSilently) {
  PlaceMissile(6, 200, 100, 1, 1, ExplodingFirst);
  PlaceMissile(4, 300, 431, 0, 1, ExplodingFirst);
  UpdateMissiles();
  EXPECT_EQ(missileSlots[4].state, Idle);
  EXPECT_EQ(gameState.liveMissiles, 1);
  EXPECT_EQ(gameState.gameOver, 0);
  EXPECT_TRUE(sound.played.empty());
  for (int i = 1; i < 19; ++i) UpdateMissiles();
  EXPECT_EQ(missileSlots[6].state, ExplodingFirst + 19);
  UpdateMissiles();
  EXPECT_EQ(missileSlots[6].state, Idle);
  EXPECT_EQ(gameState.liveMissiles, 0);
}
