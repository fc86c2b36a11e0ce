// Opening the file a session is recorded into without blocking, harming the player's files or
// letting a closed pipe end the game.
#pragma once

#include <cstdio>
#include <string>

// A write to a pipe nobody reads any more then fails with EPIPE, which the recorder reports
// like any other write error, instead of ending the process (nothing to do on Windows).
void IgnoreBrokenPipes();

// Opens `path` for a new recording, emptied, and never waits for anything: a pipe that no
// program is reading is refused rather than waited on. The settings file itself (by identity,
// whatever name or link leads to it) is refused before anything is truncated, since the
// recording would wipe the best scores. Returns nullptr, with why in `problem`, when refused.
// `path` is UTF-8 (on POSIX any bytes, as the command line gave them). A plain string rather
// than std::filesystem::path, which would double the size of the static Windows program.
std::FILE* OpenRecordingFile(const std::string& path, std::string* problem);

// Reads the whole recording at `path` (UTF-8) into `text` for the replay viewer, never waiting:
// only a regular file of at most `limit` bytes is read; a pipe, a device, a folder or a larger
// file is refused. False, with why in `problem`, when it was not read whole.
bool ReadRecordingText(const std::string& path, size_t limit, std::string* text,
                       std::string* problem);
