// A long seeded run of ticks, keystrokes, menu commands and sizes: the records stay in step
// every step, and the field never keeps ink where no missile or interceptor is.
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/startup.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "test_support.h"

namespace {

// A picture that keeps only whether each pixel holds ink (any colour but black). The sheet is
// drawn into one as the game draws it; a glyph's ink is a block in the middle of its box,
// with the black margins a real face leaves, wider than a missile moves in one tick.
class InkCanvas : public Canvas {
 public:
  InkCanvas(int width, int height, bool sheet = false) : sheetOfGlyphs_(sheet) {
    Resize(width, height);
  }
  void Resize(int width, int height) {
    width_ = width;
    height_ = height;
    ink_.assign(static_cast<size_t>(width) * height, 0);
  }
  // Row y, one byte a pixel, 1 where there is ink.
  const uint8_t* Row(int y) const { return ink_.data() + static_cast<size_t>(y) * width_; }
  Canvas* CreateSheet(int width, int height) override {
    sheet_ = std::make_unique<InkCanvas>(width, height, true);
    return sheet_.get();
  }
  void DrawPixelRow(int x, int y, const Colour* colours, int count) override {
    for (int i = 0; i < count; ++i) {
      if (colours[i] != kBlack) FillRectangle(x + i, y, x + i + 1, y + 1, kYellow);
    }
  }
  void SelectFont(FontId) override {}
  // The sheet's cells lie inside it, so only the picture's edges cut the copy.
  void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY, RasterOp op,
                     Colour) override {
    const int left = std::max(x, 0), right = std::min(x + width, width_);
    for (int row = std::max(y, 0); row < std::min(y + height, height_) && left < right; ++row) {
      uint8_t* to = ink_.data() + static_cast<size_t>(row) * width_ + left;
      if (op == RasterOp::kBlackness) {
        std::memset(to, 0, right - left);
      } else {
        std::memcpy(to, sheet_->Row(sheetY + row - y) + sheetX + left - x, right - left);
      }
    }
  }
  void FillRectangle(int left, int top, int right, int bottom, Colour colour) override {
    left = std::max(left, 0);
    right = std::min(right, width_);
    for (int y = std::max(top, 0); y < std::min(bottom, height_) && left < right; ++y) {
      std::memset(ink_.data() + static_cast<size_t>(y) * width_ + left, colour != kBlack,
                  right - left);
    }
  }
  // The window's only text on the field is GAME OVER, which may stay; the sheet's is glyphs.
  void DrawOpaqueText(int x, int y, int, const char*, int, Colour, Colour) override {
    if (sheetOfGlyphs_) FillRectangle(x - 8, y - 23, x + 8, y - 5, kYellow);
  }
  void DrawUpperHalfCircle(int, int, int, Colour) override {}
  void Present() override {}

 private:
  bool sheetOfGlyphs_;
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> ink_;
  std::unique_ptr<InkCanvas> sheet_;
};

// Marks the box of a sprite centred at (x, y), as the drawing places it.
void Cover(std::vector<uint8_t>& covered, int width, int height, double x, double y, int size) {
  const int left = static_cast<int>(x) - size / 2;
  const int top = static_cast<int>(y) - size / 2;
  for (int row = std::max(top, 0); row < std::min(top + size, height); ++row) {
    for (int column = std::max(left, 0); column < std::min(left + size, width); ++column) {
      covered[row * width + column] = 1;
    }
  }
}

// The first pixel of the field holding ink outside every missile, interceptor and launcher
// base, as "x,y"; empty when there is none.
std::string StrayInk(const InkCanvas& picture, int width) {
  const FieldGeometry& f = fieldGeometry;
  const int height = std::max(f.groundY, 0);
  std::vector<uint8_t> covered(static_cast<size_t>(width) * height, 0);
  for (int32_t i = 0; i < kSlotCount; ++i) {
    const MissileSlot& m = missileSlots[i];
    const InterceptorSlot& in = interceptorSlots[i];
    if (m.state != Idle) Cover(covered, width, height, m.x, m.y, 32);
    if (in.active != 0) Cover(covered, width, height, in.x, in.y, 16);
  }
  for (int32_t x : {f.leftLauncherX, f.centreLauncherX, f.rightLauncherX}) {
    Cover(covered, width, height, x, f.groundY - 4, 8);
  }
  for (int y = 0; y < height; ++y) {
    const uint8_t* ink = picture.Row(y);
    const uint8_t* box = covered.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      if (ink[x] > box[x]) return std::to_string(x) + "," + std::to_string(y);
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
  InkCanvas picture(640, 480);
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
      ASSERT_EQ(StrayInk(picture, fieldGeometry.fieldWidth), "") << step;
    }
  }
  EXPECT_GT(games, 100);
}
