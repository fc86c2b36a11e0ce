// Drawing cards into the overlay with the front end's glyphs, so every front end shows the same
// cards: their size, the wrapping of their lines, the help's pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/card_text.h"
#include "app/overlay.h"
#include "render/pixel_canvas.h"

struct ProgressView;

// The cards' measures, in pixels of the field.
namespace card_layout {
inline constexpr int kMargin = 8;        // between the field's edge and a wide card
inline constexpr int kPadding = 16;      // between the card's edge and its text
inline constexpr int kLineStep = 30;     // from one baseline to the next
inline constexpr int kHeadingStep = 38;  // the heading's line, a little apart from the rest
inline constexpr int kBorder = 2;
inline constexpr int kBaselineInLine = 23;  // a 24-pixel face's ascent within its line
inline constexpr int kMaxCardWidth = 760;
inline constexpr int kMaxCardHeight = 560;
}  // namespace card_layout

struct CardPage {
  std::string heading;
  std::vector<std::string> lines;
};

class CardPainter {
 public:
  // `glyphs` must outlive the painter.
  CardPainter(GlyphSource& glyphs, PixelOrder order) : glyphs_(glyphs), order_(order) {}
  GlyphSource& glyphs() const { return glyphs_; }
  PixelOrder order() const { return order_; }

  // Makes the overlay a transparent width x height picture, each side held to 0..kMaxSide.
  static void Clear(OverlayPicture& overlay, int width, int height);

  // The help (or the about text) cut into pages that fit a wide card over a field of this size
  // with a footer as wide as `footer`. A paragraph goes whole onto a page where it fits on one,
  // else sentence by sentence: a sentence is split only when it alone is longer than a page.
  std::vector<CardPage> Paginate(const std::vector<HelpSection>& sections, int fieldWidth,
                                 int fieldHeight, const std::string& footer = "");

  // A card centred over the field: the heading, the lines and a footer; `wide` cards take
  // most of the field, others only what their text needs. Lines wider than the field allows
  // are wrapped; when the wrapped card is taller than the field, the lines that wrapped are
  // shortened in their middle, then the last lines left out. Nothing is drawn outside the field.
  void DrawCard(OverlayPicture& overlay, int fieldWidth, int fieldHeight, const CardPage& page,
                const std::string& footer, bool wide);

  // A box of a few lines at the top of the field, as wide as its text: a hint, a replay's state.
  void DrawBanner(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                  const std::vector<std::string>& lines);

  // The progress card (app/progress_painter.cpp): a plot of the last games, a grid of the
  // characters coloured from fast to slow, the slowest named, as tall as the field allows.
  void DrawProgress(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                    const ProgressView& view, Language language);

  // Copies a picture's pixels over the overlay's top left corner, as far as both reach.
  static void CoverWith(OverlayPicture& overlay, const PixelCanvas& picture);

 private:
  struct Box {
    int left, top, right, bottom;  // the field's part that may be drawn on
    int textLeft;                  // where a card's lines start
  };
  const Glyph& GlyphOf(char32_t c);
  int TextWidth(std::string_view text);
  int WidestLine(const std::vector<std::string>& lines);
  int WordWidth(std::u32string_view text, size_t from);
  std::vector<std::string> Wrap(std::string_view paragraph, int width);
  std::string ShortenMiddle(std::string_view line, int width);
  // Draws a card's frame centred across a field of this size, `top` down it, clipped to the
  // field and the overlay, and gives the part inside its border that text may be drawn on.
  Box DrawFrame(OverlayPicture& overlay, int fieldWidth, int fieldHeight, int top, int width,
                int height);
  // Draws lines one under the other from `baseline`; gives the baseline after them.
  int DrawLines(OverlayPicture& overlay, const Box& inside, int baseline,
                const std::vector<std::string>& lines, uint32_t colour);
  void DrawText(OverlayPicture& overlay, const Box& clip, int x, int baseline,
                std::string_view text, uint32_t colour);
  uint32_t Pixel(uint8_t r, uint8_t g, uint8_t b) const;

  GlyphSource& glyphs_;
  PixelOrder order_;
};
