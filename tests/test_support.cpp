// Shared test fixtures: fresh starts, recording canvas and sound, temporary directories.
#include "test_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/startup.h"
#include "render/handles.h"

std::ostream& operator<<(std::ostream& out, Colour c) {
  return out << int{c.r} << ',' << int{c.g} << ',' << int{c.b};
}

std::ostream& operator<<(std::ostream& out, RasterOp op) {
  const char* const names[] = {"src", "black", "src&~pat"};
  return out << names[static_cast<int>(op)];
}

MissileSlot& PlaceMissile(int32_t slot, double x, double y, double dx, double dy, int32_t state) {
  MissileSlot& m = missileSlots[slot];
  if (m.state == Mirv) gameState.liveMirvs -= 1;
  if (m.state == Falling || m.state >= ExplodingFirst) gameState.liveMissiles -= 1;
  m = MissileSlot{x, y, dx, dy, state};
  if (state == Mirv) gameState.liveMirvs += 1;
  if (state == Falling || state >= ExplodingFirst) gameState.liveMissiles += 1;
  return m;
}

void GameTest::SetUp() {
  ResetAllRecords();
  RunStartUp({.seed = 1, .sound = &sound});
  windowDC = &canvas;
}

bool GameTest::Drew(const std::string& call) const {
  return std::find(canvas.calls.begin(), canvas.calls.end(), call) != canvas.calls.end();
}

// The canvas and sound output die with the test: nothing may keep drawing or playing to them.
void GameTest::TearDown() {
  ResetPlatformHandles();
}

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "volarin-test-XXXXXX").string();
  const char* made = ::mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr);
  path_ = pattern;
  previous_ = std::filesystem::current_path().string();
  std::filesystem::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  return file != nullptr ? ReadAndClose(file) : "";
}

std::string ReadAndClose(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}
