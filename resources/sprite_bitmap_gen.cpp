// Build-time tool: draws bitmap resource 109 and writes it out as the C++ array kSpriteBitmap.
//
// Only integer arithmetic and our own seeded generator are used, so every compiler and
// standard library produces the same bytes, and with them the same explosions.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <tuple>
#include <utility>
#include <vector>

#include "resources/sprite_bitmap.h"

namespace {

constexpr int kSide = 512;
constexpr int kCell = 32;
constexpr size_t kHeaderSize = 40;
constexpr size_t kPaletteSize = 16 * 4;
constexpr size_t kRowBytes = kSide / 2;
constexpr size_t kImageSize = kRowBytes * kSide;
static_assert(kHeaderSize + kPaletteSize + kImageSize == kSpriteBitmapSize);

enum Ink : uint8_t { kBlack = 0, kRed = 9, kGreen = 10, kYellow = 11, kBlue = 12 };

// The standard sixteen-colour palette as (red, green, blue).
constexpr std::array<std::array<uint8_t, 3>, 16> kPalette{{{0, 0, 0},
                                                           {128, 0, 0},
                                                           {0, 128, 0},
                                                           {128, 128, 0},
                                                           {0, 0, 128},
                                                           {128, 0, 128},
                                                           {0, 128, 128},
                                                           {192, 192, 192},
                                                           {128, 128, 128},
                                                           {255, 0, 0},
                                                           {0, 255, 0},
                                                           {255, 255, 0},
                                                           {0, 0, 255},
                                                           {255, 0, 255},
                                                           {0, 255, 255},
                                                           {255, 255, 255}}};

// Palette indices, y counted from the top.
class Picture {
 public:
  void Set(int x, int y, Ink ink) { pixels_[static_cast<size_t>(y) * kSide + x] = ink; }
  uint8_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * kSide + x]; }

 private:
  std::vector<uint8_t> pixels_ = std::vector<uint8_t>(static_cast<size_t>(kSide) * kSide, kBlack);
};

// Drawing within one 32 x 32 cell, in the cell's own coordinates.
struct CellPen {
  Picture* picture;
  int cell;
  void Put(int x, int y, Ink ink) const {
    picture->Set(cell % 16 * kCell + x, cell / 16 * kCell + y, ink);
  }
};

// xorshift32: tiny, and the same sequence everywhere, unlike the std:: distributions.
class Xorshift {
 public:
  explicit Xorshift(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t bound) { return Next() % bound; }

 private:
  uint32_t state_;
};

uint64_t IntegerSqrt(uint64_t n) {
  uint64_t root = 0;
  for (uint64_t bit = uint64_t{1} << 62; bit != 0; bit >>= 2) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return root;
}

// Cell 1's top-left quarter: a yellow-rimmed red disc. Y yellow, R red.
constexpr std::array<const char*, 16> kInterceptor{
    "................", "................", "................", "................",
    "......YYYY......", ".....YRRRRY.....", "....YRRRRRRY....", "....YRRRRRRY....",
    "....YRRRRRRY....", "....YRRRRRRY....", ".....YRRRRY.....", "......YYYY......",
    "................", "................", "................", "................"};

void DrawInterceptor(Picture* picture) {
  const CellPen pen{picture, 1};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const char c = kInterceptor[y][x];
      if (c != '.') pen.Put(x, y, c == 'Y' ? kYellow : kRed);
    }
  }
}

// A filled red disc given by its row widths, each row centred in the box's width.
void DrawSolidDisc(const CellPen& pen, int left, int top, int width, std::vector<int> rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const int start = left + (width - rows[i]) / 2;
    for (int x = start; x < start + rows[i]; ++x) pen.Put(x, top + static_cast<int>(i), kRed);
  }
}

void DrawPlus(const CellPen& pen) {
  for (const auto& [x, y] : {std::pair{14, 20}, {13, 21}, {14, 21}, {15, 21}, {14, 22}}) {
    pen.Put(x, y, kRed);
  }
}

// A ragged fireball: its bounding box, the exact number of pixels of each colour, and how
// loosely the pixels follow the distance from the centre (in 1/4096 of the box's radius).
struct Fireball {
  int left, right, top, bottom;
  int red, yellow, green, blue;
  uint32_t scatter;
  uint32_t yellowScatter;
};

// Out of 256: the chance a pixel is pushed to the back of the queue, so black specks show
// even deep inside the densest fireball.
constexpr uint32_t kHoleChance = 14;

// A pixel inside the ellipse inscribed in the box.
struct Spot {
  int x, y;
  uint32_t distance;  // from the centre, 4096 on the ellipse
  uint32_t rank;      // distance plus jitter: low ranks are kept
  Ink ink = kBlack;
};

// Every key ends with the position so no two spots compare equal and the order never
// depends on the sort implementation.
bool ByRank(const Spot* a, const Spot* b) {
  return std::tie(a->rank, a->y, a->x) < std::tie(b->rank, b->y, b->x);
}
bool ByDistance(const Spot* a, const Spot* b) {
  return std::tie(a->distance, a->rank, a->y, a->x) < std::tie(b->distance, b->rank, b->y, b->x);
}

std::vector<Spot> SpotsInEllipse(const Fireball& f, Xorshift* random) {
  const int64_t w = f.right - f.left + 1, h = f.bottom - f.top + 1;
  const int64_t whole = w * w * h * h;
  std::vector<Spot> spots;
  for (int y = f.top; y <= f.bottom; ++y) {
    for (int x = f.left; x <= f.right; ++x) {
      // Doubled offsets from the centre keep half-pixel centres integral.
      const int64_t dx = 2 * x - (f.left + f.right), dy = 2 * y - (f.top + f.bottom);
      const int64_t reach = dx * dx * h * h + dy * dy * w * w;
      if (reach > whole) continue;
      const auto distance = static_cast<uint32_t>(IntegerSqrt((reach << 24) / whole));
      uint32_t rank = distance + random->Below(f.scatter + 1);
      if (random->Below(256) < kHoleChance) rank += 4096;  // a black speck anywhere
      spots.push_back({x, y, distance, rank});
    }
  }
  return spots;
}

std::vector<Spot*> Sorted(std::vector<Spot>& spots, bool (*order)(const Spot*, const Spot*)) {
  std::vector<Spot*> sorted;
  for (Spot& spot : spots) sorted.push_back(&spot);
  std::sort(sorted.begin(), sorted.end(), order);
  return sorted;
}

// Keeps the best-ranked pixel on each edge of the box, so the box stays the bounding box.
void KeepEdges(const Fireball& f, std::vector<Spot>& spots, std::vector<bool>& kept) {
  auto onEdge = [&f](const Spot& s, int edge) {
    const int values[] = {s.x - f.left, f.right - s.x, s.y - f.top, f.bottom - s.y};
    return values[edge] == 0;
  };
  for (int edge = 0; edge < 4; ++edge) {
    const Spot* best = nullptr;
    for (const Spot& s : spots) {
      if (onEdge(s, edge) && (best == nullptr || ByRank(&s, best))) best = &s;
    }
    kept[best - spots.data()] = true;
  }
}

// Blue at the very centre, then the kept pixels by rank, until the count is reached.
std::vector<Spot*> ChooseFireballPixels(const Fireball& f, std::vector<Spot>& spots) {
  const int total = f.red + f.yellow + f.green + f.blue;
  std::vector<bool> kept(spots.size(), false);
  const std::vector<Spot*> byDistance = Sorted(spots, ByDistance);
  for (int i = 0; i < f.blue; ++i) {
    byDistance[i]->ink = kBlue;
    kept[byDistance[i] - spots.data()] = true;
  }
  KeepEdges(f, spots, kept);
  int count = static_cast<int>(std::count(kept.begin(), kept.end(), true));
  for (Spot* s : Sorted(spots, ByRank)) {
    if (count == total) break;
    if (!kept[s - spots.data()]) {
      kept[s - spots.data()] = true;
      ++count;
    }
  }
  std::vector<Spot*> chosen;
  for (size_t i = 0; i < spots.size(); ++i) {
    if (kept[i] && spots[i].ink != kBlue) chosen.push_back(&spots[i]);
  }
  return chosen;
}

// Yellow on the pixels nearest the centre (loosely), green flecks anywhere, red elsewhere.
void ColourFireball(const Fireball& f, std::vector<Spot*> chosen, Xorshift* random) {
  for (Spot* s : chosen) s->rank = s->distance + random->Below(f.yellowScatter + 1);
  std::sort(chosen.begin(), chosen.end(), ByRank);
  for (size_t i = 0; i < chosen.size(); ++i) {
    chosen[i]->ink = static_cast<int>(i) < f.yellow ? kYellow : kRed;
  }
  std::vector<Spot*> reds(chosen.begin() + f.yellow, chosen.end());
  for (int i = 0; i < f.green; ++i) {
    const size_t pick = random->Below(static_cast<uint32_t>(reds.size()));
    reds[pick]->ink = kGreen;
    reds.erase(reds.begin() + static_cast<std::ptrdiff_t>(pick));
  }
}

bool DrawFireball(const CellPen& pen, const Fireball& f, uint32_t seed) {
  Xorshift random(seed);
  std::vector<Spot> spots = SpotsInEllipse(f, &random);
  if (static_cast<size_t>(f.red + f.yellow + f.green + f.blue) > spots.size()) return false;
  ColourFireball(f, ChooseFireballPixels(f, spots), &random);
  for (const Spot& s : spots) {
    if (s.ink != kBlack) pen.Put(s.x, s.y, s.ink);
  }
  return true;
}

// Explosion frames 3 to 17: the fireball swells, burns yellow, shows a blue-hot core,
// then thins to red smoke.
constexpr Fireball kFireballs[] = {
    {7, 24, 10, 27, 176, 25, 0, 0, 1400, 1200},  {4, 25, 6, 30, 282, 95, 0, 0, 1200, 1400},
    {5, 26, 6, 30, 192, 122, 0, 0, 1600, 1400},  {4, 29, 7, 30, 239, 81, 0, 0, 1800, 1400},
    {4, 27, 7, 30, 174, 60, 15, 19, 2400, 1400}, {5, 28, 7, 30, 156, 58, 3, 26, 2600, 1400},
    {4, 26, 6, 30, 168, 63, 0, 17, 2600, 1400},  {5, 27, 8, 29, 168, 38, 0, 0, 2800, 1600},
    {6, 27, 7, 28, 135, 49, 0, 0, 2800, 1600},   {7, 24, 10, 27, 122, 44, 0, 0, 2800, 1600},
    {7, 23, 9, 26, 98, 42, 0, 0, 3000, 1600},    {9, 23, 12, 26, 85, 11, 0, 0, 3200, 1600},
    {9, 22, 13, 26, 49, 0, 0, 0, 3600, 0},       {11, 20, 17, 24, 36, 0, 0, 0, 3600, 0},
    {11, 18, 17, 23, 29, 0, 0, 0, 3600, 0}};

bool DrawExplosion(Picture* picture) {
  auto frame = [picture](int f) { return CellPen{picture, f + 2}; };
  DrawSolidDisc(frame(0), 14, 16, 4, {2, 4, 4, 2});
  DrawSolidDisc(frame(1), 13, 15, 7, {3, 5, 7, 7, 7, 5, 3});
  DrawSolidDisc(frame(2), 11, 14, 10, {4, 6, 8, 10, 10, 10, 10, 8, 6, 4});
  for (int i = 0; i < 15; ++i) {
    if (!DrawFireball(frame(i + 3), kFireballs[i], 0x9E3779B9u + 7919u * i)) return false;
  }
  DrawSolidDisc(frame(18), 14, 19, 4, {2, 4, 4, 2});
  DrawPlus(frame(19));
  return true;
}

void PutU32(std::vector<uint8_t>* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutU16(std::vector<uint8_t>* out, uint16_t value) {
  out->push_back(static_cast<uint8_t>(value));
  out->push_back(static_cast<uint8_t>(value >> 8));
}

// Header, palette and bottom-up rows, two pixels a byte with the left one high.
std::vector<uint8_t> EncodeDib(const Picture& picture) {
  std::vector<uint8_t> out;
  PutU32(&out, kHeaderSize);
  PutU32(&out, kSide);
  PutU32(&out, kSide);  // positive: the rows run bottom-up
  PutU16(&out, 1);
  PutU16(&out, 4);
  for (uint32_t field : {0u, static_cast<uint32_t>(kImageSize), 0u, 0u, 0u, 0u}) {
    PutU32(&out, field);
  }
  for (const auto& [r, g, b] : kPalette) out.insert(out.end(), {b, g, r, 0});
  for (int y = kSide - 1; y >= 0; --y) {
    for (int x = 0; x < kSide; x += 2) {
      out.push_back(static_cast<uint8_t>(picture.At(x, y) << 4 | picture.At(x + 1, y)));
    }
  }
  return out;
}

bool WriteSource(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) return false;
  std::fprintf(file,
               "// Bitmap resource 109, written by volarin-sprite-gen at build time.\n"
               "#include \"resources/sprite_bitmap.h\"\n\n"
               "const uint8_t kSpriteBitmap[kSpriteBitmapSize] = {\n");
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::fprintf(file, "%s0x%02x,%s", i % 16 == 0 ? "    " : " ", bytes[i],
                 i % 16 == 15 || i + 1 == bytes.size() ? "\n" : "");
  }
  std::fprintf(file, "};\n");
  const bool written = std::ferror(file) == 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
    return 2;
  }
  Picture picture;
  DrawInterceptor(&picture);
  if (!DrawExplosion(&picture)) {
    std::fprintf(stderr, "%s: a fireball holds more pixels than its ellipse\n", argv[0]);
    return 1;
  }
  const std::vector<uint8_t> bytes = EncodeDib(picture);
  if (bytes.size() != kSpriteBitmapSize || !WriteSource(argv[1], bytes)) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
