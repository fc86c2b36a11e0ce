// A long seeded run of ticks, keystrokes and menu commands, checking the records every step.
#include <random>

#include "app/commands.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "test_support.h"

namespace {

void ExpectConsistent(int64_t step) {
  int32_t live = 0, mirvs = 0;
  for (int32_t i = 0; i < kSlotCount; ++i) {
    const int32_t s = missileSlots[i].state;
    ASSERT_TRUE(s == Idle || s == Falling || s == Mirv || (s >= 10 && s <= 29)) << step;
    ASSERT_TRUE(interceptorSlots[i].active == 0 || s == Falling || s == Mirv) << step;
    live += s == Falling || s >= ExplodingFirst ? 1 : 0;
    mirvs += s == Mirv ? 1 : 0;
  }
  const GameState& g = gameState;
  ASSERT_EQ(g.liveMissiles, live) << step;
  ASSERT_EQ(g.liveMirvs, mirvs) << step;
  ASSERT_LE(3 * g.liveMirvs + g.liveMissiles, g.missileCapacity - 2) << step;
  ASSERT_TRUE(g.score >= 0 && g.score <= 99999) << step;
}

}  // namespace

TEST_F(GameTest, LongRunKeepsEveryCounterInStep) {
  gameState.modeMask = 31;
  ComputeCapacity();
  SelectLevel(5);
  // Start three times as often as the rest: pause, stop, levels, classes, options, others.
  const uint16_t commands[] = {40015, 40015, 40015, 40016, 40016, 40020, 40007, 40009,
                               40011, 40011, 40018, 40021, 40022, 40023, 40024, 40025,
                               40026, 40014, 40012, 40001, 40027, 0};
  std::mt19937 choose(20240229);
  int32_t games = 0;
  for (int64_t step = 0; step < 200000 && !HasFatalFailure(); ++step) {
    const uint32_t roll = choose() % 1000;  // 3% keystrokes, 0.5% commands
    if (roll < 30) OnChar(choose() % 301);
    if (roll >= 30 && roll < 35) {
      const uint16_t id = commands[choose() % std::size(commands)];
      games += id == 40015 ? 1 : 0;
      OnCommand(id);
    }
    if (step % 40000 == 20000) gameState.score = 99990;  // fast missiles, many Mirvs
    OnTick();
    ExpectConsistent(step);
  }
  EXPECT_GT(games, 100);
}
