// Bitmap resource 109 as embedded: where its ink lies, which colours it uses, and its pixels.
#include "resources/sprite_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "render/dib.h"

namespace {

// The interceptor is the 16 x 16 square at the top left of cell 1, the explosion frames fill
// cells 2 to 21; everything else is black, and only the five colours of the game are used. The
// generator draws from a fixed seed: any change to what it draws shows in the digest.
TEST(SpriteBitmapTest, InkLiesInCellsOneToTwentyOneInFiveColoursAsTheGeneratorDrewIt) {
  FourBitDib sheet;
  ASSERT_TRUE(ReadFourBitDib(kSpriteBitmap, kSpriteBitmapSize, &sheet));
  ASSERT_EQ(sheet.width, 512);
  ASSERT_EQ(sheet.height, 512);
  const Colour inks[] = {kBlack, kRed, kGreen, kYellow, kBlue};
  uint64_t digest = 14695981039346656037u;  // 64-bit FNV-1a over r, g, b of every pixel
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      const Colour ink = sheet.palette[DibIndexAt(sheet, x, y)];
      const int cell = y / 32 * 16 + x / 32;
      const bool drawn = (cell == 1 && x % 32 < 16 && y < 16) || (cell >= 2 && cell <= 21);
      ASSERT_TRUE(drawn || ink == kBlack) << x << "," << y;
      ASSERT_NE(std::find(std::begin(inks), std::end(inks), ink), std::end(inks)) << x << "," << y;
      for (uint8_t v : {ink.r, ink.g, ink.b}) digest = (digest ^ v) * 1099511628211u;
    }
  }
  EXPECT_EQ(digest, 0xa58130679873d6a4u);
}

}  // namespace
