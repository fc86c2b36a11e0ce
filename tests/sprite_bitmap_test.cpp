// Tests of bitmap resource 109 as embedded: its header, palette, interceptor and explosions.
#include "resources/sprite_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "render/dib.h"

namespace {

constexpr int kBlack = 0, kRed = 9, kGreen = 10, kYellow = 11, kBlue = 12;

const FourBitDib& Sheet() {
  static const FourBitDib dib = [] {
    FourBitDib read;
    EXPECT_TRUE(ReadFourBitDib(kSpriteBitmap, kSpriteBitmapSize, &read));
    return read;
  }();
  return dib;
}

int InkAt(int cell, int x, int y) {
  return DibIndexAt(Sheet(), cell % 16 * 32 + x, cell / 16 * 32 + y);
}

uint32_t U32At(size_t offset) {
  uint32_t value;
  std::memcpy(&value, kSpriteBitmap + offset, 4);  // the test hosts are little-endian
  return value;
}

TEST(SpriteBitmapTest, HeaderAndPaletteAreThoseOfA512Square4BitResource) {
  EXPECT_EQ(kSpriteBitmapSize, 40u + 64u + 512u * 256u);
  const std::array<uint32_t, 10> header{40, 512, 512, 1 | 4 << 16, 0, 131072, 0, 0, 0, 0};
  for (size_t i = 0; i < header.size(); ++i) EXPECT_EQ(U32At(4 * i), header[i]) << "field " << i;
  // (red, green, blue) for indices 0 to 15.
  const uint8_t rgb[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Sheet().palette[i], (Colour{rgb[i][0], rgb[i][1], rgb[i][2]})) << "entry " << i;
    EXPECT_EQ(kSpriteBitmap[40 + 4 * i + 3], 0) << "entry " << i;
  }
}

TEST(SpriteBitmapTest, OnlyCellsOneToTwentyOneHoldColourAndOnlyFiveColoursAreUsed) {
  ASSERT_EQ(Sheet().width, 512);
  ASSERT_EQ(Sheet().height, 512);
  for (int cell = 0; cell < 256; ++cell) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const int ink = InkAt(cell, x, y);
        const bool drawn = (cell == 1 && x < 16 && y < 16) || (cell >= 2 && cell <= 21);
        if (!drawn) {
          ASSERT_EQ(ink, kBlack) << "cell " << cell << " at " << x << "," << y;
        }
        ASSERT_TRUE(ink == kBlack || ink == kRed || ink == kGreen || ink == kYellow || ink == kBlue)
            << "cell " << cell << " at " << x << "," << y << " uses " << ink;
      }
    }
  }
}

TEST(SpriteBitmapTest, InterceptorIsAYellowRimmedRedDisc) {
  const std::array<const char*, 16> expected{
      "................", "................", "................", "................",
      "......YYYY......", ".....YRRRRY.....", "....YRRRRRRY....", "....YRRRRRRY....",
      "....YRRRRRRY....", "....YRRRRRRY....", ".....YRRRRY.....", "......YYYY......",
      "................", "................", "................", "................"};
  for (int y = 0; y < 16; ++y) {
    std::string row;
    for (int x = 0; x < 16; ++x) {
      const int ink = InkAt(1, x, y);
      row += ink == kYellow ? 'Y' : ink == kRed ? 'R' : ink == kBlack ? '.' : '?';
    }
    EXPECT_EQ(row, expected[y]) << "row " << y;
  }
}

struct Frame {
  int left, right, top, bottom;
  int red, yellow, green, blue;
};

// Frame f sits in cell f + 2.
constexpr Frame kFrames[20] = {
    {14, 17, 16, 19, 12, 0, 0, 0},  {13, 19, 15, 21, 37, 0, 0, 0},   {11, 20, 14, 23, 76, 0, 0, 0},
    {7, 24, 10, 27, 176, 25, 0, 0}, {4, 25, 6, 30, 282, 95, 0, 0},   {5, 26, 6, 30, 192, 122, 0, 0},
    {4, 29, 7, 30, 239, 81, 0, 0},  {4, 27, 7, 30, 174, 60, 15, 19}, {5, 28, 7, 30, 156, 58, 3, 26},
    {4, 26, 6, 30, 168, 63, 0, 17}, {5, 27, 8, 29, 168, 38, 0, 0},   {6, 27, 7, 28, 135, 49, 0, 0},
    {7, 24, 10, 27, 122, 44, 0, 0}, {7, 23, 9, 26, 98, 42, 0, 0},    {9, 23, 12, 26, 85, 11, 0, 0},
    {9, 22, 13, 26, 49, 0, 0, 0},   {11, 20, 17, 24, 36, 0, 0, 0},   {11, 18, 17, 23, 29, 0, 0, 0},
    {14, 17, 19, 22, 12, 0, 0, 0},  {13, 15, 20, 22, 5, 0, 0, 0}};

TEST(SpriteBitmapTest, EachExplosionFrameFillsExactlyItsBoxWithItsColourCounts) {
  for (int f = 0; f < 20; ++f) {
    Frame seen{32, -1, 32, -1, 0, 0, 0, 0};
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const int ink = InkAt(f + 2, x, y);
        if (ink == kBlack) continue;
        seen = {std::min(seen.left, x),       std::max(seen.right, x),
                std::min(seen.top, y),        std::max(seen.bottom, y),
                seen.red + (ink == kRed),     seen.yellow + (ink == kYellow),
                seen.green + (ink == kGreen), seen.blue + (ink == kBlue)};
      }
    }
    const Frame& want = kFrames[f];
    EXPECT_EQ(std::vector({seen.left, seen.right, seen.top, seen.bottom}),
              std::vector({want.left, want.right, want.top, want.bottom}))
        << "box of frame " << f;
    EXPECT_EQ(std::vector({seen.red, seen.yellow, seen.green, seen.blue}),
              std::vector({want.red, want.yellow, want.green, want.blue}))
        << "red, yellow, green, blue of frame " << f;
  }
}

// Each row's coloured columns as "first-last", from the top row down; "gap" for a broken row.
std::string RowSpans(int frame, int top, int bottom) {
  std::string spans;
  for (int y = top; y <= bottom; ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < 32; ++x) {
      if (InkAt(frame + 2, x, y) == kBlack) continue;
      if (last >= 0 && last != x - 1) return "gap";
      if (first < 0) first = x;
      last = x;
    }
    spans += (y > top ? " " : "") + std::to_string(first) + "-" + std::to_string(last);
  }
  return spans;
}

TEST(SpriteBitmapTest, FirstAndLastFramesAreSolidDiscsAndAPlus) {
  EXPECT_EQ(RowSpans(0, 16, 19), "15-16 14-17 14-17 15-16");
  EXPECT_EQ(RowSpans(1, 15, 21), "15-17 14-18 13-19 13-19 13-19 14-18 15-17");
  EXPECT_EQ(RowSpans(2, 14, 23), "14-17 13-18 12-19 11-20 11-20 11-20 11-20 12-19 13-18 14-17");
  EXPECT_EQ(RowSpans(18, 19, 22), "15-16 14-17 14-17 15-16");
  EXPECT_EQ(RowSpans(19, 20, 22), "14-14 13-15 14-14");
}

// Squared distance from the box centre, in doubled pixel units to stay integral.
int DoubledDistanceSquared(const Frame& box, int x, int y) {
  const int dx = 2 * x - (box.left + box.right), dy = 2 * y - (box.top + box.bottom);
  return dx * dx + dy * dy;
}

TEST(SpriteBitmapTest, FireballsAreRaggedYellowInsideRedAndBlueHotAtTheCentre) {
  for (int f = 3; f <= 17; ++f) {
    const Frame& box = kFrames[f];
    std::array<long, 16> distanceSum{}, count{};
    int nearest = INT32_MAX, nearestInk = kBlack, holes = 0;
    for (int y = box.top; y <= box.bottom; ++y) {
      for (int x = box.left; x <= box.right; ++x) {
        const int ink = InkAt(f + 2, x, y), d = DoubledDistanceSquared(box, x, y);
        distanceSum[ink] += d;
        ++count[ink];
        if (d < nearest) nearest = d, nearestInk = ink;
        if (ink == kBlue) {
          EXPECT_LE(d, 4 * 9) << "blue more than 3 pixels out in frame " << f;
        }
        const bool enclosed = InkAt(f + 2, x - 1, y) != kBlack &&
                              InkAt(f + 2, x + 1, y) != kBlack &&
                              InkAt(f + 2, x, y - 1) != kBlack && InkAt(f + 2, x, y + 1) != kBlack;
        holes += ink == kBlack && enclosed;
      }
    }
    if (f <= 14) {
      EXPECT_GT(holes, 0) << "frame " << f << " is not speckled";
    }
    if (count[kYellow] > 0) {
      EXPECT_LT(distanceSum[kYellow] * count[kRed], distanceSum[kRed] * count[kYellow])
          << "yellow not nearer the centre than red in frame " << f;
    }
    if (f >= 7 && f <= 9) {
      EXPECT_EQ(nearestInk, kBlue) << "frame " << f;
    }
  }
}

}  // namespace
