// Writers against their reader over seeded random input: what the recorder writes (any settings
// bytes, any event) reads back as written, with or without the last line's end.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/recording.h"
#include "app/scenario_reader.h"

namespace {

// A settings text of any bytes, line ends of every kind more often than chance gives them,
// mostly short and now and then as long as a settings file is read (1 MiB).
std::string AnySettingsText(std::mt19937& random, bool longest) {
  const char* const ends[] = {"\n", "\r\n", "\r", "\n\r"};
  std::string text;
  const size_t length = longest ? size_t{1} << 20 : random() % 600;
  while (text.size() < length) {
    if (random() % 8 == 0) {
      text += ends[random() % 4];
    } else {
      text += static_cast<char>(random() % 256);
    }
  }
  return text;
}

// Each command read as "name n1 n2" (a run of ticks as one), a settings block as its text.
std::vector<std::string> ReadBack(ScenarioLines lines) {
  ScenarioReader reader(ScenarioCommands::kRecorded);
  std::vector<std::string> read;
  std::string_view line;
  for (LineRead at; (at = lines.Next(&line)) != LineRead::kEnd;) {
    ScenarioCommand command;
    std::string problem;
    const auto kind = at == LineRead::kLine ? reader.Read(line, &command, &problem)
                                            : ScenarioReader::Line::kMalformed;
    if (kind == ScenarioReader::Line::kMalformed) read.push_back("malformed: " + problem);
    if (kind != ScenarioReader::Line::kCommand) continue;
    const uint64_t ticks = command.count == 0 ? 1 : command.numbers[0];
    if (command.name == CommandName::kTick && !read.empty() && read.back().starts_with("tick ")) {
      read.back() = "tick " + std::to_string(std::stoull(read.back().substr(5)) + ticks);
      continue;
    }
    std::string said(command.word);
    if (command.name == CommandName::kTick) {
      said += " " + std::to_string(ticks);
    } else if (command.name == CommandName::kSettings) {
      said += command.settings != nullptr ? " " + *command.settings : "";
    } else {
      for (int i = 0; i < command.count; ++i) said += " " + std::to_string(command.numbers[i]);
    }
    read.push_back(said);
  }
  return read;
}

std::vector<std::string> ReadFromFile(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  std::vector<std::string> read = ReadBack(ScenarioLines(file));
  std::fclose(file);
  return read;
}

// 300 sessions: a seed, the settings, then ticks, sizes, keys, commands and comments in any
// order and of any value the shell can give. Read whole, from a file, and with the last line's
// end taken away, each reads back as the events that were written.
TEST(FormatProperty, WhatTheRecorderWritesReadsBackAsWritten) {
  std::mt19937 random(20261208);
  for (int session = 0; session < 300; ++session) {
    const uint32_t seed = static_cast<uint32_t>(random());
    const std::string settings = AnySettingsText(random, session % 100 == 0);
    SessionRecorder recorder(nullptr, true);
    recorder.Start(seed, session % 7 == 0 ? nullptr : &settings);
    std::vector<std::string> written = {"seed " + std::to_string(seed),
                                        session % 7 == 0 ? "settings" : "settings " + settings};
    for (int event = static_cast<int>(random() % 200); event > 0; --event) {
      const uint32_t a = random() % 65536, b = random() % 65536;
      switch (random() % 5) {
        case 0:
          recorder.Size(static_cast<int>(a), static_cast<int>(b));
          written.push_back("size " + std::to_string(a) + " " + std::to_string(b));
          break;
        case 1:
          recorder.Char(static_cast<uint8_t>(a));
          written.push_back("char " + std::to_string(a % 256));
          break;
        case 2:
          recorder.Command(static_cast<uint16_t>(a));
          written.push_back("command " + std::to_string(a));
          break;
        case 3:
          recorder.Comment(std::string(a % 300, static_cast<char>(' ' + b % 95)));
          break;
        default:
          for (uint32_t tick = a % 150 + 1; tick > 0; --tick) recorder.Tick();
          if (!written.back().starts_with("tick ")) written.push_back("tick 0");
          written.back() =
              "tick " + std::to_string(std::stoull(written.back().substr(5)) + a % 150 + 1);
      }
    }
    written.push_back("dump");
    std::string recorded = recorder.SoFar("{}");
    ASSERT_TRUE(recorded.ends_with("dump\n# final {}\n"));
    recorded.resize(recorded.size() - 12);  // up to "dump", whose line end goes too
    EXPECT_EQ(ReadBack(ScenarioLines(std::string_view(recorded))), written) << session;
    EXPECT_EQ(ReadFromFile(recorded), written) << session;
    EXPECT_EQ(ReadFromFile(recorded + "\n"), written) << session;
  }
}

}  // namespace
