// Tests of the alphabet: slot numbers, class ranges and the class mask rules.
#include "core/alphabet.h"

#include "test_support.h"

TEST_F(GameTest, ClassRangesSlotsAndTheClassMask) {
  const int32_t firsts[] = {0, 26, 52, 62, 92}, lasts[] = {25, 51, 61, 91, 132};
  for (int32_t c = Upper; c < kClassCount; ++c) {
    EXPECT_EQ(classRanges[c].first, firsts[c]);
    EXPECT_EQ(classRanges[c].last, lasts[c]);
  }
  const std::pair<uint32_t, uint32_t> cases[] = {
      {'a', 26},   {'k', 36},   {'0', 52}, {'=', 71}, {'_', 91},  {0xD6, 129},
      {0xA6, 131}, {0xDD, 132}, {' ', 0},  {0xD7, 0}, {0x142, 0}, {0xFFFFFFFFu, 0}};
  for (auto [code, slot] : cases) EXPECT_EQ(SlotForChar(code), slot) << code;
  // A class enables exactly its own range; all five, every slot.
  gameState.modeMask = 31;
  ComputeCapacity();
  EXPECT_EQ(gameState.missileCapacity, 133);
  EXPECT_FALSE(SlotEnabled(133));
  for (int32_t c = Upper; c < kClassCount; ++c) {
    gameState.modeMask = static_cast<uint8_t>(1 << c);
    const ClassRange r = classRanges[c];
    EXPECT_TRUE(SlotEnabled(r.first) && SlotEnabled(r.last)) << c;
    EXPECT_FALSE(SlotEnabled(r.first - 1) || SlotEnabled(r.last + 1)) << c;
  }
}
