// volarin-sim: runs the scenario in FILE, or on standard input when no FILE is given; with
// --replay, only the commands a recorded session holds, and at most --max-ticks ticks.
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/message_text.h"
#include "app/options.h"
#include "app/store.h"
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

// A count of ticks in decimal, 1 or more, of at most 19 digits; false for anything else.
bool ReadTickCount(std::string_view text, uint64_t* count) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *count);
  return text.size() <= 19 && error == std::errc() && stop == end && *count > 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string information = InformationAsked({argv + 1, argv + argc}, Program::kRunner);
  if (!information.empty()) return std::fputs(information.c_str(), stdout) >= 0 ? 0 : 1;
  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  // Past a file-size limit a write then fails and is reported, instead of killing the run.
  std::signal(SIGXFSZ, SIG_IGN);
  // A reader that leaves early is a state line that cannot be written, reported as such.
  IgnoreBrokenPipes();
  int first = 1;
  const bool replay = argc > first && std::string_view(argv[first]) == "--replay";
  first += replay ? 1 : 0;
  // A recording from anyone is bounded; a scenario of one's own runs as long as it says.
  uint64_t mostTicks = replay ? kReplayMostTicks : kNoTickBound;
  const bool bounded = argc > first && std::string_view(argv[first]) == "--max-ticks";
  if (bounded && (argc == first + 1 || !ReadTickCount(argv[first + 1], &mostTicks))) {
    std::fprintf(stderr, "volarin-sim: --max-ticks takes a count of ticks, 1 or more\n");
    return kScenarioErrorStatus;
  }
  first += bounded ? 2 : 0;
  const ScenarioCommands allowed = replay ? ScenarioCommands::kRecorded : ScenarioCommands::kEvery;
  if (argc > first + 1) {
    std::fprintf(stderr, "usage: volarin-sim [--replay] [--max-ticks N] [FILE]\n");
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
  return RunScenario(lines, stdout, stderr, allowed, mostTicks);
}
