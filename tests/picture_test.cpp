// The Qt build's pictures pixel by pixel: its fonts, the sheet's glyph cells, the Mirv.
#include <QFontInfo>
#include <QImage>
#include <algorithm>
#include <memory>

#include "app/startup.h"
#include "frontend/qt/image_canvas.h"
#include "frontend/qt/offscreen_gui.h"
#include "render/draw.h"
#include "test_support.h"

namespace {

constexpr QRgb kQBlack = 0xFF000000;
constexpr QRgb kQRed = 0xFFFF0000;
constexpr QRgb kQYellow = 0xFFFFFF00;

int Count(const QImage& image, const QRect& area, QRgb colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == colour ? 1 : 0;
  return n;
}

// The smallest rectangle holding every pixel of `colour` in `area`; null when there is none.
QRect Bounds(const QImage& image, const QRect& area, QRgb colour) {
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixel(x, y) == colour) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

QRect Cell(int n) {
  return QRect((n % 16) * 32, (n / 16) * 32, 32, 32);
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

class PictureTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    StartOffscreenGui();
    canvas = std::make_unique<ImageCanvas>(640, 480);
    AttachWindowPicture(canvas.get());
  }
  QImage Picture() const { return ImageOf(*canvas); }
  QImage Sheet() const { return ImageOf(*canvas->sheet()); }
  std::unique_ptr<ImageCanvas> canvas;
};

// The sprite cells are checked where the bitmap is decoded; here, that glyphs and nothing else
// fill the cells after them.
TEST_F(PictureTest, SheetHoldsFiveColoursEveryGlyphAndBlackUnusedCells) {
  const QImage& sheet = Sheet();
  const QRgb allowed[] = {kQBlack, kQRed, 0xFF00FF00, kQYellow, 0xFF0000FF};
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      ASSERT_NE(std::find(std::begin(allowed), std::end(allowed), sheet.pixel(x, y)),
                std::end(allowed))
          << x << "," << y;
  for (int cell = 165; cell <= 255; ++cell)
    EXPECT_EQ(Count(sheet, Cell(cell), kQBlack), 32 * 32) << cell;
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
  auto ink = [&](int x, int y) { return sheet.pixel(x, y) == kQYellow; };
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
  EXPECT_EQ(Picture().copy(box), Sheet().copy(Cell(32)));

  DrawMissileSprite(101, 105, 0, Mirv);  // as far as a missile moves in one tick
  const QRect moved(85, 89, 32, 32);
  EXPECT_EQ(Count(Picture(), moved, kQRed), yellow);
  EXPECT_EQ(Count(Picture(), moved, kQYellow), 0);
  EXPECT_EQ(Bounds(Picture(), moved, kQRed).translated(-85, -89),
            Bounds(Sheet(), Cell(32), kQYellow).translated(0, -64));
}

}  // namespace
