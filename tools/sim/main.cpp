// volarin-sim: runs the scenario in FILE, or on standard input when no FILE is given; with
// --replay, only the commands a recorded session holds.
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/message_text.h"
#include "app/recording_file.h"
#include "tools/sim/scenario.h"

namespace {

// The command file open for reading, or null with why it is not in `problem`.
std::FILE* OpenCommandFile(const char* path, std::string* problem) {
  struct stat status {};
  if (::stat(path, &status) == 0 && S_ISDIR(status.st_mode)) {
    *problem = "is a directory";
    return nullptr;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) *problem = std::strerror(errno);
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  // Past a file-size limit a write then fails and is reported, instead of killing the run.
  std::signal(SIGXFSZ, SIG_IGN);
  // A reader that leaves early is a state line that cannot be written, reported as such.
  IgnoreBrokenPipes();
  const bool replay = argc > 1 && std::string_view(argv[1]) == "--replay";
  const ScenarioCommands allowed = replay ? ScenarioCommands::kRecorded : ScenarioCommands::kEvery;
  const int first = replay ? 2 : 1;
  if (argc > first + 1) {
    std::fprintf(stderr, "usage: volarin-sim [--replay] [FILE]\n");
    return kScenarioErrorStatus;
  }
  std::string problem;
  std::FILE* file = argc == first ? stdin : OpenCommandFile(argv[first], &problem);
  if (file == nullptr) {
    std::fprintf(stderr, "volarin-sim: %s: %s\n", QuoteForMessage(argv[first]).c_str(),
                 problem.c_str());
    return kScenarioErrorStatus;
  }
  ScenarioLines lines(file);
  return RunScenario(lines, stdout, stderr, allowed);
}
