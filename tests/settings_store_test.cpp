// Tests of the store against the file system around it: a file-size limit, a folder removed
// while the game runs, and recordings (tests/store/file_policy_test.sh has the rest).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/kept_game.h"
#include "app/settings.h"
#include "app/store.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// Every name but the save lock's, which stays once made.
std::set<std::string> FilesIn(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    const std::string name = entry.path().filename();
    if (!name.ends_with(".volarin-lock")) names.insert(name);
  }
  return names;
}

using SettingsStoreTest = SettingsFileTest;

// The limit is smaller than the new file: the save fails, whether it replaces the file or
// writes it where it is (it has a second name), the old content stays, and the program goes on
// (SIGXFSZ would end it, were the signal not ignored while writing).
TEST_F(SettingsStoreTest, AFileSizeLimitFailsTheSaveAndKeepsTheOldFile) {
  WriteFile(kSettingsFileName, "1");
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const rlimit limit{8, before.rlim_max};
  for (const bool linked : {false, true}) {
    ASSERT_TRUE(!linked || ::link(kSettingsFileName, "other.ini") == 0);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const bool saved = WriteSettingsFile();
    ::setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(kSettingsFileName), "1") << (linked ? "written in place" : "replaced");
  }
  struct sigaction now {};
  ::sigaction(SIGXFSZ, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);  // the program's own choice is given back
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"other.ini", kSettingsFileName}));
}

// Start-up reads the settings in the folder the game started in; once that folder is removed,
// what cannot be kept there is still said with its full path.
TEST_F(SettingsStoreTest, AFolderRemovedWhileTheGameRunsIsStillNamed) {
  fs::create_directory("gone");
  fs::current_path("gone");
  const std::string gone = fs::current_path().string() + "/";
  std::string text;
  ReadSettingsText(&text);
  fs::remove("../gone");
  EXPECT_EQ(SettingsLocation(), gone + kSettingsFileName);
  const KeptGame lost = KeepGame("20260101-000000", "seed 1\n");
  EXPECT_EQ(lost.where, gone + "volarin-20260101-000000.txt");
  EXPECT_EQ(lost.problem, "No such file or directory");
}

// A recording empties the file it is given, made blocking for a slow reader, but never goes into
// the settings file (one it made is removed); it is read back only from a regular file within
// the limit.
TEST_F(SettingsStoreTest, ARecordingTakesAnyFileButTheSettingsAndIsReadOnlyFromAFile) {
  std::string problem, text = "left from before";
  WriteFile("big.txt", std::string(2 << 20, 'x'));
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  // The page map is said to hold nothing, and holds more than the limit; the memory file
  // cannot be read from its start.
  for (const auto& [path, why] : {std::pair{"none", "No such file or directory"},
                                  {".", "it is a folder"},
                                  {"fifo", "not a regular file"},
                                  {"big.txt", "larger than 1 MiB: not a recording"},
                                  {"/proc/self/pagemap", "larger than 1 MiB: not a recording"},
                                  {"/proc/self/mem", "Input/output error"}}) {
    EXPECT_FALSE(ReadRecordingText(path, 3 << 19, &text, &problem));
    EXPECT_EQ(problem, why);
  }
  EXPECT_EQ(OpenRecordingFile("fifo", &problem), nullptr);
  EXPECT_EQ(problem, "no program is reading that pipe");
  EXPECT_EQ(OpenRecordingFile(kSettingsFileName, &problem), nullptr);
  EXPECT_EQ(problem, "it is the settings file VOLARIN.INI, which the recording would wipe");
  EXPECT_FALSE(fs::exists(kSettingsFileName));
  WriteFile(kSettingsFileName, "");  // an empty settings file of the player's stays
  EXPECT_EQ(OpenRecordingFile(kSettingsFileName, &problem), nullptr);
  EXPECT_TRUE(fs::exists(kSettingsFileName));
  const BareFileDefaults bare;  // from here: no umask, and descriptor 0 free
  std::FILE* file = OpenRecordingFile("new.txt", &problem);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(fs::status("new.txt").permissions(), fs::perms(0666));
  EXPECT_EQ(::fcntl(::fileno(file), F_GETFL) & O_NONBLOCK, 0);
  std::fputs("a", file);
  std::fclose(file);
  std::fclose(OpenRecordingFile("big.txt", &problem));
  EXPECT_EQ(fs::file_size("big.txt"), 0u);
  text = "left from before";
  EXPECT_TRUE(ReadRecordingText("new.txt", 1, &text, &problem));
  EXPECT_EQ(text, "a");
}

}  // namespace
