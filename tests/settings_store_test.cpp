// Tests of the settings file against the file system around it: things that are not regular
// files, other users' files, leftovers of killed saves, a file-size limit, and recordings.
#include "app/settings_store.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "app/kept_game.h"
#include "app/recording_file.h"
#include "app/settings.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kOldFile = "3\n2\n0\n2\n10 a\n20 b\n30 c\n40 d\n50 e\n";
// The defaults saved over it: the options are the saving copy's, the higher bests the file's.
constexpr const char* kSavedOverOldFile = "1\n1\n1\n1\n10 a\n20 b\n30 c\n40 d\n50 e\n";
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// Every name but the save lock's, which stays once made.
std::set<std::string> FilesIn(const std::string& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    const std::string name = entry.path().filename();
    if (!name.ends_with(".volarin-lock")) names.insert(name);
  }
  return names;
}

// Runs `body` in a child process; whether it ended of itself with status 0 within 10 s.
bool RunsCleanlyInChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(10);
    body();
    ::_exit(0);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

using SettingsStoreTest = SettingsFileTest;

TEST_F(SettingsStoreTest, OnlyARegularFileIsReadOrReplaced) {
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  fs::create_symlink("fifo", kSettingsFileName);
  EXPECT_TRUE(RunsCleanlyInChild([] {
    LoadSettings();
    WriteSettingsFile();
  })) << "load or save hung on a FIFO";
  EXPECT_TRUE(fs::is_fifo("fifo"));
  EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
  fs::remove(kSettingsFileName);
  fs::create_directory(kSettingsFileName);
  WriteSettingsFile();
  EXPECT_TRUE(fs::is_empty(kSettingsFileName));
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"fifo", kSettingsFileName}));

  if (::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  fs::remove(kSettingsFileName);
  if (::mknod("device", S_IFCHR | 0666, ::makedev(1, 3)) != 0) GTEST_SKIP() << "mknod refused";
  fs::create_symlink("device", kSettingsFileName);
  LoadSettings();
  WriteSettingsFile();
  EXPECT_TRUE(fs::is_character_file("device")) << "the device node was replaced";
  EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"device", "fifo", kSettingsFileName}));
}

TEST_F(SettingsStoreTest, ASaveThroughALinkReplacesTheFileItPointsTo) {
  fs::create_directory("data");
  WriteFile("data/real.ini", kOldFile);
  fs::create_symlink("data/real.ini", kSettingsFileName);
  LoadSettings();
  WriteSettingsFile();  // through the link alone, then with a second name beside the file
  ASSERT_EQ(::link("data/real.ini", "data/hard.ini"), 0);
  gameState.level = 4;
  WriteSettingsFile();
  const std::string saved = "3\n4\n0\n2\n10 a\n20 b\n30 c\n40 d\n50 e\n";
  EXPECT_TRUE(fs::is_symlink(kSettingsFileName));
  EXPECT_EQ(ReadFile("data/real.ini"), saved);
  EXPECT_EQ(ReadFile("data/hard.ini"), saved) << "the second name lost the file";
  EXPECT_EQ(FilesIn("data"), (std::set<std::string>{"hard.ini", "real.ini"}));
}

// The mode is kept as in every replacement (see the settings tests).
TEST_F(SettingsStoreTest, RootSavingAnotherUsersFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  WriteFile(kSettingsFileName, kOldFile);
  ASSERT_EQ(::chown(kSettingsFileName, kNobody, kNoGroup), 0);
  WriteSettingsFile();
  struct stat status {};
  ASSERT_EQ(::stat(kSettingsFileName, &status), 0);
  EXPECT_EQ(status.st_uid, kNobody);
  EXPECT_EQ(status.st_gid, kNoGroup);
  EXPECT_EQ(ReadFile(kSettingsFileName), kSavedOverOldFile);
}

// A user who may write someone else's file cannot give a new file its owner: the file is
// written where it is.
TEST_F(SettingsStoreTest, AWritableFileOfAnotherUserIsRewrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  WriteFile(kSettingsFileName, kOldFile);
  ASSERT_EQ(::chown(kSettingsFileName, 0, kNoGroup), 0);
  ASSERT_EQ(::chmod(kSettingsFileName, 0664), 0);
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  ASSERT_TRUE(RunsCleanlyInChild([] {
    if (::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    WriteSettingsFile();
  }));
  struct stat after {};
  ASSERT_EQ(::stat(kSettingsFileName, &after), 0);
  EXPECT_EQ(after.st_uid, 0u);
  EXPECT_EQ(ReadFile(kSettingsFileName), kSavedOverOldFile);
  EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{kSettingsFileName});
}

// Only names of the exact temporary form go, and not one whose writer still holds it; names
// a player may have chosen, and those of the older form, stay.
TEST_F(SettingsStoreTest, ASaveRemovesOnlyTheTemporaryFilesKilledSavesLeft) {
  const std::set<std::string> kept{".VOLARIN.INI.volarin-tmp-held00",
                                   ".VOLARIN.INI.volarin-tmp-abc",
                                   ".VOLARIN.INI.volarin-tmp-a-b.c0",
                                   "VOLARIN.INI.a1B2c3",
                                   "VOLARIN.INI.backup",
                                   "VOLARIN.INI.before-update.tmp"};
  for (const std::string& name : kept) WriteFile(name, "x");
  WriteFile(".VOLARIN.INI.volarin-tmp-a1B2c3", "left by a killed save");
  const int held = ::open(".VOLARIN.INI.volarin-tmp-held00", O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const BareFileDefaults bare;  // from here: no umask, and descriptor 0 free
  WriteSettingsFile();
  ::close(held);
  std::set<std::string> expected = kept;
  expected.insert(kSettingsFileName);
  EXPECT_EQ(FilesIn(dir.path()), expected);
  EXPECT_EQ(fs::status(kSettingsFileName).permissions(), fs::perms(0666));  // a new file
}

TEST_F(SettingsStoreTest, AfterSavesKilledMidWayOneCleanSaveLeavesOnlyTheFile) {
  for (int round = 0; round < 40; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (;;) WriteSettingsFile();
    }
    ::usleep(static_cast<useconds_t>(500 + round * 100));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  WriteSettingsFile();
  EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{kSettingsFileName});
  EXPECT_EQ(ReadFile(kSettingsFileName), kDefaultSettingsFile);
}

// The limit is smaller than the new file: the save fails, and the program goes on.
TEST_F(SettingsStoreTest, AFileSizeLimitFailsTheSaveWithoutKillingTheProgram) {
  WriteFile(kSettingsFileName, "1");
  EXPECT_TRUE(RunsCleanlyInChild([] {
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    WriteSettingsFile();
    struct sigaction now {};
    ::sigaction(SIGXFSZ, nullptr, &now);
    if (now.sa_handler != SIG_DFL) ::_exit(4);  // the program's own choice is given back
  })) << "killed by the limit, or its signal handling not given back";
  EXPECT_EQ(ReadFile(kSettingsFileName), "1");
  EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{kSettingsFileName});
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
  EXPECT_TRUE(ReadRecordingText("new.txt", 1, &text, &problem));
  EXPECT_EQ(text, "a");
}

}  // namespace
