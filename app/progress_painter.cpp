// The progress card's picture: the last games plotted over the grid of the chosen characters,
// laid out for the field's size so it reads at 640 x 480 and at twice that.
#include <algorithm>
#include <cmath>

#include "app/card_painter.h"
#include "app/message_text.h"
#include "app/progress.h"

using namespace card_layout;

namespace {

constexpr int kMarker = 7;       // a game's point: a square this wide
constexpr int kCellHeight = 52;  // a grid cell: the character, then its figure
constexpr int kLeastPlot = 100;  // the plot keeps this much height before the grid takes more
constexpr int kGap = 8;

struct Rgb {
  uint8_t r, g, b;
};

// The plot's three series, each drawn dimmer for its line; no other part of the card uses
// these colours, so a game's point can be found in the picture.
constexpr Rgb kScoreColour{255, 128, 0};
constexpr Rgb kPerMinuteColour{0, 200, 255};
constexpr Rgb kAccuracyColour{96, 255, 96};

Rgb Dimmer(Rgb c) {
  return {static_cast<uint8_t>(c.r / 2), static_cast<uint8_t>(c.g / 2),
          static_cast<uint8_t>(c.b / 2)};
}

// From green (fast) through yellow to red (slow).
Rgb Heat(double t) {
  t = std::clamp(t, 0.0, 1.0);
  if (t < 0.5) return {static_cast<uint8_t>(460 * t), 200, 0};
  return {static_cast<uint8_t>(230 - 20 * (t - 0.5)), static_cast<uint8_t>(400 * (1 - t)), 0};
}

}  // namespace

void CardPainter::DrawProgress(OverlayPicture& overlay, int fieldWidth, int fieldHeight,
                               const ProgressView& view, Language language) {
  const int width = std::max(std::min(fieldWidth - 2 * kMargin, kMaxCardWidth), 0);
  const int height = std::max(std::min(fieldHeight - 2 * kMargin, kMaxCardHeight), 0);
  const int top = std::max((fieldHeight - height) / 2, 0);
  const Box clip = DrawFrame(overlay, fieldWidth, fieldHeight, top, width, height);
  const auto fill = [&](int x, int y, int w, int h, Rgb c) {
    for (int row = std::max(y, clip.top); row < std::min(y + h, clip.bottom); ++row) {
      for (int col = std::max(x, clip.left); col < std::min(x + w, clip.right); ++col) {
        overlay.pixels[static_cast<size_t>(row) * overlay.width + col] = Pixel(c.r, c.g, c.b);
      }
    }
  };
  const auto text = [&](int x, int baseline, const std::string& line, Rgb c) {
    DrawText(overlay, clip, x, baseline, line, Pixel(c.r, c.g, c.b));
  };
  const int inner = std::max(width - 2 * kPadding, 1);
  const int x0 = clip.textLeft;
  text(x0, top + kPadding + kBaselineInLine,
       ShortenMiddle(ProgressHeading(language, view.level), inner), {255, 255, 0});

  // The grid takes the rows the plot can spare; with more characters than fit, those with a
  // figure come first.
  const int bodyTop = top + kPadding + kHeadingStep;
  const int bodyBottom = top + height - kPadding - 2 * kLineStep;
  const int cellWidth = std::max(TextWidth("9.9"), TextWidth("\uFF71")) + 10;
  const int columns = std::max(inner / cellWidth, 1);
  const int spareRows = (bodyBottom - bodyTop - kLineStep - kLeastPlot - kGap) / kCellHeight;
  const size_t room = static_cast<size_t>(std::max(spareRows, 1) * columns);
  std::vector<const ProgressView::Cell*> cells;
  for (const bool timed : {true, false}) {
    for (const ProgressView::Cell& cell : view.cells) {
      if ((cell.seconds >= 0) == timed && cells.size() < room) cells.push_back(&cell);
    }
  }
  const int rows = static_cast<int>((cells.size() + columns - 1) / columns);
  // The plot spans the body's width from its top.
  const int plotHeight = std::max(bodyBottom - bodyTop - kLineStep - kGap - rows * kCellHeight, 0);

  // Each series on its own scale, from 0 to its top.
  int32_t topScore = 1;
  int32_t topPerMinute = 1;
  for (const ProgressView::Point& p : view.games) {
    topScore = std::max(topScore, p.score);
    topPerMinute = std::max(topPerMinute, p.perMinute);
  }
  fill(x0, bodyTop + plotHeight - 1, inner, 1, {96, 96, 96});
  fill(x0, bodyTop, 1, plotHeight, {96, 96, 96});
  const auto series = [&](auto value, int32_t topValue, Rgb colour) {
    const size_t n = view.games.size();
    const int span = inner - 2 * kMarker;
    const auto at = [&](size_t i) {
      const int x =
          x0 + kMarker +
          (n == 1 ? span / 2
                  : static_cast<int>(span * static_cast<int64_t>(i) / static_cast<int64_t>(n - 1)));
      const double share = static_cast<double>(value(view.games[i])) / topValue;
      const int y = bodyTop + kMarker / 2 +
                    static_cast<int>(std::lround((plotHeight - kMarker) * (1 - share)));
      return std::pair<int, int>{x, y};
    };
    for (size_t i = 1; i < n; ++i) {
      const auto [ax, ay] = at(i - 1);
      const auto [bx, by] = at(i);
      const int steps = std::max({std::abs(bx - ax), std::abs(by - ay), 1});
      for (int s = 0; s <= steps; ++s) {
        fill(ax + (bx - ax) * s / steps, ay + (by - ay) * s / steps, 1, 1, Dimmer(colour));
      }
    }
    for (size_t i = 0; i < n; ++i) {
      const auto [x, y] = at(i);
      fill(x - kMarker / 2, y - kMarker / 2, kMarker, kMarker, colour);
    }
  };
  series([](const ProgressView::Point& p) { return p.accuracy; }, 100, kAccuracyColour);
  series([](const ProgressView::Point& p) { return p.perMinute; }, topPerMinute, kPerMinuteColour);
  series([](const ProgressView::Point& p) { return p.score; }, topScore, kScoreColour);

  // The legend: a bar of each series' colour before its words.
  int pen = x0;
  const int legendBaseline = bodyTop + plotHeight + kBaselineInLine + 2;
  const std::vector<std::string> legend = ProgressLegend(language, topScore, topPerMinute);
  const Rgb colours[] = {kScoreColour, kPerMinuteColour, kAccuracyColour};
  for (size_t i = 0; i < legend.size(); ++i) {
    fill(pen, legendBaseline - 10, 16, 5, colours[i]);
    text(pen + 22, legendBaseline, legend[i], {255, 255, 255});
    pen += 22 + TextWidth(legend[i]) + 14;
  }

  // The grid, coloured between the fastest and the slowest time shown.
  double fastest = 1e9;
  double slowest = 0;
  for (const ProgressView::Cell* cell : cells) {
    if (cell->seconds < 0) continue;
    fastest = std::min(fastest, cell->seconds);
    slowest = std::max(slowest, cell->seconds);
  }
  const int gridTop = bodyTop + plotHeight + kLineStep + kGap;
  for (size_t i = 0; i < cells.size(); ++i) {
    const ProgressView::Cell& cell = *cells[i];
    const int x = x0 + static_cast<int>(i % columns) * cellWidth;
    const int y = gridTop + static_cast<int>(i / columns) * kCellHeight;
    const bool timed = cell.seconds >= 0;
    const double t = slowest > fastest ? (cell.seconds - fastest) / (slowest - fastest) : 0;
    fill(x + 1, y + 1, cellWidth - 2, kCellHeight - 2, timed ? Heat(t) : Rgb{48, 48, 64});
    const Rgb ink = timed ? Rgb{0, 0, 0} : Rgb{160, 160, 160};
    const std::string figure = ProgressFigure(cell.seconds);
    text(x + (cellWidth - TextWidth(cell.text)) / 2, y + 23, cell.text, ink);
    text(x + (cellWidth - TextWidth(figure)) / 2, y + 47, figure, ink);
  }

  text(x0, bodyBottom + kBaselineInLine,
       ShortenMiddle(ProgressSlowest(language, view.slowest, view.games.size()), inner),
       {255, 255, 255});
  text(x0, bodyBottom + kLineStep + kBaselineInLine, ProgressFooter(language), {160, 255, 160});
}
