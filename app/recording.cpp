// The session recording: one runner command per event, written as it happens.
#include "app/recording.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "app/settings_block.h"

namespace {

// A second of play at 64 ticks a second: the most a crash can lose of a long quiet stretch.
constexpr uint64_t kTicksPerLine = 64;

std::string TicksLine(uint64_t ticks) {
  return "tick " + std::to_string(ticks) + "\n";
}

std::string EndLines(const std::string& stateLine) {
  return "dump\n# final " + stateLine + "\n";
}

}  // namespace

// The ticks not yet written go first, as one line. A recording that cannot be written is
// reported once and then given up; the game goes on.
void SessionRecorder::Write(std::string_view text) {
  if (finished_) return;
  std::string lines = pendingTicks_ != 0 ? TicksLine(std::exchange(pendingTicks_, 0)) : "";
  lines += text;
  if (keeping_ && kept_.size() + lines.size() > kKeptLimit) {
    keeping_ = false;
    kept_ = std::string();
  }
  if (keeping_) kept_ += lines;
  if (out_ == nullptr) return;
  errno = 0;
  if (std::fwrite(lines.data(), 1, lines.size(), out_) == lines.size() && std::fflush(out_) == 0) {
    return;
  }
  std::fprintf(stderr, "volarin: the recording could not be written: %s\n",
               errno != 0 ? std::strerror(errno) : "write error");
  out_ = nullptr;
}

void SessionRecorder::Start(uint32_t seed, const std::string* settingsText) {
  Write("seed " + std::to_string(seed) + "\n" + FormatSettingsBlock(settingsText));
}

void SessionRecorder::Tick() {
  if (++pendingTicks_ == kTicksPerLine) Write("");  // only the ticks, as one line
}

void SessionRecorder::Size(int width, int height) {
  Write("size " + std::to_string(width) + " " + std::to_string(height) + "\n");
}

void SessionRecorder::Char(uint8_t code) {
  Write("char " + std::to_string(code) + "\n");
}

void SessionRecorder::Comment(std::string_view text) {
  Write("# " + std::string(text) + "\n");
}

void SessionRecorder::Command(uint16_t id) {
  Write("command " + std::to_string(id) + "\n");
}

void SessionRecorder::Finish(const std::string& stateLine) {
  Write(EndLines(stateLine));
  finished_ = true;
  out_ = nullptr;
}

std::string SessionRecorder::SoFar(const std::string& stateLine) const {
  if (!keeping_ || finished_) return "";
  return kept_ + (pendingTicks_ != 0 ? TicksLine(pendingTicks_) : "") + EndLines(stateLine);
}
