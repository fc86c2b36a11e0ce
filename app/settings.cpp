// The settings file's format: nine text lines of options and the best score of each level.
#include "app/settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "app/settings_store.h"
#include "core/records.h"

namespace {

// What a settings text holds; an item it cannot supply keeps its program-start value.
struct StoredSettings {
  int32_t modeMask = 1;
  int32_t level = 1;
  int32_t soundOn = 1;
  int32_t mirvOn = 1;
  HighScoreEntry table[kLevelCount] = {};  // best 0, no name
  int bestsRead = 0;                       // the levels whose best the text holds
};

// --- Reading, by the rules of formatted input: white space of any kind separates items,
// and the first item that cannot be read ends the reading.

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

// The text being read and how far the reading has got; -1 stands for the end of the text.
struct Reader {
  std::string_view text;
  size_t at = 0;
  int Get() { return at < text.size() ? static_cast<unsigned char>(text[at++]) : -1; }
  void PutBack(int c) {
    if (c != -1) --at;
  }
};

int SkipSpace(Reader& in) {
  int c = in.Get();
  while (IsSpace(c)) c = in.Get();
  return c;
}

// An optionally signed decimal number. Like the C library, the number saturates at the
// 64-bit limits and keeps its low 32 bits, so an absurd value in the file is still read
// the same way every time rather than being undefined.
bool ScanInt(Reader& in, int32_t* out) {
  int c = SkipSpace(in);
  const bool negative = c == '-';
  if (c == '-' || c == '+') c = in.Get();
  if (!IsDigit(c)) {
    in.PutBack(c);
    return false;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  uint64_t magnitude = 0;
  for (; IsDigit(c); c = in.Get()) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  in.PutBack(c);
  const uint64_t bits = negative ? uint64_t{0} - magnitude : magnitude;
  *out = static_cast<int32_t>(static_cast<uint32_t>(bits));
  return true;
}

// A run of non-white characters. A word longer than the name field keeps its first 79
// characters; the rest of the word is passed over so the next item reads normally.
bool ScanWord(Reader& in, char (&out)[kNameSize]) {
  int c = SkipSpace(in);
  if (c == -1) return false;
  int length = 0;
  for (; c != -1 && !IsSpace(c); c = in.Get()) {
    if (length < kNameSize - 1) out[length++] = static_cast<char>(c);
  }
  in.PutBack(c);
  out[length] = '\0';
  return true;
}

void ReadSettings(Reader& in, StoredSettings& stored) {
  if (!ScanInt(in, &stored.modeMask) || !ScanInt(in, &stored.level) ||
      !ScanInt(in, &stored.soundOn) || !ScanInt(in, &stored.mirvOn)) {
    return;
  }
  for (HighScoreEntry& entry : stored.table) {
    if (!ScanInt(in, &entry.best)) return;
    ++stored.bestsRead;
    if (!ScanWord(in, entry.name)) return;
  }
}

StoredSettings SettingsIn(std::string_view text) {
  StoredSettings stored;
  Reader in{text};
  ReadSettings(in, stored);
  return stored;
}

// The nine lines for the options held now and `table`.
std::string FormatSettings(const HighScoreEntry (&table)[kLevelCount]) {
  std::string text;
  char line[32 + kNameSize];
  auto append = [&](int length) { text.append(line, length > 0 ? length : 0); };
  append(std::snprintf(line, sizeof line, "%d\n", static_cast<int>(gameState.modeMask)));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.level));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.soundOn));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.mirvOn));
  for (const HighScoreEntry& entry : table) {
    const char* name = entry.name[0] != '\0' ? entry.name : "-";
    append(std::snprintf(line, sizeof line, "%d %.*s\n", entry.best, kNameSize - 1, name));
  }
  return text;
}

}  // namespace

std::string FormatSettings() {
  return FormatSettings(gameState.highScoreTable);
}

void ApplyDefaultSettings() {
  ParseSettings("");
  for (HighScoreEntry& entry : gameState.highScoreTable) std::strcpy(entry.name, "-");
}

// Every item the file cannot supply keeps its program-start value. A level outside 1..5
// would index outside the best-score table, so it is taken as level 1.
void ParseSettings(std::string_view text) {
  const StoredSettings stored = SettingsIn(text);
  gameState.modeMask = static_cast<uint8_t>(stored.modeMask);  // the low 8 bits
  gameState.level = stored.level >= 1 && stored.level <= kLevelCount ? stored.level : 1;
  gameState.soundOn = stored.soundOn;
  gameState.mirvOn = stored.mirvOn;
  std::copy(std::begin(stored.table), std::end(stored.table), gameState.highScoreTable);
}

// Another copy of the game (or the runner) may have saved a higher best since this one read
// the file: under the save lock each level keeps the higher of the two, with its name. The
// options are this copy's own. The running game's records stay as they are, so what a
// session does never depends on the file after start-up, and its recording replays.
bool WriteSettingsFile() {
  return UpdateSettingsText([](const std::string* stored) {
    HighScoreEntry table[kLevelCount];
    std::copy(std::begin(gameState.highScoreTable), std::end(gameState.highScoreTable), table);
    const StoredSettings theirs = SettingsIn(stored != nullptr ? *stored : "");
    for (int level = 0; level < theirs.bestsRead; ++level) {
      if (theirs.table[level].best > table[level].best) table[level] = theirs.table[level];
    }
    return FormatSettings(table);
  });
}
