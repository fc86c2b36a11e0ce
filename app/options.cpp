// The command line, read in one place for every front end.
#include "app/options.h"

#include <algorithm>

#include "app/message_text.h"
#include "app/recording_file.h"
#include "app/replay.h"

namespace {

// One line for the error stream: `text`, then `subject`, then `end`.
std::string Note(const char* text, const std::string& subject, const char* end) {
  return std::string(text).append(subject).append(end);
}

// Reads the recording `path` names into the options, or why it cannot be read.
void ReadReplay(const std::string& path, Options& options) {
  options.replay = true;
  std::string problem;
  if (!ReadRecordingText(path, kLongestRecording, &options.replayText, &problem)) {
    options.replayText.clear();
    options.replayProblem = "cannot read " + QuoteForMessage(path) + ": " + problem;
  } else {
    options.replayProblem.clear();
  }
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  IgnoreBrokenPipes();
  Options options;
  // Checked first, so a refused --record has not emptied its file.
  const bool replaying =
      std::find(arguments.begin(), arguments.end(), "--replay") != arguments.end();
  for (size_t i = 0; i < arguments.size() && options.ok; ++i) {
    if (arguments[i] == "--exit-at-end") {
      options.exitAtEnd = true;
    } else if (arguments[i] == "--state-line") {
      options.stateLine = true;
    } else if (arguments[i] == "--replay" && i + 1 < arguments.size()) {
      ReadReplay(arguments[++i], options);
    } else if (arguments[i] == "--replay") {
      options.notes.emplace_back("--replay needs a file name");
      options.ok = false;
    } else if (arguments[i] != "--record") {
      options.notes.push_back(Note("ignoring the argument '", arguments[i], "'"));
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
        options.notes.push_back(Note("cannot record to ", arguments[i] + ": ", problem.c_str()));
        options.ok = false;
      }
    }
  }
  return options;
}
