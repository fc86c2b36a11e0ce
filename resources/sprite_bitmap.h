// Bitmap resource 109: the interceptor and the twenty explosion frames, generated at build time.
#pragma once

#include <cstddef>
#include <cstdint>

// A 512 x 512, 4-bit, bottom-up device-independent bitmap: its 40-byte header, the 16-entry
// palette and the pixel rows, as a bitmap resource stores it (no file header).
constexpr size_t kSpriteBitmapSize = 131176;
extern const uint8_t kSpriteBitmap[kSpriteBitmapSize];
