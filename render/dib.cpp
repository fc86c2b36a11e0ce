// Reading 4-bit device-independent bitmaps: header checks, palette and pixel addressing.
#include "render/dib.h"

namespace {

constexpr size_t kHeaderSize = 40;
constexpr size_t kPaletteSize = 16 * 4;

uint32_t ReadU32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

bool ReadFourBitDib(const uint8_t* data, size_t size, FourBitDib* dib) {
  if (size < kHeaderSize + kPaletteSize || ReadU32(data) != kHeaderSize) return false;
  const int32_t width = static_cast<int32_t>(ReadU32(data + 4));
  const int32_t height = static_cast<int32_t>(ReadU32(data + 8));
  const uint32_t coloursUsed = ReadU32(data + 32);
  // A positive height means bottom-up rows; width and height are kept small enough that
  // the byte counts below cannot overflow.
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768) return false;
  if (ReadU16(data + 12) != 1 || ReadU16(data + 14) != 4 || ReadU32(data + 16) != 0) return false;
  if (coloursUsed != 0 && coloursUsed != 16) return false;
  const size_t rowBytes = ((static_cast<size_t>(width) * 4 + 31) / 32) * 4;
  if (size < kHeaderSize + kPaletteSize + rowBytes * static_cast<size_t>(height)) return false;
  dib->width = width;
  dib->height = height;
  // Over the palette itself, so no count can run past its sixteen entries.
  const uint8_t* quad = data + kHeaderSize;
  for (Colour& colour : dib->palette) {
    colour = Colour{quad[2], quad[1], quad[0]};
    quad += 4;
  }
  dib->rows = data + kHeaderSize + kPaletteSize;
  dib->rowBytes = rowBytes;
  return true;
}

// Two pixels a byte, the left one in the high nibble.
int DibIndexAt(const FourBitDib& dib, int x, int y) {
  const uint8_t* row = dib.rows + static_cast<size_t>(dib.height - 1 - y) * dib.rowBytes;
  const uint8_t pair = row[x / 2];
  return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}
