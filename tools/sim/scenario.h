// The scenario runner: drives the game through the shell from a command stream.
//
// The runner is a front end like the window: it starts a GameShell for a scenario, makes each
// command one call of the shell (the same calls a window makes, and a recording is written
// from), and prints the state of the global records as one JSON line per `dump`. It keeps
// only its picture.
#pragma once

#include <cstdint>
#include <cstdio>

#include "app/scenario_reader.h"

// The exit status after a malformed line or an unreadable command file.
constexpr int kScenarioErrorStatus = 2;

// The exit status after a well-formed command that could not do its work (a picture that
// could not be written).
constexpr int kScenarioFailureStatus = 1;

// The ticks a replay runs at most unless told otherwise: four hours of play, a few seconds of
// work. A recording of more is refused before its ticks run, not worked through for an hour.
constexpr uint64_t kReplayMostTicks = uint64_t{4} * 60 * 60 * 64;
constexpr uint64_t kNoTickBound = UINT64_MAX;

// Starts a shell as the runner starts one (seed 1, no settings file, no window picture), then
// runs every line in order, printing dumps to `out` and messages to `err`. Returns 0, or
// kScenarioErrorStatus at the first malformed or refused line (a `tick` that would take the
// run past `mostTicks` included), or kScenarioFailureStatus at the first command that fails;
// nothing more runs after either.
int RunScenario(ScenarioLines& lines, std::FILE* out, std::FILE* err,
                ScenarioCommands allowed = ScenarioCommands::kEvery,
                uint64_t mostTicks = kNoTickBound);
