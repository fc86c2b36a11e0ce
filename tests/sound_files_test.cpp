// The synthesised sound effects: well-formed WAV files of the right lengths, clean at the edges.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include "resources/sound_effects.h"
#include "test_support.h"

namespace {

// Each effect's shortest and longest length in seconds, in the order of kSoundEffectFiles.
constexpr double kLengths[kSoundEffectCount][2] = {
    {0.6, 0.9}, {0.15, 0.3}, {0.15, 0.25}, {0.5, 0.8}, {1.0, 1.5}};

uint32_t Le(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

// The generator writes the files the build holds, byte for byte: canonical mono 16-bit PCM of
// each effect's length, loud without clipping, silent at both edges (more than 1% there is
// heard as a click), and unlike every other effect. Where it cannot write it fails.
TEST(SoundFilesTest, GeneratorWritesCanonicalPcmCleanAtTheEdgesOrFails) {
  ScopedTempDir dir;
  ASSERT_EQ(std::system(VOLARIN_SOUND_GEN_PATH " ."), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), kSoundEffectCount);
  EXPECT_EQ(WEXITSTATUS(std::system(VOLARIN_SOUND_GEN_PATH " /nonexistent/sounds 2>/dev/null")), 1);
  EXPECT_EQ(WEXITSTATUS(std::system(VOLARIN_SOUND_GEN_PATH " 2>/dev/null")), 1);
  std::set<std::string> seen;
  for (int effect = 0; effect < kSoundEffectCount; ++effect) {
    const char* name = kSoundEffectFiles[effect];
    SCOPED_TRACE(name);
    const std::string wav = ReadFile(name);
    EXPECT_EQ(wav, ReadFile(std::string(VOLARIN_SOUND_DIR "/") + name));
    ASSERT_GE(wav.size(), 50u);
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
    const auto bytes = static_cast<uint32_t>(wav.size());
    // {offset, size, value}: the RIFF size; the format's size, PCM, mono, rate, byte rate,
    // block alignment, bits; the data size.
    const uint32_t fields[][3] = {{4, 4, bytes - 8}, {16, 4, 16},    {20, 2, 1},
                                  {22, 2, 1},        {24, 4, 22050}, {28, 4, 44100},
                                  {32, 2, 2},        {34, 2, 16},    {40, 4, bytes - 44}};
    for (const auto& [at, size, value] : fields) EXPECT_EQ(Le(wav, at, size), value) << at;
    EXPECT_EQ(wav.size() % 2, 0u);
    const size_t count = (wav.size() - 44) / 2;
    EXPECT_GE(count, kLengths[effect][0] * 22050);
    EXPECT_LE(count, kLengths[effect][1] * 22050);
    int peak = 0;
    for (size_t i = 0; i < count; ++i) {
      const int sample = std::abs(static_cast<int16_t>(Le(wav, 44 + 2 * i, 2)));
      peak = std::max(peak, sample);
      EXPECT_TRUE(sample < 328 || (i >= 3 && i + 3 < count)) << i;
    }
    EXPECT_TRUE(peak > 8000 && peak < 32767) << peak;  // within 12 dB, not pinned at full scale
    EXPECT_TRUE(seen.insert(wav).second) << "the same as another";
  }
}

}  // namespace
