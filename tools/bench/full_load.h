// The full load the tick measurements start from: every class, level 5, 128 Falling missiles
// and a Mirv, shared so the native benchmark and the portable timing program time one thing.
#pragma once

#include <cstdint>

#include "core/records.h"
#include "render/pixel_canvas.h"

// A face without a font engine: each glyph is a 16 x 18 block in the middle of a 24 x 28 box,
// with the black margins a real face leaves (wider than a missile moves in one tick), and
// ink of a real glyph's size, so drawing costs about what it costs with fonts.
class BlockGlyphSource : public GlyphSource {
 protected:
  Glyph Render(FontId font, char32_t code) override;
  TextBox MeasureBox(FontId) override { return {22, 6}; }
};

// Most missiles reach the ground after this many ticks; restoring the loaded records this
// often keeps the measured ticks at full load.
inline constexpr int64_t kTicksPerRestore = 32;

// Every record at its program-start value and start-up run as the scenario runner starts:
// seed 1, no settings file, no picture.
void StartDemonstration();

// Missiles and Mirvs in flight now.
int32_t LiveCount();

// Starts the demonstration afresh, calls `makePicture` (when given) so every tick also draws,
// then loads the field and runs one tick, which launches an interceptor at every target.
// Returns the loaded records, to be put back every kTicksPerRestore ticks.
GameRecords BuildFullLoad(void (*makePicture)());

// Whether a fresh full load keeps every target in flight until it would be restored, as the
// measurements assume; a change to the rules or to the load can break that unseen.
bool LoadStaysFull();
