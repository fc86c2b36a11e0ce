// The cards' layout: sizes, wrapping, pages, and text drawn glyph by glyph into the overlay.
#include "app/card_painter.h"

#include <algorithm>

#include "app/message_text.h"

using namespace card_layout;

namespace {

constexpr int kBannerPadding = 6;  // above and below a banner's lines, together

// What stands for the part of a line left out where it is too long for its card.
constexpr char32_t kEllipsis = U'\u2026';

std::string Encode(std::u32string_view text) {
  std::string utf8;
  for (const char32_t c : text) utf8 += EncodeUtf8(c);
  return utf8;
}

// The text of a card as characters; a byte that is not UTF-8 (a file name on the card may hold
// any) shows as U+FFFD.
std::u32string DecodeCardText(std::string_view utf8) {
  std::u32string text;
  while (!utf8.empty()) {
    const DecodedUtf8 decoded = DecodeUtf8(utf8);
    text += decoded.length == 0 ? U'\uFFFD' : static_cast<char32_t>(decoded.codePoint);
    utf8.remove_prefix(std::max<size_t>(decoded.length, 1));
  }
  return text;
}

// Latin text in the text face, everything from general punctuation on in the Mincho face,
// which has the kana and kanji.
FontId FontFor(char32_t c) {
  return c < 0x2000 ? FontId::kTextFont : FontId::kKanaFont;
}

// A line may break after a space or a path's separator, or between two Japanese characters
// unless the second is closing punctuation, which never starts a line.
bool BreaksAfter(char32_t c, char32_t next) {
  if (c == U' ' || c == U'/' || c == U'\\') return true;
  const std::u32string_view closing = U"、。）」』・ー";
  return c >= 0x2E80 && next >= 0x2E80 && closing.find(next) == std::u32string_view::npos;
}

int WideCardWidth(int fieldWidth) {
  return std::min(fieldWidth - 2 * kMargin, kMaxCardWidth);
}

int TallestCard(int fieldHeight) {
  return std::min(fieldHeight - 2 * kMargin, kMaxCardHeight);
}

// A card's height for so many heading, body and footer lines.
int CardHeight(size_t heading, size_t body, size_t footer) {
  const size_t lines = std::max<size_t>(heading, 1) - 1 + body + footer;
  return 2 * kPadding + kHeadingStep +
         static_cast<int>(std::min<size_t>(lines, 1 << 16)) * kLineStep;
}

// The body lines a card of this height holds beside its heading and footer; at least one.
size_t BodyLines(int cardHeight, size_t heading, size_t footer) {
  const int room = cardHeight - CardHeight(heading, 0, footer);
  return static_cast<size_t>(std::max(1, room / kLineStep));
}

// A paragraph's sentences, each with the blanks after it: a page breaks between them.
std::vector<std::string> Sentences(std::string_view paragraph) {
  std::vector<std::string> sentences;
  size_t start = 0;
  for (size_t i = 0; i < paragraph.size(); ++i) {
    const bool latinEnd = (paragraph[i] == '.' || paragraph[i] == ':' || paragraph[i] == ';') &&
                          i + 1 < paragraph.size() && paragraph[i + 1] == ' ';
    const bool kanaEnd = paragraph.substr(i, 3) == "。";
    if (!latinEnd && !kanaEnd) continue;
    const size_t end = kanaEnd ? i + 3 : i + 2;
    sentences.emplace_back(paragraph.substr(start, end - start));
    start = end;
  }
  if (start < paragraph.size()) sentences.emplace_back(paragraph.substr(start));
  return sentences;
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

const Glyph& CardPainter::GlyphOf(char32_t c) {
  return glyphs_.GlyphOf(FontFor(c), c);
}

int CardPainter::TextWidth(std::string_view text) {
  int width = 0;
  for (const char32_t c : DecodeCardText(text)) width += GlyphOf(c).advance;
  return width;
}

int CardPainter::WidestLine(const std::vector<std::string>& lines) {
  int width = 0;
  for (const std::string& line : lines) width = std::max(width, TextWidth(line));
  return width;
}

// The width of the word that starts at `from`, up to where a line may break after it.
int CardPainter::WordWidth(std::u32string_view text, size_t from) {
  int width = 0;
  for (size_t i = from; i < text.size(); ++i) {
    width += GlyphOf(text[i]).advance;
    if (BreaksAfter(text[i], i + 1 < text.size() ? text[i + 1] : U' ')) break;
  }
  return width;
}

// Greedy: each line takes as much as fits, broken where a break is allowed, or anywhere when
// a single word is wider than the card.
std::vector<std::string> CardPainter::Wrap(std::string_view paragraph, int width) {
  const std::u32string text = DecodeCardText(paragraph);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    size_t lastBreak = std::u32string::npos;
    int used = 0;
    for (; end < text.size(); ++end) {
      used += GlyphOf(text[end]).advance;
      if (used > width && end > start) {
        // A word that fits up to the blank after it ends the line there.
        if (text[end] == U' ') lastBreak = end + 1;
        break;
      }
      const char32_t next = end + 1 < text.size() ? text[end + 1] : U' ';
      if (BreaksAfter(text[end], next)) lastBreak = end + 1;
    }
    // A word longer than a whole line (a path's folder) is broken where the line is full.
    if (end < text.size() && lastBreak != std::u32string::npos && lastBreak > start &&
        WordWidth(text, lastBreak) <= width) {
      end = lastBreak;
    }
    size_t shown = end;
    while (shown > start && text[shown - 1] == U' ') --shown;
    lines.push_back(Encode(text.substr(start, shown - start)));
    start = end;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

// The start and the end of the line with an ellipsis between, as much of each as fits: the
// end of a path names the file, its start the folder.
std::string CardPainter::ShortenMiddle(std::string_view line, int width) {
  if (TextWidth(line) <= width) return std::string(line);
  const std::u32string text = DecodeCardText(line);
  int room = width - GlyphOf(kEllipsis).advance;
  size_t head = 0;
  size_t tail = 0;
  while (head + tail < text.size()) {
    const int advance = GlyphOf(tail < head ? text[text.size() - 1 - tail] : text[head]).advance;
    if (advance > room) break;
    room -= advance;
    (tail < head ? tail : head) += 1;
  }
  return Encode(text.substr(0, head) + kEllipsis + text.substr(text.size() - tail));
}

std::vector<CardPage> CardPainter::Paginate(const std::vector<HelpSection>& sections,
                                            int fieldWidth, int fieldHeight,
                                            const std::string& footer) {
  const int textWidth = std::max(WideCardWidth(fieldWidth) - 2 * kPadding, 1);
  const size_t footerLines = footer.empty() ? 0 : Wrap(footer, textWidth).size();
  std::vector<CardPage> pages;
  for (const HelpSection& section : sections) {
    const size_t perPage =
        BodyLines(TallestCard(fieldHeight), Wrap(section.heading, textWidth).size(), footerLines);
    pages.push_back({section.heading, {}});
    for (const std::string& paragraph : section.paragraphs) {
      // Longer than a page: its sentences start lines of their own, so none is split by a page
      // that it would fit on.
      const std::vector<std::string> parts = Wrap(paragraph, textWidth).size() <= perPage
                                                 ? std::vector<std::string>{paragraph}
                                                 : Sentences(paragraph);
      for (const std::string& part : parts) {
        std::vector<std::string> lines = Wrap(part, textWidth);
        const size_t used = pages.back().lines.size();
        if (lines.size() <= perPage && used + lines.size() > perPage && used > 0) {
          pages.push_back({section.heading, {}});
        }
        for (std::string& line : lines) {
          if (pages.back().lines.size() == perPage) pages.push_back({section.heading, {}});
          pages.back().lines.push_back(std::move(line));
        }
      }
    }
  }
  return pages;
}

void CardPainter::DrawText(OverlayPicture& overlay, const Box& clip, int x, int baseline,
                           std::string_view text, uint32_t colour) {
  int pen = x;
  for (const char32_t c : DecodeCardText(text)) {
    const Glyph& glyph = GlyphOf(c);
    for (const InkRun& run : glyph.ink) {
      const int y = baseline + run.dy;
      if (y < clip.top || y >= clip.bottom) continue;
      const int from = std::max(pen + run.dx, clip.left);
      const int to = std::min(pen + run.dx + run.length, clip.right);
      // Ink wholly beside the box (or an overlay of no width, whose pixels are null) is
      // skipped before any pointer is formed.
      if (from >= to) continue;
      uint32_t* row = overlay.pixels.data() + static_cast<size_t>(y) * overlay.width;
      std::fill(row + from, row + to, colour);
    }
    pen += glyph.advance;
  }
}

int CardPainter::DrawLines(OverlayPicture& overlay, const Box& inside, int baseline,
                           const std::vector<std::string>& lines, uint32_t colour) {
  for (const std::string& line : lines) {
    DrawText(overlay, inside, inside.textLeft, baseline, line, colour);
    baseline += kLineStep;
  }
  return baseline;
}

CardPainter::Box CardPainter::DrawFrame(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                                        int top, int width, int height) {
  const int left = (fieldWidth - width) / 2;
  const Box clip{0, 0, std::min(fieldWidth, overlay.width), std::min(fieldHeight, overlay.height),
                 0};
  const uint32_t border = Pixel(255, 255, 255);
  const uint32_t inside = Pixel(0, 0, 96);
  for (int y = std::max(top, clip.top); y < std::min(top + height, clip.bottom); ++y) {
    uint32_t* row = overlay.pixels.data() + static_cast<size_t>(y) * overlay.width;
    const bool edgeRow = y < top + kBorder || y >= top + height - kBorder;
    for (int x = std::max(left, clip.left); x < std::min(left + width, clip.right); ++x) {
      const bool edge = edgeRow || x < left + kBorder || x >= left + width - kBorder;
      row[x] = edge ? border : inside;
    }
  }
  return {std::max(clip.left, left + kBorder), std::max(clip.top, top + kBorder),
          std::min(clip.right, left + width - kBorder),
          std::min(clip.bottom, top + height - kBorder), left + kPadding};
}

void CardPainter::DrawCard(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                           const CardPage& page, const std::string& footer, bool wide) {
  const int widest = std::max(WideCardWidth(fieldWidth) - 2 * kPadding, 1);
  const int needed = std::max({WidestLine(page.lines), TextWidth(page.heading), TextWidth(footer)});
  const int textWidth = wide ? widest : std::min(needed, widest);
  const std::vector<std::string> heading = Wrap(page.heading, textWidth);
  const std::vector<std::string> footing =
      footer.empty() ? std::vector<std::string>{} : Wrap(footer, textWidth);
  std::vector<std::string> body;
  for (const std::string& line : page.lines) {
    for (std::string& part : Wrap(line, textWidth)) body.push_back(std::move(part));
  }
  // Too tall: each line one line high, cut in its middle; then as many lines as fit.
  const size_t most = BodyLines(TallestCard(fieldHeight), heading.size(), footing.size());
  if (body.size() > most) {
    body.clear();
    for (const std::string& line : page.lines) body.push_back(ShortenMiddle(line, textWidth));
  }
  if (body.size() > most) {
    body.resize(most);
    body.back() = ShortenMiddle(body.back() + Encode(std::u32string(1, kEllipsis)), textWidth);
  }
  const int height = CardHeight(heading.size(), body.size(), footing.size());
  const int top = std::max((fieldHeight - height) / 2, 0);
  const Box inside =
      DrawFrame(overlay, fieldWidth, fieldHeight, top, textWidth + 2 * kPadding, height);
  int baseline =
      DrawLines(overlay, inside, top + kPadding + kBaselineInLine, heading, Pixel(255, 255, 0));
  baseline =
      DrawLines(overlay, inside, baseline + kHeadingStep - kLineStep, body, Pixel(255, 255, 255));
  DrawLines(overlay, inside, baseline, footing, Pixel(160, 255, 160));
}

void CardPainter::DrawBanner(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                             const std::vector<std::string>& lines) {
  const int widest = std::max(fieldWidth - 2 * kMargin - 2 * kBorder - 2 * kPadding, 1);
  const int textWidth = std::min(WidestLine(lines), widest);
  const int height = static_cast<int>(lines.size()) * kLineStep + 2 * kBorder + kBannerPadding;
  const Box inside =
      DrawFrame(overlay, fieldWidth, fieldHeight, kMargin, textWidth + 2 * kPadding, height);
  std::vector<std::string> shown;
  for (const std::string& line : lines) shown.push_back(ShortenMiddle(line, textWidth));
  DrawLines(overlay, inside, kMargin + kBorder + kBannerPadding / 2 + kBaselineInLine, shown,
            Pixel(160, 255, 160));
}

void CardPainter::CoverWith(OverlayPicture& overlay, const PixelCanvas& picture) {
  const int width = std::min(overlay.width, picture.width());
  for (int y = 0; y < std::min(overlay.height, picture.height()); ++y) {
    const uint32_t* from = picture.pixels() + static_cast<size_t>(y) * picture.width();
    std::copy(from, from + width, overlay.pixels.data() + static_cast<size_t>(y) * overlay.width);
  }
}
