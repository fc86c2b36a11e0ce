// The settings and high-score file "VOLARIN.INI" in the working directory.
#pragma once

constexpr const char* kSettingsFileName = "VOLARIN.INI";

// The options and best scores a run starts with when no settings file can be read.
void ApplyDefaultSettings();

// Reads the file once at start-up; a missing file gives the defaults, a short or damaged one
// the values read up to the damage and the program-start values after it.
void LoadSettings();

// Writes the nine-line file. The old file survives a write that cannot complete, and a file
// that cannot be opened for writing is left as it is.
void SaveSettings();
