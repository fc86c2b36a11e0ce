// Tests of the settings file: reading odd and damaged files, writing it, the two ways out.
#include "app/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/commands.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "core/game.h"
#include "core/menu_state.h"
#include "resources/command_ids.h"
#include "test_support.h"

namespace {

// As start-up reads it: the file's text, or the defaults without one.
void ReadTheSettingsFile() {
  std::string text;
  if (ReadSettingsText(&text)) {
    ParseSettings(text);
  } else {
    ApplyDefaultSettings();
  }
}

constexpr const char* kFullFile = "3\n2\n0\n2\n10 a\n20 b\n30 c\n40 d\n50 e\n";

using SettingsTest = SettingsFileTest;

TEST_F(SettingsTest, ReadsWhatTheFileHoldsUpToTheFirstUnreadableItem) {
  const std::string x85(85, 'x'), y79(79, 'y');
  const struct {
    std::string in, out;
  } cases[] = {
      {kFullFile, kFullFile},  // a flag read as 2 stays 2
      {"3 2 0 2 10 a 20 b 30 c 40 d 50 e", kFullFile},
      {"3\r\n2\r\n0\r\n2\r\n10 a\r\n20 b\r\n30 c\r\n40 d\r\n50 e\r\n", kFullFile},
      {"", kDefaultSettingsFile},
      {"6\n3\n", "6\n3\n1\n1\n0 -\n0 -\n0 -\n0 -\n0 -\n"},
      {"257\n1\n1\n1\n", kDefaultSettingsFile},
      {"1\n0\n", kDefaultSettingsFile},
      {"1\n6\n", kDefaultSettingsFile},
      {"1 1 1 1 -5 neg 7 Ann Lee 8 b", "1\n1\n1\n1\n-5 neg\n7 Ann\n0 -\n0 -\n0 -\n"},
      {"1 1 1 1 1 " + x85 + " 2 " + y79 + " 3 c",
       "1\n1\n1\n1\n1 " + x85.substr(0, 79) + "\n2 " + y79 + "\n3 c\n0 -\n0 -\n"},
      // Saturated at the 64-bit limits, then the low 32 bits: 255, -1 (so level 1), 0.
      {"99999999999 99999999999999999999999 -99999999999999999999999",
       "255\n1\n0\n1\n0 -\n0 -\n0 -\n0 -\n0 -\n"},
      // Only the first MiB is read: the mask is its last byte, and the level lies past it.
      {std::string((1 << 20) - 1, ' ') + "3 2", "3\n1\n1\n1\n0 -\n0 -\n0 -\n0 -\n0 -\n"},
  };
  for (const auto& c : cases) {
    WriteFile(kSettingsFileName, c.in);
    ReadTheSettingsFile();
    WriteSettingsFile();
    EXPECT_EQ(ReadFile(kSettingsFileName), c.out) << "file: " << c.in;
  }
}

TEST_F(SettingsTest, ANameStaysWhenARealGameBeatsItsBest) {
  WriteFile(kSettingsFileName, "1\n1\n1\n1\n-5 ace\n");
  ReadTheSettingsFile();
  OnCommand(kCmdStart);
  PlaceMissile(0, 320, 100, 0, 0);
  OnChar('A');
  for (int i = 0; i < 200 && gameState.score == 0; ++i) OnTick();
  ASSERT_EQ(gameState.score, 6);  // (448 - 100) / 64 + 1
  OnCommand(kCmdStop);
  WriteSettingsFile();
  EXPECT_EQ(ReadFile(kSettingsFileName), "1\n1\n1\n1\n6 ace\n0 -\n0 -\n0 -\n0 -\n");
}

TEST_F(SettingsTest, StartUpReadsTheFileAndExitWritesItBack) {
  WriteFile(kSettingsFileName, "3 2 0 1 0 - 4321 bob");
  std::string text;
  ASSERT_TRUE(ReadSettingsText(&text));
  RunStartUp({.seed = 5, .windowCanvas = &canvas, .settingsText = &text});
  EXPECT_EQ(gameState.missileCapacity, 52);
  EXPECT_TRUE(FindMenuItem(kCmdLower)->checked && !FindMenuItem(kCmdSound)->checked);
  ASSERT_EQ(canvas.calls.size(), 9u);  // the sheet, the window font, then the status bar
  EXPECT_EQ(canvas.calls[3], "text 0 480 8 '  Score:00000/04321 ' fg=255,255,255 bg=0,0,255");
  ::chmod(kSettingsFileName, 0604);
  EXPECT_EQ(EndProgram(ProgramEnd::kExitCommand).exitCode, 40014);
  EXPECT_EQ(ReadFile(kSettingsFileName), "3\n2\n0\n1\n0 -\n4321 bob\n0 -\n0 -\n0 -\n");
  struct stat status {};
  EXPECT_EQ(::stat(kSettingsFileName, &status) == 0 ? status.st_mode & 07777 : 0, 0604u);
}

TEST_F(SettingsTest, WithoutAFileTheDefaultsAreWrittenAndARunningGameIsLost) {
  ReadTheSettingsFile();
  OnCommand(kCmdStart);
  gameState.score = 500;
  EXPECT_EQ(EndProgram(ProgramEnd::kWindowClosed).exitCode, 0);
  EXPECT_EQ(ReadFile(kSettingsFileName), kDefaultSettingsFile);
}

}  // namespace
