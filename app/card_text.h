// The words the cards over the field say, in the player's language: help, about, pause, results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/kept_game.h"

enum class Language { kEnglish, kJapanese };

// Japanese when the locale name (a POSIX "ja_JP.UTF-8", a browser's "ja-JP", a Windows
// "ja-JP") starts with "ja"; English for anything else, an empty name included.
Language LanguageOfLocale(std::string_view locale);

// A part of the help: its heading, then paragraphs, each wrapped to the card's width. A part
// starts on a page of its own and goes on over as many pages as it needs.
struct HelpSection {
  std::string heading;
  std::vector<std::string> paragraphs;
};

// The help's sections, or with `about` the one of About.
std::vector<HelpSection> HelpSections(Language language, bool about);

// The last line of a help page: how to turn the page and close the help (the last page's keys
// close it); with one page, as About has, how to close it.
std::string HelpFooter(Language language, int page, int pageCount);

// Why a game ended.
enum class GameEnd { kGround, kTenthMiss, kStopped };

// A game as the shell saw it end.
struct GameResults {
  int32_t score = 0;
  int32_t best = 0;      // the level's best after this game
  bool newBest = false;  // this game raised it
  int32_t level = 1;
  int hits = 0;
  int misses = 0;      // as the status band counts them
  uint64_t ticks = 0;  // ticks the game ran, pauses left out
  GameEnd end = GameEnd::kStopped;
  std::vector<std::string> slowest{};  // the game's slowest characters, slowest first
  int32_t average = -1;  // the last ten games' average score at this level before it; -1: none
};

// The results card: a heading, then one line a figure; with `canSave` the offer to save the
// game, or once it was saved where (in the page the download's name), or why it could not be.
std::vector<std::string> ResultLines(Language language, const GameResults& results,
                                     bool canSave = false, const KeptGame* kept = nullptr);
std::string ResultsFooter(Language language);

// The progress card's words: its heading, the plot's legend (each series with the top of its
// scale), the line naming the slowest characters over `games` games (or that there are none
// yet), the grid's figure for a time in seconds (negative: none), and its footer.
std::string ProgressHeading(Language language, int32_t level);
std::vector<std::string> ProgressLegend(Language language, int32_t topScore, int32_t topPerMinute);
std::string ProgressSlowest(Language language, const std::vector<std::string>& slowest,
                            size_t games);
std::string ProgressFigure(double seconds);
std::string ProgressFooter(Language language);

// The line over the demonstration until the first game starts: how to start, how to get help.
std::string HintLine(Language language);

// A replay's two lines over its field: its speed and the keys that pace it, then the last
// characters the recording typed (`codes`, the game's bytes in the order typed), each as it
// shows on a key: a character, SP for the space, or its code in hexadecimal.
std::vector<std::string> ReplayBanner(Language language, int speed, bool paused,
                                      const std::string& codes);

// The pause card's two lines.
std::vector<std::string> PauseLines(Language language);

// The replay viewer's last card: a heading, then its lines (the sentence a stranger's edited
// recording gets, cut where a card can show it), then the footer.
struct VerdictCard {
  std::string heading;
  std::vector<std::string> lines;
  std::string footer;
};
// `reason` is empty when the replay ran to its end, else why it could not (in English, as
// the reader's messages are).
VerdictCard VerdictCardText(Language language, bool verified, const std::string& reason);
