// Fuzzes the settings file's format: whatever a file holds, reading it gives settings in
// range, and what is then saved reads back to the very same text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "core/records.h"

namespace {

void CheckInRange() {
  if (gameState.level < 1 || gameState.level > kLevelCount) std::abort();
  for (const HighScoreEntry& entry : gameState.highScoreTable) {
    if (std::memchr(entry.name, '\0', kNameSize) == nullptr) std::abort();  // over 79 characters
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ParseSettings(std::string_view(reinterpret_cast<const char*>(data), size));
  CheckInRange();
  const std::string saved = FormatSettings();
  ParseSettings(saved);
  CheckInRange();
  if (FormatSettings() != saved) std::abort();
  return 0;
}
