// Tests of the menu: item states through a game, the class and level items, unknown commands.
#include <string>

#include "app/commands.h"
#include "core/game.h"
#include "resources/command_ids.h"
#include "resources/menu_resource.h"
#include "test_support.h"

namespace {

// Every item as the last two digits of its identifier, then 'c' if checked and 'g' if greyed.
std::string Items() {
  std::string s;
  for (const MenuItemState& item : menuModel.items) {
    if (!s.empty()) s += ' ';
    s += std::to_string(item.id % 100);
    if (item.checked) s += 'c';
    if (item.greyed) s += 'g';
  }
  return s;
}

using MenuTest = GameTest;

// The marks through a game, at its end on the ground, and the options' items are in the
// golden transcripts.
TEST_F(MenuTest, ClassItemsToggleRecomputeCapacityAndClearTheField) {
  gameState.modeMask = 0;  // as a file may hold: no class checked, the first chosen is the only
  CheckMenuFromSettings();
  const struct {
    uint16_t id;
    int32_t mask, capacity;
    const char* items;  // the five class items, in identifier order
  } steps[] = {{kCmdDigit, 4, 10, "22 23c 24 25 26"},
               {kCmdDigit, 4, 10, "22 23c 24 25 26"},
               {kCmdLower, 6, 36, "22 23c 24 25 26c"},
               {kCmdDigit, 2, 26, "22 23 24 25 26c"},
               {kCmdKana, 18, 67, "22 23 24 25c 26c"}};
  EXPECT_EQ(Items().substr(Items().find("22")), "22 23 24 25 26");
  for (const auto& step : steps) {
    PlaceMissile(5, 100, 100, 0, 1, Mirv);
    interceptorSlots[5].active = 1;
    OnCommand(step.id);
    EXPECT_EQ(gameState.modeMask, step.mask);
    EXPECT_EQ(gameState.missileCapacity, step.capacity);
    EXPECT_EQ(Items().substr(Items().find("22")), step.items);
    EXPECT_EQ(missileSlots[5].state + interceptorSlots[5].active + gameState.liveMirvs, 0);
  }
}

TEST_F(MenuTest, UnknownIdentifiersDoNothingAndTheCurrentLevelOnlyRedraws) {
  PlaceMissile(3, 100, 100, 0, 1);
  const GameRecords before = records;
  for (uint16_t id : {40012, 40013, 40017, 40019, 0, 65535}) OnCommand(id);
  EXPECT_TRUE(canvas.calls.empty());
  OnCommand(kCmdLevel1);
  EXPECT_TRUE(records == before);
  EXPECT_EQ(canvas.calls.size(), 7u);  // the band, three texts, three bases
  OnCommand(kCmdLevel1 + 2);
  EXPECT_EQ(Items(), "7 8 9c 10 11 14 15 16g 18c 20g 21c 22c 23 24 25 26");
  EXPECT_EQ(gameState.level, 3);
  EXPECT_EQ(missileSlots[3].state, Falling);
}

// The page announces each item by its kind: a command never carries a check mark, and of the
// radio items just one is on, whatever the game does.
TEST_F(MenuTest, MarksFollowEachItemsKind) {
  const auto expectMarksOfTheirKind = [](uint16_t after) {
    int radiosOn = 0;
    for (const MenuItemState& item : menuModel.items) {
      const MenuItemKind kind = MenuItemKindOf(item.id);
      if (kind == MenuItemKind::kCommand) {
        EXPECT_EQ(item.checked, 0) << item.id << " after " << after;
      }
      if (kind == MenuItemKind::kRadio && item.checked) ++radiosOn;
    }
    EXPECT_EQ(radiosOn, 1) << "after " << after;
  };
  expectMarksOfTheirKind(0);
  for (const uint16_t id : {kCmdLevel5, kCmdLower, kCmdDigit, kCmdSymbol, kCmdKana, kCmdSound,
                            kCmdStart, kCmdPause, kCmdStop}) {
    OnCommand(id);
    expectMarksOfTheirKind(id);
  }
}

}  // namespace
