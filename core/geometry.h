// How the field geometry follows the window: launcher placement and size changes.
#pragma once

#include <cstdint>

// Places the three launchers for the current field width. Run once at start-up.
void PlaceLaunchers();

// One size message: the client area is now width x height pixels.
void OnSize(int32_t width, int32_t height);
