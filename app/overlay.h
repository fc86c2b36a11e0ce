// A picture laid over the window picture when it is shown: the shell's cards, drawn once for
// every front end.
#pragma once

#include <cstdint>
#include <vector>

#include "render/pixel_canvas.h"

// Pixels in the window picture's order; a pixel whose alpha byte is 0 lets the picture show
// through, any other covers it.
struct OverlayPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  bool Empty() const { return pixels.empty(); }
};

// `shown` is `area` of the window picture as it is to be shown (its rows `stride` pixels
// apart, the area's top left at shown[0]); the overlay's pixels cover it where they are not
// transparent.
void LayOverlay(const OverlayPicture& overlay, const PixelRect& area, uint32_t* shown, int stride);

// The pixels of `picture` as they are to be shown, the overlay laid over `area`'s rows in
// `shown` (kept between calls) when there is one: rows `picture.width()` apart, from the top.
const uint32_t* ShownPixels(const PixelCanvas& picture, const OverlayPicture& overlay,
                            const PixelRect& area, std::vector<uint32_t>& shown);
