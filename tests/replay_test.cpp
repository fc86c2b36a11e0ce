// A recording from anyone is safe to watch: what it may cost in memory and in work per call,
// and the verdict it always reaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/cards.h"
#include "app/options.h"
#include "app/settings.h"
#include "app/shell.h"
#include "core/records.h"
#include "render/pixel_canvas.h"
#include "shell_fixtures.h"
#include "test_support.h"
#include "tools/bench/full_load.h"

namespace {

constexpr int kMaxSide = PixelCanvas::kMaxSide;
const PaceClock::time_point t0 = PaceClock::time_point{} + std::chrono::hours(1);
constexpr PaceClock::duration kFrame = std::chrono::milliseconds(16);

using shell_fixtures::FakeFrontEnd;

// `commands` with the `# final` line the runner ends them at: a recording that verifies.
std::string Recorded(const std::string& commands) {
  const std::string states = shell_fixtures::Replayed(commands);
  return commands + "# final " + states.substr(states.rfind('\n', states.size() - 2) + 1);
}

// The three lines that asked a viewer for 17 GB of overlay.
std::string HugeWindowRecording() {
  return Recorded("seed 1\nsettings none\nsize 65535 65535\ntick 2\ndump\n");
}

// Two thousand size changes between the two largest pictures, which once froze a viewer.
std::string SizeFloodRecording(int width, int height) {
  std::string text = "seed 1\nsettings none\n";
  for (int i = 0; i < 2000; ++i) {
    text += "size " + std::to_string(width) + " " + std::to_string(height) + "\nsize " +
            std::to_string(width - 1) + " " + std::to_string(height - 1) + "\n";
  }
  return Recorded(text + "tick\ndump\n");
}

// A viewer of its own over a recording, as a window drives one.
struct Viewer {
  explicit Viewer(const std::string& recording, PixelCanvas* picture = nullptr,
                  GlyphSource* glyphs = nullptr, const std::string& unreadable = "")
      : report(std::tmpfile()) {
    frontEnd.canvas = picture;
    shell.Start({.windowCanvas = picture,
                 .now = t0,
                 .cardGlyphs = glyphs,
                 .mode = ShellMode::kReplay,
                 .recording = recording,
                 .unreadable = unreadable,
                 .report = report});
  }
  ~Viewer() {
    if (report != nullptr) std::fclose(report);
  }
  // One call a frame, as the window's timer makes them.
  void NextFrame() {
    now += kFrame;
    shell.Advance(now);
  }
  std::string Report() { return ReadAndClose(std::exchange(report, nullptr)); }

  FakeFrontEnd frontEnd;
  GameShell shell{frontEnd};
  std::FILE* report;
  PaceClock::time_point now = t0;
};

// The overlay's pixels that are not transparent.
int CardPixels(const OverlayPicture& overlay) {
  return static_cast<int>(std::count_if(overlay.pixels.begin(), overlay.pixels.end(),
                                        [](uint32_t pixel) { return (pixel >> 24) != 0; }));
}

}  // namespace

// A recording asking for a 65535 x 65535 window verifies with the picture, the window and the
// verdict card's overlay each held to the largest side, the card inside what the picture
// holds; in play a pause card over a 20000 x 20000 window is held the same.
TEST(ReplaySafetyTest, EveryPictureAndOverlayIsHeldToTheLargestSide) {
  BlockGlyphSource glyphs;
  PixelCanvas picture(0, 0, PixelOrder::kArgb, glyphs);
  {
    Viewer viewer(HugeWindowRecording(), &picture, &glyphs);
    for (int i = 0; i < 8; ++i) viewer.NextFrame();
    ASSERT_EQ(viewer.shell.ShownCard(), Card::kVerdict);
    EXPECT_EQ(viewer.Report().substr(0, 9), "verified\n");
    const OverlayPicture& overlay = viewer.shell.Overlay();
    EXPECT_EQ(std::pair(overlay.width, overlay.height), std::pair(kMaxSide, kMaxSide));
    EXPECT_EQ(std::pair(picture.width(), picture.height()), std::pair(kMaxSide, kMaxSide));
    EXPECT_GT(CardPixels(overlay), 10000);
    EXPECT_EQ(viewer.frontEnd.fitted.back(), std::pair(kMaxSide, kMaxSide));
    EXPECT_EQ(viewer.frontEnd.sizes.back(), std::pair(65535, 65535));  // the canvas holds it
  }
  ScopedTempDir dir;  // play reads and writes the settings file
  FakeFrontEnd frontEnd;
  GameShell shell(frontEnd);
  shell.Size(20000, 20000);
  shell.Start({.now = t0, .cardGlyphs = &glyphs});
  shell.PressFunctionKey(2);
  shell.PressFunctionKey(3);
  ASSERT_EQ(shell.ShownCard(), Card::kPause);
  EXPECT_EQ(std::pair(shell.Overlay().width, shell.Overlay().height),
            std::pair(kMaxSide, kMaxSide));
  EXPECT_GT(CardPixels(shell.Overlay()), 1000);
  shell.End(ProgramEnd::kWindowClosed);
}

// One call's work is bounded by what it costs, never by a count of commands: each runs at most
// one size change to the largest picture, a few to any size, and no more than a frame's worth
// of lines of any kind; Esc ends the replay at once. A recording of two thousand size changes
// then still goes on through every frame, and ends at the first key.
TEST(ReplaySafetyTest, AReplaysWorkPerCallIsBoundedByItsCost) {
  Viewer flood(SizeFloodRecording(kMaxSide, kMaxSide));
  for (int frame = 0; frame < 10; ++frame) {
    flood.frontEnd.sizes.clear();
    flood.NextFrame();
    EXPECT_EQ(flood.frontEnd.sizes.size(), 1u) << "frame " << frame;
  }
  EXPECT_TRUE(flood.shell.Type(0x1B));
  EXPECT_EQ(flood.frontEnd.quits, 1);
  flood.frontEnd.sizes.clear();
  for (int frame = 0; frame < 3; ++frame) flood.NextFrame();
  EXPECT_TRUE(flood.frontEnd.sizes.empty());
  EXPECT_TRUE(flood.Report().starts_with("not verified: the replay was ended before"));

  Viewer small(SizeFloodRecording(640, 480));
  small.NextFrame();
  EXPECT_GE(small.frontEnd.sizes.size(), 2u);
  EXPECT_LE(small.frontEnd.sizes.size(), 5u);  // the start-up size and a few recorded

  // Comments cost their reading: the size change behind 100000 of them waits for later calls.
  std::string comments = "seed 1\nsettings none\n";
  for (int i = 0; i < 100000; ++i) comments += "#\n";
  Viewer commented(Recorded(comments + "size 700 500\ntick\ndump\n"));
  commented.NextFrame();
  EXPECT_EQ(commented.frontEnd.fitted.size(), 1u);  // the start-up size alone
  for (int i = 0; i < 40 && commented.frontEnd.fitted.size() == 1; ++i) commented.NextFrame();
  EXPECT_EQ(commented.frontEnd.fitted.back(), std::pair(700, 500));
}

// A recording that cannot be read shows its verdict over a field of the start-up size, not
// over a picture of no size.
TEST(ReplaySafetyTest, AnUnreadableRecordingShowsItsVerdictOverAField) {
  BlockGlyphSource glyphs;
  PixelCanvas picture(0, 0, PixelOrder::kArgb, glyphs);
  for (const auto& [text, unreadable] : {std::pair<std::string, std::string>{"", "cannot read"},
                                         {"", ""},
                                         {"seed 1\nfly 3\n", ""}}) {
    Viewer viewer(text, &picture, &glyphs, unreadable);
    viewer.NextFrame();
    EXPECT_EQ(viewer.shell.ShownCard(), Card::kVerdict);
    EXPECT_EQ(std::pair(picture.width(), picture.height()), std::pair(640, 480));
    EXPECT_GT(CardPixels(viewer.shell.Overlay()), 10000);
    EXPECT_TRUE(viewer.Report().starts_with("not verified: ")) << text;
  }
}

// The viewer's options: the recording read whole, its flags, and what cannot go together. A
// replay chooses no settings folder, even with --per-user: it keeps no settings.
TEST(OptionsTest, AReplayReadsItsRecordingAndItsFlagsAndRefusesWhatCannotGoTogether) {
  ScopedTempDir dir;
  WriteFile("session.txt", "seed 1\n");
  const Options replay = ParseOptions(
      {"--replay", "session.txt", "--exit-at-end", "--per-user", "--state-line", "-x"});
  EXPECT_TRUE(replay.ok && replay.replay && replay.exitAtEnd && replay.stateLine);
  EXPECT_EQ(replay.replayText, "seed 1\n");
  EXPECT_EQ(replay.notes, std::vector<std::string>{"ignoring the argument '-x'"});
  EXPECT_EQ(SettingsFile().folder, "");
  EXPECT_FALSE(ParseOptions({"--replay"}).ok);
  EXPECT_FALSE(ParseOptions({"--replay", "session.txt", "--record", "out.txt"}).ok);
  EXPECT_FALSE(ParseOptions({"--record"}).ok);
}
