// Writers against their reader: what the recorder writes (any settings bytes, any event, over
// seeded random input) reads back as written, with or without the last line's end; a character
// encoded as UTF-8 decodes as itself; a word quoted in a message prints safely.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/message_text.h"
#include "app/recording.h"
#include "app/scenario_reader.h"

namespace {

// Each command of `text` as "name n1 n2", a tick as one "tick" each, a settings block with its
// text: read from a file as the runner reads one, or held whole as a replay holds it.
std::vector<std::string> ReadBack(const std::string& text, bool fromFile) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  ScenarioLines lines = fromFile ? ScenarioLines(file) : ScenarioLines(std::string_view(text));
  ScenarioReader reader(ScenarioCommands::kRecorded);
  std::vector<std::string> read;
  std::string_view line;
  for (LineRead at; (at = lines.Next(&line)) != LineRead::kEnd;) {
    ScenarioCommand c;
    std::string problem = "too long";
    const auto kind =
        at == LineRead::kLine ? reader.Read(line, &c, &problem) : ScenarioReader::Line::kMalformed;
    if (kind == ScenarioReader::Line::kMalformed) read.push_back(problem);
    if (kind != ScenarioReader::Line::kCommand) continue;
    std::string said(c.word);
    if (c.settings != nullptr) said.append(" ").append(*c.settings);
    const bool tick = c.name == CommandName::kTick;
    for (int i = 0; i < c.count && !tick && c.name != CommandName::kSettings; ++i) {
      // Appended apart: GCC 12's Release build warns falsely of " " + a string here.
      said.append(" ").append(std::to_string(c.numbers[i]));
    }
    const uint64_t times = tick && c.count > 0 ? c.numbers[0] : 1;
    read.insert(read.end(), times, said);
  }
  std::fclose(file);
  return read;
}

// 300 sessions: a seed, the settings (any bytes, line ends of every kind more often than
// chance gives them, now and then as long as a settings file is read: 1 MiB), then ticks,
// sizes, keys, commands and comments of any value the shell gives, in any order.
TEST(FormatProperty, WhatTheRecorderWritesReadsBackAsWritten) {
  std::mt19937 random(20261208);
  const char* const ends[] = {"\n", "\r\n", "\r", "\n\r"};
  for (int session = 0; session < 300; ++session) {
    const uint32_t seed = static_cast<uint32_t>(random());
    std::string settings;
    const size_t length = session % 100 == 0 ? size_t{1} << 20 : random() % 600;
    while (settings.size() < length) {
      settings += random() % 8 == 0 ? ends[random() % 4] : std::string(1, char(random() % 256));
    }
    const bool none = session % 7 == 0;
    SessionRecorder recorder(nullptr, true);
    recorder.Start(seed, none ? nullptr : &settings);
    std::vector<std::string> written = {"seed " + std::to_string(seed),
                                        none ? "settings" : "settings " + settings};
    for (int event = static_cast<int>(random() % 200); event > 0; --event) {
      const uint32_t a = random() % 65536, b = random() % 65536, kind = random() % 5;
      if (kind == 0) recorder.Size(static_cast<int>(a), static_cast<int>(b));
      if (kind == 1) recorder.Char(static_cast<uint8_t>(a));
      if (kind == 2) recorder.Command(static_cast<uint16_t>(a));
      if (kind == 3) recorder.Comment(std::string(a % 300, static_cast<char>(' ' + b % 95)));
      for (uint32_t tick = kind == 4 ? a % 150 + 1 : 0; tick > 0; --tick) recorder.Tick();
      if (kind == 4) written.insert(written.end(), a % 150 + 1, "tick");
      if (kind == 0) written.push_back("size " + std::to_string(a) + " " + std::to_string(b));
      if (kind == 1) written.push_back("char " + std::to_string(a % 256));
      if (kind == 2) written.push_back("command " + std::to_string(a));
    }
    written.push_back("dump");
    std::string recorded = recorder.SoFar("{}");
    ASSERT_TRUE(recorded.ends_with("dump\n# final {}\n"));
    recorded.resize(recorded.size() - 12);  // up to "dump", whose line end goes too
    EXPECT_EQ(ReadBack(recorded, false), written) << session;
    EXPECT_EQ(ReadBack(recorded, true), written) << session;
    EXPECT_EQ(ReadBack(recorded + "\n", true), written) << session;
  }
}

// Each length's first and last code point, and the last of all.
TEST(FormatProperty, UtfEightEncodesWhatItDecodes) {
  for (const uint32_t c : {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    const std::string bytes = EncodeUtf8(static_cast<char32_t>(c));
    const DecodedUtf8 decoded = DecodeUtf8(bytes);
    EXPECT_TRUE(decoded.codePoint == c && decoded.length == bytes.size()) << c;
  }
  EXPECT_EQ(EncodeUtf8(0xFF71), "\uFF71");
}

// A blank and printable text stay; what moves the cursor or turns the text, a lone byte and the
// backslash itself are escaped; past sixty characters the word is cut.
TEST(FormatProperty, AQuotedWordIsSafeToPrint) {
  EXPECT_EQ(QuoteForMessage("a b\xFF\u00e9\x1B\x7F\\\u202E\U0001F600"),
            "'a b\\xff\u00e9\\x1b\\x7f\\\\\\u202e\U0001F600'");
  EXPECT_EQ(QuoteForMessage(std::string(60, 'w')), "'" + std::string(60, 'w') + "'");
  EXPECT_EQ(QuoteForMessage(std::string(61, 'w')), "'" + std::string(60, 'w') + "\u2026'");
}

}  // namespace
