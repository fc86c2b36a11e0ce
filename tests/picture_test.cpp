// The window picture pixel by pixel: raster operations, the sheet, sprites, status band, dome.
#include <QFontInfo>
#include <QImage>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "app/startup.h"
#include "core/game.h"
#include "core/geometry.h"
#include "frontend/qt/game_fonts.h"
#include "frontend/qt/image_canvas.h"
#include "frontend/qt/offscreen_gui.h"
#include "render/draw.h"
#include "render/sprite_sheet.h"
#include "render/text_codes.h"
#include "test_support.h"

namespace {

constexpr QRgb kQBlack = 0xFF000000;
constexpr QRgb kQRed = 0xFFFF0000;
constexpr QRgb kQGreen = 0xFF00FF00;
constexpr QRgb kQYellow = 0xFFFFFF00;
constexpr QRgb kQBlue = 0xFF0000FF;
constexpr QRgb kQWhite = 0xFFFFFFFF;

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y);
}

int Count(const QImage& image, const QRect& area, QRgb colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += At(image, x, y) == colour ? 1 : 0;
  return n;
}

// The smallest rectangle holding every pixel of `colour` in `area`; null when there is none.
QRect Bounds(const QImage& image, const QRect& area, QRgb colour) {
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (At(image, x, y) == colour) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

QRect Cell(int n) {
  return QRect((n % 16) * 32, (n / 16) * 32, 32, 32);
}

// The glyph cells' two-byte katakana and the status texts' bytes reach the fonts as Unicode.
TEST(TextCodesTest, DecodesTheGameTextsAndReplacesEverythingElse) {
  char32_t out[8];
  const char text[] = "A\\~\xB1\x83\x41\x83\x7E\x83\x80\x83\x93";
  ASSERT_EQ(DecodeCp932(text, sizeof text - 1, out), 8);
  EXPECT_EQ(std::u32string(out, 8), U"A\\~\uFF71\u30A2\u30DF\u30E0\u30F3");
  const char odd[] = "\x83\x7F\x88\x9F\x80\xFD\x83";
  ASSERT_EQ(DecodeCp932(odd, sizeof odd - 1, out), 5);
  EXPECT_EQ(std::u32string(out, 5), U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

// The faces are asked for by their own names and found through substitution; without it
// "Century" would come out as a sans-serif face.
TEST(GameFontsTest, StandInFacesAreFoundAndTheirBoxesFitTheBand) {
  StartOffscreenGui();
  EXPECT_TRUE(QFontInfo(GameFont(FontId::kTextFont)).family().startsWith("C059"));
  EXPECT_TRUE(QFontInfo(GameFont(FontId::kKanaFont)).family().startsWith("IPAMincho"));
  for (FontId font : {FontId::kTextFont, FontId::kKanaFont}) {
    const TextBox box = TextBoxOf(GameFont(font));
    EXPECT_LE(box.ascent + box.descent, 32);
    EXPECT_GE(box.ascent + box.descent, 24);
    EXPECT_GT(box.descent, 0);
  }
}

TEST(ImageCanvasTest, RasterOperationsFillsAndClipping) {
  StartOffscreenGui();
  ImageCanvas canvas(40, 30);
  const Colour row[] = {kYellow, kBlack, kGreen, kWhite};
  Canvas* sheet = canvas.CreateSheet(64, 64);
  for (int y = 0; y < 64; ++y) sheet->DrawPixelRow(0, y, row, 4);
  canvas.CopyFromSheet(0, 0, 4, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(0, 1, 4, 1, 0, 0, RasterOp::kSourceAndNotPattern, kGreen);
  const QImage& image = canvas.image();
  EXPECT_EQ(At(image, 0, 0), kQYellow);
  EXPECT_EQ(At(image, 3, 0), kQWhite);
  EXPECT_EQ(At(image, 0, 1), kQRed);  // yellow AND NOT green
  EXPECT_EQ(At(image, 1, 1), kQBlack);
  EXPECT_EQ(At(image, 2, 1), kQBlack);
  EXPECT_EQ(At(image, 3, 1), 0xFFFF00FFu);

  canvas.FillRectangle(5, 5, 8, 7, kBlue);  // columns 5..7, rows 5..6
  EXPECT_EQ(Bounds(image, image.rect(), kQBlue), QRect(QPoint(5, 5), QPoint(7, 6)));
  canvas.CopyFromSheet(6, 6, 1, 1, 0, 0, RasterOp::kBlackness, kGreen);
  EXPECT_EQ(At(image, 6, 6), kQBlack);

  // Copies reaching past any edge of either picture keep to both; so does a row of pixels.
  canvas.FillRectangle(0, 12, 40, 13, kWhite);
  canvas.CopyFromSheet(10, 12, 4, 1, -2, 5, RasterOp::kSourceCopy, kGreen);
  EXPECT_EQ(At(image, 11, 12), kQWhite);
  EXPECT_EQ(At(image, 12, 12), kQYellow);
  canvas.DrawPixelRow(-2, 14, row, 4);
  EXPECT_EQ(At(image, 0, 14), kQGreen);
  EXPECT_EQ(At(image, 38, 13), kQBlack);
  canvas.CopyFromSheet(-3, 10, 32, 1, 0, 0, RasterOp::kSourceCopy, kGreen);
  EXPECT_EQ(At(image, 0, 10), kQWhite);
  canvas.CopyFromSheet(38, 28, 32, 32, 0, 0, RasterOp::kSourceCopy, kGreen);
  EXPECT_EQ(At(image, 39, 29), kQBlack);
  EXPECT_EQ(At(image, 38, 29), kQYellow);
  canvas.CopyFromSheet(0, 20, 32, 32, 62, 62, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(INT_MAX - 4, INT_MAX - 4, 32, 32, 0, 0, RasterOp::kSourceCopy, kGreen);
  canvas.CopyFromSheet(INT_MIN, INT_MIN, 32, 32, 0, 0, RasterOp::kBlackness, kGreen);
  canvas.FillRectangle(INT_MIN, 29, INT_MAX, INT_MAX, kRed);
  EXPECT_EQ(Count(image, image.rect(), kQRed), 40 + 1);
}

TEST(ImageCanvasTest, ResizeKeepsWhatFitsAndCapsHugePictures) {
  StartOffscreenGui();
  ImageCanvas canvas(10, 10);
  canvas.FillRectangle(0, 0, 10, 10, kWhite);
  canvas.Resize(20, 5);
  EXPECT_EQ(Count(canvas.image(), canvas.image().rect(), kQWhite), 50);
  canvas.Resize(65535, 3);
  EXPECT_EQ(canvas.image().size(), QSize(ImageCanvas::kMaxSide, 3));
  canvas.Resize(0, 0);
  canvas.FillRectangle(0, 0, 5, 5, kWhite);
  canvas.DrawOpaqueText(0, 0, kAlignLeft, "A", 1, kWhite, kBlue);
  canvas.DrawUpperHalfCircle(0, 0, 3, kWhite);
  EXPECT_TRUE(canvas.image().isNull());
}

// The window shows only what was drawn since it last looked, cut to the picture.
// Only what was drawn is shown anew: the black between two sprites is not part of it.
TEST(ImageCanvasTest, DirtyRegionHoldsWhatWasDrawnSinceItWasTaken) {
  StartOffscreenGui();
  ImageCanvas canvas(100, 80);
  EXPECT_TRUE(canvas.TakeDirtyRegion().isEmpty());
  canvas.DrawUpperHalfCircle(50, 40, 3, kWhite);
  EXPECT_EQ(canvas.TakeDirtyRegion(), QRegion(47, 37, 7, 4));
  canvas.FillRectangle(-5, 70, 10, 90, kWhite);
  canvas.CopyFromSheet(90, 0, 32, 32, 0, 0, RasterOp::kBlackness, kBlack);
  EXPECT_EQ(canvas.TakeDirtyRegion(), QRegion(0, 70, 10, 10) + QRegion(90, 0, 10, 32));
  canvas.CopyFromSheet(200, 0, 32, 32, 0, 0, RasterOp::kBlackness, kBlack);
  EXPECT_TRUE(canvas.TakeDirtyRegion().isEmpty());
  canvas.Resize(30, 20);
  EXPECT_EQ(canvas.TakeDirtyRegion(), QRegion(0, 0, 30, 20));
  // A picture nobody shows keeps a short list, and the bounding area still holds everything.
  for (int i = 0; i < 1000; ++i)
    canvas.FillRectangle(i % 30, i % 20, i % 30 + 1, i % 20 + 1, kWhite);
  EXPECT_LE(canvas.TakeDirtyRects().size(), 256u);
  canvas.FillRectangle(0, 19, 1, 20, kWhite);
  canvas.FillRectangle(29, 0, 30, 1, kWhite);
  EXPECT_EQ(canvas.TakeDirtyArea(), (PixelRect{0, 0, 30, 20}));
  EXPECT_TRUE(canvas.TakeDirtyRects().empty());
}

// A text box starts at, is centred on, or ends just before its reference point.
TEST(ImageCanvasTest, TextBoxesStandWhereTheirAlignmentSays) {
  StartOffscreenGui();
  ImageCanvas canvas(200, 60);
  auto box = [&](int align) {
    canvas.FillRectangle(0, 0, 200, 60, kBlack);
    canvas.DrawOpaqueText(100, 50, align | kAlignBottom, "HH", 2, kWhite, kBlue);
    return Bounds(canvas.image(), canvas.image().rect(), kQBlue) |
           Bounds(canvas.image(), canvas.image().rect(), kQWhite);
  };
  const QRect left = box(kAlignLeft);
  EXPECT_EQ(left.left(), 100);
  EXPECT_EQ(left.bottom(), 49);
  EXPECT_EQ(box(kAlignRight), left.translated(-left.width(), 0));
  EXPECT_EQ(box(kAlignCenter), left.translated(-left.width() / 2, 0));
}

// One pixel wide, nothing below the centre row, from (cx + r, cy) over the top to (cx - r, cy).
TEST(ImageCanvasTest, UpperHalfCircleIsOnePixelAroundTheCentre) {
  StartOffscreenGui();
  ImageCanvas canvas(60, 40);
  canvas.DrawUpperHalfCircle(30, 30, 0, kWhite);
  EXPECT_EQ(Bounds(canvas.image(), canvas.image().rect(), kQWhite), QRect(30, 30, 1, 1));
  canvas.DrawUpperHalfCircle(30, 30, 12, kWhite);
  const QImage& image = canvas.image();
  EXPECT_EQ(Bounds(image, image.rect(), kQWhite), QRect(QPoint(18, 18), QPoint(42, 30)));
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (At(image, x, y) != kQWhite || (x == 30 && y == 30)) continue;
      const double d = std::hypot(x - 30, y - 30);
      EXPECT_NEAR(d, 12, 0.75) << x << "," << y;
      EXPECT_EQ(At(image, 60 - x, y), kQWhite) << x << "," << y;
    }
  }
  canvas.DrawUpperHalfCircle(0, 39, 500, kWhite);  // clipped, not a crash
}

class PictureTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartOffscreenGui();
    canvas = std::make_unique<ImageCanvas>(640, 480);
    AttachWindowPicture(canvas.get());
  }
  void TearDown() override {
    GameTest::TearDown();
    sheetDC = nullptr;
  }
  QImage Picture() const { return canvas->image(); }
  QImage Sheet() const { return ImageOf(*canvas->sheet()); }
  std::unique_ptr<ImageCanvas> canvas;
};

TEST_F(PictureTest, SheetHoldsFiveColoursEveryGlyphAndBlackUnusedCells) {
  const QImage& sheet = Sheet();
  const QRgb allowed[] = {kQBlack, kQRed, kQGreen, kQYellow, kQBlue};
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      ASSERT_NE(std::find(std::begin(allowed), std::end(allowed), At(sheet, x, y)),
                std::end(allowed))
          << x << "," << y;
  auto blank = [&](int cell) { return Count(sheet, Cell(cell), kQBlack) == 32 * 32; };
  EXPECT_TRUE(blank(0));
  for (int cell = 22; cell <= 31; ++cell) EXPECT_TRUE(blank(cell)) << cell;
  for (int cell = 165; cell <= 255; ++cell) EXPECT_TRUE(blank(cell)) << cell;
  EXPECT_EQ(Count(sheet, QRect(32, 0, 32, 32), kQBlack), 32 * 32 - 52);  // the interceptor
  for (int cell = 32; cell <= 164; ++cell) {
    const QRect ink = Bounds(sheet, Cell(cell), kQYellow);
    ASSERT_FALSE(ink.isNull()) << cell;
    EXPECT_LT(ink.bottom(), Cell(cell).top() + 31) << cell;  // the box ends at row 31
    EXPECT_NEAR((ink.left() + ink.right()) / 2.0 - Cell(cell).left(), 15.5, 4) << cell;
  }
  const QRect h = Bounds(sheet, Cell(7 + 32), kQYellow);  // "H" is symmetric
  EXPECT_NEAR((h.left() + h.right()) / 2.0 - Cell(7 + 32).left(), 15.5, 1);
}

// The mean stroke thickness of the glyphs in cells first..last: for each ink pixel, the
// shorter of the horizontal and the vertical run of ink through it.
double StrokeWeight(const QImage& sheet, int first, int last) {
  auto ink = [&](int x, int y) { return At(sheet, x, y) == kQYellow; };
  auto run = [&](int x, int y, int dx, int dy) {
    int n = 1;
    for (int i = 1; ink(x + i * dx, y + i * dy); ++i) ++n;
    for (int i = 1; ink(x - i * dx, y - i * dy); ++i) ++n;
    return n;
  };
  double sum = 0;
  int pixels = 0;
  for (int cell = first; cell <= last; ++cell) {
    const QRect area = Cell(cell).adjusted(1, 1, -1, -1);  // every glyph is clear of its edge
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        if (!ink(x, y)) continue;
        sum += std::min(run(x, y, 1, 0), run(x, y, 0, 1));
        ++pixels;
      }
    }
  }
  return sum / pixels;
}

// The Mincho face has no bold weight; its katakana are thickened to stand beside the bold
// letters and digits without looking faint.
TEST_F(PictureTest, KatakanaAreAsHeavyAsTheBoldLetters) {
  const double letters = StrokeWeight(Sheet(), 32, 32 + 61);
  const double kana = StrokeWeight(Sheet(), 124, 164);
  EXPECT_GT(kana, 0.9 * letters);
  EXPECT_LT(kana, 1.15 * letters);
}

TEST_F(PictureTest, MirvIsTheSameGlyphInRedAndEachCopyCoversTheLastOne) {
  DrawMissileSprite(100, 100, 0, Falling);
  const QRect box(84, 84, 32, 32);
  const int yellow = Count(Picture(), box, kQYellow);
  EXPECT_GT(yellow, 20);
  EXPECT_EQ(yellow + Count(Picture(), box, kQBlack), 32 * 32);
  EXPECT_EQ(Picture().copy(box), Sheet().copy(Cell(32)));

  DrawMissileSprite(101, 105, 0, Mirv);  // as far as a missile moves in one tick
  const QRect moved(85, 89, 32, 32);
  EXPECT_EQ(Count(Picture(), moved, kQRed), yellow);
  EXPECT_EQ(Count(Picture(), moved, kQYellow), 0);
  EXPECT_EQ(Bounds(Picture(), moved, kQRed).translated(-85, -89),
            Bounds(Sheet(), Cell(32), kQYellow).translated(0, -64));
}

}  // namespace
