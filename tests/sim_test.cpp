// The scenario runner: the starting state line, strict parsing, and what a run counts.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "test_support.h"
#include "tools/sim/scenario.h"

#if VOLARIN_PICTURES
#include <QImage>

#include "frontend/qt/image_canvas.h"
#endif

namespace {

struct SimRun {
  int status;
  std::string out;
  std::string err;
};

SimRun RunInProcess(const std::string& commands) {
  std::istringstream in(commands);
  char* outText = nullptr;
  char* errText = nullptr;
  size_t outSize = 0;
  size_t errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  SimRun run{RunScenario(in, out, err), "", ""};
  std::fclose(out);
  std::fclose(err);
  run.out.assign(outText, outSize);
  run.err.assign(errText, errSize);
  std::free(outText);
  std::free(errText);
  return run;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST(SimTest, StartsFromTheProgramStartState) {
  const SimRun run = RunInProcess("dump\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "{\"tick\":0,\"rng\":1,\"score\":0,\"misses\":0,\"flushesLeft\":3,\"level\":1,"
            "\"liveMissiles\":0,\"liveMirvs\":0,\"missileCapacity\":26,\"gameOver\":1,\"paused\":0,"
            "\"quit\":0,\"soundOn\":1,\"mirvOn\":1,\"modeMask\":1,\"best\":[0,0,0,0,0],"
            "\"field\":[0,0,640,448,448,160,320,480],\"missiles\":[],\"interceptors\":[],"
            "\"sounds\":[],\"menu\":[[40007,1,0],[40008,0,0],[40009,0,0],[40010,0,0],[40011,0,0],"
            "[40014,0,0],[40015,0,0],[40016,0,1],[40018,1,0],[40020,0,1],[40021,1,0],[40022,1,0],"
            "[40023,0,0],[40024,0,0],[40025,0,0],[40026,0,0]]}\n");
}

TEST(SimTest, MalformedLineStopsTheRunWithItsNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"jump 3", "unknown command 'jump'"},
      {"char", "char: missing number"},
      {"char 256", "char: number out of range"},
      {"char 0x100", "char: number out of range"},
      {"command 65536", "command: number out of range"},
      {"tick 5 junk", "tick: unexpected 'junk'"},
      {"tick -1", "tick: not a number '-1'"},
      {"size 640", "size: missing number"},
      {"seed 4294967296", "seed: number out of range"},
      {"seed 0x10", "seed: not a number '0x10'"},
      {"png", "png: missing path"},
      {"dump now", "dump: unexpected 'now'"}};
  for (const auto& [line, problem] : cases) {
    SCOPED_TRACE(line);
    const SimRun run = RunInProcess("tick 2\n\ndump\n" + std::string(line) + "\ndump\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "volarin-sim: line 4: " + std::string(problem) + "\n");
    EXPECT_TRUE(run.out.starts_with("{\"tick\":2,")) << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "only the dump before the line";
  }
}

// Both spellings of "A" are a key for slot 0, which is not falling: two misses.
TEST(SimTest, AcceptsCommentsBlanksCarriageReturnsAndHexCharacters) {
  const SimRun run = RunInProcess("# typing\n\n   \t\n  char 0x41 \r\nchar\t65\r\n\tdump\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "\"misses\":2,")) << run.out;
}

// Seed 4000000000 spawns nothing on its first tick (checked by hand): 134 spawn draws.
TEST(SimTest, OneQuietTickDrawsOnceForEverySlot) {
  const SimRun run = RunInProcess("seed 4000000000\ntick\ndump\n");
  EXPECT_TRUE(Contains(run.out, "{\"tick\":1,\"rng\":538922462,")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"missiles\":[],")) << run.out;
}

TEST(SimTest, KeepsGoingAfterExitAndCountsPausedTicks) {
  const SimRun run = RunInProcess("command 40014\ncommand 40016\ntick 3\ndump\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Contains(run.out, "{\"tick\":3,")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"paused\":1,\"quit\":1,")) << run.out;
}

TEST(SimTest, ReportsSoundsPlayedSinceThePreviousDumpOnly) {
  const SimRun run = RunInProcess("command 40015\ndump\ndump\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Contains(run.out, "\"sounds\":[\"start.wav\"]")) << run.out;
  EXPECT_TRUE(Contains(run.out.substr(run.out.find('\n')), "\"sounds\":[]")) << run.out;
}

#if VOLARIN_PICTURES
// The picture takes the client size of the last size message, even one sent before it existed;
// that it holds only part of a larger window is said once.
TEST(SimTest, WritesTheWindowPictureAndTheSheetAsPng) {
  ScopedTempDir dir;
  const SimRun run = RunInProcess(
      "size 320 200\ntick 40\npng a.png\nsize 20000 10\npng b.png\n"
      "sheet s.png\npng b.png\ndump\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "volarin-sim: line 5: png: the window is 20000 x 10; the picture holds its top left "
            "8192 x 10\n");
  EXPECT_EQ(QImage("a.png").size(), QSize(320, 200));
  EXPECT_EQ(QImage("b.png").size(), QSize(ImageCanvas::kMaxSide, 10));
  EXPECT_EQ(QImage("s.png").size(), QSize(512, 512));
  EXPECT_TRUE(Contains(run.out, "\"field\":[0,0,20000,-22,"));
}

TEST(SimTest, APictureThatCannotBeWrittenStopsTheRun) {
  ScopedTempDir dir;
  SimRun run = RunInProcess("png /nonexistent/a.png\ndump\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volarin-sim: line 1: png: cannot write '/nonexistent/a.png': No such file or "
            "directory\n");
  EXPECT_EQ(run.out, "");
  run = RunInProcess("size 0 100\nsheet s.png\npng a.png\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "line 3: png: the picture is empty")) << run.err;
}

// Until a picture is asked for, the runner touches neither the display system nor the fonts:
// with the font configuration missing, only a run that draws has anything to complain about.
TEST(SimTest, RunsWithoutQtUntilAPictureIsAskedFor) {
  ScopedTempDir dir;
  const std::string sim =
      "FONTCONFIG_FILE=/nonexistent " VOLARIN_SIM_PATH " >/dev/null 2>err <<'EOF'\n";
  EXPECT_EQ(std::system((sim + "tick 100\ndump\nEOF\n").c_str()), 0);
  EXPECT_EQ(ReadFile("err"), "");
  EXPECT_EQ(std::system((sim + "png a.png\nEOF\n").c_str()), 0);
  EXPECT_NE(ReadFile("err"), "");
}

#else
TEST(SimTest, PicturesAreRefusedInABuildWithoutThem) {
  const SimRun run = RunInProcess("dump\npng a.png\ndump\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volarin-sim: line 2: png: this runner was built without pictures\n");
}
#endif

TEST(SimTest, ProgramRunsTheDemoAndRejectsAMissingFile) {
  EXPECT_EQ(WEXITSTATUS(std::system(VOLARIN_SIM_PATH " /nonexistent/v.txt 2>/dev/null")), 2);
  std::FILE* pipe = ::popen(VOLARIN_SIM_PATH " " VOLARIN_SOURCE_DIR "/tools/sim/demo.txt", "r");
  ASSERT_NE(pipe, nullptr);
  int lines = 0;
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
  EXPECT_GE(lines, 40);
  EXPECT_LE(lines, 80);
}

#if VOLARIN_PICTURES
// With neither stand-in face installed the glyphs come from whatever serif face there is.
TEST(SimTest, DrawsGlyphsEvenWithoutTheStandInFaces) {
  const char* onlyDejaVu = "/usr/share/fonts/truetype/dejavu";
  if (!std::filesystem::is_directory(onlyDejaVu)) GTEST_SKIP() << "no DejaVu fonts";
  ScopedTempDir dir;
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
#endif

TEST(SimTest, EscapesAndShortensTheWordsItEchoes) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("ju\0mp\rx", 7), "unknown command 'ju\\x00mp\\x0dx'"},
      {"tick 1 \xff\xfe\\\xc3\xa9", "tick: unexpected '\\xff\\xfe\\\\\xc3\xa9'"},
      {"char \xe2\x80\xae"
       "1",
       "char: not a number '\\u202e1'"},
      {"seed \xc0\xaf\xfc\x80\x80\x80\xc2\x85",
       "seed: not a number '\\xc0\\xaf\\xfc\\x80\\x80\\x80\\u0085'"},
      {"jump" + std::string(50 << 20, 'a'),
       "unknown command 'jump" + std::string(56, 'a') + "\xe2\x80\xa6'"},
  };
  for (const auto& [line, problem] : cases) {
    const SimRun run = RunInProcess(line + "\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "volarin-sim: line 1: " + problem + "\n");
  }
}

#if VOLARIN_PICTURES
TEST(SimTest, NamesAPictureWithTheExactBytesOfItsPath) {
  ScopedTempDir dir;
  SimRun run = RunInProcess("png \xff\xfe.png\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists("\xff\xfe.png"));
  run = RunInProcess(std::string("png a\0b.png\n", 12));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volarin-sim: line 1: png: a file name cannot hold a NUL byte: 'a\\x00b.png'\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);
}
#endif

// The state line must reach a reader while the runner is busy with the next command.
TEST(SimTest, EachStateLineIsOutBeforeALongCommandRuns) {
  int input[2], output[2];
  ASSERT_EQ(::pipe2(input, O_CLOEXEC) | ::pipe2(output, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  char* const argv[] = {const_cast<char*>(VOLARIN_SIM_PATH), nullptr};
  pid_t child = 0;
  ASSERT_EQ(::posix_spawn(&child, VOLARIN_SIM_PATH, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(input[0]);
  ::close(output[1]);
  const std::string commands = "dump\ntick 4294967295\n";
  EXPECT_EQ(::write(input[1], commands.data(), commands.size()), ssize_t(commands.size()));
  ::close(input[1]);
  std::string out;
  pollfd ready{output[0], POLLIN, 0};
  char buffer[4096];
  while (out.find('\n') == std::string::npos && ::poll(&ready, 1, 20000) == 1) {
    const ssize_t n = ::read(output[0], buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(output[0]);
  EXPECT_TRUE(out.starts_with("{\"tick\":0,") && out.ends_with("}\n")) << out;
}

// A full device and a file-size limit both stop the run with status 1 and say why.
TEST(SimTest, OutputThatCannotBeWrittenFailsTheRun) {
  ScopedTempDir dir;
  std::string dumps;
  for (int i = 0; i < 300; ++i) dumps += "dump\n";
  WriteFile("commands", dumps);
  const std::string sim = VOLARIN_SIM_PATH " commands 2>err";
  int status = std::system((sim + " >/dev/full").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadFile("err"),
            "volarin-sim: line 1: dump: cannot write the state line: No space left on device\n");
  status = std::system(("ulimit -f 8; " + sim + " >out").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(Contains(ReadFile("err"), ": dump: cannot write the state line: File too large\n"))
      << ReadFile("err");
}
