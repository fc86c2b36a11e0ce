// The platform-free canvas in the browser's byte order, glyph ink and the text box rule.
#include "render/pixel_canvas.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/text_box.h"

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

const uint8_t* BytesAt(const PixelCanvas& canvas, int x, int y) {
  return reinterpret_cast<const uint8_t*>(canvas.pixels() + y * canvas.width() + x);
}

}  // namespace

// A browser reads image data as the bytes R, G, B, A; the raster operations must give the same
// colours in that order as in the desktop's.
TEST(PixelCanvasTest, BrowserByteOrderKeepsColoursAndRasterOperations) {
  BlockGlyphs glyphs;
  PixelCanvas canvas(8, 4, PixelOrder::kRgbaBytes, glyphs);
  const Colour row[] = {kYellow, kBlue};
  canvas.CreateSheet(2, 1)->DrawPixelRow(0, 0, row, 2);
  canvas.CopyFromSheet(0, 0, 2, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(0, 1, 2, 1, 0, 0, RasterOp::kSourceAndNotPattern, kGreen);
  const uint8_t yellow[] = {255, 255, 0, 255}, blue[] = {0, 0, 255, 255}, red[] = {255, 0, 0, 255};
  EXPECT_EQ(std::memcmp(BytesAt(canvas, 0, 0), yellow, 4), 0);
  EXPECT_EQ(std::memcmp(BytesAt(canvas, 1, 0), blue, 4), 0);
  EXPECT_EQ(std::memcmp(BytesAt(canvas, 0, 1), red, 4), 0);  // yellow AND NOT green
  EXPECT_EQ(std::memcmp(BytesAt(canvas, 1, 1), blue, 4), 0);
}

// Text paints its box in the background and the ink in the foreground, each glyph rendered
// once however often it is drawn.
TEST(PixelCanvasTest, TextUsesEachGlyphOnceAndPaintsItsBox) {
  BlockGlyphs glyphs;
  PixelCanvas canvas(20, 10, PixelOrder::kArgb, glyphs);
  canvas.DrawOpaqueText(10, 9, kAlignCenter | kAlignBottom, "AA", 2, kYellow, kBlue);
  canvas.DrawOpaqueText(0, 0, kAlignLeft, "A", 1, kYellow, kBlue);
  EXPECT_EQ(glyphs.rendered, 1);
  auto at = [&](int x, int y) { return canvas.pixels()[y * 20 + x]; };
  // The box is 8 wide from x 6 and 7 tall from row 2; the baseline is row 7.
  EXPECT_EQ(at(6, 2), canvas.PixelOf(kBlue));
  EXPECT_EQ(at(7, 6), canvas.PixelOf(kYellow));
  EXPECT_EQ(at(11, 4), canvas.PixelOf(kYellow));
  EXPECT_EQ(at(7, 7), canvas.PixelOf(kBlue));
  EXPECT_EQ(at(13, 8), canvas.PixelOf(kBlue));
  EXPECT_EQ(at(14, 8), canvas.PixelOf(kBlack));
  EXPECT_EQ(at(13, 9), canvas.PixelOf(kBlack));
  EXPECT_EQ(at(5, 5), canvas.PixelOf(kBlack));
}

TEST(PixelCanvasTest, InkIsWhatIsAtLeastHalfCovered) {
  const uint8_t coverage[] = {0,   127, 128, 255, 0,  //
                              255, 0,   0,   0,   200};
  const std::vector<InkRun> ink = InkOfCoverage(coverage, 5, 2, 1, 1);
  ASSERT_EQ(ink.size(), 3u);
  EXPECT_EQ(ink[0].dy, -1);
  EXPECT_EQ(ink[0].dx, 1);
  EXPECT_EQ(ink[0].length, 2);
  EXPECT_EQ(ink[1].dx, -1);
  EXPECT_EQ(ink[2].dx, 3);
  EXPECT_EQ(ink[2].length, 1);
}

// A line box that fits the band is kept; a taller one becomes the em box plus the internal
// leading, from the typographic metrics when the face has them.
TEST(TextBoxTest, TallFacesGetTheirEmBoxPlusLeading) {
  const TextBox fits = TextBoxOfFace({21, 5});
  EXPECT_EQ(fits.ascent, 21);
  EXPECT_EQ(fits.descent, 5);
  // 1000 units to the em and 250 of leading over it: 24 + 6 pixels, 9 of them below.
  const TextBox typographic = TextBoxOfFace({28, 9, 875, -375, 1000});
  EXPECT_EQ(typographic.ascent + typographic.descent, 30);
  EXPECT_EQ(typographic.descent, 9);
  const TextBox cut = TextBoxOfFace({30, 10});
  EXPECT_EQ(cut.ascent, 18);
  EXPECT_EQ(cut.descent, 6);
}
