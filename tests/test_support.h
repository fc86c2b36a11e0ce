// Shared test fixtures: a fresh program start, and a canvas and sound output that record.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/records.h"
#include "render/canvas.h"
#include "render/sound.h"

class RecordingSound : public SoundOutput {
 public:
  void Play(SoundEffect effect) override { played.emplace_back(SoundEffectFile(effect)); }
  std::vector<std::string> played;
};

std::ostream& operator<<(std::ostream& out, Colour c);  // "r,g,b"
std::ostream& operator<<(std::ostream& out, RasterOp op);

// Every canvas call as one line of text, e.g. "copy 84 -16 32 32 0 64 src" or
// "text 0 480 8 '  Score:00000/00000 ' fg=255,255,255 bg=0,0,255".
class RecordingCanvas : public Canvas {
 public:
  Canvas* CreateSheet(int width, int height) override {
    Log("sheet", width, height);
    sheet = std::make_unique<RecordingCanvas>();
    return sheet.get();
  }
  void DrawPixelRow(int, int, const Colour*, int) override {}
  void SelectFont(FontId font) override {
    Log("font", font == FontId::kKanaFont ? "kana" : "text");
  }
  void CopyFromSheet(int x, int y, int width, int height, int sheetX, int sheetY, RasterOp op,
                     Colour pattern) override {
    Log("copy", x, y, width, height, sheetX, sheetY, op);
    if (op == RasterOp::kSourceAndNotPattern) calls.back() += Labelled(" pat=", pattern);
  }
  void FillRectangle(int left, int top, int right, int bottom, Colour colour) override {
    Log("fill", left, top, right, bottom, colour);
  }
  void DrawOpaqueText(int x, int y, int align, const char* text, int length, Colour foreground,
                      Colour background) override {
    Log("text", x, y, align, Labelled("'", std::string(text, length)) + '\'',
        Labelled("fg=", foreground), Labelled("bg=", background));
  }
  void DrawUpperHalfCircle(int cx, int cy, int r, Colour pen) override {
    Log("arc", cx, cy, r, pen);
  }
  void Present() override { Log("present"); }
  std::vector<std::string> calls;
  std::unique_ptr<RecordingCanvas> sheet;

 private:
  // Built through a stream: GCC 12 mistakes string concatenation here for overlapping copies.
  template <typename T>
  static std::string Labelled(const char* label, const T& value) {
    std::ostringstream out;
    out << label << value;
    return out.str();
  }
  template <typename... Parts>
  void Log(const char* name, const Parts&... parts) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << parts), ...);
    calls.push_back(line.str());
  }
};

// Puts a missile straight into a slot and keeps liveMissiles / liveMirvs in step.
MissileSlot& PlaceMissile(int32_t slot, double x, double y, double dx, double dy,
                          int32_t state = Falling);

// Starts every test from the state right after start-up with no settings file, as the
// scenario runner starts (demonstration mode, default settings, generator seeded with 1),
// drawing to a recording canvas and playing to a recording sound output.
class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  bool Drew(const std::string& call) const;
  RecordingSound sound;
  RecordingCanvas canvas;
};

// While it lives: no umask, so a new file has the mode the code asked for, and standard input
// closed, so the next file opened takes descriptor 0. Both are given back however the test
// leaves the scope, a failed ASSERT included.
class BareFileDefaults {
 public:
  BareFileDefaults() : umask_(::umask(0)), input_(::dup(0)) { ::close(0); }
  ~BareFileDefaults() {
    ::dup2(input_, 0);
    ::close(input_);
    ::umask(umask_);
  }

 private:
  mode_t umask_;
  int input_;
};

// Runs the test inside a fresh temporary directory, the working directory restored after.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

// A fresh program in an empty directory of its own, where it reads and writes its settings.
class SettingsFileTest : public GameTest {
 protected:
  ScopedTempDir dir;
};

// The settings file the defaults make.
inline constexpr const char* kDefaultSettingsFile = "1\n1\n1\n1\n0 -\n0 -\n0 -\n0 -\n0 -\n";

std::string ReadFile(const std::string& path);
// Everything written to `file` from its start; closes it.
std::string ReadAndClose(std::FILE* file);
void WriteFile(const std::string& path, const std::string& content);
