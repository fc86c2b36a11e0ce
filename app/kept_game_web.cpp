// Keeping a game in the browser: the page downloads it and shows (and copies) its link.
#include <emscripten.h>

#include "app/kept_game.h"

namespace {

// clang-format off
// The recording's bytes go to the page as they are (page/page.js keepGame).
EM_JS(void, KeepGameOnPage, (const char* name, const char* bytes, int length), {
  volarinPage.keepGame(UTF8ToString(name), HEAPU8.slice(bytes, bytes + length));
});
// clang-format on

}  // namespace

KeptGame KeepGame(const std::string& stamp, const std::string& recording) {
  KeptGame kept{.where = KeptGameName(stamp, 1), .download = true};
  KeepGameOnPage(kept.where.c_str(), recording.data(), static_cast<int>(recording.size()));
  return kept;
}
