// What the shell's tests share: a front end that notes what it is told, a shell started as a
// window starts it (with cards or without), a replay's viewer, glyphs of varied widths, and
// recordings played and replayed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/shell.h"
#include "resources/command_ids.h"
#include "test_support.h"
#include "tools/bench/full_load.h"
#include "tools/sim/scenario.h"

namespace shell_fixtures {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

class FakeFrontEnd : public FrontEnd {
 public:
  void ResizePicture(int width, int height) override {
    sizes.emplace_back(width, height);
    if (canvas != nullptr) canvas->Resize(width, height);
  }
  void ShowPicture() override { ++shown; }
  void SetMenuItem(uint16_t id, bool checked, bool greyed) override {
    ++menuItemsSet;
    marks[id] = {checked, greyed};
  }
  void Quit() override { ++quits; }
  void SetTitle(const std::string& text) override { title = text; }
  void FitWindow(int width, int height) override { fitted.emplace_back(width, height); }
  std::string LocalTimeNow() override { return stamp; }
  std::vector<std::pair<int, int>> sizes, fitted;
  std::string title;
  std::map<uint16_t, std::pair<bool, bool>> marks;  // checked, greyed
  std::string stamp;
  int shown = 0, quits = 0, menuItemsSet = 0;
  PixelCanvas* canvas = nullptr;  // takes the picture's sizes when given
};

class ShellTest : public ::testing::Test {
 protected:
  void StartShell(std::FILE* record = nullptr) {
    shell.Start({.seed = 7, .sound = &sound, .record = record, .now = t0});
  }
  // Calls Advance when asked to until `until`; returns the ticks run meanwhile.
  void AdvanceUntil(PaceClock::time_point until) {
    while (now < until) now = std::max(shell.Advance(now), now + nanoseconds(1));
  }

  ScopedTempDir dir;  // the settings file is read at start-up and written at the end
  FakeFrontEnd frontEnd;
  GameShell shell{frontEnd};
  RecordingSound sound;
  // Not the clock's epoch, so a schedule left at its default origin shows.
  PaceClock::time_point t0 = PaceClock::time_point{} + std::chrono::hours(1);
  PaceClock::time_point now = t0;
};

class CardTest : public ShellTest {
 protected:
  void StartWithCards(std::FILE* record = nullptr) {
    shell.Start({.seed = 7,
                 .windowCanvas = &picture,
                 .sound = &sound,
                 .record = record,
                 .now = t0,
                 .cardGlyphs = &glyphs,
                 .locale = "en_US.UTF-8"});
  }
  // Pixels of the overlay that cover the picture within this rectangle (`lit`: and are not
  // black).
  int Covered(int left, int top, int right, int bottom, bool lit = false) const {
    const OverlayPicture& overlay = shell.Overlay();
    int covered = 0;
    for (int y = top; y < std::min(bottom, overlay.height); ++y) {
      for (int x = left; x < std::min(right, overlay.width); ++x) {
        const uint32_t pixel = overlay.pixels[static_cast<size_t>(y) * overlay.width + x];
        covered += (pixel >> 24) != 0 && (!lit || (pixel & 0xFFFFFF) != 0);
      }
    }
    return covered;
  }
  BlockGlyphSource glyphs;
  PixelCanvas picture{640, 480, PixelOrder::kArgb, glyphs};
};

// A replay: a shell of its own, started with the recording, driven as a window drives it.
class ViewerTest : public CardTest {
 protected:
  void StartViewer(const std::string& recording, ShellStart start) {
    report = std::tmpfile();
    viewedFrontEnd = {};
    viewed = std::make_unique<GameShell>(viewedFrontEnd);
    start.mode = ShellMode::kReplay;
    start.recording = recording;
    start.exitAtEnd = true;
    start.report = report;
    viewed->Start(start);
    now = t0;
  }
  // Calls the shell when it asks to until `until`.
  void PlayUntil(PaceClock::time_point until) {
    while (now < until) now = std::max(viewed->Advance(now), now + nanoseconds(1));
  }
  std::string Report() { return ReadAndClose(std::exchange(report, nullptr)); }

  std::FILE* report = nullptr;
  FakeFrontEnd viewedFrontEnd;
  std::unique_ptr<GameShell> viewed;
};

// Glyphs whose widths follow the character, so where the lines break shows in the picture.
class NarrowAndWideGlyphs : public GlyphSource {
 protected:
  Glyph Render(FontId font, char32_t code) override {
    Glyph glyph{10 + static_cast<int>(code % 13) + (font == FontId::kKanaFont), {}};
    for (int dy = -16; dy < 0; dy += 3) glyph.ink.push_back({dy, 1, glyph.advance - 2});
    return glyph;
  }
  TextBox MeasureBox(FontId) override { return {20, 5}; }
};

// The state lines the runner prints for a recording, replayed as a replay is.
inline std::string Replayed(const std::string& recording) {
  ScenarioLines in{std::string_view(recording)};
  std::FILE* out = std::tmpfile();
  EXPECT_EQ(RunScenario(in, out, stderr, ScenarioCommands::kRecorded), 0);
  return ReadAndClose(out);
}

// Plays a session into "session.txt" from a fresh shell and returns the recording.
inline std::string PlayRecordedSession(FrontEnd& frontEnd, SoundOutput& sound) {
  std::FILE* record = std::fopen("session.txt", "w");
  EXPECT_NE(record, nullptr);
  GameShell shell(frontEnd);
  PaceClock::time_point now{};
  const auto advanceFor = [&](milliseconds duration) {
    for (const auto until = now + duration; now < until;) {
      now = std::max(shell.Advance(now), now + nanoseconds(1));
    }
  };
  shell.Size(700, 500);
  shell.Start({.seed = 7, .sound = &sound, .record = record, .now = now});
  advanceFor(std::chrono::seconds(3));
  shell.Size(660, 480);  // with ticks not yet written, which must come first
  shell.PressFunctionKey(2);
  for (char32_t c : U"aZ3ｱア€ ") shell.Type(c);
  advanceFor(std::chrono::seconds(4));
  shell.Minimise();
  shell.Size(640, 480);
  shell.Command(kCmdPause);
  advanceFor(milliseconds(10'500));  // ends with ticks not yet written as a line
  EXPECT_EQ(shell.End(ProgramEnd::kWindowClosed), 0);
  std::fclose(record);
  return ReadFile("session.txt");
}

}  // namespace shell_fixtures
