// The settings file in the working folder or the player's own, kept through the store's one
// policy.
#include "app/settings_store.h"

#include "app/settings.h"

namespace {

StoredFile& Chosen() {
  static StoredFile file{"", kSettingsFileName};
  return file;
}

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

}  // namespace

void ChooseSettingsFolder(bool perUser) {
  Chosen().folder = KeepingFolder(kSettingsFileName, perUser);
}

bool ReadSettingsText(std::string* text) {
  return ReadStoredText(Chosen(), kLongestSettingsText, text);
}

bool UpdateSettingsText(const TextChange& change) {
  return UpdateStoredText(Chosen(), kLongestSettingsText, change);
}

std::string SettingsLocation() {
  return StoredLocation(Chosen());
}

const StoredFile& SettingsFile() {
  return Chosen();
}
