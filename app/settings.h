// The settings and high-score file "VOLARIN.INI": its format, and reading it at start-up and
// writing it at the end through the platform's settings store.
#pragma once

#include <string>
#include <string_view>

constexpr const char* kSettingsFileName = "VOLARIN.INI";

// The options and best scores a run starts with when no settings file can be read.
void ApplyDefaultSettings();

// Takes the settings from the file's text: an item the text cannot supply keeps its
// program-start value, and so does every item after it.
void ParseSettings(std::string_view text);

// The nine lines of the file for the settings held now, each ending in "\n".
std::string FormatSettings();

// Writes the nine-line file. The old file survives a write that cannot complete, and a file
// that cannot be opened for writing is left as it is. False when the file does not now hold
// the settings: the best scores of this run are then lost, and the player should hear of it.
bool WriteSettingsFile();
