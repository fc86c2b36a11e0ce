// The scenario format's commands as calls of the game: one table, shared by the runner and
// the replay viewer, so a recording means the same to both.
#pragma once

#include <cstdint>
#include <string>

#include "app/scenario_reader.h"

// What the commands do to the game; the shell carries them out as a window's events.
class ScenarioCalls {
 public:
  virtual void Seed(uint32_t seed) = 0;
  virtual void Size(int width, int height) = 0;
  // `count` ticks one after another; an impact effect one of them starts is shown whole.
  virtual void RunTicks(uint64_t count) = 0;
  virtual void TypeCode(uint8_t code) = 0;
  virtual void Command(uint16_t id) = 0;
  // The settings from `text`, or the defaults without one, and what follows from them: the
  // capacity, the menu's marks and the status bar. No settings file is read or written.
  virtual void TakeSettings(const std::string* text) = 0;
  // The state line `dump` prints; the effects it lists start afresh.
  virtual std::string Dump() = 0;

 protected:
  ~ScenarioCalls() = default;
};

// The pictures a scenario may write (the runner's); a recording holds no such command.
class ScenarioPictures {
 public:
  // Empty when the window picture, or the sprite sheet when `sheet`, was written to exactly
  // the bytes of `path`, else why not.
  virtual std::string Picture(const std::string& path, bool sheet) = 0;

 protected:
  ~ScenarioPictures() = default;
};

// Runs one command; empty when it did its work, else why not. A `dump` gives its line in
// `dumped`. `load` and `save` read and write the settings file of the working folder.
std::string RunScenarioCommand(const ScenarioCommand& command, ScenarioCalls& game,
                               ScenarioPictures* pictures, std::string* dumped);
