// Fuzzes the viewer: arbitrary bytes as a recording, through a shell in replay mode with the
// cards, called a frame at a time as a window calls it. Inputs of an odd length draw into a
// window picture too: making its sprite sheet costs ten times the rest of a short input. Each
// input gets a fixed number of frames and then Esc; every call must stay within the viewer's
// bounds (a few size changes, a quarter of a second of ticks, pictures and the overlay at most
// the largest side), and the replay must end with a verdict.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/cards.h"
#include "app/shell.h"
#include "render/pixel_canvas.h"

namespace {

constexpr int kFramesPerInput = 8;
// A frame of a quarter of a second: at 1x the most a call catches up, 16 ticks.
constexpr PaceClock::duration kFrame = kTickPeriod * 16;

// Glyphs without a font: a block for every character, so the cards are drawn and laid out.
class BlockGlyphs : public GlyphSource {
 protected:
  Glyph Render(FontId, char32_t) override { return {12, {{-16, 1, 10}, {-8, 1, 10}}}; }
  TextBox MeasureBox(FontId) override { return {20, 6}; }
};

// A window that takes the sizes it is given and counts them between two calls.
class FuzzWindow : public FrontEnd {
 public:
  explicit FuzzWindow(PixelCanvas& picture) : picture_(picture) {}
  void ResizePicture(int width, int height) override {
    picture_.Resize(width, height);
    ++sizesSinceCall;
  }
  void ShowPicture() override { picture_.TakeDirtyArea(); }
  void SetMenuItem(uint16_t, bool, bool) override {}
  void Quit() override { ++quits; }
  void FitWindow(int width, int height) override {
    if (width > PixelCanvas::kMaxSide || height > PixelCanvas::kMaxSide) std::abort();
  }
  int sizesSinceCall = 0;
  int quits = 0;

 private:
  PixelCanvas& picture_;
};

BlockGlyphs* glyphs = nullptr;

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (glyphs == nullptr) glyphs = new BlockGlyphs;
  PixelCanvas picture(0, 0, PixelOrder::kArgb, *glyphs);
  FuzzWindow window(picture);
  GameShell shell(window);
  PaceClock::time_point now{};
  shell.Start({.windowCanvas = size % 2 == 1 ? &picture : nullptr,
               .now = now,
               .cardGlyphs = glyphs,
               .mode = ShellMode::kReplay,
               .recording = std::string(reinterpret_cast<const char*>(data), size),
               .report = nullptr});
  for (int frame = 0; frame < kFramesPerInput; ++frame) {
    window.sizesSinceCall = 0;
    const uint64_t ticksBefore = shell.TicksRun();
    now += kFrame;
    shell.Advance(now);
    Check(window.sizesSinceCall <= 4 && shell.TicksRun() - ticksBefore <= 16);
    const OverlayPicture& overlay = shell.Overlay();
    Check(overlay.width <= PixelCanvas::kMaxSide && overlay.height <= PixelCanvas::kMaxSide);
    Check(picture.width() <= PixelCanvas::kMaxSide && picture.height() <= PixelCanvas::kMaxSide);
  }
  shell.Type(0x1B);
  Check(window.quits == 1 && shell.ShownCard() == Card::kVerdict);
  const int status = shell.End(ProgramEnd::kWindowClosed);
  Check(status == 0);
  return 0;
}
