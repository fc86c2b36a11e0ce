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
#include <string_view>

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

std::string_view NextWord(std::string_view& line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return line = {};
  line.remove_prefix(start);
  const size_t end = std::min(line.find_first_of(" \t"), line.size());
  const std::string_view word = line.substr(0, end);
  line.remove_prefix(end);
  return word;
}

// The ticks a line asks for (a count that is not a number ends the run, so it costs nothing),
// or more than the budget for a picture.
uint64_t CostOf(std::string_view line) {
  const std::string_view command = NextWord(line);
  if (command == "png" || command == "sheet") return kMaxTicksPerInput + 1;
  if (command != "tick") return 0;
  const std::string_view count = NextWord(line);
  if (count.empty()) return 1;
  uint64_t ticks = 0;
  for (const char c : count) {
    if (c < '0' || c > '9') return 0;
    ticks = std::min<uint64_t>(ticks * 10 + static_cast<uint64_t>(c - '0'), kMaxTicksPerInput + 1);
  }
  return ticks;
}

bool WithinBudget(std::string_view text) {
  uint64_t total = 0;
  while (!text.empty() && total <= kMaxTicksPerInput) {
    const size_t end = std::min(text.find('\n'), text.size());
    total += CostOf(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
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
  std::istringstream in(text);
  const int status = RunScenario(in, discard, discard);
  if (::fchdir(startDirectory) != 0) std::abort();
  if (status != 0 && status != kScenarioFailureStatus && status != kScenarioErrorStatus) {
    std::abort();
  }
  return 0;
}
