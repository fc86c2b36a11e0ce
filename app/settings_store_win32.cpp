// The settings file on Windows: "VOLARIN.INI" in the working folder, CRLF lines, replaced
// only once the new content is completely on disk.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/files_win32.h"
#include "app/settings.h"
#include "app/settings_store.h"

namespace {

const wchar_t kFileName[] = L"VOLARIN.INI";
// Beside the file, named as no player would name a file: ".VOLARIN.INI.volarin-lock" and
// ".VOLARIN.INI.volarin-tmp-<process>-<number>".
const wchar_t kLockPart[] = L".volarin-lock";
const wchar_t kTemporaryPart[] = L".volarin-tmp-";

// Nine lines of settings are a few hundred bytes; what lies beyond this is not read, so a
// huge file cannot exhaust the memory.
constexpr size_t kLongestSettingsText = size_t{1} << 20;

// Closes a file handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE OpenExisting(const wchar_t* path, DWORD access) {
  return CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The path an open file has after links are followed, or `otherwise`.
std::wstring FinalPathOf(HANDLE file, const std::wstring& otherwise) {
  wchar_t buffer[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleW(file, buffer, MAX_PATH + 8, 0);
  return length > 0 && length < MAX_PATH + 8 ? std::wstring(buffer, length) : otherwise;
}

// Where the name leads through links, to put the lock beside that file. Looked up without
// asking for any access, which another copy's open handle cannot refuse.
std::wstring LinkedPath() {
  const Handle probe(OpenExisting(kFileName, 0));
  return probe.valid() ? FinalPathOf(probe.get(), kFileName) : kFileName;
}

// The settings file as found before writing: the path it leads to (through a link), and
// whether it exists and has other names.
struct Target {
  std::wstring path = kFileName;
  bool exists = false;
  bool linkedElsewhere = false;
};

// False when the name stands for something to be left as it is: a pipe or a device reached
// through a link, a folder, a read-only file or one that cannot be opened for writing. The
// attribute is tested as well as the open, since an administrator may open a read-only file
// for writing and the player's choice must still hold.
bool FindTarget(Target* target) {
  const Handle file(OpenExisting(kFileName, GENERIC_WRITE));
  if (!file.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(file.get(), &information) ||
      (information.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  target->exists = true;
  target->linkedElsewhere = information.nNumberOfLinks > 1;
  target->path = FinalPathOf(file.get(), target->path);
  return true;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Reads to the end of the file or to kLongestSettingsText bytes, whichever comes first.
bool ReadAll(HANDLE file, std::string* text) {
  char buffer[4096];
  text->clear();
  while (text->size() < kLongestSettingsText) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) return false;
    if (read == 0) return true;
    text->append(buffer, read);
  }
  return true;
}

// Writes from the start and cuts the file there.
bool WriteWhole(HANDLE file, const std::string& text) {
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
         WriteAll(file, text) && SetEndOfFile(file) && FlushFileBuffers(file);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
}

std::wstring BaseNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring BesideAsHidden(const std::wstring& target, const wchar_t* part) {
  return FolderOf(target) + L"." + BaseNameOf(target) + part;
}

// --- The save lock. Every save holds a lock on ".VOLARIN.INI.volarin-lock" exclusively from
// looking at the file to its replacement, and every read holds it shared, so two copies
// never write at once and none reads a half-written file. A copy stopped while saving must
// not stop the others for ever: the wait is bounded.

// Tries 5 ms apart, about 5 s in all. Counted rather than timed: this layer reads no clock.
constexpr int kLockTries = 1000;

// The byte locked lies far past the end, so that where the settings file itself is locked
// no reader is kept from its bytes.
bool WaitForLock(HANDLE file, DWORD flags) {
  for (int tried = 1;; ++tried) {
    OVERLAPPED beyondTheEnd{};
    beyondTheEnd.OffsetHigh = 0x40000000;
    if (LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &beyondTheEnd)) return true;
    // A file system without locks lets the save go on.
    if (GetLastError() != ERROR_LOCK_VIOLATION) return true;
    if (tried == kLockTries) return false;
    Sleep(5);
  }
}

void Unlock(HANDLE file) {
  OVERLAPPED beyondTheEnd{};
  beyondTheEnd.OffsetHigh = 0x40000000;
  UnlockFileEx(file, 0, 1, 0, &beyondTheEnd);
}

// Where no lock file can be made (a folder we may not write) only a rewrite in place is
// possible, which keeps the file itself: that file is then locked instead.
class SaveLock {
 public:
  SaveLock(const std::wstring& target, bool exclusive) {
    file_ = CreateFileW(BesideAsHidden(target, kLockPart).c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        exclusive ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file_ != INVALID_HANDLE_VALUE && GetFileType(file_) != FILE_TYPE_DISK) {
      CloseHandle(file_);
      file_ = INVALID_HANDLE_VALUE;
    }
    if (file_ == INVALID_HANDLE_VALUE) file_ = OpenExisting(target.c_str(), GENERIC_READ);
    // No file at all: nothing to keep apart.
    held_ = file_ == INVALID_HANDLE_VALUE ||
            WaitForLock(file_, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  }
  ~SaveLock() {
    if (file_ == INVALID_HANDLE_VALUE) return;
    if (held_) Unlock(file_);
    CloseHandle(file_);
  }
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  bool held() const { return held_; }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool held_ = false;
};

// --- Temporary files, made and moved only under the save lock and held open by their
// writer without delete sharing while written. One found under the save lock that can be
// deleted was left by a killed save; a name of any other form is the player's and stays.

bool IsTemporaryName(const std::wstring& name, const std::wstring& base) {
  const std::wstring prefix = L"." + base + kTemporaryPart;
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::wstring number = name.substr(prefix.size());
  const size_t dash = number.find(L'-');
  if (dash == 0 || dash == std::wstring::npos || dash + 1 == number.size()) return false;
  return std::all_of(number.begin(), number.end(),
                     [](wchar_t c) { return c == L'-' || (c >= L'0' && c <= L'9'); }) &&
         number.find(L'-', dash + 1) == std::wstring::npos;
}

void RemoveStaleTemporaries(const std::wstring& target) {
  const std::wstring folder = FolderOf(target);
  const std::wstring base = BaseNameOf(target);
  WIN32_FIND_DATAW found;
  HANDLE search =
      FindFirstFileW(BesideAsHidden(target, kTemporaryPart).append(L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        IsTemporaryName(found.cFileName, base)) {
      DeleteFileW((folder + found.cFileName).c_str());  // fails while a writer holds it
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A new temporary file beside the target; its name goes to `name`.
HANDLE CreateTemporary(const std::wstring& target, std::wstring* name) {
  for (DWORD attempt = 0; attempt < 16; ++attempt) {
    *name = BesideAsHidden(target, kTemporaryPart) + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount() + attempt);
    HANDLE file = CreateFileW(name->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Another program (a virus scanner, an indexer, an older copy of the game) may hold the file
// for a moment; these errors are worth a few more tries.
bool IsPassingError(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_ALREADY_EXISTS ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

constexpr int kAttempts = 6;  // waiting 10, 20, 40, 80 and 160 ms between them

template <typename Attempt>
bool Retried(Attempt attempt) {
  for (int tried = 1;; ++tried) {
    if (attempt()) return true;
    if (tried == kAttempts || !IsPassingError(GetLastError())) return false;
    Sleep(10u << (tried - 1));
  }
}

// --- The two ways of writing.

// Overwrites the file where it is, as a plain open for writing would; the old content is put
// back should the new one not fit.
bool RewriteInPlace(const std::wstring& path, const std::string& text) {
  HANDLE opened = INVALID_HANDLE_VALUE;
  Retried([&] {
    opened = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return opened != INVALID_HANDLE_VALUE;
  });
  const Handle file(opened);
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
  std::string old;
  const bool restorable = ReadAll(file.get(), &old) && old.size() < kLongestSettingsText;
  if (WriteWhole(file.get(), text)) return true;
  if (restorable) WriteWhole(file.get(), old);
  return false;
}

enum class Replaced { kYes, kNo, kOnlyInPlace };

// ReplaceFileW keeps the old file's attributes and security; where it cannot act, a
// write-through move does the same replacement without them.
bool MoveIntoPlace(const std::wstring& temporary, const Target& target) {
  return Retried([&] {
    if (target.exists && ReplaceFileW(target.path.c_str(), temporary.c_str(), nullptr,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      return true;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (target.exists ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(temporary.c_str(), target.path.c_str(), flags) != 0;
  });
}

// The new content goes to a temporary file beside the old one and replaces it only once it
// is completely on disk, so a full disk or a crash never leaves a truncated file.
Replaced ReplaceWhole(const Target& target, const std::string& text) {
  std::wstring temporary;
  HANDLE file = CreateTemporary(target.path, &temporary);
  if (file == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_ACCESS_DENIED ? Replaced::kOnlyInPlace : Replaced::kNo;
  }
  const bool written = WriteAll(file, text) && FlushFileBuffers(file);
  CloseHandle(file);
  if (written && MoveIntoPlace(temporary, target)) return Replaced::kYes;
  DeleteFileW(temporary.c_str());
  return Replaced::kNo;
}

}  // namespace

// Only a file on a disk is read: a pipe reached through a link must not hold up start-up. The
// file is opened once the lock is had, as a replacement may take its name away for a moment;
// it is read even when the lock is not had in time, since its scores are worth more than the
// defaults the next save would write over them.
bool ReadSettingsText(std::string* text) {
  const SaveLock lock(LinkedPath(), false);
  const Handle file(OpenExisting(kFileName, GENERIC_READ));
  return file.valid() && GetFileType(file.get()) == FILE_TYPE_DISK && ReadAll(file.get(), text);
}

// A renamed replacement would be a new file: another name linked to the old one would keep
// the old content, so such a file too is rewritten in place.
bool WriteSettingsText(const std::string& text) {
  // A read-only file or a folder of that name fails the save before a lock file is made.
  const DWORD attributes = GetFileAttributesW(kFileName);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  const SaveLock lock(LinkedPath(), true);
  Target target;
  if (!lock.held() || !FindTarget(&target)) return false;
  RemoveStaleTemporaries(target.path);
  const std::string lines = WithCrLf(text);
  if (target.linkedElsewhere) return RewriteInPlace(target.path, lines);
  switch (ReplaceWhole(target, lines)) {
    case Replaced::kYes:
      return true;
    case Replaced::kOnlyInPlace:
      return target.exists && RewriteInPlace(target.path, lines);
    case Replaced::kNo:
      break;
  }
  return false;
}

std::string SettingsLocation() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetFullPathNameW(kFileName, static_cast<DWORD>(path.size()), path.data(),
                                    nullptr)) >= path.size()) {
    path.resize(length);
  }
  if (length == 0) return kSettingsFileName;
  std::string text(4 * length, '\0');
  text.resize(WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(length), text.data(),
                                  static_cast<int>(text.size()), nullptr, nullptr));
  return text;
}
