// The command line, read in one place for every front end.
#include "app/options.h"

#include "app/recording_file.h"

namespace {

// One line for the error stream: `text`, then `subject`, then `end`.
std::string Note(const char* text, const std::string& subject, const char* end) {
  return std::string(text).append(subject).append(end);
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  IgnoreBrokenPipes();
  Options options;
  for (size_t i = 0; i < arguments.size() && options.ok; ++i) {
    if (arguments[i] != "--record") {
      options.notes.push_back(Note("ignoring the argument '", arguments[i], "'"));
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
