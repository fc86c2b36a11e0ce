// The player's history: a recorded game's figures per character, its record in the history
// file and back, the file's bounds, and what the runner and a refused file leave alone.
#include "app/progress.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/history_file.h"
#include "app/settings.h"
#include "core/alphabet.h"
#include "shell_fixtures.h"
#include "test_support.h"

namespace {

using namespace shell_fixtures;

const std::string kHeader =
    "when\tlevel\tclasses\tmirv\tscore\thits\tmisses\tticks\tend\tcharacters\n";

// Seed 3 drops Y at tick 7, then F and N at tick 8. F is typed after tick 20 (13 ticks after
// it appeared), Q with nothing of it falling (a miss), N after tick 40 (33 ticks). F is hit at
// tick 79 and N at 95 (6 points each); V appears at 103 and R at 116, and the game is stopped
// after tick 130 with Y, V and R still falling.
constexpr const char* kGame =
    "seed 3\nsize 640 480\ncommand 40015\ntick 20\nchar 70\nchar 81\ntick 20\nchar 78\n"
    "tick 90\ncommand 40020\n";
const std::string kRecord =
    "2026-12-08 12:00:00\t1\tU\ton\t12\t2\t1\t130\tstopped\tF=1/1/0/0/1/13 N=1/1/0/0/1/33 "
    "Q=0/0/0/1/0/0 R=1/0/0/0/0/0 V=1/0/0/0/0/0 Y=1/0/0/0/0/0";

// Drives the shell through a recording's commands, as the runner would.
void Drive(GameShell& shell, const std::string& recording) {
  ScenarioLines lines{std::string_view(recording)};
  ScenarioReader reader(ScenarioCommands::kRecorded);
  ScenarioCommand command;
  std::string problem;
  std::string dumped;
  for (std::string_view line; lines.Next(&line) == LineRead::kLine;) {
    if (reader.Read(line, &command, &problem) != ScenarioReader::Line::kCommand) continue;
    ASSERT_EQ(RunScenarioCommand(command, shell.Scenario(), nullptr, &dumped), "");
  }
}

GameRecord Game(int32_t level, int32_t score, size_t characters = 0) {
  GameRecord game{.when = "2026-01-02 03:04:05", .level = level, .score = score, .ticks = 640};
  for (size_t i = 0; i < characters; ++i) {
    game.characters.push_back(
        {.code = static_cast<uint8_t>(kAlphabet[i % (kSlotCount - 1)]), .fell = 99999});
  }
  return game;
}

TEST_F(ShellTest, ARecordedGameGivesItsFiguresAndItsRecordWhichReadsBackTheSame) {
  frontEnd.stamp = "20261208-120000";
  StartShell();
  Drive(shell, kGame);
  EXPECT_EQ(ReadFile(kHistoryFileName), kHeader + kRecord + "\n");
  const std::vector<GameRecord> read = ReadHistory(ReadFile(kHistoryFileName));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(HistoryLine(read[0]), kRecord);
  EXPECT_EQ(read[0].end, GameEnd::kStopped);
  EXPECT_EQ(SlowestCharacters(read[0].characters, 3), (std::vector<std::string>{"N", "F"}));

  Drive(shell, "command 40015\ntick 10\ncommand 40020\n");
  const std::vector<GameRecord> two = ReadHistory(ReadFile(kHistoryFileName));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0], read[0]);
  EXPECT_EQ(two[1].ticks, 10u);
  int32_t average = 0;
  EXPECT_TRUE(RecentAverage(two, 1, &average));
  EXPECT_EQ(average, 6);
  EXPECT_FALSE(RecentAverage(two, 2, &average));
  std::vector<GameRecord> eleven(11, {.score = 10});  // the oldest of them left out
  eleven[0].score = 1000;
  eleven.push_back({.level = 2, .score = 5000});
  EXPECT_TRUE(RecentAverage(eleven, 1, &average));
  EXPECT_EQ(average, 10);
  EXPECT_EQ(shell.End(ProgramEnd::kWindowClosed), 0);
  EXPECT_EQ(shell.EndProblem(), "");

  // The runner replays it without reading or writing the history.
  const std::string kept = ReadFile(kHistoryFileName);
  Replayed(kGame);
  EXPECT_EQ(ReadFile(kHistoryFileName), kept);
}

// A history that cannot be written (here a FIFO, which is neither waited on nor written into)
// is told as the settings are, and the settings are kept.
TEST_F(ShellTest, AHistoryThatCannotBeWrittenIsToldAndTheSettingsAreKept) {
  ASSERT_EQ(mkfifo(kHistoryFileName, 0600), 0);
  StartShell();
  Drive(shell, "command 40015\ntick 10\ncommand 40020\n");
  shell.End(ProgramEnd::kWindowClosed);
  EXPECT_EQ(shell.EndProblem(), "The history of games could not be saved to " +
                                    std::filesystem::current_path().string() + "/" +
                                    kHistoryFileName + ".");
  EXPECT_TRUE(std::filesystem::is_regular_file(kSettingsFileName));
  EXPECT_TRUE(std::filesystem::is_fifo(kHistoryFileName));
}

// The oldest games go first, by count and by size; what is not a game's line is passed over.
TEST(HistoryFileTest, KeepsTheLastGamesWithinItsBoundsAndPassesOverOtherLines) {
  ScopedTempDir dir;
  std::vector<GameRecord> games;
  for (int32_t i = 0; i < static_cast<int32_t>(kHistoryGames); ++i) games.push_back(Game(1, i));
  WriteFile(kHistoryFileName, HistoryText(games) + "junk\n\t\t\n" + HistoryLine(Game(6, 1)) + "\n" +
                                  HistoryLine(Game(1, 7)) + " Z=1/2/3\r\n");
  std::vector<GameRecord> kept;
  ASSERT_TRUE(AppendToHistory(Game(2, 5), &kept));
  ASSERT_EQ(kept.size(), kHistoryGames);
  EXPECT_EQ(kept.front().score, 1);
  EXPECT_EQ(kept.back(), Game(2, 5));
  const std::string file = ReadFile(kHistoryFileName);
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kHistoryGames + 1);
  EXPECT_EQ(ReadHistory(file), kept);

  games.assign(700, Game(1, 1, 94));
  games.back().score = 2;
  const std::string text = HistoryText(games);
  const std::vector<GameRecord> fitted = ReadHistory(text);
  EXPECT_LE(text.size(), kHistoryBytes);
  EXPECT_GT(text.size() + HistoryLine(games[0]).size() + 1, kHistoryBytes);
  EXPECT_EQ(fitted.back().score, 2);
  EXPECT_LT(fitted.size(), games.size());

  // Windows line ends, and every class and kana, read back as written.
  GameRecord kana = Game(5, 99999);
  kana.classes = 0x1F;
  kana.end = GameEnd::kGround;
  kana.characters = {{.code = 0xB1, .fell = 2}, {.code = 0xDD, .launchTicks = 7}};
  std::string crlf = HistoryLine(kana) + "\r\n";
  EXPECT_EQ(ReadHistory(crlf), std::vector<GameRecord>{kana});
  for (const char* bad : {"=", "\xEF\xBD", "\xEF\xBE\xA0=1/1/1/1/1/1", "A=1/1/1/1/1/-1"}) {
    EXPECT_TRUE(ReadHistory(HistoryLine(Game(1, 1)) + bad).empty()) << bad;
  }
}

// A launch is timed from its missile's appearance once; a missile on the ground stops its clock.
TEST(CharacterCounterTest, TimesTheFirstLaunchAtEachMissile) {
  CharacterCounter counter;
  counter.Count(GameEvent::kSpawn, 2, 10);
  counter.Count(GameEvent::kLaunch, 2, 15);
  counter.Count(GameEvent::kLaunch, 2, 40);  // the first interceptor missed
  counter.Count(GameEvent::kSpawn, 3, 10);
  counter.Count(GameEvent::kGround, 3, 300);
  counter.Count(GameEvent::kLaunch, 3, 310);
  counter.Count(GameEvent::kMiss, kSlotCount, 1);
  counter.Count(GameEvent::kHit, 0, 50);
  EXPECT_EQ(counter.Figures(),
            (std::vector<CharFigures>{{.code = 'A', .hit = 1},
                                      {.code = 'C', .fell = 1, .launched = 1, .launchTicks = 5},
                                      {.code = 'D', .fell = 1, .ground = 1}}));
  EXPECT_EQ(SlowestCharacters(counter.Figures(), 3), (std::vector<std::string>{"D", "C"}));
}

// The plot takes the level's games alone, a game without shots at no accuracy; the grid the
// chosen classes' characters, timed over the games plotted.
TEST(ProgressViewTest, PlotsTheLevelsGamesAndTimesTheChosenCharacters) {
  BuildCharTables();
  const std::vector<GameRecord> history = {
      {.level = 2, .score = 10, .hits = 0, .misses = 0, .ticks = 0},
      {.level = 1, .score = 99, .hits = 9, .misses = 0, .ticks = 64},
      {.level = 2,
       .score = 30,
       .hits = 3,
       .misses = 1,
       .ticks = 3840,
       .characters = {{.code = 'B', .launched = 2, .launchTicks = 192}}}};
  const ProgressView view = ViewProgress(history, 2, 16);  // the half-width kana
  ASSERT_EQ(view.games.size(), 2u);
  EXPECT_TRUE(view.games[0].score == 10 && view.games[0].accuracy == 0 &&
              view.games[0].perMinute == 0);
  EXPECT_TRUE(view.games[1].accuracy == 75 && view.games[1].perMinute == 3);
  EXPECT_EQ(view.cells.at(0).text, "\uFF71");
  const ProgressView upper = ViewProgress(history, 2, 1);
  ASSERT_EQ(upper.cells.size(), 26u);
  EXPECT_TRUE(upper.cells[1].text == "B" && upper.cells[1].seconds == 1.5);
  EXPECT_EQ(upper.slowest, (std::vector<std::string>{"B"}));
}

}  // namespace
