// The settings and high-score file "VOLARIN.INI": its format, and where its text is kept (the
// working folder, the player's own data folder or the browser's storage) through the store's
// one policy (app/store.h), which only reads and writes the whole text.
#pragma once

#include <string>
#include <string_view>

#include "app/store.h"

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

// Chooses, once before the first read, the folder of the game's settings file (KeepingFolder):
// the working folder unless it cannot be written and holds none, or `perUser` asks for the
// player's own. Until then, and in the runner, which never calls it, it is the working folder.
void ChooseSettingsFolder(bool perUser);

// The whole text of the settings file; false when there is none to read (missing, not a
// regular file, unreadable), and the defaults apply. The read at start-up notes the folder the
// file is in, which SettingsLocation names even once it is removed.
bool ReadSettingsText(std::string* text);

// Where the settings are kept, in UTF-8, as a player would look for them: the file's full
// path, or the browser's storage.
std::string SettingsLocation();

// The settings file, beside which kept games are made.
const StoredFile& SettingsFile();
