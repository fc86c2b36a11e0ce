// The settings file's format: nine text lines of options and the best score of each level.
#include "app/settings.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/settings_store.h"
#include "core/records.h"

namespace {

void ApplyProgramStartValues() {
  gameState.modeMask = 1;
  gameState.level = 1;
  gameState.soundOn = 1;
  gameState.mirvOn = 1;
  for (HighScoreEntry& entry : gameState.highScoreTable) {
    entry.best = 0;
    entry.name[0] = '\0';
  }
}

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

void ReadSettings(Reader& in) {
  int32_t mask = 0;
  if (!ScanInt(in, &mask)) return;
  gameState.modeMask = static_cast<uint8_t>(mask);  // the low 8 bits
  if (!ScanInt(in, &gameState.level)) return;
  if (!ScanInt(in, &gameState.soundOn)) return;
  if (!ScanInt(in, &gameState.mirvOn)) return;
  for (HighScoreEntry& entry : gameState.highScoreTable) {
    if (!ScanInt(in, &entry.best)) return;
    if (!ScanWord(in, entry.name)) return;
  }
}

}  // namespace

std::string FormatSettings() {
  std::string text;
  char line[32 + kNameSize];
  auto append = [&](int length) { text.append(line, length > 0 ? length : 0); };
  append(std::snprintf(line, sizeof line, "%d\n", static_cast<int>(gameState.modeMask)));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.level));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.soundOn));
  append(std::snprintf(line, sizeof line, "%d\n", gameState.mirvOn));
  for (const HighScoreEntry& entry : gameState.highScoreTable) {
    const char* name = entry.name[0] != '\0' ? entry.name : "-";
    append(std::snprintf(line, sizeof line, "%d %.*s\n", entry.best, kNameSize - 1, name));
  }
  return text;
}

void ApplyDefaultSettings() {
  ApplyProgramStartValues();
  for (HighScoreEntry& entry : gameState.highScoreTable) std::strcpy(entry.name, "-");
}

// Every item the file cannot supply keeps its program-start value. A level outside 1..5
// would index outside the best-score table, so it is taken as level 1.
void ParseSettings(std::string_view text) {
  ApplyProgramStartValues();
  Reader in{text};
  ReadSettings(in);
  if (gameState.level < 1 || gameState.level > kLevelCount) gameState.level = 1;
}

void LoadSettings() {
  std::string text;
  if (ReadSettingsText(&text)) {
    ParseSettings(text);
  } else {
    ApplyDefaultSettings();
  }
}

bool WriteSettingsFile() {
  return WriteSettingsText(FormatSettings());
}
