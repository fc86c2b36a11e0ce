// The store's calls in a browser: a kept file's bytes in the page's local storage under the
// file's name, and a new file as the page's download (page/page.js readStored, store and
// keepGame).
#include <emscripten.h>

#include <cstdlib>

#include "app/store.h"

namespace {

// JavaScript, which the formatter would take for C++.
// clang-format off
EM_JS(char*, ReadStoredBytes, (const char* name, int limit, int* length), {
  const bytes = volarinPage.readStored(UTF8ToString(name), limit);
  if (bytes === null) return 0;
  const copy = _malloc(bytes.length + 1);
  HEAPU8.set(bytes, copy);
  HEAP32[length >> 2] = bytes.length;
  return copy;
});

EM_JS(int, StoreBytes, (const char* name, const char* bytes, int length), {
  return volarinPage.store(UTF8ToString(name), HEAPU8.subarray(bytes, bytes + length)) ? 1 : 0;
});

EM_JS(void, DownloadBytes, (const char* name, const char* bytes, int length), {
  volarinPage.keepGame(UTF8ToString(name), HEAPU8.slice(bytes, bytes + length));
});
// clang-format on

}  // namespace

std::string KeepingFolder(const std::string&, bool) {
  return "";
}

// Only the first `limit` bytes are read, as from a file: a recording carries what was read.
bool ReadStoredText(const StoredFile& file, size_t limit, std::string* text) {
  int length = 0;
  char* bytes = ReadStoredBytes(file.name.c_str(), static_cast<int>(limit), &length);
  if (bytes == nullptr) return false;
  text->assign(bytes, static_cast<size_t>(length));
  std::free(bytes);
  return true;
}

bool UpdateStoredText(const StoredFile& file, size_t limit, const TextChange& change) {
  std::string stored;
  const std::string text = change(ReadStoredText(file, limit, &stored) ? &stored : nullptr);
  return StoreBytes(file.name.c_str(), text.data(), static_cast<int>(text.size())) != 0;
}

std::string StoredLocation(const StoredFile& file) {
  return "this browser's local storage (" + file.name + ")";
}

NewFile MakeNewFile(const StoredFile&, const std::string& name, const std::string& bytes) {
  DownloadBytes(name.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  NewFile made;
  made.where = name;
  made.download = true;
  return made;
}
