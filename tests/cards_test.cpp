// The cards of play as a player meets them: the results card's quiet moment and save key, its
// figures, cards fitted to the field, the hint, the help's pages, the paused field's launchers
// and a replay's banner.
#include "app/cards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/card_painter.h"
#include "app/card_text.h"
#include "app/commands.h"
#include "app/session.h"
#include "app/settings.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/interceptors.h"
#include "resources/command_ids.h"
#include "shell_fixtures.h"

namespace {

using namespace shell_fixtures;
using Lines = std::vector<std::string>;

constexpr uint32_t kWhite = 0xFFFFFFFF;

// The smallest rectangle holding every pixel the overlay covers: left, top, right, bottom.
std::vector<int> CoveredBox(const OverlayPicture& overlay) {
  std::vector<int> box = {overlay.width, overlay.height, -1, -1};
  for (int y = 0; y < overlay.height; ++y) {
    for (int x = 0; x < overlay.width; ++x) {
      if (overlay.pixels[static_cast<size_t>(y) * overlay.width + x] >> 24 == 0) continue;
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    }
  }
  return box;
}

// Pixels of the text, of whatever colour: neither the card's blue nor its two-pixel border.
int InkPixels(const OverlayPicture& overlay) {
  const std::vector<int> box = CoveredBox(overlay);
  const int width = box[2] - box[0] + 1, height = box[3] - box[1] + 1;
  const auto painted = std::count_if(overlay.pixels.begin(), overlay.pixels.end(),
                                     [](uint32_t p) { return p >> 24 != 0 && p != 0xFF000060; });
  return static_cast<int>(painted) - (4 * (width + height) - 16);
}

// A burst of twelve keys ends a game at its tenth miss: the last two, and S, neither close the
// card nor reach the rules; Ctrl+S saves, at any time; a second after the card came, any key
// closes it. The keys taken are noted, so the session still replays to its end.
TEST_F(CardTest, AResultsCardTakesNoKeyForAMomentAndSavesOnlyWithCtrlS) {
  std::FILE* record = std::fopen("session.txt", "w");
  frontEnd.stamp = "20261208-120000";
  StartWithCards(record);
  shell.PressFunctionKey(2);
  for (int i = 0; i < 12; ++i) shell.Type(U'€');
  shell.Type(U's');
  ASSERT_EQ(shell.ShownCard(), Card::kResults);
  EXPECT_FALSE(std::filesystem::exists("volarin-20261208-120000.txt"));
  AdvanceUntil(now + std::chrono::milliseconds(900));
  shell.Type(U'x');
  EXPECT_EQ(shell.ShownCard(), Card::kResults);
  shell.Type(U'\x13');
  EXPECT_TRUE(std::filesystem::exists("volarin-20261208-120000.txt"));
  AdvanceUntil(now + std::chrono::milliseconds(200));
  shell.Type(U'\x13');  // saved once
  EXPECT_EQ(shell.ShownCard(), Card::kResults);
  shell.Type(U'x');
  EXPECT_EQ(shell.ShownCard(), Card::kNone);
  EXPECT_EQ(gameState.misses, 10);
  shell.End(ProgramEnd::kWindowClosed);
  std::fclose(record);
  const std::string recorded = ReadFile("session.txt");
  EXPECT_EQ(Replayed(recorded), recorded.substr(recorded.rfind("# final ") + 8));
  EXPECT_FALSE(std::filesystem::exists("volarin-20261208-120000-2.txt"));
}

// The card says why the game ended and counts what the band counts; accuracy is hits among
// hits and misses, and the pace counts hits only.
TEST(ResultLinesTest, SayWhyTheGameEndedAndComputeFromTheirOwnFigures) {
  const GameResults flushed{.hits = 18, .misses = 0, .ticks = 64 * 60, .end = GameEnd::kGround};
  EXPECT_EQ(ResultLines(Language::kEnglish, flushed),
            (Lines{"Game over", "A missile reached the ground", "Score  00000",
                   "Best for level 1  00000", "Hits 18  Misses 0", "Accuracy  100% = 18 / (18 + 0)",
                   "Hits a minute  18  Length  1:00"}));
  const auto missed = ResultLines(
      Language::kEnglish, {.hits = 0, .misses = 10, .ticks = 150, .end = GameEnd::kTenthMiss});
  EXPECT_EQ(missed[1] + missed[5] + missed[6],
            "The tenth missAccuracy  0% = 0 / (0 + 10)"
            "Hits a minute  0  Length  0:02");
  const auto best =
      ResultLines(Language::kJapanese, {.newBest = true, .hits = 3, .misses = 1, .ticks = 1});
  EXPECT_EQ(best[1] + best[4] + best[6],
            "ストップしました最高得点を更新！命中率 75% = 3 / (3 + 1)");
  EXPECT_EQ(ResultLines(Language::kEnglish, {.ticks = 0})[6], "Hits a minute  0  Length  0:00");
  // The game's slowest characters, and the last games' average, beaten only by a higher score.
  const GameResults tied{.score = 40, .slowest = {"Q", "%"}, .average = 40};
  EXPECT_EQ(ResultLines(Language::kEnglish, tied).back(),
            "Not above the last games' average  00040");
  EXPECT_EQ(ResultLines(Language::kEnglish, {.score = 41, .average = 40}).back(),
            "Better than the last games' average  00040");
  EXPECT_EQ(ResultLines(Language::kEnglish, tied).end()[-2], "Slowest  Q  %");
  EXPECT_EQ(ResultLines(Language::kEnglish, {.average = -1}).size(), 7u);
  EXPECT_EQ(HintLine(Language::kEnglish) + HintLine(Language::kJapanese),
            "F2 start · F1 helpF2 スタート · F1 ヘルプ");
  EXPECT_EQ(ProgressSlowest(Language::kEnglish, {"B", "C"}, 3), "Slowest in 3 games:  B  C");
  EXPECT_EQ(ProgressFigure(9.94) + ProgressFigure(9.95) + ProgressFigure(1e9) + ProgressFigure(-1),
            "9.910999-");
}

// Where the game may be saved the card ends with the offer, then where the game went, or why
// it did not.
TEST(ResultLinesTest, EndWithTheSaveOfferThenWhereTheGameWent) {
  const auto saving = [](const KeptGame* kept) {
    const Lines lines = ResultLines(Language::kEnglish, {}, true, kept);
    return Lines(lines.begin() + 7, lines.end());
  };
  EXPECT_EQ(saving(nullptr), Lines{"Ctrl+S: save this game"});
  const KeptGame saved{.where = "/g/v.txt", .problem = "", .download = false};
  EXPECT_EQ(saving(&saved), (Lines{"Saved as", "/g/v.txt"}));
  const KeptGame failed{.where = "/g/v.txt", .problem = "disk full", .download = false};
  EXPECT_EQ(saving(&failed), (Lines{"Could not save the game as", "/g/v.txt", "disk full"}));
  const KeptGame downloaded{.where = "v.txt", .problem = "", .download = true};
  EXPECT_EQ(saving(&downloaded), (Lines{"Downloaded as v.txt", "Its link is below the game"}));
  EXPECT_EQ(ResultLines(Language::kEnglish, {}, false, &saved).size(), 7u);
}

// A game's figures come from the rules' own events: its interceptors' hits (never the
// demonstration's), its ticks but paused ones and the one that ended it, its misses, and why it
// ended: the tenth miss, a missile on the ground, or Stop; the next game counts afresh.
TEST_F(GameTest, SessionCountsAGameAndWhyItEndedFromTheRulesOwnEvents) {
  Session session;
  gameEvents = &session;
  gameState.missileCapacity = 0;  // no missile falls but those placed here
  const auto tick = [&] {
    session.Tick();
    OnTick();
    session.TickRan();
  };
  const auto start = [&] {
    OnCommand(kCmdStart);
    session.GameStarted();
  };
  PlaceMissile(0, 320, 100, 0, 1);
  LaunchInterceptor(0);
  for (int i = 0; i < 100 && missileSlots[0].state == Falling; ++i) tick();
  start();
  PlaceMissile(1, 320, 100, 0, 1);
  LaunchInterceptor(1);
  int ticks = 0;
  for (; ticks < 100 && missileSlots[1].state == Falling; ++ticks) tick();
  OnCommand(kCmdPause);
  tick();
  OnCommand(kCmdPause);
  for (int i = 0; i < 10; ++i) OnChar(0x80);
  tick();  // after the end: the demonstration's
  session.GameEnded("");
  const GameResults& r = session.Results();
  EXPECT_EQ(std::vector<int64_t>({r.hits, r.misses, static_cast<int64_t>(r.ticks)}),
            std::vector<int64_t>({1, 10, ticks}));
  EXPECT_TRUE(r.newBest && r.best == gameState.score && r.end == GameEnd::kTenthMiss);
  start();
  PlaceMissile(0, 320, fieldGeometry.groundY - 17, 0, 1);
  tick();
  session.GameEnded("");
  EXPECT_TRUE(!r.newBest && r.hits == 0 && r.end == GameEnd::kGround);
  start();
  OnCommand(kCmdStop);
  session.GameEnded("");
  EXPECT_EQ(r.end, GameEnd::kStopped);
  gameEvents = nullptr;
}

// A level-3 game begun after a minute of demonstration is kept as the game alone: the state it
// started from, the start command, its own ticks; it replays in the viewer, verified.
TEST_F(ViewerTest, AKeptGameIsTheGameAloneAndVerifies) {
  WriteFile(kSettingsFileName, "31\n1\n");
  frontEnd.stamp = "20261208-130000";
  shell.Size(700, 500);
  StartWithCards();
  shell.Command(kCmdLevel1 + 2);
  AdvanceUntil(t0 + std::chrono::minutes(1));
  shell.PressFunctionKey(2);
  const uint64_t started = shell.TicksRun();
  AdvanceUntil(now + std::chrono::seconds(2));
  for (char32_t c : std::u32string_view(U"QWERT")) shell.Type(c);
  while (gameState.gameOver == 0 && now < t0 + std::chrono::minutes(4))
    AdvanceUntil(now + std::chrono::seconds(1));
  ASSERT_EQ(shell.ShownCard(), Card::kResults);
  const uint64_t gameTicks = shell.TicksRun() - started;
  AdvanceUntil(now + std::chrono::seconds(2));
  shell.Type(U'\x13');
  const std::string kept = ReadFile("volarin-20261208-130000.txt");
  EXPECT_NE(kept.find("\"31\\n\"\n\"3\\n\"\n"), std::string::npos);  // the level as it was then
  EXPECT_NE(kept.find("end settings\nsize 700 500\ncommand " + std::to_string(kCmdStart) + "\n"),
            std::string::npos);
  uint64_t ticks = 0;
  for (size_t at = kept.find("\ntick "); at != std::string::npos; at = kept.find("\ntick ", at + 1))
    ticks += std::stoull(kept.substr(at + 6));
  EXPECT_TRUE(ticks <= gameTicks && ticks + 64 > gameTicks) << ticks << " " << gameTicks;
  EXPECT_TRUE(kept.substr(kept.rfind("# final "))
                  .starts_with("# final {\"tick\":" + std::to_string(ticks) + ","));
  WriteFile(kSettingsFileName, "3\n");
  StartViewer(kept, {.now = t0, .cardGlyphs = &glyphs, .reportStateLine = true});
  PlayUntil(t0 + std::chrono::seconds(ticks / 64 + 2));
  EXPECT_EQ(Report(), "verified\n" + kept.substr(kept.rfind("# final ") + 8));
}

// A results card with a long path fits the field at every size: its frame whole inside the
// field, nothing over the band; at 640 x 480 an 82-character path is wrapped, none of its ink
// lost, and a 199-character one is shortened in its middle.
TEST_F(GameTest, AResultsCardWithALongPathFitsTheField) {
  NarrowAndWideGlyphs glyphs;
  for (const size_t length : {82u, 199u}) {
    const std::string path =
        "/home/" + std::string(length - 34, 'p') + "/volarin-20261208-130000.txt";
    ASSERT_EQ(path.size(), length);
    int fullInk = 0;
    for (const auto& [width, height] :
         {std::pair{4000, 3000}, std::pair{640, 480}, std::pair{1280, 960}, std::pair{400, 300},
          std::pair{300, 600}, std::pair{120, 90}}) {
      OnSize(width, height);
      Cards cards(&glyphs, PixelOrder::kArgb, Language::kEnglish, true);
      cards.GameEnded({.hits = 1}, true);
      cards.Saved({.where = path, .problem = "", .download = false});
      cards.Update();
      const std::vector<int> box = CoveredBox(cards.Overlay());
      EXPECT_TRUE(box[0] >= 0 && box[2] < width && box[3] < height - 32) << width;
      const uint32_t* row = cards.Overlay().pixels.data();
      for (int y = box[1]; y <= box[3] && height >= 300; ++y)  // room for the whole frame
        EXPECT_TRUE(row[y * width + box[0]] == kWhite && row[y * width + box[2]] == kWhite) << y;
      if (width == 4000) fullInk = InkPixels(cards.Overlay());
      if (width == 640) {
        EXPECT_EQ(InkPixels(cards.Overlay()) == fullInk, length == 82u) << length;
      }
    }
  }
}

// The hint shows over the demonstration until the first game starts, in the player's language.
TEST_F(CardTest, TheHintShowsUntilTheFirstGame) {
  for (const char* locale : {"ja_JP.UTF-8", "en_US.UTF-8"}) {
    GameShell fresh(frontEnd);
    fresh.Start({.seed = 7, .now = t0, .cardGlyphs = &glyphs, .locale = locale});
    const std::vector<int> box = CoveredBox(fresh.Overlay());
    EXPECT_TRUE(box[1] == 8 && box[3] < 60 && box[0] > 50 && box[2] < 590) << locale;
    fresh.PressFunctionKey(2);
    EXPECT_TRUE(fresh.Overlay().Empty());
    fresh.Command(kCmdStop);
    fresh.Type(U'x');
    EXPECT_GT(CoveredBox(fresh.Overlay())[1], 8);  // the results card, and never the hint again
  }
}

// A paragraph goes whole to the next page rather than split; one longer than a page is split
// between its sentences; a sentence longer than a page is split where it must be.
TEST(CardPainterTest, PagesNeverSplitASentenceThatFitsOnOne) {
  NarrowAndWideGlyphs glyphs;
  CardPainter painter(glyphs, PixelOrder::kArgb);
  const std::string a = "aaaa aaaa aaaa aaaa aaaa aaaa.", b = "bbbb bbbb bbbb bbbb.";
  const std::string bb = b + " " + b, abb = a + " " + bb;
  // 340 wide: four words a line; 206 high: three lines a page beside heading and footer.
  const auto pages =
      painter.Paginate({{"h", {"x", "y", bb.c_str(), abb.c_str()}}}, 340 + 48, 190 + 16, "f");
  std::vector<Lines> lines;
  for (const CardPage& page : pages) lines.push_back(page.lines);
  const Lines a2 = {"aaaa aaaa aaaa aaaa", "aaaa aaaa."};
  EXPECT_EQ(lines, (std::vector<Lines>{{"x", "y"}, {b, b}, {a2[0], a2[1], b}, {b}}));
  // A path breaks after its separators; a folder longer than a line where the line is full.
  EXPECT_EQ(painter.Paginate({{"", {"a/bbbbbbbbbb"}}}, 100 + 48, 600).at(0).lines,
            (Lines{"a/bbb", "bbbbb", "bb"}));
  EXPECT_EQ(painter.Paginate({{"", {"aa/bb\\cc"}}}, 120 + 48, 600).at(0).lines,
            (Lines{"aa/bb\\", "cc"}));
  // A character past U+FFFF (a file name may hold one) comes through wrapping whole.
  EXPECT_EQ(painter.Paginate({{"", {"aa \U0001F600/b"}}}, 1000, 600).at(0).lines,
            (Lines{"aa \U0001F600/b"}));
  EXPECT_EQ(HelpFooter(Language::kEnglish, 6, 7), "F1/PageDown/Esc: close  7/7");
  EXPECT_EQ(HelpFooter(Language::kEnglish, 5, 7), "F1/PageDown: next  Esc: close  6/7");
  EXPECT_EQ(HelpFooter(Language::kJapanese, 0, 1), "Esc/Enter: 閉じる");
}

// A replay's banner shows its speed, its keys and the last characters typed, each as on a key.
TEST(ReplayBannerTest, ShowsTheSpeedTheKeysAndTheCharactersTyped) {
  EXPECT_EQ(
      ReplayBanner(Language::kEnglish, 2, false,
                   "A \xB1\x1B"
                   "B\xDF\xE0"),
      (Lines{"Replay ×2  Space: pause  +/-: speed  Esc: end", "Keys: A SP ｱ 0x1B B \uFF9F 0xE0"}));
  EXPECT_EQ(ReplayBanner(Language::kJapanese, 1, true, "")[0],
            "再生 一時停止  スペース: 一時停止  +/-: 速さ  Esc: 終了");
}

// Every card as it is drawn now, in both languages and at six sizes (a narrow one that cuts the
// cards and breaks the Japanese lines elsewhere, one with no height, one with no width, and a
// height whose pages' line count a fault in the margins changes), folded into one digest:
// any change to the texts or the layout shows here, and is taken on purpose by copying the digest
// the failure prints.
TEST_F(CardTest, EveryCardIsDrawnAsBefore) {
  uint64_t digest = 14695981039346656037u;
  std::vector<int> pagesShown;
  for (const char* locale : {"en_US.UTF-8", "ja_JP.UTF-8"}) {
    for (const auto& [width, height] :
         {std::pair{640, 480}, std::pair{1280, 960}, std::pair{291, 157}, std::pair{291, 0},
          std::pair{0, 503}, std::pair{480, 503}}) {
      NarrowAndWideGlyphs cardGlyphs;
      // The page's byte order at the larger size, the others' at the smaller.
      const PixelOrder order = width > 640 ? PixelOrder::kRgbaBytes : PixelOrder::kArgb;
      PixelCanvas window{width, height, order, cardGlyphs};
      GameShell fresh(frontEnd);
      fresh.Size(width, height);
      fresh.Start({.seed = 7,
                   .windowCanvas = &window,
                   .now = t0,
                   .cardGlyphs = &cardGlyphs,
                   .overlayOrder = order,
                   .locale = locale});
      const auto fold = [&](const OverlayPicture& overlay) {
        for (const uint32_t pixel : overlay.pixels) digest = (digest ^ pixel) * 1099511628211u;
      };
      int pages = 0;
      // Back from the first page stays there.
      for (fresh.PressFunctionKey(1), fresh.TurnPage(-1);
           fresh.ShownCard() == Card::kHelp && pages < 30; ++pages) {
        fold(fresh.Overlay());
        fresh.PressFunctionKey(1);
      }
      pagesShown.push_back(pages);
      fresh.Command(kCmdAbout);
      fold(fresh.Overlay());
      fresh.Type(U'\x1B');
      fresh.PressFunctionKey(2);
      fresh.PressFunctionKey(3);
      fresh.Minimise();  // the paused field is drawn again beneath the card
      fresh.Size(width, height);
      fold(fresh.Overlay());
      fresh.PressFunctionKey(3);
      for (int i = 0; i < 10; ++i) fresh.Type(U'\u20AC');
      fold(fresh.Overlay());
      fresh.PressFunctionKey(4);  // the progress card, over the games ended so far
      EXPECT_EQ(fresh.ShownCard(), Card::kProgress);
      fold(fresh.Overlay());
      fresh.PressFunctionKey(4);
      EXPECT_EQ(fresh.ShownCard(), Card::kNone);
      VerdictCard verdict = VerdictCardText(LanguageOfLocale(locale), false, kAlphabet);
      verdict.heading += std::string(kAlphabet) + "\xff\u2000";  // the widest line
      Cards verdictCard(&cardGlyphs, order, LanguageOfLocale(locale), false);
      verdictCard.ShowVerdict(verdict);
      verdictCard.Update();
      fold(verdictCard.Overlay());
    }
  }
  EXPECT_EQ(digest, 13144148241331396901u) << "pages " << ::testing::PrintToString(pagesShown);
}

}  // namespace
