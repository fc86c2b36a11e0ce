// The few file operations a desktop platform supplies, over which app/store.cpp writes the
// file policy once. Paths are UTF-8. No call waits for a pipe, a device or another copy's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// --- Names.

// The characters that end a folder's name in a path.
extern const char kFolderSeparators[];

// Where `name` leads through links, found without asking for any access (which another copy
// holding the file could refuse); `name` itself when it leads nowhere.
std::string FollowLinks(const std::string& name);

// The working folder with its separator, or "" when it cannot be found (it was removed).
std::string WorkingFolder();

// The player's own data folder for the program, with its separator: $XDG_DATA_HOME/volarin/
// (~/.local/share/volarin/ when that is unset or not absolute), %APPDATA%\\Volarin\\ on
// Windows; "" when none is known. It may not exist yet.
std::string PerUserFolder();

// Makes `folder` and the folders it lies in where missing (on POSIX for this user alone);
// true when it is there as a folder afterwards.
bool MakeFolders(const std::string& folder);

// True when new files can be made in `folder` ("" for the working folder): not on a read-only
// file system, and this user may write there.
bool FolderWritable(const std::string& folder);

// Calls `visit` with the name of each entry of `folder` ("" for the working folder) that may
// be a file: no folder, and on Windows no link.
void ForEachNameIn(const std::string& folder, const std::function<void(const char*)>& visit);

// This process's number, different from that of every other process running.
uint64_t ProcessNumber();

// --- Open files: a descriptor or a HANDLE, kNoFile for none.

using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileUse {
  kRead,     // an existing file, to read
  kWrite,    // an existing file, to write where it is
  kNew,      // a new file, never over an existing name or through a link, held against
             // removal by others on Windows (no delete sharing)
  kLock,     // an existing file, only to lock it; on POSIX never through a link
  kNewLock,  // the same, made when missing
};

// kNoFile when it cannot be opened; LastError and LastProblem say why.
FileHandle OpenFile(const std::string& path, FileUse use);

// Closes the file, letting any lock on it go; false when what was written may not have
// reached the disk.
bool CloseFile(FileHandle file);

struct FileFacts {
  bool known = false;  // it could be looked at; else every fact is false or 0
  bool regular = false;
  bool folder = false;
  uint64_t size = 0;
  uint32_t links = 0;  // its names in the file system
  uint64_t volume = 0;
  uint64_t index = 0;  // with the volume, the same only for the same file
};
// Not known when it cannot be looked at, and on Windows for anything but a file on a disk.
FileFacts LookAt(FileHandle file);
FileFacts LookAtPath(const std::string& path);  // asks for no access

// Reads up to `size` bytes; `got` is 0 at the end.
bool ReadSome(FileHandle file, char* buffer, size_t size, size_t* got);

// Writes `text` from the start, cuts the file after it and puts it on disk.
bool WriteWhole(FileHandle file, const std::string& text);

bool RemoveFile(const std::string& path);

// The last failed call's error.
enum class FileError { kOther, kNotFound, kExists, kDenied };
FileError LastError();
std::string LastProblem();  // in the system's words, as the player is told

// How a line of a kept text ends on this platform: "\n", or "\r\n" on Windows.
extern const char kLineEnd[];

// --- The save lock.

// Takes the lock at once, or says false when another holds it. A file system without locks
// counts as taken: there is nothing to wait for.
bool TryLock(FileHandle file, bool exclusive);

// Waits a few milliseconds between tries for a lock.
void PauseBriefly();

// --- Writing a kept file.

// True when `name` holds what a save leaves as it is: anything but a regular file, or one the
// player made read-only (on POSIX: one this user may not write). Told without opening it.
bool LeftAlone(const std::string& name);

// A file about to be written, looked at under the save lock.
struct Target {
  std::string path;              // where the name leads through links
  bool exists = false;           // else it is made
  bool linkedElsewhere = false;  // it has other names, which a replacement would part from it
};

// Gives a new `temporary` file the target's owner, group and mode where the platform's move
// does not keep them (on POSIX); false when it cannot (another user's file).
bool TakeIdentity(FileHandle temporary, const Target& target);

// Closes the written `temporary` file, named `temporaryPath`, and moves it over the target,
// keeping the target's attributes where the platform's move does; false when not moved.
bool MoveOver(FileHandle temporary, const std::string& temporaryPath, const Target& target);

// --- Recordings.

// The open output as a stream that waits for a slow reader; the file is the stream's, or
// closed when it cannot be made (LastProblem says why).
std::FILE* StreamOf(FileHandle file);
