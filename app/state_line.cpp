// The state line: every record the rules keep, as one JSON object on one line.
#include "app/state_line.h"

#include <charconv>
#include <cstdio>
#include <initializer_list>

#include "core/records.h"

namespace {

// Doubles are printed as "%.17g" prints them, which reads back to the same double and prints
// whole numbers as integers.
void Append(std::string& text, const char* format, auto... values) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, values...);
  text.append(buffer, static_cast<size_t>(length));
}

// Each value preceded by a comma. std::to_chars with a precision is defined to give printf's
// text for the same format, and is several times faster at the hundreds of values of a dump.
void AppendDoubles(std::string& text, std::initializer_list<double> values) {
  for (double value : values) {
    char digits[32];
    text += ',';
#if defined(__cpp_lib_to_chars)
    text.append(
        digits,
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 17).ptr);
#else
    // Older standard libraries (the browser build's) convert only integers.
    text.append(digits, static_cast<size_t>(std::snprintf(digits, sizeof digits, "%.17g", value)));
#endif
  }
}

// A list's items each end with a comma, and the last one's is taken back here.
void EndList(std::string& text, const char* end) {
  if (text.back() == ',') text.pop_back();
  text += end;
}

}  // namespace

void PlayedSounds::Add(const char* name) {
  latest.emplace_back(name);
  if (latest.size() <= kKept) return;
  latest.pop_front();
  ++leftOut;
}

// Effect names are fixed lower-case file names: nothing in them needs escaping.
std::string FormatStateLine(uint64_t ticks, const PlayedSounds& sounds) {
  const GameState& g = gameState;
  std::string text = "{";
  Append(text,
         "\"tick\":%llu,\"rng\":%u,\"score\":%d,\"misses\":%d,\"flushesLeft\":%d,\"level\":%d,"
         "\"liveMissiles\":%d,\"liveMirvs\":%d,\"missileCapacity\":%d,\"gameOver\":%d,"
         "\"paused\":%d,\"quit\":%d,\"soundOn\":%d,\"mirvOn\":%d,\"modeMask\":%d,",
         static_cast<unsigned long long>(ticks), randomSeed, g.score, g.misses, g.flushesLeft,
         g.level, g.liveMissiles, g.liveMirvs, g.missileCapacity, g.gameOver, g.paused, g.quit,
         g.soundOn, g.mirvOn, static_cast<int>(g.modeMask));
  const HighScoreEntry* best = g.highScoreTable;
  Append(text, "\"best\":[%d,%d,%d,%d,%d],", best[0].best, best[1].best, best[2].best, best[3].best,
         best[4].best);
  const FieldGeometry& f = fieldGeometry;
  Append(text, "\"field\":[%d,%d,%d,%d,%d,%d,%d,%d],", f.fieldLeft, f.fieldTop, f.fieldWidth,
         f.fieldHeight, f.groundY, f.leftLauncherX, f.centreLauncherX, f.rightLauncherX);
  text += "\"missiles\":[";
  for (int32_t slot = 0; slot < kSlotCount; ++slot) {
    const MissileSlot& m = missileSlots[slot];
    if (m.state == Idle) continue;
    Append(text, "[%d,%d", slot, m.state);
    AppendDoubles(text, {m.x, m.y, m.dx, m.dy});
    text += "],";
  }
  EndList(text, "],\"interceptors\":[");
  for (int32_t slot = 0; slot < kSlotCount; ++slot) {
    const InterceptorSlot& in = interceptorSlots[slot];
    if (in.active == 0) continue;
    Append(text, "[%d", slot);
    AppendDoubles(text, {in.x, in.y, in.dx, in.dy});
    text += "],";
  }
  EndList(text, "],");
  if (sounds.leftOut != 0) {
    Append(text, "\"soundsLeftOut\":%llu,", static_cast<unsigned long long>(sounds.leftOut));
  }
  text += "\"sounds\":[";
  for (const std::string& name : sounds.latest) Append(text, "\"%s\",", name.c_str());
  EndList(text, "],\"menu\":[");
  for (const MenuItemState& item : menuModel.items) {
    Append(text, "[%d,%d,%d],", item.id, item.checked, item.greyed);
  }
  EndList(text, "]}");
  return text;
}
