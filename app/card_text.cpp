// Every text the cards show but the help's prose (resources/help.txt), English and Japanese
// side by side, so a change reaches both. The web build cuts its fonts to the characters of
// this file and that one (frontend/web/subset_font.py), the ellipsis that shortens a long line
// (…) included.
#include "app/card_text.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "app/message_text.h"
#include "resources/help_text.h"

Language LanguageOfLocale(std::string_view locale) {
  return locale.substr(0, 2) == "ja" ? Language::kJapanese : Language::kEnglish;
}

namespace {

// The sections of resources/help.txt in one language, About last.
std::vector<HelpSection> ReadHelp(Language language) {
  std::vector<HelpSection> sections;
  bool japaneseLine = false;
  // A string view, not a string stream: no stream code in the Windows exe.
  for (std::string_view text = kHelpText; !text.empty();) {
    const std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(line.size() + 1, text.size()));
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("| ")) {  // the same in both languages
      sections.back().paragraphs.emplace_back(line.substr(2));
      continue;
    }
    const bool wanted = japaneseLine == (language == Language::kJapanese);
    japaneseLine = !japaneseLine;
    if (!wanted) continue;
    if (line.starts_with("= ")) {
      sections.push_back({std::string(line.substr(2)), {}});
    } else {
      sections.back().paragraphs.emplace_back(line);
    }
  }
  return sections;
}

using Lines = std::vector<std::string>;

std::string Format(const char* format, long long a, long long b = 0, long long c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace

std::vector<HelpSection> HelpSections(Language language, bool about) {
  static const std::vector<HelpSection> english = ReadHelp(Language::kEnglish);
  static const std::vector<HelpSection> japanese = ReadHelp(Language::kJapanese);
  const std::vector<HelpSection>& all = language == Language::kJapanese ? japanese : english;
  if (about) return {all.back()};
  return {all.begin(), all.end() - 1};
}

// From the last page the keys that turn the help close it: its footer says so.
std::string HelpFooter(Language language, int page, int pageCount) {
  const bool ja = language == Language::kJapanese;
  if (pageCount <= 1) return ja ? "Esc/Enter: 閉じる" : "Esc/Enter: close";
  const char* format = page + 1 < pageCount ? (ja ? "F1/PageDown: 次へ  Esc: 閉じる  %lld/%lld"
                                                  : "F1/PageDown: next  Esc: close  %lld/%lld")
                                            : (ja ? "F1/PageDown/Esc: 閉じる  %lld/%lld"
                                                  : "F1/PageDown/Esc: close  %lld/%lld");
  return Format(format, page + 1, pageCount);
}

// Accuracy is hits among hits and misses, the two figures above it; characters a minute count
// the hits only, a minute being 3840 ticks.
std::vector<std::string> ResultLines(Language language, const GameResults& r, bool canSave,
                                     const KeptGame* kept) {
  const bool ja = language == Language::kJapanese;
  const long long shots = static_cast<long long>(r.hits) + r.misses;
  const long long accuracy = shots == 0 ? 0 : 100LL * r.hits / shots;
  const long long perMinute = r.ticks == 0 ? 0 : static_cast<long long>(r.hits * 3840LL / r.ticks);
  const long long seconds = static_cast<long long>(r.ticks / 64);
  // Why the game ended, in the order of GameEnd.
  const char* const why[][2] = {{"A missile reached the ground", "ミサイルが地面に届きました"},
                                {"The tenth miss", "ミスが１０回になりました"},
                                {"Stopped", "ストップしました"}};
  std::vector<std::string> lines = {
      ja ? "ゲーム終了" : "Game over",
      why[static_cast<int>(r.end)][ja],
      Format(ja ? "得点 Score  %05lld" : "Score  %05lld", r.score),
      Format(ja ? "レベル%lldの最高 Best  %05lld" : "Best for level %lld  %05lld", r.level, r.best),
      Format(ja ? "命中 %lld  ミス %lld" : "Hits %lld  Misses %lld", r.hits, r.misses),
      Format(ja ? "命中率 %lld%%" : "Accuracy  %lld%%", accuracy) +
          Format(" = %lld / (%lld + %lld)", r.hits, r.hits, r.misses),
      Format(ja ? "１分あたりの命中 %lld" : "Hits a minute  %lld", perMinute) +
          Format(ja ? "  時間 %lld:%02lld" : "  Length  %lld:%02lld", seconds / 60, seconds % 60),
  };
  if (r.newBest) lines.insert(lines.begin() + 4, ja ? "最高得点を更新！" : "A new best!");
  if (!r.slowest.empty()) {
    std::string slowest = ja ? "遅かった文字" : "Slowest";
    for (const std::string& character : r.slowest) slowest += "  " + character;
    lines.push_back(slowest);
  }
  if (r.average >= 0) {
    const bool beat = r.score > r.average;
    lines.push_back(Format(beat ? (ja ? "最近１０ゲームの平均 %05lld を上回りました"
                                      : "Better than the last games' average  %05lld")
                                : (ja ? "最近１０ゲームの平均 %05lld に届きませんでした"
                                      : "Not above the last games' average  %05lld"),
                           r.average));
  }
  if (!canSave) return lines;
  if (kept == nullptr) {
    lines.push_back(ja ? "Ctrl+S: このゲームを保存" : "Ctrl+S: save this game");
  } else if (!kept->problem.empty()) {
    lines.insert(lines.end(), {ja ? "保存できませんでした：" : "Could not save the game as",
                               kept->where, kept->problem});
  } else if (!kept->download) {
    lines.insert(lines.end(), {ja ? "保存しました：" : "Saved as", kept->where});
  } else {
    lines.insert(lines.end(), {(ja ? "ダウンロードしました：" : "Downloaded as ") + kept->where,
                               ja ? "リンクはゲームの下にあります" : "Its link is below the game"});
  }
  return lines;
}

std::string ResultsFooter(Language language) {
  return language == Language::kJapanese ? "何かキーを押すと閉じます  F2: 新しいゲーム"
                                         : "Any key: close  F2: new game";
}

std::string ProgressHeading(Language language, int32_t level) {
  return Format(
      language == Language::kJapanese ? "成績 Progress  レベル%lld" : "Progress  Level %lld",
      level);
}

std::vector<std::string> ProgressLegend(Language language, int32_t topScore, int32_t topPerMinute) {
  const bool ja = language == Language::kJapanese;
  return {Format(ja ? "得点 〜%lld" : "Score to %lld", topScore),
          Format(ja ? "命中/分 〜%lld" : "Hits/min to %lld", topPerMinute),
          ja ? "命中率 %" : "Accuracy %"};
}

std::string ProgressSlowest(Language language, const std::vector<std::string>& slowest,
                            size_t games) {
  const bool ja = language == Language::kJapanese;
  if (games == 0) return ja ? "このレベルのゲームはまだありません" : "No games at this level yet";
  std::string line = Format(ja ? "最近%lldゲームで遅い文字：" : "Slowest in %lld games:",
                            static_cast<long long>(games));
  for (const std::string& character : slowest) line += "  " + character;
  return line;
}

// Tenths of a second; past ten seconds, whole ones.
std::string ProgressFigure(double seconds) {
  if (seconds < 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, seconds < 9.95 ? "%.1f" : "%.0f", std::min(seconds, 999.0));
  return text;
}

std::string ProgressFooter(Language language) {
  return language == Language::kJapanese ? "F4/Esc: 閉じる" : "F4/Esc: close";
}

std::string HintLine(Language language) {
  return language == Language::kJapanese ? "F2 スタート · F1 ヘルプ" : "F2 start · F1 help";
}

std::vector<std::string> ReplayBanner(Language language, int speed, bool paused,
                                      const std::string& codes) {
  std::string keys;
  for (const char c : codes) {
    const auto code = static_cast<uint8_t>(c);
    if (!keys.empty()) keys += ' ';
    if (code == ' ') {
      keys += "SP";
    } else if (code > ' ' && code < 0x7F) {
      keys += c;
    } else if (code >= 0xA1 && code <= 0xDF) {  // half-width katakana, U+FF61 on
      keys += EncodeUtf8(0xFF61 + code - 0xA1);
    } else {
      keys += Format("0x%02llX", code);
    }
  }
  const bool ja = language == Language::kJapanese;
  std::string state = paused ? (ja ? "再生 一時停止" : "Replay paused")
                             : Format(ja ? "再生 ×%lld" : "Replay ×%lld", speed);
  state +=
      ja ? "  スペース: 一時停止  +/-: 速さ  Esc: 終了" : "  Space: pause  +/-: speed  Esc: end";
  return {state, (ja ? "キー: " : "Keys: ") + keys};
}

std::vector<std::string> PauseLines(Language language) {
  if (language == Language::kJapanese) return {"一時停止", "F3 で続ける"};
  return {"Paused", "F3 to go on"};
}

VerdictCard VerdictCardText(Language language, bool verified, const std::string& reason) {
  const bool ja = language == Language::kJapanese;
  VerdictCard card;
  card.footer = ja ? "Esc で閉じる" : "Esc: close";
  if (verified) {
    card.heading = ja ? "再生: 検証済み" : "Replay: verified";
    // What a verdict can say: no more than that the recording is whole and this version plays
    // it the same. A program could have played it.
    card.lines = ja ? Lines{"記録された場所で正確に終わりました。",
                            "編集も破損もなく、この版で同じに再生されます。",
                            "誰が遊んだか、人が遊んだかは証明しません。"}
                    : Lines{"It ended exactly where it was recorded.",
                            "Nothing was edited or damaged, and this",
                            "version plays it the same. It does not",
                            "prove who played it, nor that a person did."};
    return card;
  }
  card.heading = ja ? "再生: 検証できません" : "Replay: not verified";
  card.lines = ja ? Lines{"この記録は記録された場所で終わりません:",
                          "編集、破損、または別の版で作られた記録です。"}
                  : Lines{"this recording does not end where it was recorded:",
                          "edited, damaged or made by another version"};
  if (!reason.empty()) card.lines = {reason.substr(0, 72)};
  return card;
}
