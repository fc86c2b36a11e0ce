// volarin-sim: runs the scenario in FILE, or on standard input when no FILE is given.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/sim/message_text.h"
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
  if (argc > 2) {
    std::fprintf(stderr, "usage: volarin-sim [FILE]\n");
    return kScenarioErrorStatus;
  }
  if (argc == 1) return RunScenario(std::cin, stdout, stderr);
  std::ifstream file;
  const std::string problem = OpenCommandFile(argv[1], file);
  if (!problem.empty()) {
    std::fprintf(stderr, "volarin-sim: %s: %s\n", QuoteForMessage(argv[1]).c_str(),
                 problem.c_str());
    return kScenarioErrorStatus;
  }
  return RunScenario(file, stdout, stderr);
}
