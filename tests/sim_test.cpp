// The scenario runner as a program: its fonts, its output while it is busy, and how it fails.
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "test_support.h"
#include "tools/sim/scenario.h"

#if VOLARIN_PICTURES
#include <QImage>
#endif

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

#if VOLARIN_PICTURES
// Until a picture is asked for, the runner touches neither the display system nor the fonts:
// with the font configuration missing, only a run that draws has anything to complain about.
TEST(SimTest, TouchesTheFontsOnlyForPicturesAndDrawsWithAnySerifFace) {
  ScopedTempDir dir;
  const std::string sim =
      "FONTCONFIG_FILE=/nonexistent " VOLARIN_SIM_PATH " >/dev/null 2>err <<'EOF'\n";
  EXPECT_EQ(std::system((sim + "tick 100\ndump\nEOF\n").c_str()), 0);
  EXPECT_EQ(ReadFile("err"), "");
  EXPECT_EQ(std::system((sim + "png a.png\nEOF\n").c_str()), 0);
  EXPECT_NE(ReadFile("err"), "");

  // With neither stand-in face installed the glyphs come from whatever serif face there is.
  const char* onlyDejaVu = "/usr/share/fonts/truetype/dejavu";
  if (!std::filesystem::is_directory(onlyDejaVu)) GTEST_SKIP() << "no DejaVu fonts";
  WriteFile("fonts.conf", std::string("<fontconfig><dir>") + onlyDejaVu + "</dir><cachedir>" +
                              dir.path() + "/cache</cachedir></fontconfig>\n");
  const std::string command = "FONTCONFIG_FILE=" + dir.path() +
                              "/fonts.conf " VOLARIN_SIM_PATH
                              " >/dev/null 2>&1 <<'EOF'\nsheet s.png\nEOF\n";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const QImage sheet("s.png");
  int yellow = 0;
  for (int y = 64; y < 96; ++y)
    for (int x = 0; x < 32; ++x) yellow += sheet.pixel(x, y) == 0xFFFFFF00 ? 1 : 0;
  EXPECT_GT(yellow, 40);  // the "A" of cell 32
}

#else
TEST(SimTest, PicturesAreRefusedInABuildWithoutThem) {
  ScenarioLines in(std::string_view("dump\npng a.png\ndump\n"));
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(RunScenario(in, out, err), 1);
  ReadAndClose(out);
  EXPECT_EQ(ReadAndClose(err),
            "volarin-sim: line 2: png: this runner was built without pictures\n");
}
#endif

// The state line must reach a reader while the runner is busy with the next command; the
// shell prints the runner's process number first, so the test can stop it.
TEST(SimTest, EachStateLineIsOutBeforeALongCommandRuns) {
  std::FILE* pipe = ::popen(
      "printf 'dump\\ntick 4294967295\\n' | timeout 20 " VOLARIN_SIM_PATH " & echo $!; wait", "r");
  ASSERT_NE(pipe, nullptr);
  char first[4096] = "", line[4096] = "";
  EXPECT_NE(std::fgets(first, sizeof first, pipe), nullptr);
  EXPECT_NE(std::fgets(line, sizeof line, pipe), nullptr);
  if (first[0] == '{') std::swap(first, line);  // the state line came before the number
  // `timeout` leads a process group of its own with the runner in it. Signalled alone, it can
  // be hit before it has noted its child and exit without passing the signal on, leaving the
  // runner to tick for hours; the group takes the signal whatever the timing.
  if (const int pid = std::atoi(first); pid > 0) ::kill(-pid, SIGTERM);
  ::pclose(pipe);
  const std::string state = line;
  EXPECT_TRUE(state.starts_with("{\"tick\":0,") && state.ends_with("}\n")) << state;
}

// The demonstration file runs; a missing file, a folder, unreadable input or a second file stops
// the run with status 2, and a full device or a file-size limit (for a state line or, where the
// runner draws, a picture) or a settings file that cannot be written with status 1, each saying
// why.
TEST(SimTest, ProgramRunsTheDemoAndFailsWhereItCannotReadOrWrite) {
  ScopedTempDir dir;
  const std::string sim = VOLARIN_SIM_PATH " " VOLARIN_SOURCE_DIR "/tools/sim/demo.txt 2>err";
  ASSERT_EQ(std::system((sim + " >out").c_str()), 0);
  const std::string out = ReadFile("out");
  const auto lines = std::count(out.begin(), out.end(), '\n');
  EXPECT_TRUE(lines >= 40 && lines <= 80) << lines;
  const auto failsSaying = [&](const std::string& command, int status, const std::string& problem) {
    EXPECT_EQ(WEXITSTATUS(std::system((command + " 2>err").c_str())), status);
    const std::string err = ReadFile("err");
    EXPECT_TRUE(Contains(err, problem + "\n")) << err;
  };
  const std::string line = ": dump: cannot write the state line: ";
  failsSaying(sim + " >/dev/full", 1, line + "No space left on device");
  failsSaying("ulimit -f 8; " + sim + " >out", 1, line + "File too large");
#if VOLARIN_PICTURES
  failsSaying("ulimit -f 1; echo sheet s | " VOLARIN_SIM_PATH, 1, "'s': File too large");
#endif
  failsSaying(VOLARIN_SIM_PATH " '/none/v w'", 2,
              "volarin-sim: '/none/v w': No such file or directory");
  failsSaying(VOLARIN_SIM_PATH " --replay /", 2, "volarin-sim: '/': is a directory");
  failsSaying(VOLARIN_SIM_PATH " </", 2, "volarin-sim: the commands could not be read");
  failsSaying(VOLARIN_SIM_PATH " a b", 2, "usage: volarin-sim [--replay] [--max-ticks N] [FILE]");
  failsSaying("mkdir VOLARIN.INI; echo save | " VOLARIN_SIM_PATH, 1,
              "volarin-sim: line 1: save: cannot write the settings file VOLARIN.INI");
  failsSaying(
      "echo save | " VOLARIN_SIM_PATH " --replay", 2,
      "line 1: save: a replay runs only the commands of a recording; this one writes a file");
}
