// Where sound effects are found: the working folder first, then each installed folder.
#include "app/effect_files.h"

#include <filesystem>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// Looked up at every call, so a file put in place while the game runs counts at once; a
// folder bearing the name is no sound.
TEST(EffectFilesTest, WorkingFolderFirstThenEachFolderInTurn) {
  ScopedTempDir dir;
  fs::create_directories("first/miss.wav");
  fs::create_directory("second");
  const std::vector<fs::path> folders{"first", "second"};
  EXPECT_EQ(LocateEffectFile("bingo.wav", folders), fs::path());
  WriteFile("second/bingo.wav", "RIFF");
  EXPECT_EQ(LocateEffectFile("bingo.wav", folders), "second/bingo.wav");
  WriteFile("first/bingo.wav", "RIFF");
  EXPECT_EQ(LocateEffectFile("bingo.wav", folders), "first/bingo.wav");
  WriteFile("bingo.wav", "RIFF");
  EXPECT_EQ(LocateEffectFile("bingo.wav", folders), "bingo.wav");
  fs::create_directory("miss.wav");
  WriteFile("second/miss.wav", "RIFF");
  EXPECT_EQ(LocateEffectFile("miss.wav", folders), "second/miss.wav");
}

}  // namespace
