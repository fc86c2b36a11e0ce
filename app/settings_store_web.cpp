// The settings file in a browser: the same nine-line text, kept in the page's local storage.
#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "app/settings_store.h"

namespace {

// JavaScript, which the formatter would take for C++.
// clang-format off
// Local storage holds strings, the settings file bytes: each byte is kept as the character
// of the same number, so any byte survives. Storage can be switched off or full, and then
// throws; that is a failed read or write, never an uncaught error.
EM_JS(char*, ReadStoredText, (const char* key, int* length), {
  let text = null;
  try {
    text = window.localStorage.getItem(UTF8ToString(key));
  } catch (e) {
    console.warn("The settings could not be read from local storage:", e.message);
  }
  if (text === null) return 0;
  const bytes = _malloc(text.length + 1);
  for (let i = 0; i < text.length; ++i) HEAPU8[bytes + i] = text.charCodeAt(i) & 0xFF;
  HEAP32[length >> 2] = text.length;
  return bytes;
});

// Each save is announced to the page as a "volarin-settings-saved" event, with the name of
// the error that refused it, so the page can say truthfully whether the settings were kept.
EM_JS(int, StoreText, (const char* key, const char* bytes, int length), {
  let text = "";
  for (let i = 0; i < length; ++i) text += String.fromCharCode(HEAPU8[bytes + i]);
  let error = "";
  try {
    window.localStorage.setItem(UTF8ToString(key), text);
  } catch (e) {
    console.warn("The settings could not be kept in local storage:", e.message);
    error = e.name || "Error";
  }
  const detail = {kept: error === "", error: error};
  window.dispatchEvent(new CustomEvent("volarin-settings-saved", {detail: detail}));
  return error === "" ? 1 : 0;
});
// clang-format on

}  // namespace

bool ReadSettingsText(std::string* text) {
  int length = 0;
  char* bytes = ReadStoredText(kSettingsFileName, &length);
  if (bytes == nullptr) return false;
  text->assign(bytes, static_cast<size_t>(length));
  std::free(bytes);
  return true;
}

bool WriteSettingsText(const std::string& text) {
  return StoreText(kSettingsFileName, text.data(), static_cast<int>(text.size())) != 0;
}

std::string SettingsLocation() {
  return std::string("this browser's local storage (") + kSettingsFileName + ")";
}
