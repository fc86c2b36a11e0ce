// The settings file on Windows: "VOLARIN.INI" in the working folder, CRLF lines, replaced
// only once the new content is completely on disk.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/settings.h"
#include "app/settings_store.h"

namespace {

const wchar_t kFileName[] = L"VOLARIN.INI";

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

// Only a file on a disk counts: a pipe or a device reached through a link is neither read
// nor replaced.
bool IsDiskFile(HANDLE file) {
  return GetFileType(file) == FILE_TYPE_DISK;
}

// Tested by attribute as well as by the open: an administrator may open a read-only file for
// writing, and the player's choice must still hold.
bool IsReadOnly(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  return GetFileInformationByHandle(file, &information) &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
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
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// The path the name leads to, through any link, so that the link stays a link and its target
// gets the new content.
std::wstring FinalPathOf(HANDLE file) {
  wchar_t buffer[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleW(file, buffer, MAX_PATH + 8, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= MAX_PATH + 8) return kFileName;
  return std::wstring(buffer, length);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// A writable file in a folder where nothing new may be created can only be rewritten in place.
bool RewriteInPlace(const std::wstring& target, const std::string& text) {
  const Handle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && WriteAll(file.get(), text) && FlushFileBuffers(file.get());
}

bool WriteTemporary(const std::wstring& path, const std::string& text) {
  const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && WriteAll(file.get(), text) && FlushFileBuffers(file.get());
}

// ReplaceFileW keeps the old file's attributes and security; where it cannot act, a
// write-through move does the same replacement without them.
bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, bool exists) {
  if (exists && ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return true;
  }
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(temporary.c_str(), target.c_str(), flags) != 0;
}

bool ReplaceWhole(const std::wstring& target, bool exists, const std::string& text) {
  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(FolderOf(target).c_str(), L"vol", 0, temporary) == 0) {
    return exists && GetLastError() == ERROR_ACCESS_DENIED && RewriteInPlace(target, text);
  }
  if (!WriteTemporary(temporary, text) || !MoveIntoPlace(temporary, target, exists)) {
    DeleteFileW(temporary);
    return false;
  }
  return true;
}

}  // namespace

bool ReadSettingsText(std::string* text) {
  const Handle file(OpenExisting(kFileName, GENERIC_READ));
  if (!file.valid() || !IsDiskFile(file.get())) return false;
  text->clear();
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return false;
    if (read == 0) return true;
    text->append(buffer, read);
  }
}

// A file that cannot be opened for writing (read-only, locked, a folder) is left as it is.
bool WriteSettingsText(const std::string& text) {
  std::wstring target = kFileName;
  bool exists = false;
  {
    const Handle file(OpenExisting(kFileName, GENERIC_WRITE));
    if (file.valid()) {
      if (!IsDiskFile(file.get()) || IsReadOnly(file.get())) return false;
      exists = true;
      target = FinalPathOf(file.get());
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return false;
    }
  }
  return ReplaceWhole(target, exists, WithCrLf(text));
}
