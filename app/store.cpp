// The file policy of a desktop, written once over the platform's few file operations
// (app/files.h): the save lock, what is refused, atomic replacement, leftovers of killed
// saves, new files and recordings, and what the player is told.
#include "app/store.h"

#include <algorithm>
#include <string_view>

#include "app/files.h"
#include "app/settings.h"

namespace {

// Beside the file, named as no player would name a file: ".VOLARIN.INI.volarin-lock" and
// ".VOLARIN.INI.volarin-tmp-" with six letters or digits.
constexpr std::string_view kLockPart = ".volarin-lock";
constexpr std::string_view kTemporaryPart = ".volarin-tmp-";
constexpr size_t kTemporaryLetters = 6;

// Where the name after the folder starts.
size_t BaseOf(const std::string& path) {
  const size_t separator = path.find_last_of(kFolderSeparators);
  return separator == std::string::npos ? 0 : separator + 1;
}

std::string BesideAsHidden(const std::string& path, std::string_view part) {
  return path.substr(0, BaseOf(path)) + "." + path.substr(BaseOf(path)) + std::string(part);
}

std::string WithPlatformLineEnds(const std::string& text) {
  std::string lines;
  for (const char& c : text) {
    lines += c == '\n' ? std::string_view(kLineEnd) : std::string_view(&c, 1);
  }
  return lines;
}

// --- Reading.

enum class ReadResult { kWhole, kLonger, kFailed };

// Reads a regular file, never waiting on a pipe or a device. kWhole: all of it is in `text`.
// kLonger: it holds more than `limit` bytes, by its size or by what it yields (it may grow
// while read); `text` then holds its first `limit` bytes when `keepHead`, else nothing.
// kFailed, with why in `problem`.
ReadResult ReadWhole(const std::string& path, size_t limit, bool keepHead, std::string* text,
                     std::string* problem) {
  text->clear();
  const FileHandle file = OpenFile(path, FileUse::kRead);
  const FileFacts facts = file != kNoFile ? LookAt(file) : FileFacts{};
  *problem = file == kNoFile  ? LastProblem()
             : facts.folder   ? "it is a folder"
             : !facts.regular ? "not a regular file"
                              : "";
  const bool longer = facts.size > limit;
  // Whole buffers, which some files need, up to the first past the limit.
  char buffer[1 << 16];
  for (size_t got = 1;
       problem->empty() && got > 0 && (keepHead || !longer) && text->size() <= limit;) {
    if (!ReadSome(file, buffer, sizeof buffer, &got)) *problem = LastProblem();
    text->append(buffer, got);
  }
  if (file != kNoFile) CloseFile(file);
  if (!problem->empty()) return ReadResult::kFailed;
  if (!longer && text->size() <= limit) return ReadResult::kWhole;
  text->resize(keepHead ? std::min(text->size(), limit) : 0);
  return ReadResult::kLonger;
}

// --- The save lock. Every save holds it exclusively from looking at the file to its
// replacement, and every read holds it shared, so two copies never write at once and none
// reads a half-written file. A copy stopped while saving must not stop the others for ever.

// Tried 5 ms apart, about 5 s in all. Counted rather than timed: this layer reads no clock.
constexpr int kLockTries = 1000;

// A regular file, or kNoFile.
FileHandle OpenRegular(const std::string& path, FileUse use) {
  const FileHandle file = OpenFile(path, use);
  if (file == kNoFile || LookAt(file).regular) return file;
  CloseFile(file);
  return kNoFile;
}

// On a lock file beside the file, made for a save. Where none can be had (a folder we may not
// write) only a rewrite in place is possible, which keeps the file itself: that is locked.
class SaveLock {
 public:
  SaveLock(const std::string& path, bool exclusive) {
    file_ = OpenRegular(BesideAsHidden(path, kLockPart),
                        exclusive ? FileUse::kNewLock : FileUse::kLock);
    if (file_ == kNoFile) file_ = OpenRegular(path, FileUse::kLock);
    held_ = file_ == kNoFile || TryLock(file_, exclusive);  // no file: nothing to keep apart
    for (int tried = 1; !held_ && tried < kLockTries; ++tried) {
      PauseBriefly();
      held_ = TryLock(file_, exclusive);
    }
  }
  ~SaveLock() {
    if (file_ != kNoFile) CloseFile(file_);
  }
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  bool held() const { return held_; }

 private:
  FileHandle file_ = kNoFile;
  bool held_ = false;
};

// --- Writing.

// False when the file at `name` must not be written: LeftAlone, or not openable for writing.
bool FindTarget(const std::string& name, Target* target) {
  *target = Target{.path = name};
  const FileHandle file = OpenFile(name, FileUse::kWrite);
  if (file == kNoFile) return LastError() == FileError::kNotFound;
  const FileFacts facts = LookAt(file);
  target->exists = facts.regular && !LeftAlone(name);
  CloseFile(file);
  target->linkedElsewhere = facts.links > 1;
  target->path = FollowLinks(name);
  return target->exists;
}

// Temporary files: the prefix and six letters or digits, made and moved only under the save
// lock, and held by their writer (locked, and on Windows open without delete sharing) until
// moved. One found under the save lock that no writer holds was left by a killed save.

constexpr std::string_view kLetters =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  return name.size() == prefix.size() + kTemporaryLetters && name.starts_with(prefix) &&
         name.find_first_not_of(kLetters, prefix.size()) == std::string_view::npos;
}

// Different in every process, and for each attempt of one.
std::string TemporaryName(const std::string& prefix, int attempt) {
  uint64_t number = ProcessNumber() * 64 + static_cast<uint64_t>(attempt);
  std::string name = prefix;
  for (size_t i = 0; i < kTemporaryLetters; ++i, number /= 62) name += kLetters[number % 62];
  return name;
}

// Any other name is the player's and stays.
void SweepStaleTemporaries(const std::string& prefix) {
  const std::string folder = prefix.substr(0, BaseOf(prefix));
  ForEachNameIn(folder, [&](const char* name) {
    if (!IsTemporaryName(name, std::string_view(prefix).substr(folder.size()))) return;
    const FileHandle file = OpenRegular(folder + name, FileUse::kLock);
    if (file != kNoFile && TryLock(file, true)) RemoveFile(folder + name);
    if (file != kNoFile) CloseFile(file);
  });
}

// A sweep by a copy that could not lock may remove the name between its making and the
// lock; the file then has no name left and another is made.
FileHandle CreateTemporary(const std::string& prefix, std::string* name) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    *name = TemporaryName(prefix, attempt);
    const FileHandle file = OpenFile(*name, FileUse::kNew);
    if (file == kNoFile && LastError() == FileError::kExists) continue;
    if (file == kNoFile) return kNoFile;
    if (TryLock(file, true) && LookAt(file).links > 0) return file;
    CloseFile(file);
  }
  return kNoFile;
}

enum class Replaced { kYes, kNo, kOnlyInPlace };

// The new content goes to a temporary file beside the old one and replaces it only once it
// is completely on disk, so a full disk or a crash never leaves a truncated file. Where no
// new file may be made, or it cannot take the old one's identity, only a rewrite in place is
// left.
Replaced ReplaceWhole(const Target& target, const std::string& text) {
  std::string temporary;
  const FileHandle file = CreateTemporary(BesideAsHidden(target.path, kTemporaryPart), &temporary);
  if (file == kNoFile) {
    return LastError() == FileError::kDenied ? Replaced::kOnlyInPlace : Replaced::kNo;
  }
  const bool identified = TakeIdentity(file, target);
  const bool written = identified && WriteWhole(file, text);
  if (written && MoveOver(file, temporary, target)) return Replaced::kYes;
  if (!written) CloseFile(file);
  RemoveFile(temporary);
  return identified ? Replaced::kNo : Replaced::kOnlyInPlace;
}

// Writes `text` over the file's content where it is, keeping the file itself; the old content
// is put back should the new one not fit.
bool RewriteInPlace(const std::string& path, const std::string& text, const std::string* old) {
  const FileHandle file = OpenRegular(path, FileUse::kWrite);
  if (file == kNoFile) return false;
  const bool written = WriteWhole(file, text);
  if (!written && old != nullptr) WriteWhole(file, *old);  // all that is left to try
  return CloseFile(file) && written;
}

// --- The working folder as the last read found it, where the player would look for the
// files once it is removed. Files are still written by their names in it: never elsewhere.

std::string notedWorkingFolder;

std::string FolderShown(const StoredFile& file) {
  if (!file.folder.empty()) return file.folder;
  const std::string found = WorkingFolder();
  return found.empty() ? notedWorkingFolder : found;
}

}  // namespace

std::string KeepingFolder(const std::string& name, bool perUser) {
  if (!perUser && (LookAtPath(name).known || FolderWritable(""))) return "";
  const std::string folder = PerUserFolder();
  return !folder.empty() && MakeFolders(folder) ? folder : "";
}

bool ReadStoredText(const StoredFile& file, size_t limit, std::string* text) {
  const std::string found = file.folder.empty() ? WorkingFolder() : "";
  if (!found.empty()) notedWorkingFolder = found;
  const std::string name = file.folder + file.name;
  const SaveLock lock(FollowLinks(name), false);
  std::string problem;
  return ReadWhole(name, limit, true, text, &problem) != ReadResult::kFailed;
}

// A renamed replacement would be a new file: another name linked to the old one would keep
// the old content, so such a file is rewritten in place.
bool UpdateStoredText(const StoredFile& file, size_t limit, const TextChange& change) {
  const std::string name = file.folder + file.name;
  if (LeftAlone(name)) return false;  // before a lock file is made beside it
  const SaveLock lock(FollowLinks(name), true);
  // Looked at only now: another copy may have replaced or made the file meanwhile.
  Target target;
  if (!lock.held() || !FindTarget(name, &target)) return false;
  SweepStaleTemporaries(BesideAsHidden(target.path, kTemporaryPart));
  std::string old;
  std::string problem;
  const ReadResult read =
      target.exists ? ReadWhole(target.path, limit, true, &old, &problem) : ReadResult::kFailed;
  const std::string text =
      WithPlatformLineEnds(change(read != ReadResult::kFailed ? &old : nullptr));
  const Replaced replaced =
      target.linkedElsewhere ? Replaced::kOnlyInPlace : ReplaceWhole(target, text);
  return replaced == Replaced::kYes ||
         (replaced == Replaced::kOnlyInPlace && target.exists &&
          RewriteInPlace(target.path, text, read == ReadResult::kWhole ? &old : nullptr));
}

std::string StoredLocation(const StoredFile& file) {
  return FolderShown(file) + file.name;
}

NewFile MakeNewFile(const StoredFile& beside, const std::string& name, const std::string& bytes) {
  NewFile made;
  made.where = FolderShown(beside) + name;
  const FileHandle file = OpenFile(beside.folder + name, FileUse::kNew);
  made.taken = file == kNoFile && LastError() == FileError::kExists;
  const bool written = file != kNoFile && WriteWhole(file, bytes);
  made.problem = written ? "" : LastProblem();
  if (file != kNoFile && !CloseFile(file) && written) made.problem = LastProblem();
  if (file != kNoFile && !made.problem.empty()) RemoveFile(beside.folder + name);
  return made;
}

// Opened existing or new but not emptied, so the settings file is recognised (by identity,
// whatever name or link leads to it) before anything is lost.
std::FILE* OpenRecordingFile(const std::string& path, std::string* problem) {
  FileHandle file = OpenFile(path, FileUse::kWrite);
  const bool created = file == kNoFile && LastError() == FileError::kNotFound;
  if (created) file = OpenFile(path, FileUse::kNew);
  if (file == kNoFile) {
    *problem = LastProblem();
    return nullptr;
  }
  const StoredFile& settingsFile = SettingsFile();
  const FileFacts facts = LookAt(file);
  const FileFacts settings = LookAtPath(settingsFile.folder + settingsFile.name);
  const bool isSettings = facts.known && settings.known && facts.volume == settings.volume &&
                          facts.index == settings.index;
  // A pipe is not emptied, nor can be.
  if (!isSettings && (!facts.regular || WriteWhole(file, ""))) {
    std::FILE* stream = StreamOf(file);
    if (stream == nullptr) *problem = LastProblem();
    return stream;
  }
  *problem = isSettings ? "it is the settings file " + settingsFile.name +
                              ", which the recording would wipe"
                        : LastProblem();
  CloseFile(file);
  // A file this call made would otherwise be left behind, empty.
  if (created) RemoveFile(path);
  return nullptr;
}

// A file that grows while it is read is cut at the limit rather than read without end.
bool ReadRecordingText(const std::string& path, size_t limit, std::string* text,
                       std::string* problem) {
  const ReadResult read = ReadWhole(path, limit, false, text, problem);
  if (read == ReadResult::kLonger) {
    *problem = "larger than " + std::to_string(limit >> 20) + " MiB: not a recording";
  }
  return read == ReadResult::kWhole;
}
