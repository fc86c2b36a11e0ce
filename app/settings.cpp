// The settings file: its format, nine text lines of options and the best score of each level,
// and where it is kept (the working folder or the player's own), through the store's one
// policy.
#include "app/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "core/records.h"

namespace {

StoredFile& Chosen() {
  static StoredFile file{"", kSettingsFileName};
  return file;
}

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

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

constexpr std::string_view kSpace = " \t\n\v\f\r";

void SkipSpace(std::string_view& in) {
  in.remove_prefix(std::min(in.find_first_not_of(kSpace), in.size()));
}

// An optionally signed decimal number. Like the C library, the number saturates at the
// 64-bit limits and keeps its low 32 bits, so an absurd value in the file is still read
// the same way every time rather than being undefined.
bool ScanInt(std::string_view& in, int32_t* out) {
  SkipSpace(in);
  if (in.size() > 1 && in[0] == '+' && in[1] != '-')
    in.remove_prefix(1);  // from_chars reads no plus
  int64_t value = 0;
  const auto [end, error] = std::from_chars(in.data(), in.data() + in.size(), value);
  if (error == std::errc::invalid_argument) return false;
  if (error == std::errc::result_out_of_range) value = in[0] == '-' ? INT64_MIN : INT64_MAX;
  in.remove_prefix(static_cast<size_t>(end - in.data()));
  *out = static_cast<int32_t>(static_cast<uint32_t>(value));
  return true;
}

// A run of non-white characters. A word longer than the name field keeps its first 79
// characters; the rest of the word is passed over so the next item reads normally.
bool ScanWord(std::string_view& in, char (&out)[kNameSize]) {
  SkipSpace(in);
  if (in.empty()) return false;
  const std::string_view word = in.substr(0, in.find_first_of(kSpace));
  in.remove_prefix(word.size());
  out[word.copy(out, kNameSize - 1)] = '\0';
  return true;
}

StoredSettings SettingsIn(std::string_view in) {
  StoredSettings stored;
  if (!ScanInt(in, &stored.modeMask) || !ScanInt(in, &stored.level) ||
      !ScanInt(in, &stored.soundOn) || !ScanInt(in, &stored.mirvOn)) {
    return stored;
  }
  for (HighScoreEntry& entry : stored.table) {
    if (!ScanInt(in, &entry.best)) break;
    ++stored.bestsRead;
    if (!ScanWord(in, entry.name)) break;
  }
  return stored;
}

// The nine lines for the options held now and `table`.
std::string FormatSettings(const HighScoreEntry (&table)[kLevelCount]) {
  std::string text;
  for (const int option :
       {int{gameState.modeMask}, gameState.level, gameState.soundOn, gameState.mirvOn}) {
    text += std::to_string(option) + "\n";
  }
  for (const HighScoreEntry& entry : table) {
    const char* name = entry.name[0] != '\0' ? entry.name : "-";
    text +=
        std::to_string(entry.best) + " " + std::string(name, ::strnlen(name, kNameSize - 1)) + "\n";
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
  return UpdateStoredText(Chosen(), kLongestSettingsText, [](const std::string* stored) {
    HighScoreEntry table[kLevelCount];
    std::copy(std::begin(gameState.highScoreTable), std::end(gameState.highScoreTable), table);
    const StoredSettings theirs = SettingsIn(stored != nullptr ? *stored : "");
    for (int level = 0; level < theirs.bestsRead; ++level) {
      if (theirs.table[level].best > table[level].best) table[level] = theirs.table[level];
    }
    return FormatSettings(table);
  });
}

void ChooseSettingsFolder(bool perUser) {
  Chosen().folder = KeepingFolder(kSettingsFileName, perUser);
}

bool ReadSettingsText(std::string* text) {
  return ReadStoredText(Chosen(), kLongestSettingsText, text);
}

std::string SettingsLocation() {
  return StoredLocation(Chosen());
}

const StoredFile& SettingsFile() {
  return Chosen();
}
