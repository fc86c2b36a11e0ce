// The files the program keeps (the settings, kept games, recordings): read whole, changed under
// the save lock, made new. app/store.cpp holds the policy for desktop files; app/store_web.cpp
// keeps the same calls in the browser's local storage and downloads.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

// A kept file: its name in a folder ("" for the working folder, else with its separator).
struct StoredFile {
  std::string folder;
  std::string name;
};

// The folder ("" for the working folder, else with its separator) in which the file `name`
// is kept: the working folder when the file is there or the folder can be written; else, or
// always when `perUser`, the player's own data folder, made when needed. Where that cannot be
// had, the working folder, as before. The page keeps everything in its storage: "".
std::string KeepingFolder(const std::string& name, bool perUser);

// The whole text, or its first `limit` bytes; false when there is none to read (missing, not
// a regular file, unreadable). Read under the shared save lock, or without it once waiting
// for it has taken too long, since whatever the file holds is worth more than nothing.
bool ReadStoredText(const StoredFile& file, size_t limit, std::string* text);

// What a change makes of the stored text (nullptr when there is none to read) is written.
using TextChange = std::function<std::string(const std::string* stored)>;

// Reads and replaces the text under the exclusive save lock, so no other copy's save comes
// between. False when it could not be kept; the old content is then left as it was.
bool UpdateStoredText(const StoredFile& file, size_t limit, const TextChange& change);

// Where the file is kept, in UTF-8, as a player would look for it: its full path (in a
// working folder removed while the game runs, the path the last read found), or the
// browser's storage.
std::string StoredLocation(const StoredFile& file);

// A file made new beside a kept file, or the page's download.
struct NewFile {
  std::string where;      // its full path, as StoredLocation; in the page, the download's name
  std::string problem;    // empty when made, else why not, in one phrase
  bool taken = false;     // the name exists already: nothing was written
  bool download = false;  // handed to the browser rather than written
};

// Writes `bytes` as a new file named `name` in the folder of `beside`, never over an existing
// name or through a link; a file that could not be written whole is removed.
NewFile MakeNewFile(const StoredFile& beside, const std::string& name, const std::string& bytes);

// --- Recordings: opened without blocking, harming the player's files or letting a closed pipe
// end the game.

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
