// The command line every front end takes: `[--per-user] [--record FILE]`, or
// `--replay FILE [--exit-at-end] [--state-line]`; and `--help`, `--version` for every program.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct Options {
  // The session is written here as a scenario; null when no recording was asked for.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> record{nullptr, std::fclose};
  // `--replay FILE`: the recording to show instead of a game, read whole at start; when it
  // could not be read, why (the viewer then reports it as not verified).
  bool replay = false;
  std::string replayText;
  std::string replayProblem;
  // `--exit-at-end`: the viewer ends the program with its verdict as the exit status.
  bool exitAtEnd = false;
  // `--state-line`: the viewer prints the state line it ended at after its verdict.
  bool stateLine = false;
  // What to tell on the error stream, one line each: arguments passed over, and the reason
  // the program cannot start.
  std::vector<std::string> notes;
  // False when the recording asked for cannot be made: the program then does not start.
  bool ok = true;
};

// Reads the arguments after the program's name (UTF-8) and opens the recording they ask for;
// the last `--record` wins, and reads the recording `--replay` names (the last one). A game (no
// `--replay`) first chooses the folder of its settings file (ChooseSettingsFolder), the
// player's own data folder with `--per-user` (as the desktop menu and the Start menu start the
// game). A replay
// records nothing: `--record` with it is refused. Anything else is passed over with a note, as the
// game has always ignored its command line. A pipe the recording goes to that closes no longer ends
// the program (IgnoreBrokenPipes).
Options ParseOptions(const std::vector<std::string>& arguments);

// The programs that answer `--help` and `--version`.
enum class Program { kGame, kRunner };

// What `--help` or `--version` (the first of them, anywhere on the command line) asks the
// program to print on standard output before it does anything else, then exit with status 0:
// no window, no display and no file touched. Empty when neither is asked for.
std::string InformationAsked(const std::vector<std::string>& arguments, Program program);

// The exit status of a program whose command line could not be followed.
constexpr int kBadOptionsStatus = 2;
