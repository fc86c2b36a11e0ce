// The history's text format, and keeping it beside the settings file through the store.
#include "app/history_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/settings.h"
#include "app/store.h"
#include "core/alphabet.h"

namespace {

constexpr std::string_view kHeader =
    "when\tlevel\tclasses\tmirv\tscore\thits\tmisses\tticks\tend\tcharacters\n";
constexpr char kClassLetters[kClassCount + 1] = "ULDSK";
// Beyond any game's figures: a file that claims more is not one this game wrote.
constexpr int64_t kMostCount = 1'000'000;
constexpr int64_t kMostTicks = 1'000'000'000'000;
constexpr size_t kLongestWhen = 32;

StoredFile HistoryFile() {
  return {SettingsFile().folder, kHistoryFileName};
}

// By GameEnd.
constexpr const char* kEndWords[] = {"ground", "misses", "stopped"};

// Splits at each `separator`; at most `most` parts, the last taking the rest.
std::vector<std::string_view> Split(std::string_view text, char separator, size_t most) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < most) {
    const size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.push_back(text);
  return parts;
}

template <typename Number>
bool ReadNumber(std::string_view text, int64_t most, Number* number) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > most) {
    return false;
  }
  *number = static_cast<Number>(value);
  return true;
}

// The code of the character a figure begins with, and its length in bytes; 0 when it is none
// of the alphabet's. A kana's code comes from the last six bits of its second and third bytes
// (U+FF61 on is code 0xA1 on), and stands only if the kana's text is exactly these bytes.
uint8_t ReadCharacter(std::string_view text, size_t* length) {
  if (text.empty()) return 0;
  auto code = static_cast<uint8_t>(text[0]);
  *length = 1;
  if (code == 0xEF && text.size() >= 3) {
    code = static_cast<uint8_t>(((text[1] & 0x3F) << 6 | (text[2] & 0x3F)) - 0xEC0);
    *length = 3;
    if (CharacterText(code) != text.substr(0, 3)) return 0;
  }
  return code != 0 && std::memchr(kAlphabet, code, kSlotCount - 1) != nullptr ? code : 0;
}

bool ReadFigures(std::string_view text, CharFigures* f) {
  size_t length = 0;
  f->code = ReadCharacter(text, &length);
  if (f->code == 0 || text.size() <= length || text[length] != '=') return false;
  const std::vector<std::string_view> n = Split(text.substr(length + 1), '/', 6);
  return n.size() == 6 && ReadNumber(n[0], kMostCount, &f->fell) &&
         ReadNumber(n[1], kMostCount, &f->hit) && ReadNumber(n[2], kMostCount, &f->ground) &&
         ReadNumber(n[3], kMostCount, &f->stray) && ReadNumber(n[4], kMostCount, &f->launched) &&
         ReadNumber(n[5], kMostTicks, &f->launchTicks);
}

bool ReadClasses(std::string_view text, uint8_t* classes) {
  *classes = 0;
  size_t from = 0;
  for (const char c : text) {
    const char* at = std::strchr(kClassLetters + from, c);
    if (c == '\0' || at == nullptr) return false;
    from = static_cast<size_t>(at - kClassLetters) + 1;
    *classes = static_cast<uint8_t>(*classes | 1 << (from - 1));
  }
  return *classes != 0;
}

bool ReadEnd(std::string_view text, GameEnd* end) {
  const auto* word = std::find(std::begin(kEndWords), std::end(kEndWords), text);
  *end = static_cast<GameEnd>(word - std::begin(kEndWords));
  return word != std::end(kEndWords);
}

bool ReadWhen(std::string_view text, std::string* when) {
  *when = text;
  return !text.empty() && text.size() <= kLongestWhen &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

bool ReadGame(std::string_view line, GameRecord* game) {
  const std::vector<std::string_view> f = Split(line, '\t', 11);
  if (f.size() != 10 || !ReadWhen(f[0], &game->when) || !ReadNumber(f[1], 5, &game->level) ||
      game->level < 1 || !ReadClasses(f[2], &game->classes) || (f[3] != "on" && f[3] != "off") ||
      !ReadNumber(f[4], 99999, &game->score) || !ReadNumber(f[5], kMostCount, &game->hits) ||
      !ReadNumber(f[6], kMostCount, &game->misses) || !ReadNumber(f[7], kMostTicks, &game->ticks) ||
      !ReadEnd(f[8], &game->end)) {
    return false;
  }
  game->mirv = f[3] == "on";
  if (f[9].empty()) return true;
  for (const std::string_view item : Split(f[9], ' ', kSlotCount)) {
    CharFigures figures;
    if (!ReadFigures(item, &figures)) return false;
    game->characters.push_back(figures);
  }
  return true;
}

}  // namespace

std::string HistoryLine(const GameRecord& game) {
  std::string classes;
  for (int c = 0; c < kClassCount; ++c) {
    if ((game.classes & 1 << c) != 0) classes += kClassLetters[c];
  }
  char fields[160];
  std::snprintf(fields, sizeof fields, "\t%d\t%s\t%s\t%d\t%d\t%d\t%llu\t%s\t", game.level,
                classes.c_str(), game.mirv ? "on" : "off", game.score, game.hits, game.misses,
                static_cast<unsigned long long>(game.ticks), kEndWords[static_cast<int>(game.end)]);
  std::string line = game.when + fields;
  for (const CharFigures& f : game.characters) {
    std::snprintf(fields, sizeof fields, "=%d/%d/%d/%d/%d/%lld", f.fell, f.hit, f.ground, f.stray,
                  f.launched, static_cast<long long>(f.launchTicks));
    if (&f != game.characters.data()) line += ' ';
    line += CharacterText(f.code);
    line += fields;
  }
  return line;
}

// The oldest games go first, until what is left fits both bounds.
std::string HistoryText(const std::vector<GameRecord>& games) {
  std::vector<std::string> lines;
  size_t bytes = kHeader.size();
  for (auto game = games.rbegin(); game != games.rend() && lines.size() < kHistoryGames; ++game) {
    std::string line = HistoryLine(*game) + '\n';
    if (bytes + line.size() > kHistoryBytes) break;
    bytes += line.size();
    lines.push_back(std::move(line));
  }
  std::string text(kHeader);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) text += *line;
  return text;
}

// Lines end with "\n" or, as a Windows editor may leave them, "\r\n".
std::vector<GameRecord> ReadHistory(std::string_view text) {
  std::vector<GameRecord> games;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    GameRecord game;
    if (ReadGame(line, &game)) games.push_back(std::move(game));
  }
  if (games.size() > kHistoryGames) {
    games.erase(games.begin(), games.end() - static_cast<std::ptrdiff_t>(kHistoryGames));
  }
  return games;
}

bool AppendToHistory(const GameRecord& game, std::vector<GameRecord>* games) {
  std::vector<GameRecord> written;
  const bool kept = UpdateStoredText(HistoryFile(), kHistoryBytes, [&](const std::string* stored) {
    written = stored != nullptr ? ReadHistory(*stored) : std::vector<GameRecord>{};
    written.push_back(game);
    const std::string text = HistoryText(written);
    written = ReadHistory(text);
    return text;
  });
  if (kept) *games = std::move(written);
  return kept;
}

std::string HistoryLocation() {
  return StoredLocation(HistoryFile());
}

const std::vector<GameRecord>& PlayerHistory::Games() {
  std::string text;
  if (kept_ && !loaded_ && ReadStoredText(HistoryFile(), kHistoryBytes, &text)) {
    games_ = ReadHistory(text);
  }
  loaded_ = true;
  return games_;
}

bool PlayerHistory::Add(const GameRecord& game) {
  Games();
  if (kept_ && AppendToHistory(game, &games_)) return true;
  games_.push_back(game);
  if (games_.size() > kHistoryGames) games_.erase(games_.begin());
  return !kept_;
}
