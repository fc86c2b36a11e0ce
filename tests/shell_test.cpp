// The shared layer: the tick schedule, the routing of input, minimising, the paced impact
// effect and the session recording, driven as a front end drives them.
#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/cards.h"
#include "app/commands.h"
#include "app/recording.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/state_line.h"
#include "core/game.h"
#include "resources/command_ids.h"
#include "resources/version.h"
#include "shell_fixtures.h"
#include "test_support.h"
#include "tools/bench/full_load.h"
#include "tools/sim/scenario.h"

namespace {

using namespace shell_fixtures;
using Lines = std::vector<std::string>;

TEST_F(ShellTest, SizesAreHeldToSixteenBitsAndReachThePictureFirst) {
  shell.Size(70000, -5);
  EXPECT_EQ(std::pair(shell.ClientWidth(), shell.ClientHeight()), std::pair(65535, 0));
  StartShell();
  shell.Size(800, 600);
  EXPECT_EQ(frontEnd.sizes, (std::vector<std::pair<int, int>>{{65535, 0}, {800, 600}}));
}

// F2 and F3 act only while their items are enabled; other function keys do nothing. The menu
// hears of every item at start, then only of items whose marks changed; nothing is shown
// before a tick is due, and the tick is once it is; Exit ends the program once, with its
// status, and nothing runs after it.
TEST_F(ShellTest, FunctionKeysActThroughEnabledItemsAndOnlyChangedMarksReachTheMenu) {
  StartShell();
  EXPECT_EQ(frontEnd.menuItemsSet, kMenuItemCount);
  EXPECT_TRUE(frontEnd.marks[kCmdLevel1] == std::pair(true, false) &&
              frontEnd.marks[kCmdPause] == std::pair(false, true));
  const int shown = frontEnd.shown;
  shell.Advance(t0 + kTickPeriod / 2);
  EXPECT_EQ(frontEnd.shown, shown);
  // A stall runs one tick and starts the schedule afresh; four periods on, the four ticks due
  // run, five more on only one again.
  const PaceClock::time_point stall = t0 + std::chrono::seconds(1);
  EXPECT_EQ(shell.Advance(stall), stall + kTickPeriod);
  EXPECT_EQ(frontEnd.shown, shown + 1);
  shell.Advance(stall + 4 * kTickPeriod);
  shell.Advance(stall + 9 * kTickPeriod);
  frontEnd.menuItemsSet = 0;
  shell.PressFunctionKey(3);  // Pause is greyed in the demonstration
  EXPECT_EQ(gameState.paused, 0);
  shell.PressFunctionKey(2);
  EXPECT_EQ(gameState.gameOver, 0);
  // The levels, the classes, Start, Pause and Stop changed.
  EXPECT_EQ(frontEnd.menuItemsSet, 13);
  shell.Type(U'€');  // no character of the game: a miss on the slot of "A"
  EXPECT_EQ(gameState.misses, 1);
  shell.PressFunctionKey(2);  // Start is greyed during a game: the misses stay
  EXPECT_EQ(gameState.misses, 1);
  shell.PressFunctionKey(3);
  EXPECT_EQ(gameState.paused, 1);
  for (int key : {1, 4, 12, 0, 25}) shell.PressFunctionKey(key);
  EXPECT_EQ(gameState.paused, 1);
  EXPECT_EQ(frontEnd.quits, 0);
  shell.Command(kCmdExit);
  shell.Command(kCmdExit);
  EXPECT_EQ(frontEnd.quits, 1);
  EXPECT_EQ(shell.End(ProgramEnd::kWindowClosed), kExitCommandCode);
  shell.Advance(stall + std::chrono::seconds(1));  // nothing runs or is taken after the end
  shell.PressFunctionKey(3);
  EXPECT_TRUE(shell.Ended() && shell.TicksRun() == 6 && gameState.paused == 1);
}

// Settings a scenario gives once the shell runs reach the menu's marks at once.
TEST_F(ShellTest, ScenarioSettingsMarkTheMenuAtOnce) {
  shell.Start({.seed = 7, .sound = &sound, .now = t0, .mode = ShellMode::kScenario});
  const std::string settings = "31\n3\n";
  shell.Scenario().TakeSettings(&settings);
  EXPECT_TRUE(frontEnd.marks[kCmdLevel1 + 2].first && !frontEnd.marks[kCmdLevel1].first);
}

// A minimised window pauses a running game before the field shrinks to nothing, so the game
// is still there, paused, when the window comes back.
TEST_F(ShellTest, MinimisingPausesARunningGameOnly) {
  StartShell();
  shell.Minimise();
  EXPECT_EQ(gameState.paused, 0);  // the demonstration goes on
  shell.Size(640, 480);
  shell.Command(kCmdStart);
  shell.Minimise();
  EXPECT_EQ(gameState.paused, 1);
  EXPECT_EQ(frontEnd.sizes.back(), std::pair(0, 0));
  AdvanceUntil(t0 + std::chrono::seconds(2));
  EXPECT_EQ(gameState.gameOver, 0);
  shell.Size(640, 480);
  EXPECT_EQ(gameState.paused, 1);
  shell.PressFunctionKey(3);
  EXPECT_EQ(gameState.paused, 0);
  shell.Minimise();  // already paused by the player: it stays paused, not resumed
  shell.PressFunctionKey(3);
  shell.Minimise();
  EXPECT_EQ(gameState.paused, 1);
}

// A missile one step above the ground in a running game: the next tick ends the game with
// the impact dome.
void PutMissileAtTheGround() {
  OnCommand(kCmdStart);
  PlaceMissile(0, 300, fieldGeometry.groundY - 1, 0, 2);
}

// The dome is shown over half a second in about 30 frames, the rules run once, and the
// picture gets exactly the calls drawing straight through gives, in the same order.
TEST_F(ShellTest, ImpactEffectIsShownOverHalfASecondWithTheSamePicture) {
  RecordingCanvas direct;
  ResetAllRecords();
  RunStartUp({.seed = 7, .windowCanvas = &direct, .sound = nullptr});
  PutMissileAtTheGround();
  OnTick();
  const GameRecords after = records;

  RecordingCanvas paced;
  GameShell fresh(frontEnd);
  fresh.Start({.seed = 7, .windowCanvas = &paced, .now = t0});
  PutMissileAtTheGround();
  now = fresh.Advance(t0 + kTickPeriod);
  fresh.Advance(t0 + kTickPeriod);  // woken again at once: nothing new is due
  ASSERT_EQ(now - t0, kTickPeriod + kImpactFrameInterval);  // the effect's frames are paced
  EXPECT_TRUE(records == after);
  std::vector<size_t> framesEnd{paced.calls.size()};
  fresh.PressFunctionKey(2);  // waits until the effect is over
  EXPECT_EQ(gameState.gameOver, 1);
  const int shownBefore = frontEnd.shown;
  // A timer waking 0.575 ms late: the 29th frame comes just short of half a second.
  const auto late = std::chrono::microseconds(575);
  while (gameState.gameOver == 1) {  // until F2, held while the effect shows, can run
    now = fresh.Advance(now) + late;
    framesEnd.push_back(paced.calls.size());
  }
  // The dome's 897 arcs are a call each: the first frame ends at its first present, the next
  // shows 29 more, each later one the next 30 or 31, and the last but one all but the last.
  const auto firstPresent = std::find(direct.calls.begin(), direct.calls.end(), "present");
  EXPECT_EQ(framesEnd[0], static_cast<size_t>(firstPresent - direct.calls.begin()));
  EXPECT_EQ(framesEnd[1] - framesEnd[0], 29u);
  EXPECT_EQ(framesEnd[framesEnd.size() - 2] - framesEnd[0], 895u);
  for (size_t i = 1; i + 2 < framesEnd.size(); ++i)
    EXPECT_NEAR(framesEnd[i + 1] - framesEnd[i], 30.5, 0.5) << i;
  EXPECT_EQ(now - t0, 2 * kTickPeriod + 30 * (std::chrono::microseconds(16'667) + late));
  EXPECT_EQ(frontEnd.shown - shownBefore, 31);  // frames 1 to 29, the end, then F2
  EXPECT_EQ(gameState.gameOver, 0);             // F2 ran after the effect
  ASSERT_GT(paced.calls.size(), 100u);
  std::vector<std::string> expected = direct.calls;
  std::erase(expected, "present");
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), paced.calls.begin()));
  EXPECT_NE(std::find(paced.calls.begin() + static_cast<long>(expected.size()), paced.calls.end(),
                      "fill 0 0 640 448 0,0,0"),
            paced.calls.end());  // then the new game's blank field
}

// The best scores lost with a settings file that cannot be written are the player's to know.
TEST_F(ShellTest, EndSaysWhereTheSettingsCouldNotBeSaved) {
  StartShell();
  std::filesystem::create_directory(kSettingsFileName);
  EXPECT_EQ(shell.End(ProgramEnd::kExitCommand), kExitCommandCode);
  EXPECT_TRUE(shell.PlayerEnded());
  EXPECT_EQ(shell.EndProblem(), "The settings and best scores could not be saved to " +
                                    std::filesystem::current_path().string() + "/VOLARIN.INI.");
  // Only a player who chose to end is there to read a message box.
  for (const ProgramEnd how :
       {ProgramEnd::kWindowClosed, ProgramEnd::kSignal, ProgramEnd::kDisplayLost,
        ProgramEnd::kSessionEnded, ProgramEnd::kPageClosed}) {
    GameShell ended(frontEnd);
    ended.End(how);
    EXPECT_EQ(ended.PlayerEnded(), how == ProgramEnd::kWindowClosed) << static_cast<int>(how);
  }
}

// A recording carries the settings it started with, whatever bytes they hold, or says there
// were none, and replays to the state line it ended with wherever it is: the settings file
// beside the replay is neither read nor written.
TEST_F(ShellTest, RecordedSessionReplaysToItsFinalStateLineWithoutTheSettingsFile) {
  const std::string odd = "31\n2\r\n1\n1\n5 \"a\\n\xff\x01" + std::string(300, 'n') + "\n0 -";
  const std::pair<const std::string*, const char*> cases[] = {
      {&odd, "seed 7\nsettings\n\"31\\n\"\n"},
      {nullptr, "seed 7\nsettings none\nsize 700 500\ntick 64\ntick 64\n"}};
  for (const auto& [settings, start] : cases) {
    ScopedTempDir folder;
    if (settings != nullptr) WriteFile(kSettingsFileName, *settings);
    const std::string recorded = PlayRecordedSession(frontEnd, sound);
    EXPECT_TRUE(recorded.starts_with(start)) << recorded.substr(0, 200);
    const size_t final = recorded.rfind("# final ");  // if missing, the text from byte 7

    WriteFile(kSettingsFileName, "3\n");  // another player's settings
    EXPECT_EQ(Replayed(recorded), recorded.substr(final + 8));
    EXPECT_EQ(ReadFile(kSettingsFileName), "3\n");
    EXPECT_NE(recorded.find("\"sounds\":[\"start.wav\""), std::string::npos);
  }
}

// A recording cut after any event replays to the state the game had at that event, an impact
// effect with input waiting on it included. The ticks the recorder has yet to write as one
// line are added to the cut, as it would write them.
TEST_F(ShellTest, ARecordingCutAtAnyEventReplaysToTheStateAtThatEvent) {
  WriteFile(kSettingsFileName, "31\n5\n");
  std::FILE* record = std::fopen("session.txt", "w");
  ASSERT_NE(record, nullptr);
  struct Cut {
    long length;
    uint64_t ticks;
    std::string state;
  };
  std::vector<Cut> cuts;
  const auto cut = [&] {
    PlayedSounds played;
    for (const std::string& name : sound.played) played.Add(name.c_str());
    const uint64_t ticks = shell.TicksRun();
    cuts.push_back({std::ftell(record), ticks, FormatStateLine(ticks, played)});
  };
  const auto tick = [&] {
    now += kTickPeriod;
    shell.Advance(now);
    cut();
  };
  RecordingCanvas picture;
  shell.Size(320, 120);  // the missiles reach the ground soon
  shell.Start({.seed = 7, .windowCanvas = &picture, .sound = &sound, .record = record, .now = t0});
  cut();
  shell.PressFunctionKey(3);  // greyed: no event
  cut();
  shell.PressFunctionKey(2);
  cut();
  for (char32_t c : U"aB1ｱ") {
    shell.Type(c);
    cut();
    tick();
  }
  for (int i = 0; i < 1000 && gameState.gameOver == 0; ++i) tick();
  ASSERT_EQ(gameState.gameOver, 1);  // a missile reached the ground: the effect shows
  const PaceClock::time_point effectBegan = now;
  shell.Type(U'x');  // both wait for the end of the effect
  shell.Command(kCmdStart);
  cut();
  while (gameState.gameOver == 1) tick();  // until Start, held while the effect shows, can run
  EXPECT_EQ(now - effectBegan, milliseconds(500));  // 32 ticks' time: a call right at its end
  shell.Minimise();
  cut();
  tick();
  shell.Size(400, 300);
  cut();
  for (int i = 0; i < 70; ++i) tick();
  std::fclose(record);

  const std::string recorded = ReadFile("session.txt");
  ASSERT_GT(cuts.size(), 150u);
  for (const Cut& at : cuts) {
    std::string commands = recorded.substr(0, static_cast<size_t>(at.length));
    ScenarioLines lines{std::string_view(commands)};
    uint64_t written = 0;
    for (std::string_view line; lines.Next(&line) == LineRead::kLine;) {
      if (line.starts_with("tick ")) written += std::stoull(std::string(line.substr(5)));
    }
    commands += "tick " + std::to_string(at.ticks - written) + "\ndump\n";
    ASSERT_EQ(Replayed(commands), at.state + "\n") << commands;
  }
}

// A recording that cannot be written is said once and then left; the copy in memory goes on
// until it would pass its limit, and is then no longer offered.
TEST(SessionRecorder, SaysOnceThatItCannotWriteAndKeepsUpToItsLimit) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ::testing::internal::CaptureStderr();
  SessionRecorder recorder(full, true);
  recorder.Comment(std::string((16 << 20) - 3, 'x'));  // "# ...\n" to the limit
  EXPECT_NE(recorder.SoFar(""), "");
  recorder.Comment("");
  EXPECT_EQ(recorder.SoFar(""), "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "volarin: the recording could not be written: No space left on device\n");
  std::fclose(full);
}

// A kept game never goes over an existing name or through a link, and a folder it cannot be
// written to is said, with the path it would have had.
TEST(KeptGame, TakesANewNameAndReportsAFolderItCannotWrite) {
  ScopedTempDir dir;
  WriteFile("volarin-20260101-000000.txt", "mine");
  std::filesystem::create_symlink("elsewhere.txt", "volarin-20260101-000000-2.txt");
  const KeptGame kept = [] {
    const BareFileDefaults bare;  // the new file may take descriptor 0
    return KeepGame("20260101-000000", "s");
  }();
  EXPECT_TRUE(kept.problem == "" && !kept.download);
  EXPECT_EQ(kept.where, std::filesystem::current_path() / "volarin-20260101-000000-3.txt");
  EXPECT_EQ(ReadFile(kept.where), "s");
  EXPECT_EQ(std::filesystem::status(kept.where).permissions(), std::filesystem::perms(0666));
  EXPECT_EQ(ReadFile("volarin-20260101-000000.txt"), "mine");
  EXPECT_FALSE(std::filesystem::exists("elsewhere.txt"));
  // Past 99 copies in one second something else is wrong.
  for (int copy = 4; copy < 99; ++copy) WriteFile(KeptGameName("20260101-000000", copy), "");
  EXPECT_TRUE(KeepGame("20260101-000000", "s").where.ends_with("-99.txt"));
  EXPECT_EQ(KeepGame("20260101-000000", "s").problem, "File exists");

  std::filesystem::create_directory("gone");
  std::filesystem::current_path("gone");
  std::filesystem::remove("../gone");
  const KeptGame lost = KeepGame("20260101-000000", "seed 1\n");
  EXPECT_NE(lost.problem, "");
  EXPECT_TRUE(lost.where.ends_with("volarin-20260101-000000.txt")) << lost.where;
  std::filesystem::current_path(dir.path());
  EXPECT_TRUE(LocalTimeStamp(0) == "19700101-000000" || LocalTimeStamp(0).starts_with("1969"));
  EXPECT_EQ(LocalTimeStamp(std::numeric_limits<std::time_t>::max()), "00000000-000000");
}

// The overlay covers the part of the area it reaches, where its pixels are not transparent.
TEST(OverlayTest, CoversThePictureWhereItIsOpaque) {
  const uint32_t o = 0xff000009;  // outside the area
  const OverlayPicture overlay{
      3, 3, {0xff000001, 0x00ffffff, o, 0x01000003, 0xff000004, o, o, o, o}};
  std::vector<uint32_t> shown(9, 7);
  LayOverlay(overlay, {0, 0, 2, 2}, shown.data(), 3);
  EXPECT_EQ(shown, (std::vector<uint32_t>{0xff000001, 7, 7, 0x01000003, 0xff000004, 7, 7, 7, 7}));
}

// Without an overlay the picture's own pixels are shown; with one, a copy of the area's rows
// with the overlay laid over the area, the picture left as it was.
TEST(OverlayTest, ShownPixelsLayTheOverlayOverACopyOfTheArea) {
  BlockGlyphSource glyphs;
  PixelCanvas picture(3, 3, PixelOrder::kArgb, glyphs);
  std::vector<uint32_t> shown;
  EXPECT_EQ(ShownPixels(picture, {}, {0, 0, 3, 3}, shown), picture.pixels());
  const OverlayPicture overlay{3, 3, std::vector<uint32_t>(9, 0xff000001)};
  const uint32_t* pixels = ShownPixels(picture, overlay, {1, 1, 1, 2}, shown);
  ASSERT_EQ(pixels, shown.data());
  const uint32_t black = 0xff000000;
  EXPECT_EQ(std::vector<uint32_t>(pixels + 3, pixels + 9),
            (std::vector<uint32_t>{black, 0xff000001, black, black, 0xff000001, black}));
  EXPECT_EQ(picture.pixels()[4], black);
}

// The help pauses a running game and takes its keys; closed, it leaves the pause card, which
// after a minimise and restore shows the paused missiles again over the blanked field.
TEST_F(CardTest, HelpPausesTheGameAndThePauseCardKeepsItsField) {
  StartWithCards();
  EXPECT_TRUE(shell.TakeOverlayChange() && !shell.TakeOverlayChange());  // told once
  shell.PressFunctionKey(2);
  EXPECT_TRUE(shell.TakeOverlayChange());  // the hint goes
  EXPECT_TRUE(shell.Overlay().Empty());
  PlaceMissile(0, 100, 100, 0, 1);
  PlaceMissile(1, 300, 100, 0, 1).state = ExplodingFirst;
  interceptorSlots[2] = {500, 100, 0, -6, 1};
  shell.PressFunctionKey(1);
  EXPECT_TRUE(gameState.paused == 1 && shell.ShownCard() == Card::kHelp);
  EXPECT_TRUE(shell.TakeOverlayChange());
  int pages = 1;
  while (pages < 20 && shell.ShownCard() == Card::kHelp) {
    if (pages % 3 == 0) {
      EXPECT_TRUE(shell.TurnPage(1));  // the arrows and Page Down: taken
    }
    if (pages % 3 != 0) shell.Type(pages % 3 == 1 ? U'\r' : U' ');  // as Enter and space do
    ++pages;
  }
  EXPECT_EQ(pages, 17);  // sixteen pages, then the key that closes the help
  EXPECT_EQ(shell.ShownCard(), Card::kPause);
  shell.Command(kCmdAbout);
  EXPECT_EQ(shell.ShownCard(), Card::kAbout);
  shell.Type(U'\x1B');
  EXPECT_EQ(shell.ShownCard(), Card::kPause);
  EXPECT_EQ(Covered(84, 84, 116, 116), 0);  // the rules' own picture still shows the missile
  shell.Minimise();
  shell.Size(640, 480);
  EXPECT_EQ(shell.ShownCard(), Card::kPause);
  EXPECT_GT(Covered(84, 84, 116, 116, true), 0);  // drawn again over the blanked field
  EXPECT_TRUE(Covered(284, 84, 316, 116, true) > 0 && Covered(492, 92, 508, 108, true) > 0);
  EXPECT_EQ(Covered(184, 84, 216, 116, true) + Covered(0, 0, 40, 40, true), 0);
  shell.PressFunctionKey(3);
  EXPECT_EQ(shell.ShownCard(), Card::kNone);
  EXPECT_TRUE(shell.Overlay().Empty());
  // The game going on again from the menu closes a help opened over the pause.
  shell.PressFunctionKey(3);
  shell.Command(kCmdAbout);
  shell.Command(kCmdPause);
  EXPECT_TRUE(gameState.paused == 0 && shell.ShownCard() == Card::kNone);
  EXPECT_EQ(LanguageOfLocale("ja-JP"), Language::kJapanese);
  EXPECT_EQ(LanguageOfLocale("en_JA"), Language::kEnglish);
}

// 64 ticks a second times the speed, none while paused; nothing typed, chosen or sized reaches
// the game, which ends where it was recorded, with the settings file beside it untouched, the
// window at the recorded sizes and every menu item greyed. The verdict ends the program.
TEST_F(ViewerTest, AReplayPlaysInTimeAndNothingThePlayerDoesReachesTheGame) {
  WriteFile(kSettingsFileName, "31\n5\n");  // the recording carries them, not the file's
  const std::string recorded = PlayRecordedSession(frontEnd, sound);
  WriteFile(kSettingsFileName, "3\n");
  sound.played.clear();
  StartViewer(recorded, {.windowCanvas = &picture,
                         .sound = &sound,
                         .now = t0,
                         .cardGlyphs = &glyphs,
                         .locale = "en_US.UTF-8"});
  EXPECT_EQ(viewedFrontEnd.title, VOLARIN_TITLE " - replay");
  EXPECT_EQ(viewedFrontEnd.marks.size(), 19u);
  for (const auto& [id, mark] : viewedFrontEnd.marks) EXPECT_TRUE(mark.second) << id;
  PlayUntil(t0 + std::chrono::seconds(1));
  EXPECT_NEAR(static_cast<double>(viewed->TicksRun()), 64, 1);
  viewed->TakeOverlayChange();
  EXPECT_TRUE(viewed->Type(U' '));
  EXPECT_TRUE(viewed->TakeOverlayChange());  // the banner says so at once
  PlayUntil(now + std::chrono::seconds(1));
  EXPECT_NEAR(static_cast<double>(viewed->TicksRun()), 64, 1);
  viewed->Type(U' ');
  // +, then the page keys: 2x, 4x, 8x, back to 4x.
  EXPECT_TRUE(viewed->Type(U'+') && viewed->TurnPage(1) && viewed->TurnPage(1) &&
              viewed->TurnPage(-1));
  const uint64_t before = viewed->TicksRun();
  PlayUntil(now + std::chrono::seconds(1));
  EXPECT_NEAR(static_cast<double>(viewed->TicksRun() - before), 256, 4);
  PlayUntil(now + std::chrono::seconds(1));  // into the game the recording started at 3 s
  for (char32_t c : U"aZ3ｱ\t") EXPECT_FALSE(viewed->Type(c));
  for (int key = 1; key < 4; ++key) viewed->PressFunctionKey(key);
  viewed->Command(kCmdStop);
  viewed->Size(300, 200);
  viewed->Minimise();
  for (int i = 0; i < 3; ++i) viewed->TurnPage(1);
  PlayUntil(now + std::chrono::seconds(3));
  EXPECT_EQ(viewed->ShownCard(), Card::kVerdict);
  EXPECT_EQ(viewedFrontEnd.fitted, (std::vector<std::pair<int, int>>{
                                       {640, 480}, {700, 500}, {660, 480}, {0, 0}, {640, 480}}));
  EXPECT_EQ(viewedFrontEnd.quits, 1);
  EXPECT_FALSE(sound.played.empty());
  EXPECT_EQ(Report(), "verified\n");    // the state line only when asked
  EXPECT_TRUE(viewed->KeepSettings());  // as a session ending mid-replay asks
  EXPECT_EQ(viewed->End(ProgramEnd::kWindowClosed), 0);
  EXPECT_EQ(ReadFile(kSettingsFileName), "3\n");
}

// An edited, a cut and a malformed recording are each reported as not verified, with why, and
// end the program with status 1; Esc ends a replay before its end, not verified either.
TEST_F(ViewerTest, RecordingsThatDoNotEndWhereRecordedAreNotVerified) {
  const std::string recorded = PlayRecordedSession(frontEnd, sound);
  const size_t tick = recorded.find("tick 64\n");
  ASSERT_NE(tick, std::string::npos);
  const std::string notWhere =
      "not verified: this recording does not end where it was recorded: edited, damaged or "
      "made by another version\n{";
  const std::pair<std::string, std::string> cases[] = {
      {std::string(recorded).replace(tick, 7, "tick 63"), notWhere},
      {recorded.substr(0, recorded.rfind("# final ")), "not verified: no \"# final\" line"},
      {"seed 7\nchar 300\n" + recorded.substr(7), "not verified: line 2: char: number out"},
      {"seed 7\nload\n", "not verified: line 2: load: this recording needs the settings"},
      {recorded + "tick 5\n", notWhere},
      {"# final \n", notWhere},
      // Appended: GCC 12 warns falsely (-Wrestrict) about "#" + std::string(...) in a Release.
      {std::string("#").append(65536, 'a').append("\n"),  // one byte too long
       "not verified: line 1: longer than 65536 bytes"},
      {"settings\n\"1\"\n", "not verified: the recording ends inside its settings block"},
      {std::string((64 << 20) + 1, '#'), "not verified: larger than 64 MiB: not a recording"},
  };
  for (const auto& [text, said] : cases) {
    StartViewer(text, {.sound = &sound, .now = t0, .reportStateLine = true});
    for (int i = 0; i < 7; ++i) viewed->TurnPage(1);
    PlayUntil(t0 + std::chrono::seconds(2));
    EXPECT_EQ(viewed->End(ProgramEnd::kWindowClosed), 1) << said;
    const std::string report = Report();
    EXPECT_TRUE(report.starts_with(said)) << said;
    EXPECT_EQ(report.find('{') != std::string::npos, said.ends_with('{')) << said;  // readable
  }
  StartViewer(recorded, {.sound = &sound, .now = t0});
  PlayUntil(t0 + std::chrono::seconds(1));
  EXPECT_EQ(viewedFrontEnd.quits, 0);
  viewed->Type(0x1B);
  EXPECT_EQ(viewedFrontEnd.quits, 1);
  EXPECT_EQ(viewed->End(ProgramEnd::kWindowClosed), 1);
  EXPECT_TRUE(Report().starts_with("not verified: the replay was ended before"));
}

// A recording written by hand (carriage returns, a bare tick, a settings block, thousands of
// keys between two ticks, two state lines) replays to where the runner ends it. One call runs
// only a call's work of its commands (a line costs at least 1/4096 of it), and after a stall at
// most a quarter of a second of play.
TEST_F(ViewerTest, AHandWrittenRecordingReplaysInBoundedSteps) {
  std::string text = "seed 9\r\nsettings\r\n\"31\\n5\\n\"\r\nend settings\r\ntick\r\n";
  for (int i = 0; i < 5000; ++i) text += "char 65\r\n";
  text += "command 40015\r\ndump\r\ntick 100\r\ndump\r\n";
  const std::string states = Replayed(text);
  text += "# final " + states.substr(states.find('\n') + 1, states.size() - states.find('\n') - 2);
  StartViewer(text + "\r\n", {.sound = &sound, .now = t0});
  now = viewed->Advance(t0 + kTickPeriod);
  // Seed, settings, tick and its one tick (a tick costs four lines), then the keys that fit.
  EXPECT_EQ(gameState.misses, 4080);
  PlayUntil(t0 + std::chrono::seconds(1));
  const uint64_t before = viewed->TicksRun();
  now = viewed->Advance(now + std::chrono::seconds(10));
  EXPECT_EQ(viewed->TicksRun() - before, 16u);
  PlayUntil(now + std::chrono::seconds(3));
  EXPECT_EQ(viewed->End(ProgramEnd::kWindowClosed), 0) << Report();
}

// The replay's own pace, whatever the game: the speed doubles up to 64x and halves down to 1x,
// and the shell is asked to call at most four times a tick, then eight times a second once the
// replay is over.
TEST(ReplayTest, SpeedsAndCallsAreBounded) {
  struct Ticks : ScenarioCalls {
    void Seed(uint32_t) override {}
    void Size(int, int) override {}
    void RunTicks(uint64_t count) override { run += count; }
    void TypeCode(uint8_t) override {}
    void Command(uint16_t) override {}
    void TakeSettings(const std::string*) override {}
    std::string Dump() override { return "{}"; }
    uint64_t run = 0;
  } game;
  Replay replay(game, nullptr);
  const PaceClock::time_point t0{};
  std::string typed;  // the last twelve characters typed are kept to be shown
  for (char c = 'A'; c <= 'N'; ++c) typed += "char " + std::to_string(c) + "\n";
  // The longest line a recording may hold (65,536 bytes) is read.
  replay.Start(typed + "tick 40\n#" + std::string(65535, ' ') + "\ndump\n# final {}\n", "", t0);
  for (int i = 0; i < 8; ++i) replay.ChangeSpeed(1);
  EXPECT_EQ(replay.Speed(), 64);
  EXPECT_TRUE(replay.Type(U'-'));
  EXPECT_EQ(replay.Speed(), 32);
  EXPECT_EQ(replay.Advance(t0 + kTickPeriod) - t0, kTickPeriod + kTickPeriod / 4);
  EXPECT_EQ(game.run, 32u);
  for (int i = 0; i < 8; ++i) replay.Type(U'-');
  EXPECT_EQ(replay.Speed(), 1);
  EXPECT_EQ(replay.Advance(t0 + 2 * kTickPeriod) - t0, 3 * kTickPeriod);
  EXPECT_EQ(game.run, 33u);
  replay.Type(U' ');
  replay.Advance(t0 + std::chrono::seconds(1));
  EXPECT_TRUE(replay.Paused() && game.run == 33u);
  replay.Type(U' ');
  const PaceClock::time_point late = t0 + std::chrono::minutes(2);
  replay.Advance(late);
  ASSERT_TRUE(replay.Finished() && replay.Verified());
  EXPECT_EQ(replay.LastKeys(), "CDEFGHIJKLMN");
  EXPECT_EQ(replay.Advance(late) - late, 8 * kTickPeriod);
}

// Lines break after a space, between Japanese characters, or anywhere in a word wider than the
// card; they lose their spaces at the end, and bytes that are not UTF-8 show as U+FFFD.
TEST(CardPainterTest, HelpLinesBreakWhereAllowed) {
  NarrowAndWideGlyphs glyphs;  // a 16, b 17, space 16, c 18, d 19; the kana face one wider
  CardPainter painter(glyphs, PixelOrder::kArgb);
  const auto lines = [&](const char* paragraph, int width) {
    return painter.Paginate({{"", {paragraph}}}, width + 48, 600).at(0).lines;
  };
  EXPECT_EQ(lines("ab cd", 49), (Lines{"ab", "cd"}));
  EXPECT_EQ(lines("ab   cd", 49), (Lines{"ab", "", "cd"}));
  EXPECT_EQ(lines("ab ", 100), (Lines{"ab"}));
  EXPECT_EQ(lines("\u2e80\u2e80ab", 60), (Lines{"\u2e80", "\u2e80ab"}));
  EXPECT_EQ(lines("\u2000\u2000", 25), (Lines{"\u2000", "\u2000"}));
  EXPECT_EQ(lines("\xff\x80\u0080\u0800", 1000), (Lines{"\ufffd\ufffd\u0080\u0800"}));
}

}  // namespace
