// Every text the cards show, English and Japanese side by side, so a change reaches both.
// The web build cuts its fonts to the characters of this file (frontend/web/subset_font.py).
#include "app/card_text.h"

#include <cstdio>

#include "resources/version.h"

Language LanguageOfLocale(std::string_view locale) {
  return locale.substr(0, 2) == "ja" ? Language::kJapanese : Language::kEnglish;
}

namespace {

// The kana keyboard layout, row by row: each key, then the kana it types (shifted after a
// slash), the way the keys are printed.
const char* const kKanaTable[] = {
    "1 ヌ  2 フ  3 ア/ァ  4 ウ/ゥ  5 エ/ェ  6 オ/ォ  7 ヤ/ャ",
    "8 ユ/ュ  9 ヨ/ョ  0 ワ/ヲ  - ホ  ^ ヘ  \\ ー",
    "Q タ  W テ  E イ/ィ  R ス  T カ  Y ン  U ナ  I ニ",
    "O ラ  P セ  @ ゛  [ ゜/「",
    "A チ  S ト  D シ  F ハ  G キ  H ク  J マ  K ノ  L リ",
    "; レ  : ケ  ] ム/」",
    "Z ツ/ッ  X サ  C ソ  V ヒ  B コ  N ミ  M モ",
    ", ネ/、  . ル/。  / メ/・  _ ロ",
};

const std::vector<HelpSection> kEnglishHelp = {
    {"How to play",
     {"Characters fall as missiles. Type a missile's character to launch an interceptor at it; "
      "a hit scores more the higher it is.",
      "F2  start a game (File > Start)", "F3  pause, and go on",
      "Space  flush the field, three times a game; it is a key for \"A\" first",
      "Alt+F X  end the program", "F1  this help",
      "A game ends when a missile reaches the ground, or at the tenth miss."}},
    {"Keys and misses",
     {"Every key outside the chosen characters (space, Enter, Esc, Backspace, letters such as é "
      "or ß ...) acts on \"A\": it launches at a falling \"A\", and without one it counts a "
      "miss.",
      "While no game runs the field plays a demonstration. Typing then is only practice: its "
      "score is not a game's and does not enter the best scores."}},
    {"The status band",
     {"Score: this game's score / the best score of this level", "Lv: the level (1 to 5)",
      "Flush: flushes left in this game", "Miss: mistyped keys; the tenth ends the game"}},
    {"Levels and characters",
     {"The level (レベル) sets how many missiles may fall at once: Level 1 few, Level 5 many.",
      "The mode (モード) chooses which characters fall: upper-case letters, lower-case "
      "letters, digits, symbols, half-width katakana; several may be chosen together.",
      "Both can be changed only while no game runs."}},
    {"Typing kana",
     {"Choose カナ in the mode menu. Type the kana with a Japanese kana keyboard layout, or "
      "with an input method: committed katakana or hiragana count as the same sound. On the "
      "kana layout (shifted kana after the slash):"}},
    {"The menus in English",
     {"ファイル  File: スタート Start, 一時停止 Pause, ストップ Stop, 終了 Exit",
      "モード  Mode: アルファベット：大文字 Letters: upper case, アルファベット：小文字 Letters: "
      "lower case, 数字 Digits, 記号 Symbols, カナ Kana",
      "レベル  Level: Level 1 to Level 5",
      "オプション  Options: 効果音 Sound effects, 多弾頭ミサイル Multiple-warhead (red) missiles",
      "ヘルプ  Help: 遊び方 How to play, バージョン情報 About"}},
};

const std::vector<HelpSection> kJapaneseHelp = {
    {"遊び方",
     {"文字がミサイルになって落ちてきます。ミサイルの文字をタイプすると迎撃ミサイルが飛び、"
      "高い所で当てるほど得点が上がります。",
      "F2  ゲームを始める（ファイル > スタート）", "F3  一時停止と再開",
      "スペース  画面のミサイルを一掃（１ゲーム３回まで）。その前に「A」のキーとしても働きます",
      "Alt+F X  終了", "F1  このヘルプ",
      "ミサイルが地面に届くか、ミスが１０回になるとゲームは終わります。"}},
    {"キーとミス",
     {"選んだ文字以外のキー（スペース、Enter、Esc、Backspace、é や ß など）は「A」として"
      "働きます。「A」が落ちていればそれを狙い、なければミスになります。",
      "ゲームをしていない間はデモが流れます。そのときのタイプは練習で、得点は最高得点に入りま"
      "せん。"}},
    {"下の帯の見方",
     {"Score: このゲームの得点 / このレベルの最高得点", "Lv: レベル（１～５）",
      "Flush: このゲームで残っている一掃の回数", "Miss: ミスの数。１０回でゲーム終了"}},
    {"レベルと文字",
     {"レベルは一度に落ちるミサイルの数を決めます。Level 1 は少なく、Level 5 は多くなります。",
      "モードは落ちる文字を選びます：大文字、小文字、数字、記号、半角カナ。いくつでも組み合わ"
      "せられます。",
      "どちらもゲームをしていない間だけ変えられます。"}},
    {"カナの打ち方",
     {"モードでカナを選びます。かな入力のキー配列か、日本語入力で打ちます。確定したカタカナや"
      "ひらがなは同じ音の文字になります。かな入力の配列（シフトで打つ文字は / の後）："}},
    {"メニュー",
     {"ファイル  File: スタート Start, 一時停止 Pause, ストップ Stop, 終了 Exit",
      "モード  Mode: アルファベット：大文字 Upper case, アルファベット：小文字 Lower case, "
      "数字 Digits, 記号 Symbols, カナ Kana",
      "レベル  Level", "オプション  Options: 効果音 Sound effects, 多弾頭ミサイル MIRV missiles",
      "ヘルプ  Help: 遊び方 How to play, バージョン情報 About"}},
};

// The kana table follows the kana section's text in both languages.
std::vector<HelpSection> WithKanaTable(std::vector<HelpSection> sections) {
  for (HelpSection& section : sections) {
    if (section.paragraphs.size() != 1) continue;
    section.paragraphs.insert(section.paragraphs.end(), std::begin(kKanaTable),
                              std::end(kKanaTable));
  }
  return sections;
}

const HelpSection kEnglishAbout = {
    "About Volarin",
    {VOLARIN_TITLE, "Type the falling characters before they reach the ground.",
     "Free software under the MIT licence.", "The Volarin developers"}};

const HelpSection kJapaneseAbout = {
    "バージョン情報",
    {VOLARIN_TITLE, "落ちてくる文字を、地面に届く前にタイプしてください。",
     "MIT ライセンスのフリーソフトウェアです。", "The Volarin developers"}};

std::string Format(const char* format, long long a, long long b = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

const std::vector<HelpSection>& HelpSections(Language language) {
  static const std::vector<HelpSection> english = WithKanaTable(kEnglishHelp);
  static const std::vector<HelpSection> japanese = WithKanaTable(kJapaneseHelp);
  return language == Language::kJapanese ? japanese : english;
}

const HelpSection& AboutSection(Language language) {
  return language == Language::kJapanese ? kJapaneseAbout : kEnglishAbout;
}

std::string HelpFooter(Language language, int page, int pageCount) {
  const char* format = language == Language::kJapanese ? "F1/PageDown: 次へ  Esc: 閉じる  %lld/%lld"
                                                       : "F1/PageDown: next  Esc: close  %lld/%lld";
  return Format(format, page + 1, pageCount);
}

// Accuracy is the share of typed characters that hit; a minute is 3840 ticks.
std::vector<std::string> ResultLines(Language language, const GameResults& r) {
  const bool ja = language == Language::kJapanese;
  const long long accuracy = r.typed == 0 ? 0 : 100LL * r.hits / r.typed;
  const long long perMinute = r.ticks == 0 ? 0 : static_cast<long long>(r.typed * 3840 / r.ticks);
  const long long seconds = static_cast<long long>(r.ticks / 64);
  std::vector<std::string> lines = {
      ja ? "ゲーム終了" : "Game over",
      Format(ja ? "得点 Score  %05lld" : "Score  %05lld", r.score),
      Format(ja ? "レベル%lldの最高 Best  %05lld" : "Best for level %lld  %05lld", r.level, r.best),
      Format(ja ? "命中 %lld  ミス %lld" : "Hits %lld  Misses %lld", r.hits, r.misses),
      Format(ja ? "命中率 Accuracy  %lld%%" : "Accuracy  %lld%%", accuracy),
      Format(ja ? "１分あたり %lld 文字" : "Characters a minute  %lld", perMinute),
      Format(ja ? "時間 %lld:%02lld" : "Length  %lld:%02lld", seconds / 60, seconds % 60),
  };
  if (r.newBest) lines.insert(lines.begin() + 3, ja ? "最高得点を更新！" : "A new best!");
  return lines;
}

std::string ResultsFooter(Language language) {
  return language == Language::kJapanese ? "何かキーを押すと閉じます  F2: 新しいゲーム"
                                         : "Any key: close  F2: new game";
}

std::string SaveOffer(Language language) {
  return language == Language::kJapanese ? "S: このゲームを保存" : "S: save this game";
}

std::vector<std::string> SavedLines(Language language, const std::string& where,
                                    const std::string& problem, bool download) {
  const bool ja = language == Language::kJapanese;
  if (!problem.empty())
    return {ja ? "保存できませんでした：" : "Could not save the game as", where, problem};
  if (!download) return {ja ? "保存しました：" : "Saved as", where};
  return {(ja ? "ダウンロードしました：" : "Downloaded as ") + where,
          ja ? "リンクはゲームの下にあります" : "Its link is below the game"};
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
    if (ja) {
      card.lines = {"記録された場所で正確に終わりました。",
                    "編集も破損もなく、この版で同じに再生されます。",
                    "誰が遊んだか、人が遊んだかは証明しません。"};
    } else {
      card.lines = {
          "It ended exactly where it was recorded.", "Nothing was edited or damaged, and this",
          "version plays it the same. It does not", "prove who played it, nor that a person did."};
    }
    return card;
  }
  card.heading = ja ? "再生: 検証できません" : "Replay: not verified";
  if (ja) {
    card.lines = {"この記録は記録された場所で終わりません:",
                  "編集、破損、または別の版で作られた記録です。"};
  } else {
    card.lines = {"this recording does not end where it was recorded:",
                  "edited, damaged or made by another version"};
  }
  if (!reason.empty()) card.lines = {reason.substr(0, 72)};
  return card;
}
