// Where the settings file's text is kept: the settings file in the working folder or the
// player's own data folder, or the browser's storage, through the store's one policy
// (app/store.h).
//
// The format (app/settings.h, written in the same source) turns the text into settings and
// back; the store only reads and writes the whole text.
#pragma once

#include <string>

#include "app/store.h"

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
