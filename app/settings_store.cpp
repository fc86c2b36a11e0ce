// The settings file in the working folder, kept through the store's one policy.
#include "app/settings_store.h"

#include "app/settings.h"

namespace {

const StoredFile kSettingsFile{"", kSettingsFileName};

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

}  // namespace

bool ReadSettingsText(std::string* text) {
  return ReadStoredText(kSettingsFile, kLongestSettingsText, text);
}

bool WriteSettingsText(const std::string& text) {
  return UpdateSettingsText([&text](const std::string*) { return text; });
}

bool UpdateSettingsText(const TextChange& change) {
  return UpdateStoredText(kSettingsFile, kLongestSettingsText, change);
}

std::string SettingsLocation() {
  return StoredLocation(kSettingsFile);
}

const StoredFile& SettingsFile() {
  return kSettingsFile;
}
