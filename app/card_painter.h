// Drawing cards into the overlay with the front end's glyphs, so every front end shows the same
// cards: their size, the wrapping of their lines, the help's pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/card_text.h"
#include "app/overlay.h"
#include "render/pixel_canvas.h"

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

  // The help (or the about text) cut into pages that fit a card over a field of this size.
  std::vector<CardPage> Paginate(const std::vector<HelpSection>& sections, int fieldWidth,
                                 int fieldHeight);

  // A card centred over the field: the heading, the lines and a footer; `wide` cards take
  // most of the field, others only what their text needs.
  void DrawCard(OverlayPicture& overlay, int fieldWidth, int fieldHeight, const CardPage& page,
                const std::string& footer, bool wide);

  // Copies a picture's pixels over the overlay's top left corner, as far as both reach.
  static void CoverWith(OverlayPicture& overlay, const PixelCanvas& picture);

 private:
  int TextWidth(std::u32string_view text);
  std::vector<std::string> Wrap(const char* paragraph, int width);
  void DrawText(OverlayPicture& overlay, int x, int baseline, std::string_view text,
                uint32_t colour);
  uint32_t Pixel(uint8_t r, uint8_t g, uint8_t b) const;

  GlyphSource& glyphs_;
  PixelOrder order_;
};
