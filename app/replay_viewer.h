// The replay viewer every front end shows: a recording played through a shell in replay mode,
// at 64 ticks a second times the chosen speed, and the verdict whether it ends where it was
// recorded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/pacing.h"
#include "app/scenario_reader.h"
#include "app/shell.h"
#include "app/state_line.h"
#include "render/sound.h"

// The verdict of a recording that ran to its end where it was recorded.
inline constexpr const char* kVerifiedText = "verified";
inline constexpr const char* kNotVerifiedText = "not verified";
inline constexpr const char* kNotWhereRecordedText =
    "this recording does not end where it was recorded: edited, damaged or made by another "
    "version";

// The largest recording the viewer takes: hours of play; anything larger is not one.
inline constexpr size_t kLongestRecording = size_t{64} << 20;

class ReplayViewer {
 public:
  static constexpr int kFastest = 64;

  // `shell` must not have been started; the viewer starts and drives it. `report` receives
  // the verdict and the state line at the end (standard output in the games).
  ReplayViewer(GameShell& shell, std::FILE* report);
  ~ReplayViewer();

  // Reads the whole recording, then starts the shell with `start` as a replay (no recording,
  // no settings file). A recording that cannot be read, or whose file could not be
  // (`unreadable` says why), ends at once, not verified.
  void Start(const std::string& recording, ShellStart start, const std::string& unreadable = "");

  // Runs what is due by `now`; returns when to call again.
  PaceClock::time_point Advance(PaceClock::time_point now);

  // A typed character: space pauses or resumes, + doubles the speed, - halves it, Esc ends.
  // Nothing typed reaches the game.
  void Type(char32_t character);
  // The right arrow (+1) doubles the speed, the left arrow (-1) halves it.
  void Arrow(int direction);
  // Esc or the window closed: the replay ends where it is, not verified when unfinished.
  void Stop();

  bool Paused() const { return paused_; }
  int Speed() const { return speed_; }
  bool Finished() const { return finished_; }
  bool Stopped() const { return stopped_; }
  bool Verified() const { return verified_; }
  // 0 when verified, 1 when not: the status `--exit-at-end` exits with.
  int ExitStatus() const { return verified_ ? 0 : 1; }

  struct Step;  // one command of the recording, kept after its line is gone

 private:
  bool NextStep(Step* step);
  void RunStep(const Step& step);
  void RunDue(uint64_t ticks);
  void Finish(const std::string& reason);

  GameShell& shell_;
  std::FILE* report_;
  NotedSound sound_;  // the effects, noted for the state line
  // The recording, checked whole at start and then read again a command at a time as it
  // plays: a huge one is held once, as text, never as a list of its commands.
  std::istringstream recording_;
  ScenarioReader reader_{ScenarioCommands::kRecorded};
  std::vector<char> lineBuffer_;
  bool readable_ = false;         // it was checked whole and is being played
  uint64_t ticksLeftInStep_ = 0;  // of a `tick` step begun
  std::string finalLine_;
  std::string lastDump_;
  bool endsWithDump_ = false;
  PaceClock::time_point last_{};
  PaceClock::duration credit_{};  // play time not yet run as ticks
  int speed_ = 1;
  bool paused_ = false;
  bool finished_ = false;
  bool stopped_ = false;
  bool verified_ = false;
};
