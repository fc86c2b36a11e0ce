// The platform-free canvas: raster operations and clipping, sizes and the dirty area, text
// boxes, the half circle; glyph ink, the text box rule and the text codes. The browser's byte
// order is checked where the browser shows the picture.
#include "render/pixel_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "render/handles.h"
#include "render/text_box.h"
#include "render/text_codes.h"

void PrintTo(const PixelRect& r, std::ostream* out) {
  *out << r.left << "," << r.top << " " << r.width << "x" << r.height;
}

namespace {

// A font whose every glyph is a 2 x 3 block standing on the baseline, 4 pixels wide.
class BlockGlyphs : public GlyphSource {
 public:
  int rendered = 0;

 protected:
  Glyph Render(FontId, char32_t) override {
    ++rendered;
    return {4, {{-3, 1, 2}, {-2, 1, 2}, {-1, 1, 2}}};
  }
  TextBox MeasureBox(FontId) override { return {5, 2}; }
};

class PixelCanvasTest : public ::testing::Test {
 protected:
  uint32_t At(int x, int y) const { return canvas.pixels()[y * canvas.width() + x]; }
  uint32_t Of(Colour colour) const { return canvas.PixelOf(colour); }
  int Count(Colour colour) const {
    return std::count(canvas.pixels(), canvas.pixels() + canvas.width() * canvas.height(),
                      Of(colour));
  }
  // The smallest rectangle holding every pixel of these colours; empty when there is none.
  PixelRect Bounds(std::initializer_list<Colour> colours) const {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        if (std::ranges::none_of(colours, [&](Colour c) { return At(x, y) == Of(c); })) continue;
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
      }
    }
    return right < 0 ? PixelRect{} : PixelRect{left, top, right - left + 1, bottom - top + 1};
  }
  BlockGlyphs glyphs;
  PixelCanvas canvas{40, 30, PixelOrder::kArgb, glyphs};
};

TEST_F(PixelCanvasTest, RasterOperationsFillsAndClipping) {
  const Colour row[] = {kYellow, kBlack, kGreen, kWhite};
  Canvas* sheet = canvas.CreateSheet(64, 64);
  for (int y = 0; y < 64; ++y) sheet->DrawPixelRow(0, y, row, 4);
  canvas.CopyFromSheet(0, 0, 4, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(0, 1, 3, 1, 0, 0, RasterOp::kSourceAndNotPattern, kGreen);
  const auto fourAt = [&](int y) {
    return std::vector(&canvas.pixels()[y * 40], &canvas.pixels()[y * 40 + 4]);
  };
  EXPECT_EQ(fourAt(0), (std::vector{0xFFFFFF00u, Of(kBlack), Of(kGreen), Of(kWhite)}));
  // Yellow AND NOT green is red; the fourth pixel, past the copy, stays as it was.
  EXPECT_EQ(fourAt(1), (std::vector{Of(kRed), Of(kBlack), Of(kBlack), Of(kBlack)}));

  canvas.FillRectangle(5, 5, 8, 7, kBlue);  // columns 5..7, rows 5..6
  EXPECT_EQ(Bounds({kBlue}), (PixelRect{5, 5, 3, 2}));
  canvas.CopyFromSheet(6, 6, 1, 1, 0, 0, RasterOp::kBlackness, kGreen);
  EXPECT_EQ(At(6, 6), Of(kBlack));

  // Copies reaching past any edge of either picture keep to both; so does a row of pixels.
  canvas.FillRectangle(0, 12, 40, 13, kWhite);
  canvas.CopyFromSheet(10, 12, 17, 1, -2, 5, RasterOp::kSourceCopy, kGreen);  // 15 columns left
  EXPECT_TRUE(At(11, 12) == Of(kWhite) && At(27, 12) == Of(kWhite));
  EXPECT_EQ(At(12, 12), Of(kYellow));
  canvas.DrawPixelRow(-2, 14, row, 4);
  EXPECT_EQ(At(0, 14), Of(kGreen));
  EXPECT_EQ(At(38, 13), Of(kBlack));
  canvas.CopyFromSheet(-3, 10, 32, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  EXPECT_EQ(At(0, 10), Of(kWhite));
  canvas.CopyFromSheet(38, 28, 32, 32, 0, 0, RasterOp::kSourceCopy, kGreen);
  EXPECT_EQ(At(39, 29), Of(kBlack));
  EXPECT_EQ(At(38, 29), Of(kYellow));
  canvas.CopyFromSheet(0, 20, 32, 32, 62, 62, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(INT_MAX - 4, INT_MAX - 4, 32, 32, 0, 0, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(INT_MIN, INT_MIN, 32, 32, 0, 0, RasterOp::kBlackness, kGreen);
  canvas.FillRectangle(INT_MIN, 29, INT_MAX, INT_MAX, kRed);
  EXPECT_EQ(Count(kRed), 40 + 1);
}

// A new size keeps what fits and is dirty all over; a huge one is capped and an empty one
// draws nowhere. What was drawn since the dirty area was taken is in it, cut to the picture.
TEST_F(PixelCanvasTest, SizesAndTheDirtyArea) {
  canvas.Resize(100, 80);
  EXPECT_EQ(canvas.TakeDirtyArea(), (PixelRect{0, 0, 100, 80}));
  EXPECT_TRUE(canvas.TakeDirtyArea().Empty());
  canvas.DrawUpperHalfCircle(50, 40, 3, kWhite);
  EXPECT_EQ(canvas.TakeDirtyArea(), (PixelRect{47, 37, 7, 4}));
  // For a display that takes several rectangles, not the black between them.
  canvas.FillRectangle(-5, 70, 10, 90, kWhite);
  canvas.CopyFromSheet(90, 0, 32, 32, 0, 0, RasterOp::kBlackness, kBlack);
  EXPECT_EQ(canvas.TakeDirtyRects(), (std::vector<PixelRect>{{0, 70, 10, 10}, {90, 0, 10, 32}}));
  canvas.DrawUpperHalfCircle(300, 10, 3, kWhite);  // wholly outside: no rectangle at all
  EXPECT_TRUE(canvas.TakeDirtyRects().empty());
  // A picture nobody shows keeps a short list whose bounds still hold everything, the first
  // rectangle (the tallest) too.
  const auto drawMany = [&] {
    for (int i = 0; i < 1000; ++i)
      canvas.FillRectangle(i % 30, i % 20, i % 30 + 1, i == 0 ? 31 : i % 20 + 1, kWhite);
  };
  drawMany();
  EXPECT_LE(canvas.TakeDirtyRects().size(), 256u);
  drawMany();
  EXPECT_EQ(canvas.TakeDirtyArea(), (PixelRect{0, 0, 30, 31}));

  canvas.FillRectangle(0, 0, 100, 80, kBlack);
  canvas.FillRectangle(0, 0, 10, 10, kWhite);
  canvas.Resize(20, 5);
  canvas.Resize(30, 20);  // the rows cut off come back black
  EXPECT_EQ(Count(kWhite), 50);
  canvas.Resize(65535, 3);
  EXPECT_EQ(canvas.width(), PixelCanvas::kMaxSide);
  canvas.Resize(0, 0);
  canvas.TakeDirtyArea();
  canvas.FillRectangle(0, 0, 5, 5, kWhite);
  canvas.DrawOpaqueText(0, 0, kAlignLeft, "A", 1, kWhite, kBlue);
  canvas.DrawUpperHalfCircle(0, 0, 3, kWhite);
  EXPECT_TRUE(canvas.TakeDirtyArea().Empty());
}

// Text paints its box in the background and the ink in the foreground, each glyph rendered
// once until the platform handles are reset; the box starts at, is centred on, or ends just before
// its reference point.
TEST_F(PixelCanvasTest, TextBoxesStandWhereTheirAlignmentSays) {
  canvas.DrawOpaqueText(10, 9, kAlignCenter | kAlignBottom, "AA", 2, kYellow, kBlue);
  // The box is 8 wide from x 6 and 7 tall from row 2; the baseline is row 7.
  EXPECT_EQ(Bounds({kBlue, kYellow}), (PixelRect{6, 2, 8, 7}));
  EXPECT_EQ(Bounds({kYellow}), (PixelRect{7, 4, 6, 3}));
  EXPECT_EQ(Count(kYellow), 2 * 6);
  auto box = [&](int align) {
    canvas.FillRectangle(0, 0, 40, 30, kBlack);
    canvas.DrawOpaqueText(20, 0, align, "A", 1, kYellow, kBlue);
    return Bounds({kBlue, kYellow});
  };
  EXPECT_EQ(box(kAlignLeft), (PixelRect{20, 0, 4, 7}));
  EXPECT_EQ(box(kAlignRight), (PixelRect{16, 0, 4, 7}));
  EXPECT_EQ(box(kAlignCenter), (PixelRect{18, 0, 4, 7}));
  EXPECT_EQ(glyphs.rendered, 1);
  ResetPlatformHandles();  // the fonts may differ afterwards
  box(kAlignLeft);
  EXPECT_EQ(glyphs.rendered, 2);
}

// One pixel wide, nothing below the centre row, from (cx + r, cy) over the top to (cx - r, cy).
TEST_F(PixelCanvasTest, UpperHalfCircleIsOnePixelAroundTheCentre) {
  canvas.Resize(60, 40);
  canvas.DrawUpperHalfCircle(30, 30, 0, kWhite);
  EXPECT_EQ(Bounds({kWhite}), (PixelRect{30, 30, 1, 1}));
  canvas.DrawUpperHalfCircle(30, 30, 13, kWhite);
  EXPECT_EQ(Bounds({kWhite}), (PixelRect{17, 17, 27, 14}));
  EXPECT_EQ(Count(kWhite), 38);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (At(x, y) != Of(kWhite) || (x == 30 && y == 30)) continue;
      EXPECT_NEAR(std::hypot(x - 30, y - 30), 13, 0.75) << x << "," << y;
      EXPECT_EQ(At(60 - x, y), Of(kWhite)) << x << "," << y;
    }
  }
  canvas.DrawUpperHalfCircle(0, 39, 500, kWhite);  // clipped, not a crash
  canvas.DrawUpperHalfCircle(30, 0, 30, kWhite);   // cut at the top and just past the right
  EXPECT_TRUE(At(0, 0) == Of(kWhite) && At(0, 1) == Of(kBlack));
}

TEST(GlyphInkTest, InkIsWhatIsAtLeastHalfCovered) {
  const uint8_t coverage[] = {0,   127, 128, 255, 128,  // a run to the edge, not beyond it
                              255, 0,   0,   0,   200};
  std::vector<int> runs;  // dy, dx, length of each
  for (const InkRun& run : InkOfCoverage(coverage, 5, 2, 1, 1)) {
    runs.insert(runs.end(), {run.dy, run.dx, run.length});
  }
  EXPECT_EQ(runs, (std::vector<int>{-1, 1, 3, 0, -1, 1, 0, 3, 1}));
}

// A line box that fits the band is kept; a taller one becomes the em box plus the internal
// leading, from the typographic metrics when the face has them (1000 units to the em and 250
// of leading over it: 24 + 6 pixels, 9 of them below), held to the band with at most half the
// em below the baseline.
TEST(TextBoxTest, TallFacesGetTheirEmBoxPlusLeading) {
  // clang-format off
  const std::pair<FaceMetrics, TextBox> cases[] = {
      {{27, 5}, {27, 5}}, {{28, 9, 875, -375, 1000}, {21, 9}}, {{30, 10}, {18, 6}},
      {{30, 10, 1, 0, 1}, {24, 0}}, {{30, 10, 800, -700, 1000}, {20, 12}}};
  // clang-format on
  for (const auto& [face, box] : cases) {
    const TextBox got = TextBoxOfFace(face);
    EXPECT_EQ(got.ascent, box.ascent) << face.lineAscent;
    EXPECT_EQ(got.descent, box.descent) << face.lineAscent;
  }
}

// The glyph cells' two-byte katakana and the status texts' bytes reach the fonts as Unicode.
TEST(TextCodesTest, DecodesTheGameTextsAndReplacesEverythingElse) {
  char32_t out[24];
  const char text[] = "A\\~\xA1\xB1\xDF\x83\x40\x83\x7E\x83\x80\x83\x96";
  ASSERT_EQ(DecodeCp932(text, sizeof text - 1, out), 10);
  EXPECT_EQ(std::u32string(out, 10), U"A\\~\uFF61\uFF71\uFF9F\u30A1\u30DF\u30E0\u30F6");
  // Lead bytes at both ends of both ranges, trails just outside the katakana, a lone lead at
  // the end of the text (the byte after it is not the text's).
  const char odd[] = "\x83\x7F\x88\x9F\x80\x81\x40\x9F\x40\xE0\x40\xFC\x40\x83\x3F\x83\x97\x83\x41";
  ASSERT_EQ(DecodeCp932(odd, sizeof odd - 2, out), 10);
  EXPECT_EQ(std::u32string(out, 10), std::u32string(10, U'\uFFFD'));
}

}  // namespace
