// Writing a session as a scenario the runner replays: the same rules, the same final state.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Each event is written as the runner's command for it as soon as it happens, and flushed,
// so a crash keeps everything played up to it. Consecutive ticks are written as one `tick N`
// line once something else happens, or every second of play.
//
// A recorder that keeps (a game's own recording) holds the same text in memory, so a game can
// be saved after it ended: a few kilobytes a minute of play. One that outgrows kKeptLimit
// (days of play) stops being kept, and then cannot be saved; the file still takes it all.
class SessionRecorder {
 public:
  static constexpr size_t kKeptLimit = 16 << 20;

  // Records into `out` (not owned) unless null, and into memory when `keep`.
  SessionRecorder(std::FILE* out, bool keep) : out_(out), keeping_(keep) {}

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

  // The session up to now as a recording that ends here, with `stateLine` as its final state:
  // it replays standalone to that line. Empty once the session is no longer kept.
  std::string SoFar(const std::string& stateLine) const;

 private:
  void Write(std::string_view text);

  std::FILE* out_;
  std::string kept_;
  bool keeping_;
  bool finished_ = false;
  uint64_t pendingTicks_ = 0;
};
