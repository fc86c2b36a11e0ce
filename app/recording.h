// Writing a session as a scenario the runner replays: the same rules, the same final state.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Each event is written as the runner's command for it as soon as it happens, and flushed,
// so a crash keeps everything played up to it. Consecutive ticks are written as one `tick N`
// line once something else happens, or every second of play.
class SessionRecorder {
 public:
  // Records into `out` (not owned); nullptr records nothing.
  explicit SessionRecorder(std::FILE* out = nullptr) : out_(out) {}

  bool active() const { return out_ != nullptr; }

  // The start: the seed and the settings text start-up read (null when there was no file),
  // quoted whole, so a replay needs no settings file.
  void Start(uint32_t seed, const std::string* settingsText);
  void Tick();
  void Size(int width, int height);
  void Char(uint8_t code);
  void Command(uint16_t id);
  // A line the runner passes over: what happened that the rules never saw.
  void Comment(std::string_view text);
  // The end: `dump`, then "# final " and the state line the runner's dump must print.
  void Finish(const std::string& stateLine);

 private:
  void WritePendingTicks();
  void Write(std::string_view text);
  void Fail();

  std::FILE* out_;
  uint64_t pendingTicks_ = 0;
};
