// The one instance of the platform handles, and their reset.
#include "render/handles.h"

#include "render/pixel_canvas.h"

PlatformHandles platformHandles;

void ResetPlatformHandles() {
  ForgetRenderedGlyphs();
  platformHandles = PlatformHandles{};
}
