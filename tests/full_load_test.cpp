// The full load the tick measurements time: it must stay full between restores, and a
// drawing run must draw.
#include "tools/bench/full_load.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "core/game.h"
#include "render/pixel_canvas.h"

namespace {

BlockGlyphSource glyphs;
PixelCanvas picture(640, 480, PixelOrder::kArgb, glyphs);

// Every timed tick sees all 129 targets: none reaches the ground before the next restore.
TEST(FullLoadTest, StaysFullUntilTheRecordsAreRestored) {
  const GameRecords loaded = BuildFullLoad(nullptr);
  EXPECT_EQ(loaded.gameState.missileCapacity, 133);
  for (int64_t tick = 0; tick < kTicksPerRestore; ++tick) {
    ASSERT_EQ(LiveCount(), 129) << "after " << tick << " ticks";
    OnTick();
  }
}

// The picture is made after the fresh start, which would otherwise forget it.
TEST(FullLoadTest, DrawingTicksDrawIntoThePicture) {
  records = BuildFullLoad([] { AttachWindowPicture(&picture); });
  picture.TakeDirtyRects();
  OnTick();
  EXPECT_FALSE(picture.TakeDirtyArea().Empty());
  BuildFullLoad(nullptr);
  picture.TakeDirtyRects();
  OnTick();
  EXPECT_TRUE(picture.TakeDirtyArea().Empty());
}

}  // namespace
