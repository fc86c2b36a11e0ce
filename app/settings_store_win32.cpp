// The settings file on Windows: "VOLARIN.INI" in the working folder, CRLF lines, replaced
// only once the new content is completely on disk.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/settings.h"
#include "app/settings_store.h"

namespace {

const wchar_t kFileName[] = L"VOLARIN.INI";
// Temporary files are "VOLARIN.INI.<number>.tmp" beside the file they replace.
const wchar_t kTemporarySuffix[] = L".tmp";

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
  wchar_t buffer[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleW(file.get(), buffer, MAX_PATH + 8, 0);
  if (length > 0 && length < MAX_PATH + 8) target->path.assign(buffer, length);
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

bool WriteAll(HANDLE file, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
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

// --- Temporary files, held open by their writer without delete sharing for as long as they
// are written, so a later save can tell one a killed writer left from one still in use.

void RemoveStaleTemporaries(const std::wstring& target) {
  const std::wstring folder = FolderOf(target);
  const std::wstring pattern = target + L".*" + kTemporarySuffix;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
      DeleteFileW((folder + found.cFileName).c_str());  // fails while a writer holds it
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A new temporary file beside the target; its name goes to `name`.
HANDLE CreateTemporary(const std::wstring& target, std::wstring* name) {
  for (DWORD attempt = 0; attempt < 16; ++attempt) {
    *name = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount() + attempt) + kTemporarySuffix;
    HANDLE file = CreateFileW(name->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// --- The two ways of writing.

// Overwrites the file where it is, as a plain open for writing would; the old content is put
// back should the new one not fit.
bool RewriteInPlace(const std::wstring& path, const std::string& text) {
  const Handle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  if (target.exists && ReplaceFileW(target.path.c_str(), temporary.c_str(), nullptr,
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return true;
  }
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (target.exists ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(temporary.c_str(), target.path.c_str(), flags) != 0;
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

// Only a file on a disk is read: a pipe reached through a link must not hold up start-up.
bool ReadSettingsText(std::string* text) {
  const Handle file(OpenExisting(kFileName, GENERIC_READ));
  return file.valid() && GetFileType(file.get()) == FILE_TYPE_DISK && ReadAll(file.get(), text);
}

// A renamed replacement would be a new file: another name linked to the old one would keep
// the old content, so such a file too is rewritten in place.
bool WriteSettingsText(const std::string& text) {
  Target target;
  if (!FindTarget(&target)) return false;
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
