// Where sound effects are found: the working folder first, then each installed folder.
#include "app/effect_files.h"

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Locate(const std::string& name) {
  return LocateEffectFile<std::string>(
      name, {"", "first", "second"}, "/",
      [](const std::string& path) { return fs::is_regular_file(path); });
}

// Looked up at every call, so a file put in place while the game runs counts at once; a
// folder bearing the name is no sound, and an empty folder name is not the root.
TEST(EffectFilesTest, WorkingFolderFirstThenEachFolderInTurn) {
  ScopedTempDir dir;
  fs::create_directories("first/miss.wav");
  fs::create_directory("second");
  EXPECT_EQ(Locate("bingo.wav"), "");
  WriteFile("second/bingo.wav", "RIFF");
  EXPECT_EQ(Locate("bingo.wav"), "second/bingo.wav");
  WriteFile("first/bingo.wav", "RIFF");
  EXPECT_EQ(Locate("bingo.wav"), "first/bingo.wav");
  WriteFile("bingo.wav", "RIFF");
  EXPECT_EQ(Locate("bingo.wav"), "bingo.wav");
  fs::create_directory("miss.wav");
  WriteFile("second/miss.wav", "RIFF");
  EXPECT_EQ(Locate("miss.wav"), "second/miss.wav");
  EXPECT_EQ(Locate("proc/self/status"), "") << "looked in the root";
}

}  // namespace
