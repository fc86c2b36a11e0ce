// Reading the scenario format line by line: the runner and the replay viewer share this reader,
// so a recording means the same to both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The longest line read: a longer one is malformed, and is not read past this.
constexpr size_t kLongestScenarioLine = 65536;

// Every command, or only those a recorded session holds: a recording from someone else may be
// replayed without letting it write files (`png`, `sheet`, `save`) or read the settings file
// again (`load` is taken once, right after the opening `seed`, where a recording has it).
enum class ScenarioCommands { kEvery, kRecorded };

enum class CommandName {
  kSeed,
  kSize,
  kTick,
  kChar,
  kCommand,
  kLoad,
  kSettings,
  kSave,
  kDump,
  kPng,
  kSheet
};

// One command read: its arguments, valid until the next line is read.
struct ScenarioCommand {
  CommandName name = CommandName::kDump;
  std::string_view word;  // the command word, for messages
  uint64_t numbers[2] = {};
  int count = 0;  // arguments given
  std::string_view path;
  // For `settings`: the text of the block just ended, or null for "settings none".
  const std::string* settings = nullptr;
};

class ScenarioReader {
 public:
  explicit ScenarioReader(ScenarioCommands allowed) : allowed_(allowed) {}

  enum class Line { kNothing, kCommand, kMalformed };
  // Reads one line (without its line end): kCommand with `command` filled, kNothing for a
  // blank line, a comment or a line inside a settings block, kMalformed with `problem` set.
  Line Read(std::string_view line, ScenarioCommand* command, std::string* problem);
  // The line a settings block that is still open began on; 0 when none is open.
  long OpenBlockLine() const { return blockLine_; }
  // The lines read so far.
  long LineNumber() const { return lineNumber_; }

 private:
  Line ReadBlockLine(std::string_view line, ScenarioCommand* command, std::string* problem);

  ScenarioCommands allowed_;
  bool onlySeedsSoFar_ = true;  // the settings are read, in a recording, before anything else
  long lineNumber_ = 0;
  long blockLine_ = 0;
  std::string blockText_;
  std::vector<std::string_view> words_;
};

enum class LineRead { kLine, kEnd, kTooLong };

// The lines of a scenario, from a file as it is read or from a text held whole, each given
// without its line end. A line longer than kLongestScenarioLine is read no further than that:
// the scenario is refused there. A last line without a line end is a line like any other.
class ScenarioLines {
 public:
  // `file` is read as lines are asked for; it stays the caller's.
  explicit ScenarioLines(std::FILE* file) : file_(file) {}
  // `text` must outlive the lines.
  explicit ScenarioLines(std::string_view text) : text_(text) {}

  // The next line, valid until the next call.
  LineRead Next(std::string_view* line);
  // True when the file could not be read to its end.
  bool Failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

 private:
  std::FILE* file_ = nullptr;
  std::string_view text_;
  std::string buffer_;
};

// What is said of a line longer than kLongestScenarioLine.
std::string TooLongLineMessage();
