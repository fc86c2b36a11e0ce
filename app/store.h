// The files the program keeps (the settings, kept games): read whole, changed under the save
// lock, made new. app/store.cpp holds the policy for desktop files; app/store_web.cpp keeps the
// same calls in the browser's local storage and downloads.
#pragma once

#include <cstddef>
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
