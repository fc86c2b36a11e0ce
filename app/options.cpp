// The command line, read in one place for every front end.
#include "app/options.h"

#include <algorithm>

#include "app/message_text.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/store.h"
#include "resources/version.h"

namespace {

// Reads the recording `path` names into the options, or why it cannot be read.
void ReadReplay(const std::string& path, Options& options) {
  options.replay = true;
  std::string problem;
  const bool read = ReadRecordingText(path, kLongestRecording, &options.replayText, &problem);
  if (!read) options.replayText.clear();
  options.replayProblem = read ? "" : "cannot read " + QuoteForMessage(path) + ": " + problem;
}

constexpr char kGameHelp[] =
    "Usage: volarin [--per-user] [--record FILE]\n"
    "       volarin --replay FILE [--exit-at-end] [--state-line]\n"
    "Type the falling characters to shoot them down before they reach the ground.\n"
    "\n"
    "  --record FILE   write the session to FILE as a scenario for volarin-sim\n"
    "  --replay FILE   play the recording in FILE and say whether it is verified\n"
    "  --exit-at-end   with --replay: exit at the verdict, 0 verified, 1 not\n"
    "  --state-line    with --replay: print the state line the replay ended at\n"
    "  --per-user      keep the settings in the per-user data folder\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n";

constexpr char kRunnerHelp[] =
    "Usage: volarin-sim [--replay] [--max-ticks N] [FILE]\n"
    "Run a scenario of the game without a window, from FILE or standard input.\n"
    "\n"
    "  --replay        run only the commands a recording holds, at most 921600 ticks\n"
    "  --max-ticks N   run at most N ticks in all\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n";

}  // namespace

std::string InformationAsked(const std::vector<std::string>& arguments, Program program) {
  for (const std::string& argument : arguments) {
    if (argument == "--help") return program == Program::kGame ? kGameHelp : kRunnerHelp;
    if (argument == "--version") {
      const char* name = program == Program::kGame ? "volarin " : "volarin-sim ";
      return std::string(name) + VOLARIN_VERSION + "\n";
    }
  }
  return "";
}

Options ParseOptions(const std::vector<std::string>& arguments) {
  IgnoreBrokenPipes();
  Options options;
  const auto given = [&arguments](const char* option) {
    return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
  };
  // Checked first, so a refused --record has not emptied its file.
  const bool replaying = given("--replay");
  // Only a game keeps settings. Chosen before a recording is opened, so the recording is never
  // the settings file, wherever that is kept.
  if (!replaying) ChooseSettingsFolder(given("--per-user"));
  for (size_t i = 0; i < arguments.size() && options.ok; ++i) {
    if (arguments[i] == "--exit-at-end") {
      options.exitAtEnd = true;
    } else if (arguments[i] == "--state-line") {
      options.stateLine = true;
    } else if (arguments[i] == "--per-user") {
      continue;  // taken before the loop
    } else if (arguments[i] == "--replay" && i + 1 < arguments.size()) {
      ReadReplay(arguments[++i], options);
    } else if (arguments[i] == "--replay") {
      options.notes.emplace_back("--replay needs a file name");
      options.ok = false;
    } else if (arguments[i] != "--record") {
      options.notes.push_back("ignoring the argument '" + arguments[i] + "'");
    } else if (replaying) {
      options.notes.emplace_back("a replay records nothing: --record and --replay together");
      options.ok = false;
    } else if (i + 1 >= arguments.size()) {
      options.notes.emplace_back("--record needs a file name");
      options.ok = false;
    } else {
      std::string problem;
      options.record.reset();
      options.record.reset(OpenRecordingFile(arguments[++i], &problem));
      if (options.record == nullptr) {
        options.notes.push_back("cannot record to " + arguments[i] + ": " + problem);
        options.ok = false;
      }
    }
  }
  return options;
}
