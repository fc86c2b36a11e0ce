// Reading 4-bit device-independent bitmaps, the form the sprite bitmap is stored in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/canvas.h"

// The parts of an uncompressed 4-bit DIB the game needs; rows are stored bottom-up.
struct FourBitDib {
  int width = 0;
  int height = 0;
  Colour palette[16] = {};
  const uint8_t* rows = nullptr;  // the first stored row, which is the bottom one
  size_t rowBytes = 0;            // each row padded to four bytes
};

// Fills `dib` when `data` is a complete uncompressed 4-bit bottom-up DIB with a 40-byte
// header; false for anything else, and nothing outside `size` bytes is read.
bool ReadFourBitDib(const uint8_t* data, size_t size, FourBitDib* dib);

// The palette index of pixel (x, y), y counted from the top row; both within the picture.
int DibIndexAt(const FourBitDib& dib, int x, int y);
