// Build-time tool: synthesises the five sound effects and writes them out as WAV files.
//
// Noise comes from our own seeded generator, so every build writes the same bytes; no
// recording is kept in the repository.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/sound_effects.h"

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
// Every voice eases in and out over this long, so no waveform starts or stops on a jump.
constexpr double kEdge = 0.004;

using Samples = std::vector<double>;

// xorshift32: tiny, and the same sequence everywhere, unlike the std:: distributions.
class Xorshift {
 public:
  explicit Xorshift(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  // Uniform in [-1, 1).
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<int32_t>(state_) / 2147483648.0;
  }

 private:
  uint32_t state_;
};

// Where a voice sits in the mix and how its loudness moves: a linear rise over `attack`,
// then an exponential fall with time constant `decay` (in seconds).
struct Voice {
  double start, length, level, attack, decay;
};

double Gain(const Voice& v, double t) {
  const double rise = std::min(1.0, t / std::max(v.attack, kEdge));
  const double release = std::min(1.0, (v.length - t) / kEdge);
  return rise * release * std::exp(-std::max(0.0, t - v.attack) / v.decay);
}

Samples Silence(double seconds) {
  return Samples(static_cast<size_t>(seconds * kRate), 0.0);
}

// Calls add(i, t) for each sample of the voice that falls inside the buffer.
template <typename Add>
void ForEachSample(const Samples& out, const Voice& v, Add add) {
  const auto first = static_cast<size_t>(v.start * kRate);
  if (first >= out.size()) return;
  const size_t count = std::min(static_cast<size_t>(v.length * kRate), out.size() - first);
  for (size_t n = 0; n < count; ++n) add(first + n, static_cast<double>(n) / kRate);
}

// A tone gliding exponentially from `fromHz` to `toHz`; `partials` weighs the harmonics,
// so one call makes a pure sine, a bright square-ish buzz or anything between.
void AddSweep(Samples* out, const Voice& v, double fromHz, double toHz,
              const std::vector<double>& partials) {
  double phase = 0.0;
  ForEachSample(*out, v, [&](size_t i, double t) {
    double wave = 0.0;
    for (size_t k = 0; k < partials.size(); ++k) wave += partials[k] * std::sin((k + 1) * phase);
    (*out)[i] += v.level * Gain(v, t) * wave;
    phase += 2 * kPi * fromHz * std::pow(toHz / fromHz, t / v.length) / kRate;
  });
}

void AddTone(Samples* out, const Voice& v, double hz, const std::vector<double>& partials) {
  AddSweep(out, v, hz, hz, partials);
}

// Noise through a state-variable filter whose centre glides from `fromHz` to `toHz`:
// the band-pass output gives a hiss with a pitch to it, the low-pass a rumble.
enum class Pass { kBand, kLow };
void AddNoise(Samples* out, const Voice& v, double fromHz, double toHz, Pass pass,
              Xorshift* random) {
  double low = 0.0, band = 0.0;
  constexpr double kDamping = 0.7;
  ForEachSample(*out, v, [&](size_t i, double t) {
    const double hz = fromHz * std::pow(toHz / fromHz, t / v.length);
    const double f = 2 * std::sin(kPi * hz / kRate);  // stays stable while hz < kRate / 6
    low += f * band;
    band += f * (random->Next() - low - kDamping * band);
    (*out)[i] += v.level * Gain(v, t) * (pass == Pass::kBand ? band : low);
  });
}

// Scales the whole effect so its loudest sample sits at `decibels` (negative) relative to
// full scale, which keeps every effect clear of clipping whatever its voices add up to.
void Normalise(Samples* samples, double decibels) {
  double peak = 0.0;
  for (double s : *samples) peak = std::max(peak, std::abs(s));
  if (peak == 0.0) return;
  const double scale = std::pow(10.0, decibels / 20.0) / peak;
  for (double& s : *samples) s *= scale;
}

// Three quick rising notes of a major arpeggio, then the octave held and left to ring.
Samples Start() {
  Samples out = Silence(0.8);
  const std::vector<double> bright{1.0, 0.45, 0.25, 0.12};
  const double notes[] = {523.25, 659.26, 783.99};
  for (int n = 0; n < 3; ++n) AddTone(&out, {0.1 * n, 0.14, 0.8, 0.006, 0.12}, notes[n], bright);
  AddTone(&out, {0.3, 0.5, 1.0, 0.006, 0.22}, 1046.50, bright);
  AddTone(&out, {0.3, 0.5, 0.25, 0.006, 0.22}, 1049.0, {1.0});  // a slow beat, for shimmer
  Normalise(&out, -4.0);
  return out;
}

// Two quick bell strikes a fourth apart, nearly pure so the sound stays soft when repeated.
Samples Bingo() {
  Samples out = Silence(0.22);
  AddTone(&out, {0.0, 0.2, 1.0, 0.002, 0.05}, 1567.98, {1.0, 0.15});
  AddTone(&out, {0.035, 0.185, 0.9, 0.002, 0.06}, 2093.00, {1.0, 0.1});
  Normalise(&out, -8.0);
  return out;
}

// A low square-ish buzz thickened by a quieter, slightly sharp copy that beats against it.
Samples Miss() {
  Samples out = Silence(0.2);
  const std::vector<double> square{1.0, 0.0, 1.0 / 3, 0.0, 1.0 / 5, 0.0, 1.0 / 7};
  AddTone(&out, {0.0, 0.2, 1.0, 0.008, 0.25}, 110.0, square);
  AddTone(&out, {0.0, 0.2, 0.4, 0.008, 0.25}, 116.5, square);
  Normalise(&out, -8.0);
  return out;
}

// Hiss swelling and fading while its pitch climbs, over a faint rising whistle: a whoosh.
Samples Flush() {
  Samples out = Silence(0.65);
  Xorshift random(0x464C5553u);
  AddNoise(&out, {0.0, 0.65, 1.0, 0.28, 0.14}, 250.0, 3200.0, Pass::kBand, &random);
  AddSweep(&out, {0.05, 0.55, 0.06, 0.25, 0.15}, 400.0, 1600.0, {1.0});
  Normalise(&out, -5.0);
  return out;
}

// A falling thump for the blast, a crackling burst on top, and a long low rumble after.
Samples GameOver() {
  Samples out = Silence(1.3);
  Xorshift random(0x424F4F4Du);
  AddSweep(&out, {0.0, 0.6, 1.0, 0.005, 0.18}, 110.0, 38.0, {1.0, 0.3});
  AddNoise(&out, {0.0, 0.35, 1.5, 0.003, 0.08}, 2400.0, 500.0, Pass::kBand, &random);
  AddNoise(&out, {0.0, 1.3, 6.0, 0.02, 0.4}, 220.0, 60.0, Pass::kLow, &random);
  Normalise(&out, -3.0);
  return out;
}

void PutU32(std::string* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

void PutU16(std::string* out, uint16_t value) {
  out->push_back(static_cast<char>(value));
  out->push_back(static_cast<char>(value >> 8));
}

// The canonical 44-byte RIFF header, then 16-bit mono PCM.
std::string EncodeWav(const Samples& samples) {
  const auto dataSize = static_cast<uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  PutU32(&out, 36 + dataSize);
  out += "WAVEfmt ";
  PutU32(&out, 16);
  PutU16(&out, 1);  // integer PCM
  PutU16(&out, 1);  // mono
  PutU32(&out, kRate);
  PutU32(&out, kRate * 2);
  PutU16(&out, 2);
  PutU16(&out, 16);
  out += "data";
  PutU32(&out, dataSize);
  for (double s : samples) {
    const long value = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
    PutU16(&out, static_cast<uint16_t>(static_cast<int16_t>(value)));
  }
  return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 1;
  }
  // In the order of SoundEffect.
  Samples (*const synthesise[])() = {Start, Bingo, Miss, Flush, GameOver};
  static_assert(std::size(synthesise) == kSoundEffectCount);
  for (int i = 0; i < kSoundEffectCount; ++i) {
    const std::string path = std::string(argv[1]) + "/" + kSoundEffectFiles[i];
    if (!WriteFile(path, EncodeWav(synthesise[i]()))) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
      return 1;
    }
  }
  return 0;
}
