// volarin-sim: runs the scenario in FILE, or on standard input when no FILE is given; with
// --replay, only the commands a recorded session holds.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "app/message_text.h"
#include "app/recording_file.h"
#include "tools/sim/scenario.h"

namespace {

// Empty when `file` is open for reading, else why it is not.
std::string OpenCommandFile(const char* path, std::ifstream& file) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return "is a directory";
  errno = 0;
  file.open(path, std::ios::binary);
  if (file.is_open()) return "";
  return errno != 0 ? std::strerror(errno) : "cannot be opened";
}

}  // namespace

int main(int argc, char** argv) {
  static char outputBuffer[1 << 16];
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  std::ios::sync_with_stdio(false);
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
  if (argc == first) return RunScenario(std::cin, stdout, stderr, allowed);
  std::ifstream file;
  const std::string problem = OpenCommandFile(argv[first], file);
  if (!problem.empty()) {
    std::fprintf(stderr, "volarin-sim: %s: %s\n", QuoteForMessage(argv[first]).c_str(),
                 problem.c_str());
    return kScenarioErrorStatus;
  }
  return RunScenario(file, stdout, stderr, allowed);
}
