// The scenario reader: strict command parsing, shared by the runner and the replay viewer.
#include "app/scenario_reader.h"

#include <algorithm>
#include <charconv>

#include "app/message_text.h"
#include "app/settings_block.h"

namespace {

// kNoSettings is the one word "settings" may have.
enum class ArgumentKind { kNone, kDecimal, kCharCode, kPath, kNoSettings };

struct CommandForm {
  std::string_view name;
  CommandName command;
  ArgumentKind kind;
  int required;   // arguments that must be given
  int allowed;    // arguments that may be given
  uint64_t max;   // the largest number accepted
  bool recorded;  // a recorded session may hold it
};

constexpr uint64_t kMax16 = 65535;
constexpr uint64_t kMax32 = 4294967295;

constexpr CommandForm kCommandForms[] = {
    {"seed", CommandName::kSeed, ArgumentKind::kDecimal, 1, 1, kMax32, true},
    {"size", CommandName::kSize, ArgumentKind::kDecimal, 2, 2, kMax16, true},
    {"tick", CommandName::kTick, ArgumentKind::kDecimal, 0, 1, kMax32, true},
    {"char", CommandName::kChar, ArgumentKind::kCharCode, 1, 1, 255, true},
    {"command", CommandName::kCommand, ArgumentKind::kDecimal, 1, 1, kMax16, true},
    {"load", CommandName::kLoad, ArgumentKind::kNone, 0, 0, 0, true},
    {kSettingsBlockStart, CommandName::kSettings, ArgumentKind::kNoSettings, 0, 1, 0, true},
    {"save", CommandName::kSave, ArgumentKind::kNone, 0, 0, 0, false},
    {"dump", CommandName::kDump, ArgumentKind::kNone, 0, 0, 0, true},
    {"png", CommandName::kPng, ArgumentKind::kPath, 1, 1, 0, false},
    {"sheet", CommandName::kSheet, ArgumentKind::kPath, 1, 1, 0, false},
};

const CommandForm* FindCommandForm(std::string_view name) {
  for (const CommandForm& form : kCommandForms) {
    if (form.name == name) return &form;
  }
  return nullptr;
}

// The words of a line, between spaces and tabs, after dropping one trailing carriage return.
void SplitWords(std::string_view line, std::vector<std::string_view>& words) {
  words.clear();
  if (line.ends_with('\r')) line.remove_suffix(1);
  for (size_t start = line.find_first_not_of(" \t"); start != std::string_view::npos;) {
    const size_t end = std::min(line.find_first_of(" \t", start), line.size());
    words.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(" \t", end);
  }
}

// Digits only, no sign; "0x" and hex digits where hex is allowed. Empty when the word is a
// number from 0 to max, else the problem with it.
std::string ParseNumber(std::string_view word, bool hexAllowed, uint64_t max, uint64_t* value) {
  const bool hex = hexAllowed && word.starts_with("0x");
  const char* end = word.data() + word.size();
  const auto [stop, error] =
      std::from_chars(word.data() + (hex ? 2 : 0), end, *value, hex ? 16 : 10);
  if (stop != end || error == std::errc::invalid_argument) {
    return "not a number " + QuoteForMessage(word);
  }
  return error == std::errc() && *value <= max ? "" : "number out of range";
}

// Fills `command` from the words after the command word; empty when they fit the form.
std::string ReadArguments(const CommandForm& form, const std::vector<std::string_view>& words,
                          ScenarioCommand& command) {
  for (size_t i = 1; i < words.size(); ++i, ++command.count) {
    if (command.count == form.allowed ||
        (form.kind == ArgumentKind::kNoSettings && words[i] != kNoSettings)) {
      return "unexpected " + QuoteForMessage(words[i]);
    }
    if (form.kind == ArgumentKind::kPath) command.path = words[i];
    if (form.kind != ArgumentKind::kDecimal && form.kind != ArgumentKind::kCharCode) continue;
    const bool hexAllowed = form.kind == ArgumentKind::kCharCode;
    std::string problem = ParseNumber(words[i], hexAllowed, form.max, &command.numbers[i - 1]);
    if (!problem.empty()) return problem;
  }
  if (command.count >= form.required) return "";
  return form.kind == ArgumentKind::kPath ? "missing path" : "missing number";
}

// Empty when the command may run here, else why not. Notes for the next line what has run.
std::string CheckAllowed(const CommandForm& form, ScenarioCommands allowed, bool* onlySeedsSoFar) {
  const bool takesSettings =
      form.command == CommandName::kLoad || form.command == CommandName::kSettings;
  const bool settingsInPlace = !takesSettings || *onlySeedsSoFar;
  *onlySeedsSoFar = *onlySeedsSoFar && form.command == CommandName::kSeed;
  if (allowed == ScenarioCommands::kEvery || (form.recorded && settingsInPlace)) return "";
  return form.recorded ? "a replay takes the settings only before any command but seed"
                       : "a replay runs only the commands of a recording; this one writes a file";
}

}  // namespace

// A line of an open settings block: a quoted piece of the text, or the block's end, which
// hands the whole text on as the `settings` command.
ScenarioReader::Line ScenarioReader::ReadBlockLine(std::string_view line, ScenarioCommand* command,
                                                   std::string* problem) {
  if (words_.size() == 2 && words_[0] == "end" && words_[1] == kSettingsBlockStart) {
    blockLine_ = 0;
    *command = ScenarioCommand{};
    command->name = CommandName::kSettings;
    command->word = kSettingsBlockStart;
    command->settings = &blockText_;
    return Line::kCommand;
  }
  if (!ReadQuotedSettingsLine(line, &blockText_)) {
    *problem = "settings: neither a quoted line nor \"" + std::string(kSettingsBlockEnd) + "\"";
    return Line::kMalformed;
  }
  if (blockText_.size() <= kLongestSettingsBlockText) return Line::kNothing;
  *problem = "settings: more than " + std::to_string(kLongestSettingsBlockText) +
             " bytes: not a settings file";
  return Line::kMalformed;
}

ScenarioReader::Line ScenarioReader::Read(std::string_view line, ScenarioCommand* command,
                                          std::string* problem) {
  lineNumber_ += 1;
  SplitWords(line, words_);
  if (blockLine_ != 0) return ReadBlockLine(line, command, problem);
  if (words_.empty() || words_[0].starts_with('#')) return Line::kNothing;
  const CommandForm* form = FindCommandForm(words_[0]);
  if (form == nullptr) {
    *problem = "unknown command " + QuoteForMessage(words_[0]);
    return Line::kMalformed;
  }
  *command = ScenarioCommand{};
  command->name = form->command;
  command->word = form->name;
  std::string why = CheckAllowed(*form, allowed_, &onlySeedsSoFar_);
  if (why.empty()) why = ReadArguments(*form, words_, *command);
  if (!why.empty()) {
    *problem = std::string(form->name) + ": " + why;
    return Line::kMalformed;
  }
  // A bare "settings" opens a block; the command is the block's end.
  if (form->command == CommandName::kSettings && command->count == 0) {
    blockLine_ = lineNumber_;
    blockText_.clear();
    return Line::kNothing;
  }
  return Line::kCommand;
}

// Byte by byte rather than a line at a time: a line may hold NUL bytes.
LineRead ScenarioLines::Next(std::string_view* line) {
  if (file_ == nullptr) {
    if (text_.empty()) return LineRead::kEnd;
    const size_t end = text_.find('\n');
    *line = text_.substr(0, end);
    text_.remove_prefix(end == std::string_view::npos ? text_.size() : end + 1);
    return line->size() > kLongestScenarioLine ? LineRead::kTooLong : LineRead::kLine;
  }
  buffer_.clear();
  int c = std::getc(file_);
  if (c == EOF) return LineRead::kEnd;
  for (; c != EOF && c != '\n'; c = std::getc(file_)) {
    if (buffer_.size() == kLongestScenarioLine) return LineRead::kTooLong;
    buffer_ += static_cast<char>(c);
  }
  *line = buffer_;
  return LineRead::kLine;
}

std::string TooLongLineMessage() {
  return "longer than " + std::to_string(kLongestScenarioLine) + " bytes: not a command";
}
