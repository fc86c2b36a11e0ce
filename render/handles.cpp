// The one instance of the platform handles, and their reset.
#include "render/handles.h"

PlatformHandles platformHandles;

void ResetPlatformHandles() {
  if (platformHandles.forgetGlyphs != nullptr) platformHandles.forgetGlyphs();
  platformHandles = PlatformHandles{};
}
