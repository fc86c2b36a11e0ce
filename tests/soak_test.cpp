// A long seeded run of ticks, keystrokes, menu commands and sizes: the records stay in step
// every step, and the field never keeps ink where no missile or interceptor is.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/startup.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "render/pixel_canvas.h"
#include "test_support.h"
#include "tools/bench/full_load.h"

namespace {

// The first pixel of the field holding ink outside every missile, interceptor, launcher base
// and a GAME OVER still standing, as "x,y"; empty when there is none.
std::string StrayInk(const PixelCanvas& picture) {
  const FieldGeometry& f = fieldGeometry;
  const int width = f.fieldWidth;
  std::vector<uint8_t> covered(static_cast<size_t>(width) * std::max(f.groundY, 0), 0);
  // Marks the `w` by `h` box centred at (x, y) as the drawing places it, cut to the field.
  const auto cover = [&](double x, double y, int w, int h) {
    const int left = static_cast<int>(x) - w / 2, top = static_cast<int>(y) - h / 2;
    for (int row = std::max(top, 0); row < std::min(top + h, f.groundY); ++row) {
      for (int column = std::max(left, 0); column < std::min(left + w, width); ++column) {
        covered[row * width + column] = 1;
      }
    }
  };
  for (int32_t i = 0; i < kSlotCount; ++i) {
    const MissileSlot& m = missileSlots[i];
    const InterceptorSlot& in = interceptorSlots[i];
    if (m.state != Idle) cover(m.x, m.y, 32, 32);
    if (in.active != 0) cover(in.x, in.y, 16, 16);
  }
  for (int32_t x : {f.leftLauncherX, f.centreLauncherX, f.rightLauncherX}) {
    cover(x, f.groundY - 4, 8, 8);
  }
  if (gameState.gameOver != 0) cover(f.fieldWidth / 2, f.fieldHeight / 2 - 14, 9 * 24, 28);
  const uint32_t black = picture.PixelOf(kBlack);
  for (int y = 0; y < std::max(f.groundY, 0); ++y) {
    const uint32_t* row = picture.pixels() + static_cast<size_t>(y) * picture.width();
    const uint8_t* box = covered.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      if (row[x] != black && !box[x]) return std::to_string(x) + "," + std::to_string(y);
    }
  }
  return "";
}

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

TEST_F(GameTest, LongRunKeepsEveryCounterInStepAndLeavesNoTrails) {
  BlockGlyphSource glyphs;
  PixelCanvas picture(640, 480, PixelOrder::kArgb, glyphs);
  AttachWindowPicture(&picture);
  gameState.modeMask = 31;
  ComputeCapacity();
  SelectLevel(5);
  // Start three times as often as the rest: pause, stop, levels, classes, options, others.
  const uint16_t commands[] = {40015, 40015, 40015, 40016, 40016, 40020, 40007, 40009,
                               40011, 40011, 40018, 40021, 40022, 40023, 40024, 40025,
                               40026, 40014, 40012, 40001, 40027, 0};
  const int sizes[][2] = {{640, 480}, {800, 600}, {500, 300}};
  std::mt19937 choose(20240229);
  int32_t games = 0;
  for (int64_t step = 0; step < 200000 && !HasFatalFailure(); ++step) {
    const uint32_t roll = choose() % 10000;  // 3% keystrokes, 0.5% commands, 0.01% sizes
    if (roll < 300) OnChar(choose() % 301);
    if (roll >= 300 && roll < 350) {
      const uint16_t id = commands[choose() % std::size(commands)];
      games += id == 40015 ? 1 : 0;
      OnCommand(id);
    }
    if (roll == 350) {
      const auto& size = sizes[choose() % std::size(sizes)];
      picture.Resize(size[0], size[1]);
      OnSize(size[0], size[1]);
    }
    if (step % 40000 == 20000) gameState.score = 99990;  // fast missiles, many Mirvs
    OnTick();
    ExpectConsistent(step);
    if (step % 64 == 0) {
      ASSERT_EQ(StrayInk(picture), "") << step;
    }
  }
  EXPECT_GT(games, 100);
}
