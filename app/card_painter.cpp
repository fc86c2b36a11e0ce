// The cards' layout: sizes, wrapping, pages, and text drawn glyph by glyph into the overlay.
#include "app/card_painter.h"

#include <algorithm>

#include "app/message_text.h"

namespace {

constexpr int kMargin = 8;        // between the field's edge and a wide card
constexpr int kPadding = 16;      // between the card's edge and its text
constexpr int kLineStep = 30;     // from one baseline to the next
constexpr int kHeadingStep = 38;  // the heading's line, a little apart from the rest
constexpr int kBorder = 2;
constexpr int kBaselineInLine = 23;  // a 24-pixel face's ascent within its line
constexpr int kMaxCardWidth = 760;
constexpr int kMaxCardHeight = 560;

// A byte that is not UTF-8 (a file name on the card may hold any) shows as U+FFFD.
std::u32string Decode(std::string_view utf8) {
  std::u32string text;
  while (!utf8.empty()) {
    const DecodedUtf8 decoded = DecodeUtf8(utf8);
    text += decoded.length == 0 ? U'\uFFFD' : static_cast<char32_t>(decoded.codePoint);
    utf8.remove_prefix(std::max<size_t>(decoded.length, 1));
  }
  return text;
}

std::string Encode(std::u32string_view text) {
  std::string utf8;
  for (const char32_t c : text) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | c >> 6);
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | c >> 12);
      utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// Latin text in the text face, everything from general punctuation on in the Mincho face,
// which has the kana and kanji.
FontId FontFor(char32_t c) {
  return c < 0x2000 ? FontId::kTextFont : FontId::kKanaFont;
}

// A line may break after a space, or between two Japanese characters unless the second is
// closing punctuation, which never starts a line.
bool BreaksAfter(char32_t c, char32_t next) {
  if (c == U' ') return true;
  const std::u32string_view closing = U"、。）」』・ー";
  return c >= 0x2E80 && next >= 0x2E80 && closing.find(next) == std::u32string_view::npos;
}

int WideCardWidth(int fieldWidth) {
  return std::min(fieldWidth - 2 * kMargin, kMaxCardWidth);
}

int LinesPerPage(int fieldHeight) {
  const int height = std::min(fieldHeight - 2 * kMargin, kMaxCardHeight);
  return std::max(1, (height - 2 * kPadding - kHeadingStep - kLineStep) / kLineStep);
}

}  // namespace

// Held to the pictures' own largest side: a card over a window of any size costs no more than
// the picture beneath it.
void CardPainter::Clear(OverlayPicture& overlay, int width, int height) {
  overlay.width = std::clamp(width, 0, PixelCanvas::kMaxSide);
  overlay.height = std::clamp(height, 0, PixelCanvas::kMaxSide);
  overlay.pixels.assign(static_cast<size_t>(overlay.width) * overlay.height, 0);
}

uint32_t CardPainter::Pixel(uint8_t r, uint8_t g, uint8_t b) const {
  if (order_ == PixelOrder::kArgb) return 0xFF000000u | r << 16 | g << 8 | b;
  return 0xFF000000u | b << 16 | g << 8 | r;
}

int CardPainter::TextWidth(std::u32string_view text) {
  int width = 0;
  for (const char32_t c : text) width += glyphs_.GlyphOf(FontFor(c), c).advance;
  return width;
}

// Greedy: each line takes as much as fits, broken where a break is allowed, or anywhere when
// a single word is wider than the card.
std::vector<std::string> CardPainter::Wrap(const char* paragraph, int width) {
  const std::u32string text = Decode(paragraph);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    size_t lastBreak = std::u32string::npos;
    int used = 0;
    for (; end < text.size(); ++end) {
      used += glyphs_.GlyphOf(FontFor(text[end]), text[end]).advance;
      if (used > width && end > start) break;
      const char32_t next = end + 1 < text.size() ? text[end + 1] : U' ';
      if (BreaksAfter(text[end], next)) lastBreak = end + 1;
    }
    if (end < text.size() && lastBreak != std::u32string::npos && lastBreak > start) {
      end = lastBreak;
    }
    size_t shown = end;
    while (shown > start && text[shown - 1] == U' ') --shown;
    lines.push_back(Encode(text.substr(start, shown - start)));
    start = end;
  }
  return lines;
}

std::vector<CardPage> CardPainter::Paginate(const std::vector<HelpSection>& sections,
                                            int fieldWidth, int fieldHeight) {
  const int textWidth = std::max(WideCardWidth(fieldWidth) - 2 * kPadding, 1);
  const size_t perPage = static_cast<size_t>(LinesPerPage(fieldHeight));
  std::vector<CardPage> pages;
  for (const HelpSection& section : sections) {
    pages.push_back({section.heading, {}});
    for (const char* paragraph : section.paragraphs) {
      for (std::string& line : Wrap(paragraph, textWidth)) {
        if (pages.back().lines.size() == perPage) pages.push_back({section.heading, {}});
        pages.back().lines.push_back(std::move(line));
      }
    }
  }
  return pages;
}

void CardPainter::DrawText(OverlayPicture& overlay, int x, int baseline, std::string_view text,
                           uint32_t colour) {
  int pen = x;
  for (const char32_t c : Decode(text)) {
    const Glyph& glyph = glyphs_.GlyphOf(FontFor(c), c);
    for (const InkRun& run : glyph.ink) {
      const int y = baseline + run.dy;
      if (y < 0 || y >= overlay.height) continue;
      const int from = std::max(pen + run.dx, 0);
      const int to = std::min(pen + run.dx + run.length, overlay.width);
      // Ink wholly beside the overlay (or an overlay of no width, whose pixels are null) is
      // skipped before any pointer is formed.
      if (from >= to) continue;
      uint32_t* row = overlay.pixels.data() + static_cast<size_t>(y) * overlay.width;
      std::fill(row + from, row + to, colour);
    }
    pen += glyph.advance;
  }
}

void CardPainter::DrawCard(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                           const CardPage& page, const std::string& footer, bool wide) {
  int textWidth = TextWidth(Decode(footer));
  textWidth = std::max(textWidth, TextWidth(Decode(page.heading)));
  for (const std::string& line : page.lines)
    textWidth = std::max(textWidth, TextWidth(Decode(line)));
  const int width = wide ? WideCardWidth(fieldWidth) : textWidth + 2 * kPadding;
  const int height = 2 * kPadding + kHeadingStep + static_cast<int>(page.lines.size()) * kLineStep +
                     (footer.empty() ? 0 : kLineStep);
  const int left = (fieldWidth - width) / 2;
  const int top = std::max((fieldHeight - height) / 2, 0);
  const uint32_t border = Pixel(255, 255, 255);
  const uint32_t inside = Pixel(0, 0, 96);
  for (int y = std::max(top, 0); y < std::min(top + height, overlay.height); ++y) {
    uint32_t* row = overlay.pixels.data() + static_cast<size_t>(y) * overlay.width;
    const bool edgeRow = y < top + kBorder || y >= top + height - kBorder;
    for (int x = std::max(left, 0); x < std::min(left + width, overlay.width); ++x) {
      const bool edge = edgeRow || x < left + kBorder || x >= left + width - kBorder;
      row[x] = edge ? border : inside;
    }
  }
  int baseline = top + kPadding + kBaselineInLine;
  DrawText(overlay, left + kPadding, baseline, page.heading, Pixel(255, 255, 0));
  baseline += kHeadingStep;
  for (const std::string& line : page.lines) {
    DrawText(overlay, left + kPadding, baseline, line, border);
    baseline += kLineStep;
  }
  if (!footer.empty()) DrawText(overlay, left + kPadding, baseline, footer, Pixel(160, 255, 160));
}

void CardPainter::CoverWith(OverlayPicture& overlay, const PixelCanvas& picture) {
  const int width = std::min(overlay.width, picture.width());
  for (int y = 0; y < std::min(overlay.height, picture.height()); ++y) {
    const uint32_t* from = picture.pixels() + static_cast<size_t>(y) * picture.width();
    std::copy(from, from + width, overlay.pixels.data() + static_cast<size_t>(y) * overlay.width);
  }
}
