// Handing the effects' file names to the page's player.
#include "frontend/web/web_sound.h"

#include <emscripten.h>

namespace {

// JavaScript, which the formatter would take for C++.
// clang-format off
EM_JS(void, LoadOnPage, (const char* name), { volarinPage.loadSound(UTF8ToString(name)); });
EM_JS(void, PlayOnPage, (const char* name), { volarinPage.play(UTF8ToString(name)); });
// clang-format on

}  // namespace

WebSound::WebSound() {
  for (const char* name : kSoundEffectFiles) LoadOnPage(name);
}

void WebSound::Play(SoundEffect effect) {
  PlayOnPage(SoundEffectFile(effect));
}
