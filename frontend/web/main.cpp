// The game in a web page: its canvas, HTML menu bar, keys, animation frames and Web Audio.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/message_text.h"
#include "app/options.h"
#include "app/overlay.h"
#include "app/shell.h"
#include "frontend/web/web_glyphs.h"
#include "frontend/web/web_sound.h"
#include "render/pixel_canvas.h"
#include "resources/menu_resource.h"

namespace {

// JavaScript, which the formatter would take for C++.
// clang-format off
// The page's side of the picture and the menu bar (page/page.js).
EM_JS(void, ResizeCanvasOnPage, (int width, int height),
      { volarinPage.resizeCanvas(width, height); });
EM_JS(void, ShowOnPage,
      (const uint32_t* pixels, int width, int height, int left, int top, int w, int h),
      { volarinPage.showPicture(HEAPU8, pixels, width, height, left, top, w, h); });
EM_JS(void, ClearMenuOnPage, (), { volarinPage.clearMenu(); });
EM_JS(void, AddMenuOnPage, (const char* text), { volarinPage.addMenu(UTF8ToString(text)); });
EM_JS(void, AddMenuItemOnPage, (const char* text, int id, const char* keys, int kind),
      { volarinPage.addMenuItem(UTF8ToString(text), id, UTF8ToString(keys), kind); });
EM_JS(void, SetMenuItemOnPage, (int id, int checked, int greyed),
      { volarinPage.setMenuItem(id, checked != 0, greyed != 0); });
EM_JS(void, ShowEndedOnPage, (), { volarinPage.showEnded(); });
EM_JS(void, ShowHintOnPage, (int replaying), { volarinPage.showHint(replaying != 0); });
EM_JS(void, SetTitleOnPage, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, GameReadyOnPage, (), { volarinPage.gameReady(); });
EM_JS(void, CopyReplayFromPage, (char* out, int length),
      { HEAPU8.set(volarinPage.replayBytes().subarray(0, length), out); });
EM_JS(int, FieldWidthOnPage, (), { return volarinPage.fieldSize()[0]; });
EM_JS(int, FieldHeightOnPage, (), { return volarinPage.fieldSize()[1]; });
// The browser's language, as "ja" or "en-US", cut to fit `size` bytes with its ending zero.
EM_JS(void, CopyPageLanguage, (char* out, int size),
      { stringToUTF8(navigator.language || "", out, size); });
// clang-format on

// Animation-frame and event times are milliseconds on the page's clock, the one
// emscripten_get_now reads.
PaceClock::time_point PageTime(double milliseconds) {
  return PaceClock::time_point(std::chrono::duration_cast<PaceClock::duration>(
      std::chrono::duration<double, std::milli>(milliseconds)));
}

class WebPage : public FrontEnd {
 public:
  // A game, or a replay of `options`'s recording: a shell of its own for each, so a replay
  // starts as the runner starts, and the game after it as the page did.
  void Start(const Options& options) {
    if (shell_ != nullptr) shell_->KeepSettings();
    shell_.reset();
    // The last shell's picture goes with it: a new window would start black.
    picture_.Resize(0, 0);
    shell_ = std::make_unique<GameShell>(*this);
    replaying_ = options.replay;
    char language[64] = {};
    CopyPageLanguage(language, sizeof language);
    if (!replaying_) shell_->Size(FieldWidthOnPage(), FieldHeightOnPage());
    shell_->Start(options, {.seed = static_cast<uint32_t>(std::time(nullptr)),
                            .windowCanvas = &picture_,
                            .sound = &sound_,
                            .now = PageTime(emscripten_get_now()),
                            .cardGlyphs = &WebGlyphs(),
                            .overlayOrder = PixelOrder::kRgbaBytes,
                            .locale = language});
    ShowHintOnPage(replaying_);
  }

  // A replay that is over gives way to a new game, once the frame that ended it has run.
  void Advance(PaceClock::time_point now) {
    if (backToGame_) {
      backToGame_ = false;
      Start(Options{});
    }
    shell_->Advance(now);
  }

  void ResizePicture(int width, int height) override {
    picture_.Resize(width, height);
    ResizeCanvasOnPage(picture_.width(), picture_.height());
  }

  // With a card showing, the area goes out through a copy with the overlay laid over it.
  void ShowPicture() override {
    PixelRect area = picture_.TakeDirtyArea();
    if (shell_->TakeOverlayChange()) area = {0, 0, picture_.width(), picture_.height()};
    if (area.Empty()) return;
    ShowOnPage(ShownPixels(picture_, shell_->Overlay(), area, shown_), picture_.width(),
               picture_.height(), area.left, area.top, area.width, area.height);
  }

  void SetMenuItem(uint16_t id, bool checked, bool greyed) override {
    SetMenuItemOnPage(id, checked, greyed);
  }

  void SetTitle(const std::string& title) override { SetTitleOnPage(title.c_str()); }

  // Each shell builds it, a replay's too: its items are then all greyed.
  void BuildMenu(MenuLanguage language) override {
    ClearMenuOnPage();
    for (const MenuResourcePopup* popup : kMenuBar) {
      AddMenuOnPage(MenuText(*popup, language));
      for (int i = 0; i < popup->count; ++i) {
        const MenuResourceItem& item = popup->items[i];
        AddMenuItemOnPage(item.text ? MenuText(item, language) : "", item.id,
                          item.keys ? item.keys : "", static_cast<int>(MenuItemKindOf(item.id)));
      }
    }
  }

  // The Exit command has ended the session; a replay closed goes back to the game.
  void Quit() override {
    if (replaying_) {
      backToGame_ = true;
    } else {
      ShowEndedOnPage();
    }
  }

  GameShell& shell() { return *shell_; }

 private:
  PixelCanvas picture_{0, 0, PixelOrder::kRgbaBytes, WebGlyphs()};
  std::vector<uint32_t> shown_;  // the picture with the overlay laid over it
  WebSound sound_;
  std::unique_ptr<GameShell> shell_;
  bool replaying_ = false;
  bool backToGame_ = false;
};

WebPage* page = nullptr;

// The character a key types, as the desktop window's text would give it, or 0 for none.
char32_t TypedByKey(const EmscriptenKeyboardEvent& key) {
  const std::string_view name = key.key;
  if (name == "Enter") return U'\r';
  if (name == "Tab") return U'\t';
  if (name == "Backspace") return U'\b';
  if (name == "Escape") return U'\x1B';
  // A single character of the basic plane; longer names ("Shift", "Process", "Dead") type
  // nothing.
  if (name.empty() || name.size() > 3) return 0;
  const DecodedUtf8 decoded = DecodeUtf8(name);
  char32_t code = decoded.length == name.size() ? decoded.codePoint : 0;
  if (code == 0 || !key.ctrlKey) return code;
  // Control with a letter or one of @[\]^_ types its control character.
  if (code >= U'a' && code <= U'z') code -= 0x20;
  return code >= U'@' && code <= U'_' ? code - U'@' : 0;
}

// "F1" to "F19" as 1 to 19, any other key as 0.
int FunctionKeyNumber(std::string_view name) {
  for (int number = 1; number <= 19; ++number) {
    if (name == "F" + std::to_string(number)) return number;
  }
  return 0;
}

// PageDown and Right turn the help forward, PageUp and Left back; they type nothing.
int HelpPageStep(std::string_view key) {
  if (key == "PageDown" || key == "ArrowRight") return 1;
  if (key == "PageUp" || key == "ArrowLeft") return -1;
  return 0;
}

// Returning true keeps the browser from its own use of the key: F1 to F4 are the game's,
// and a key the game took must not also scroll the page, move the focus or type into the
// input sink.
EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* key, void*) {
  if (page->shell().Ended() || key->altKey || key->metaKey) return EM_FALSE;
  if (const int number = FunctionKeyNumber(key->key)) {
    if (!key->ctrlKey && !key->shiftKey) page->shell().PressFunctionKey(number);
    return number <= 4;
  }
  if (const int delta = HelpPageStep(key->key)) return page->shell().TurnPage(delta);
  if (std::string_view(key->key) == "Delete") return EM_FALSE;
  const char32_t typed = TypedByKey(*key);
  return typed != 0 && page->shell().Type(typed) && !key->ctrlKey;
}

// A hidden page shows nothing and gets no animation frames: like a minimised window it
// pauses a running game, and the settings are kept now, since a hidden page may be discarded
// without another word.
EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  if (event->hidden) {
    page->shell().Minimise();
    page->shell().KeepSettings();
  } else {
    page->shell().Size(FieldWidthOnPage(), FieldHeightOnPage());
  }
  return EM_FALSE;
}

EM_BOOL OnAnimationFrame(double milliseconds, void*) {
  page->Advance(PageTime(milliseconds));
  return page->shell().Ended() ? EM_FALSE : EM_TRUE;
}

}  // namespace

// Called by the page.
extern "C" {

EMSCRIPTEN_KEEPALIVE void volarin_command(int id) {
  page->shell().Command(static_cast<uint16_t>(id));
}

// Text committed by an input method (or typed without a key event), one character a call.
EMSCRIPTEN_KEEPALIVE void volarin_type(int character) {
  page->shell().Type(static_cast<char32_t>(character));
}

EMSCRIPTEN_KEEPALIVE void volarin_resize(int width, int height) {
  page->shell().Size(width, height);
}

// The page has `length` bytes of a recording to replay (volarinPage.replayBytes), or
// none when `length` is negative: the link held no recording it could decode.
EMSCRIPTEN_KEEPALIVE void volarin_replay(int length) {
  Options options;
  options.replay = true;
  options.replayText.assign(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0) CopyReplayFromPage(options.replayText.data(), length);
  if (length < 0) options.replayProblem = "the link holds no recording it can be read from";
  // After Exit the frame loop has stopped; the replay needs it again.
  if (page->shell().Ended()) emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
  page->Start(options);
}

// The page is being closed or left: the session ends, its settings kept.
EMSCRIPTEN_KEEPALIVE void volarin_page_closed() {
  page->shell().End(ProgramEnd::kPageClosed);
}

}  // extern "C"

int main() {
  static WebPage webPage;
  page = &webPage;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKeyDown);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibilityChange);
  page->Start(Options{});
  emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
  GameReadyOnPage();
  return 0;
}
