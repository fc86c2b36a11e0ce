// A recording played back in a window: read whole, run through the scenario's own commands at
// 64 ticks a second times the chosen speed, and judged at its end: does it end where it was
// recorded?
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/card_text.h"
#include "app/pacing.h"
#include "app/scenario.h"
#include "app/scenario_reader.h"

// The largest recording taken: hours of play; anything larger is not one.
inline constexpr size_t kLongestRecording = size_t{64} << 20;

class Replay {
 public:
  static constexpr int kFastest = 64;

  // The last characters typed that LastKeys keeps.
  static constexpr size_t kKeysShown = 12;

  // `report` receives the verdict at the end (standard output in the games), and the state
  // line the replay ended at when `stateLine`.
  Replay(ScenarioCalls& game, std::FILE* report, bool stateLine = false)
      : game_(game), report_(report), reportStateLine_(stateLine) {}

  // Checks the recording whole before anything runs. A recording that cannot be read, or whose
  // file could not be (`unreadable` says why), ends at once, not verified.
  void Start(std::string recording, const std::string& unreadable, PaceClock::time_point now);

  // Runs what is due by `now`; returns when to call again.
  PaceClock::time_point Advance(PaceClock::time_point now);

  // The player's keys: space pauses or resumes, + doubles the speed and - halves it, Esc
  // ends the replay. True when the key meant one of these.
  bool Type(char32_t character);
  // The right arrow (+1) doubles the speed, the left arrow (-1) halves it.
  void ChangeSpeed(int direction);
  // Ends the replay where it is: not verified when unfinished.
  void Stop();

  bool Finished() const { return finished_; }
  bool Stopped() const { return stopped_; }
  bool Verified() const { return verified_; }
  bool Paused() const { return paused_; }
  int Speed() const { return speed_; }
  // The codes of the last kKeysShown characters the recording typed, oldest first.
  const std::string& LastKeys() const { return lastKeys_; }
  // The card the end shows, once finished.
  VerdictCard Verdict(Language language) const;

 private:
  uint64_t WorkOf(const ScenarioCommand& command);
  uint64_t RunDue(uint64_t ticks);
  void Finish(const std::string& reason);

  ScenarioCalls& game_;
  std::FILE* report_;
  bool reportStateLine_;
  std::string lastKeys_;
  // Checked whole at start, then read again a command at a time as it plays: a huge recording
  // is held once, as text, never as a list of its commands.
  std::string recording_;
  ScenarioLines lines_{std::string_view()};
  ScenarioReader reader_{ScenarioCommands::kRecorded};
  uint64_t ticksLeftInStep_ = 0;  // of a `tick` command begun
  uint64_t pictureWidth_ = 640;   // the picture's size as the last size change left it
  uint64_t pictureHeight_ = 480;
  std::string finalLine_;  // the recording's `# final` state line
  std::string lastDump_;   // the state line its last `dump` gave, when it ended with one
  std::string reason_;     // why it is not verified, when it is not
  PaceClock::time_point last_{};
  PaceClock::duration credit_{};  // play time not yet run as ticks
  int speed_ = 1;
  bool paused_ = false;
  bool finished_ = false;
  bool stopped_ = false;
  bool verified_ = false;
};
