// Builds the full load the tick measurements start from.
#include "tools/bench/full_load.h"

#include "app/commands.h"
#include "app/startup.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "render/handles.h"

namespace {

constexpr uint8_t kAllClasses = 31;
constexpr int32_t kLoadedFalling = 128;
constexpr int32_t kMirvSlot = kLoadedFalling;  // the slot after the Falling ones

// 128 Falling missiles and one Mirv in enabled slots over the upper half of the field, with
// velocities a spawn at this score could give. 3 x 1 + 128 = 131 = capacity - 2, as full as
// spawning ever fills it. The missiles need more than 32 ticks to reach the ground.
void PlaceMissiles() {
  for (int32_t slot = 0; slot <= kMirvSlot; ++slot) {
    MissileSlot& m = missileSlots[slot];
    m.x = 50 + (slot * 97) % 540;
    m.y = 8 + (slot * 53) % 216;
    m.dx = slot % 3 - 1;
    m.dy = 1 + slot % 5;
    m.state = slot == kMirvSlot ? Mirv : Falling;
  }
  gameState.liveMissiles = kLoadedFalling;
  gameState.liveMirvs = 1;
}

}  // namespace

void StartDemonstration() {
  ResetAllRecords();
  ResetPlatformHandles();
  RunStartUp({.seed = 1, .windowCanvas = nullptr, .sound = nullptr});
}

int32_t LiveCount() {
  return gameState.liveMissiles + gameState.liveMirvs;
}

// A score that gives the fastest missiles and the most multiple warheads.
GameRecords BuildFullLoad(void (*makePicture)()) {
  StartDemonstration();
  if (makePicture != nullptr) makePicture();
  gameState.modeMask = kAllClasses;
  ComputeCapacity();
  SelectLevel(kLevelCount);
  gameState.score = 5000;
  gameState.mirvOn = 1;
  PlaceMissiles();
  OnTick();
  return records;
}

bool LoadStaysFull() {
  BuildFullLoad(nullptr);
  for (int64_t tick = 0; tick < kTicksPerRestore; ++tick) {
    if (LiveCount() != kLoadedFalling + 1) return false;
    OnTick();
  }
  return true;
}

Glyph BlockGlyphSource::Render(FontId, char32_t) {
  Glyph glyph{24, {}};
  for (int dy = -18; dy < 0; ++dy) glyph.ink.push_back({dy, 4, 16});
  return glyph;
}
