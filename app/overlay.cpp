// Laying the shell's overlay over a shown picture.
#include "app/overlay.h"

#include <algorithm>

void LayOverlay(const OverlayPicture& overlay, const PixelRect& area, uint32_t* shown, int stride) {
  if (overlay.Empty()) return;
  const int right = std::min(area.left + area.width, overlay.width);
  const int bottom = std::min(area.top + area.height, overlay.height);
  for (int y = std::max(area.top, 0); y < bottom; ++y) {
    const uint32_t* from = overlay.pixels.data() + static_cast<size_t>(y) * overlay.width;
    uint32_t* to = shown + static_cast<size_t>(y - area.top) * stride - area.left;
    for (int x = std::max(area.left, 0); x < right; ++x) {
      if ((from[x] >> 24) != 0) to[x] = from[x];
    }
  }
}

const uint32_t* ShownPixels(const PixelCanvas& picture, const OverlayPicture& overlay,
                            const PixelRect& area, std::vector<uint32_t>& shown) {
  if (overlay.Empty()) return picture.pixels();
  const int width = picture.width();
  const size_t first = static_cast<size_t>(area.top) * width;
  shown.resize(static_cast<size_t>(width) * picture.height());
  std::copy_n(picture.pixels() + first, static_cast<size_t>(area.height) * width,
              shown.data() + first);
  LayOverlay(overlay, area, shown.data() + first + area.left, width);
  return shown.data();
}
