// Fuzzes the scenario runner on arbitrary bytes. Inputs asking for more than a few thousand
// ticks in all, or for a picture (which would start the display system and write files), are
// passed over. `load` and `save` work in a directory of the fuzzer's own, entered only while an
// input runs: the fuzzer's own paths (corpus, dictionary) may be relative.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/settings.h"
#include "tools/sim/scenario.h"

namespace {

constexpr uint64_t kMaxTicksPerInput = 2000;

std::FILE* discard = nullptr;
int scratchDirectory = -1;
int startDirectory = -1;
std::string scratchPath;

void RemoveScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(scratchPath, ignored);
}

// The ticks a line asks for (a count that is not a number ends the run, so it costs nothing),
// or more than the budget for a picture. Words are split at any white space here, which can
// only count more ticks than the runner would run.
uint64_t CostOf(const std::string& line) {
  std::istringstream words(line);
  std::string command, count;
  words >> command >> count;
  if (command == "png" || command == "sheet") return kMaxTicksPerInput + 1;
  if (command != "tick") return 0;
  if (count.empty()) return 1;
  if (count.find_first_not_of("0123456789") != std::string::npos) return 0;
  return count.size() > 9 ? kMaxTicksPerInput + 1 : std::stoull(count);
}

bool WithinBudget(const std::string& text) {
  std::istringstream lines(text);
  uint64_t total = 0;
  for (std::string line; total <= kMaxTicksPerInput && std::getline(lines, line);) {
    total += CostOf(line);
  }
  return total <= kMaxTicksPerInput;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory where there is such a file system: every save waits for the disk.
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
  std::string directory = (parent / "volarin-fuzz-XXXXXX").string();
  if (::mkdtemp(directory.data()) == nullptr) std::abort();
  scratchPath = directory;
  std::atexit(RemoveScratchDirectory);
  scratchDirectory = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  startDirectory = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  discard = std::fopen("/dev/null", "w");
  if (scratchDirectory < 0 || startDirectory < 0 || discard == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!WithinBudget(text)) return 0;
  if (::fchdir(scratchDirectory) != 0) std::abort();
  ::unlink(kSettingsFileName);  // each input starts without a settings file
  ScenarioLines in{std::string_view(text)};
  const int status = RunScenario(in, discard, discard);
  if (::fchdir(startDirectory) != 0) std::abort();
  if (status != 0 && status != kScenarioFailureStatus && status != kScenarioErrorStatus) {
    std::abort();
  }
  return 0;
}
