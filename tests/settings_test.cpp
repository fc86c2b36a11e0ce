// Tests of the settings file: reading odd and damaged files, writing it, the two ways out.
#include "app/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/commands.h"
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

using SettingsTest = SettingsFileTest;

// What a file may hold is read as a recording's settings are (see the golden transcripts);
// of a file only the first MiB is read: the mask is its last byte, and the level lies past it.
TEST_F(SettingsTest, OnlyTheFirstMiBOfTheFileIsRead) {
  WriteFile(kSettingsFileName, std::string((1 << 20) - 1, ' ') + "3 2");
  ReadTheSettingsFile();
  WriteSettingsFile();
  EXPECT_EQ(ReadFile(kSettingsFileName), "3\n1\n1\n1\n0 -\n0 -\n0 -\n0 -\n0 -\n");
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
