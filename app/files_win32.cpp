// The file operations of Windows (app/files.h): UTF-16 names, locks on a byte past the end,
// and a few more tries where another program holds a file for a moment.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/files.h"
#include "app/store.h"

const char kFolderSeparators[] = "\\/";
const char kLineEnd[] = "\r\n";

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kLongestPath = 32768;  // in UTF-16 units, the terminating zero included

HANDLE AsHandle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

std::wstring Utf16(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  text.data(), static_cast<int>(text.size())));
  return text;
}

std::string Utf8(const std::wstring& utf16) {
  std::string text(4 * utf16.size(), '\0');
  text.resize(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                  text.data(), static_cast<int>(text.size()), nullptr, nullptr));
  return text;
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

// The byte locked lies far past the end, so that where the kept file itself is locked no
// reader is kept from its bytes.
OVERLAPPED BeyondTheEnd() {
  OVERLAPPED beyond{};
  beyond.OffsetHigh = 0x40000000;
  return beyond;
}

// Asks for no access, which another program holding the file cannot refuse: enough to look.
HANDLE Probe(const std::string& path) {
  return CreateFileW(Utf16(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

std::string FollowLinks(const std::string& name) {
  const HANDLE probe = Probe(name);
  std::wstring path(kLongestPath, L'\0');
  const DWORD length = probe == INVALID_HANDLE_VALUE
                           ? 0
                           : GetFinalPathNameByHandleW(probe, path.data(), kLongestPath, 0);
  if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
  return length > 0 && length < kLongestPath ? Utf8(path.substr(0, length)) : name;
}

std::string WorkingFolder() {
  std::wstring path(kLongestPath, L'\0');
  path.resize(GetCurrentDirectoryW(kLongestPath, path.data()));  // 0 when it fails
  const std::string folder = Utf8(path);
  return folder.empty() || folder.ends_with('\\') ? folder : folder + "\\";
}

std::string PerUserFolder() {
  wchar_t data[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"APPDATA", data, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  std::string folder = Utf8(data);
  if (folder.find_last_of(kFolderSeparators) != folder.size() - 1) folder += '\\';
  return folder + "Volarin\\";
}

bool MakeFolders(const std::string& folder) {
  for (size_t end = folder.find_first_of(kFolderSeparators); end != std::string::npos;
       end = folder.find_first_of(kFolderSeparators, end + 1)) {
    if (end > 0 && folder[end - 1] != ':')
      CreateDirectoryW(Utf16(folder.substr(0, end)).c_str(), nullptr);
  }
  const DWORD attributes = GetFileAttributesW(Utf16(folder).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Folder permissions on Windows are read most surely by trying: a file that vanishes when
// closed.
bool FolderWritable(const std::string& folder) {
  const std::string probe = folder + ".volarin-probe-" + std::to_string(GetCurrentProcessId());
  const HANDLE file = CreateFileW(Utf16(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void ForEachNameIn(const std::string& folder, const std::function<void(const char*)>& visit) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Utf16(folder) + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
      visit(Utf8(found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

uint64_t ProcessNumber() {
  return GetCurrentProcessId();
}

// Pipe servers are not waited for: a busy or missing one fails the open at once. Writing
// where another program holds the file for a moment is tried again.
FileHandle OpenFile(const std::string& path, FileUse use) {
  struct Way {
    DWORD access, share, how, flags;
  };
  constexpr Way kWays[] = {// by use
                           {GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS},
                           {GENERIC_WRITE, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL},
                           {GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW, FILE_ATTRIBUTE_NORMAL},
                           {GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN},
                           {GENERIC_READ, kShareAll, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN}};
  const Way& way = kWays[static_cast<int>(use)];
  const std::wstring name = Utf16(path);
  HANDLE file = INVALID_HANDLE_VALUE;
  const auto open = [&] {
    file = CreateFileW(name.c_str(), way.access, way.share, nullptr, way.how, way.flags, nullptr);
    return file != INVALID_HANDLE_VALUE;
  };
  if (use == FileUse::kWrite ? !Retried(open) : !open()) return kNoFile;
  return reinterpret_cast<FileHandle>(file);
}

// A lock still held is let go first, as closing alone may leave it for a while.
bool CloseFile(FileHandle file) {
  OVERLAPPED beyond = BeyondTheEnd();
  UnlockFileEx(AsHandle(file), 0, 1, 0, &beyond);  // fails where none is held
  return CloseHandle(AsHandle(file));
}

// Only a file on a disk has facts to look at: a pipe or a device has none.
FileFacts LookAt(FileHandle file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(AsHandle(file)) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(AsHandle(file), &info)) {
    return {};
  }
  const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return {.known = true,
          .regular = !folder,
          .folder = folder,
          .size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
          .links = info.nNumberOfLinks,
          .volume = info.dwVolumeSerialNumber,
          .index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

FileFacts LookAtPath(const std::string& path) {
  const HANDLE file = Probe(path);
  if (file == INVALID_HANDLE_VALUE) return {};
  const FileFacts facts = LookAt(reinterpret_cast<FileHandle>(file));
  CloseHandle(file);
  return facts;
}

bool ReadSome(FileHandle file, char* buffer, size_t size, size_t* got) {
  DWORD read = 0;
  const bool ok = ReadFile(AsHandle(file), buffer, static_cast<DWORD>(size), &read, nullptr);
  *got = ok ? read : 0;
  return ok;
}

// A megabyte at most per call.
bool WriteWhole(FileHandle file, const std::string& text) {
  if (SetFilePointer(AsHandle(file), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    return false;
  }
  for (size_t done = 0; done < text.size();) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(AsHandle(file), text.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return SetEndOfFile(AsHandle(file)) && FlushFileBuffers(AsHandle(file));
}

bool RemoveFile(const std::string& path) {
  return DeleteFileW(Utf16(path).c_str());
}

FileError LastError() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND                                 ? FileError::kNotFound
         : error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? FileError::kExists
         : error == ERROR_ACCESS_DENIED                                ? FileError::kDenied
                                                                       : FileError::kOther;
}

std::string LastProblem() {
  const DWORD error = GetLastError();
  return error == ERROR_PIPE_BUSY ? "no program is reading that pipe"
                                  : "Windows error " + std::to_string(error);
}

bool TryLock(FileHandle file, bool exclusive) {
  OVERLAPPED beyond = BeyondTheEnd();
  const DWORD flags = (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
  return LockFileEx(AsHandle(file), flags, 0, 1, 0, &beyond) ||
         GetLastError() != ERROR_LOCK_VIOLATION;
}

void PauseBriefly() {
  Sleep(5);
}

// The attribute is tested, not an open for writing, which an administrator may have of a
// read-only file: the player's choice must still hold.
bool LeftAlone(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(Utf16(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// ReplaceFileW keeps them.
bool TakeIdentity(FileHandle, const Target&) {
  return true;
}

// ReplaceFileW keeps the old file's attributes and security; where it cannot act, a
// write-through move does the same replacement without them.
bool MoveOver(FileHandle temporary, const std::string& temporaryPath, const Target& target) {
  CloseFile(temporary);
  const std::wstring from = Utf16(temporaryPath);
  const std::wstring to = Utf16(target.path);
  return Retried([&] {
    if (target.exists && ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      return true;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (target.exists ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), to.c_str(), flags) != 0;
  });
}

// Binary, so the scenario keeps the runner's own line ends on every system.
std::FILE* StreamOf(FileHandle file) {
  const int fd = _open_osfhandle(file, _O_WRONLY | _O_BINARY);
  std::FILE* stream = fd == -1 ? nullptr : _fdopen(fd, "wb");
  if (stream == nullptr && fd == -1) CloseHandle(AsHandle(file));
  if (stream == nullptr && fd != -1) _close(fd);
  return stream;
}

// Windows has no SIGPIPE: a write to a closed pipe fails with an error.
void IgnoreBrokenPipes() {}
