// Handing an effect's name to the page's player.
#include "frontend/web/web_sound.h"

#include <emscripten.h>

namespace {

// JavaScript, which the formatter would take for C++.
// clang-format off
EM_JS(void, PlayOnPage, (const char* name), { volarinPage.play(UTF8ToString(name)); });
// clang-format on

}  // namespace

void WebSound::Play(const char* name) {
  PlayOnPage(name);
}
