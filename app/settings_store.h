// Where the settings file's text is kept: one small store per platform.
//
// The format (app/settings.h) turns the text into settings and back; a store only reads and
// writes the whole text. Each platform links exactly one implementation of these two calls.
#pragma once

#include <string>

// The whole text of the settings file; false when there is none to read (missing, not a
// regular file, unreadable), and the defaults apply.
bool ReadSettingsText(std::string* text);

// Replaces the stored text with `text` ("\n" line ends; a store may write its platform's
// own). False when it could not be kept; the old content is then left as it was.
bool WriteSettingsText(const std::string& text);

// Where the settings are kept, in UTF-8, as a player would look for them: the file's full
// path, or the browser's storage.
std::string SettingsLocation();
