// Tests of the interceptors: launch course, flight, hit test boundaries, scoring and splits.
#include "core/interceptors.h"

#include <cmath>

#include "core/game.h"
#include "core_fixtures.h"

namespace {

const InterceptorSlot& Fly(int32_t slot, double x, double y, double dx, double dy) {
  interceptorSlots[slot] = InterceptorSlot{x, y, dx, dy, 1};
  UpdateInterceptors();
  return interceptorSlots[slot];
}

const InterceptorSlot& Launch(int32_t slot, double x, double y, double dx, double dy) {
  PlaceMissile(slot, x, y, dx, dy);
  interceptorSlots[slot] = InterceptorSlot{};
  LaunchInterceptor(slot);
  return interceptorSlots[slot];
}

}  // namespace

TEST_F(GameTest, HitTestIsStrictHasNoUpperLimitAndComesBeforeTheEdges) {
  // missile x, y; interceptor x, y, dx before a move of (dx, -3); whether it hits
  const double cases[][6] = {{320, 200, 304, 193, 0, 0},     {320, 200, 336, 193, 0, 0},
                             {320, 200, 320, 219, 0, 0},     {320, 200, 304.5, 218.9, 0, 1},
                             {320, 200, 335.5, 218.9, 0, 1}, {320, 200, 310, 103, 0, 1},
                             {5, 200, 1, 150, -4, 1},        {320, 5, 320, 2, 0, 1}};
  for (const auto& c : cases) {
    PlaceMissile(2, c[0], c[1], 0, 0);
    Fly(2, c[2], c[3], c[4], -3);
    EXPECT_EQ(missileSlots[2].state, c[5] != 0 ? ExplodingFirst : Falling) << c[2] << "," << c[3];
  }
}

TEST_F(GameTest, FlightWrapsAtSidesAndEndsAboveTheTopOrBelowTheGround) {
  PlaceMissile(2, 320, 100, 0, 0);  // out of reach of every flight below
  const double cases[][6] = {       // x, y, dx, dy; then active and x after the step
                             {2, 200, -2, 0, 1, 0},    {638, 200, 2, 0, 1, 640},
                             {639, 200, 2, 0, 1, 0},   {1, 200, -2, 0, 1, 640},
                             {100, 2, 0, -2, 1, 100},  {100, 1, 0, -2, 0, 100},
                             {100, 446, 0, 2, 1, 100}, {100, 447, 0, 2, 0, 100}};
  for (const auto& c : cases) {
    const InterceptorSlot& in = Fly(2, c[0], c[1], c[2], c[3]);
    EXPECT_EQ(in.active, c[4]) << c[0] << "," << c[1];
    EXPECT_EQ(in.x, c[5]) << c[0] << "," << c[1];
  }
}

TEST_F(GameTest, LaunchPicksTheNearestLauncherAndACollisionCourse) {
  const std::pair<double, int> launchers[] = {{239.9, 160}, {240, 320}, {400, 320}, {400.1, 480}};
  for (auto [x, launcher] : launchers) {
    EXPECT_EQ(Launch(5, x, 100, 0, 1).x, launcher) << x;
    EXPECT_EQ(interceptorSlots[5].y, 432.0);
  }
  const InterceptorSlot& in = Launch(5, 320, 132, 1, 2);
  EXPECT_EQ(in.active, 1);
  EXPECT_EQ(in.dx, 1.0);
  EXPECT_NEAR(in.dy, -std::sqrt(35.0), 1e-12);
  Launch(5, 160, 100, 0, 1);  // straight down above a launcher
  EXPECT_EQ(in.dx, 0.0);
  EXPECT_EQ(in.dy, -6.0);
  Launch(5, 480, 432, 0, 1);  // on the launch point itself
  EXPECT_EQ(in.active, 0);
  EXPECT_EQ(in.x, 480.0);
  EXPECT_EQ(in.y, 432.0);
}

TEST_F(GameTest, SplitLeavesThreePiecesAtTheParentAndScoresOrNoneWithoutRoom) {
  StartGame();
  sound.played.clear();
  uint32_t seed = 1;
  while (Lookahead{seed}.Next() % kSlotCount != 3) ++seed;  // the first piece goes to slot 3 itself
  SeedRandom(seed);
  PlaceMissile(3, 200, 40, 1, 2, Mirv);
  Fly(3, 200, 50, 0, -2);
  EXPECT_EQ(sound.played, std::vector<std::string>{"bingo.wav"});
  EXPECT_EQ(gameState.liveMirvs, 0);
  EXPECT_EQ(gameState.liveMissiles, 3);
  EXPECT_EQ(gameState.score, 20 + 408 / 64 + 1);
  EXPECT_EQ(missileSlots[3].dx, 0.0);
  EXPECT_EQ(interceptorSlots[3].active, 0);
  double dxSum = 0;
  for (int32_t i = 0; i < kSlotCount; ++i) {
    const MissileSlot& m = missileSlots[i];
    if (m.state == Idle) continue;
    EXPECT_TRUE(m.state == Falling && i < 26) << i;
    EXPECT_TRUE(m.x == 200 && m.y == 40 && m.dy == 2) << i;
    dxSum += m.dx;
  }
  EXPECT_EQ(dxSum, 3.0);

  // Only a settings file read mid-run can take every class away under a Mirv; the split then
  // places no piece rather than search for ever.
  ClearField();
  PlaceMissile(3, 200, 40, 1, 2, Mirv);
  gameState.modeMask = 0;
  Fly(3, 200, 50, 0, -2);
  EXPECT_EQ(gameState.liveMirvs + gameState.liveMissiles, 0);
  for (const MissileSlot& m : missileSlots) EXPECT_EQ(m.state, Idle);
}

TEST_F(GameTest, HitsScoreUpToTheCeilingAndShowTheScore) {
  for (int32_t state : {1, 2}) {
    ClearField();
    gameState.score = state == Falling ? 99995 : 99990;
    PlaceMissile(1, 300, 0, 0, 1, state);
    Fly(1, 300, 10, 0, -1);
    EXPECT_EQ(gameState.score, 99999);
    EXPECT_TRUE(Drew("text 0 480 8 '  Score:99999/00000 ' fg=255,255,255 bg=0,0,255"));
    canvas.calls.clear();
    EXPECT_EQ(gameState.liveMissiles, state == Falling ? 1 : 3) << state;
  }
}
