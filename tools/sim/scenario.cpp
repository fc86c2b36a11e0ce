// The scenario runner: strict command parsing, the JSON state line and the runner's own counts.
#include "tools/sim/scenario.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/settings_block.h"
#include "app/settings_store.h"
#include "app/shell.h"
#include "app/state_line.h"
#include "render/sound.h"
#include "tools/sim/message_text.h"
#include "tools/sim/picture.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The runner as a front end: a window never shown, whose picture is made only when a command
// asks for one, and a sound output that notes the effects for the state line.

class NotingSound : public SoundOutput {
 public:
  void Play(SoundEffect effect) override { played.Add(SoundEffectFile(effect)); }
  PlayedSounds played;
};

class RunnerFrontEnd : public FrontEnd {
 public:
  ~RunnerFrontEnd() override { DropPicture(); }
  void ResizePicture(int width, int height) override {
    clientWidth = width;
    clientHeight = height;
    ::ResizePicture(width, height);
  }
  void ShowPicture() override {}                      // the picture is only ever written out
  void SetMenuItem(uint16_t, bool, bool) override {}  // the state line reads the menu's model
  void Quit() override {}  // a replay's Exit only sets the quit flag; the run goes on

  // The client size of the last size message, which a picture made later takes.
  int clientWidth = 640;
  int clientHeight = 480;
};

// The one place the runner says how the shell starts: seed 1, no settings file, no picture
// until one is asked for, and the scenario's own rules for Exit. Anything the shell adds
// for a player (a card that takes keys) is switched off here, so a scenario's every command
// reaches the rules as it always has.
ShellStart RunnerStart(SoundOutput* sound) {
  return {.seed = 1, .windowCanvas = nullptr, .sound = sound, .record = nullptr, .replay = true};
}

// One run: the front end, the shell it drives, and what the runner keeps of its own.
struct Runner {
  Runner() { shell.Start(RunnerStart(&sound)); }

  NotingSound sound;
  RunnerFrontEnd frontEnd;  // outlives the shell, which draws into its picture
  GameShell shell{frontEnd};
  bool clippingReported = false;  // said once that the picture holds only part of the window
  long settingsBlockLine = 0;     // the line of an open settings block, 0 when none is open
  std::string settingsText;       // what the open block holds so far
};

// ---------------------------------------------------------------------------------------------
// The commands. Each line is one command word and its arguments, separated by blanks; a
// settings block holds quoted lines up to its end.

struct CommandCall {
  uint64_t numbers[2] = {};
  int count = 0;  // arguments given
  std::string_view path;
  long lineNumber = 0;
  ScenarioCommands allowed = ScenarioCommands::kEvery;
  bool onlySeedsSoFar = true;  // the settings are read, in a recording, before anything else
  Runner* runner = nullptr;
  std::FILE* out = nullptr;
  std::FILE* err = nullptr;
};

std::string RunSeed(const CommandCall& call) {
  call.runner->shell.Seed(static_cast<uint32_t>(call.numbers[0]));
  return "";
}

std::string RunSize(const CommandCall& call) {
  call.runner->shell.Size(static_cast<int>(call.numbers[0]), static_cast<int>(call.numbers[1]));
  return "";
}

std::string RunTick(const CommandCall& call) {
  call.runner->shell.RunTicks(call.count == 0 ? 1 : call.numbers[0]);
  return "";
}

std::string RunChar(const CommandCall& call) {
  call.runner->shell.TypeCode(static_cast<uint8_t>(call.numbers[0]));
  return "";
}

std::string RunCommand(const CommandCall& call) {
  call.runner->shell.Command(static_cast<uint16_t>(call.numbers[0]));
  return "";
}

// As start-up reads the file; without one, the defaults.
std::string RunLoad(const CommandCall& call) {
  std::string text;
  call.runner->shell.TakeSettings(ReadSettingsText(&text) ? &text : nullptr);
  return "";
}

// "settings none" takes the defaults at once; a bare "settings" opens a block.
std::string RunSettings(const CommandCall& call) {
  Runner& runner = *call.runner;
  if (call.count == 1) {
    runner.shell.TakeSettings(nullptr);
  } else {
    runner.settingsBlockLine = call.lineNumber;
    runner.settingsText.clear();
  }
  return "";
}

std::string RunSave(const CommandCall& call) {
  return call.runner->shell.KeepSettings()
             ? ""
             : std::string("cannot write the settings file ") + kSettingsFileName;
}

// Flushed at once: a reader sees each state line before a long command that follows it.
std::string RunDump(const CommandCall& call) {
  Runner& runner = *call.runner;
  const std::string line = FormatStateLine(runner.shell.TicksRun(), runner.sound.played) + '\n';
  runner.sound.played.Clear();
  if (std::fwrite(line.data(), 1, line.size(), call.out) == line.size() &&
      std::fflush(call.out) == 0) {
    return "";
  }
  return std::string("cannot write the state line: ") + std::strerror(errno);
}

// The first picture asked for brings the presentation layer: from then on the program draws
// into a window picture exactly as the window would.
void EnsurePicture(Runner& runner) {
  if (PictureExists()) return;
  Canvas* picture = BuildPicture(runner.frontEnd.clientWidth, runner.frontEnd.clientHeight);
  if (picture != nullptr) runner.shell.AttachPicture(picture);
}

// Said once a run, so nobody takes a clipped picture for the whole field.
void ReportClipping(const CommandCall& call) {
  Runner& runner = *call.runner;
  const int side = MaxPictureSide();
  const int width = runner.frontEnd.clientWidth;
  const int height = runner.frontEnd.clientHeight;
  if (!PictureExists() || runner.clippingReported) return;
  if (width <= side && height <= side) return;
  runner.clippingReported = true;
  std::fprintf(
      call.err,
      "volarin-sim: line %ld: png: the window is %d x %d; the picture holds its top left %d x %d\n",
      call.lineNumber, width, height, std::min(width, side), std::min(height, side));
}

std::string RunPng(const CommandCall& call) {
  EnsurePicture(*call.runner);
  ReportClipping(call);
  return SavePicturePng(std::string(call.path));
}

std::string RunSheet(const CommandCall& call) {
  EnsurePicture(*call.runner);
  return SaveSheetPng(std::string(call.path));
}

// kNoSettings is the one word "settings" may have.
enum class ArgumentKind { kNone, kDecimal, kCharCode, kPath, kNoSettings };

struct CommandForm {
  std::string_view name;
  ArgumentKind kind;
  int required;                            // arguments that must be given
  int allowed;                             // arguments that may be given
  uint64_t max;                            // the largest number accepted
  bool recorded;                           // a recorded session may hold it
  std::string (*run)(const CommandCall&);  // empty when it ran, else why it failed
};

constexpr uint64_t kMax16 = 65535;
constexpr uint64_t kMax32 = 4294967295;

constexpr CommandForm kCommandForms[] = {
    {"seed", ArgumentKind::kDecimal, 1, 1, kMax32, true, RunSeed},
    {"size", ArgumentKind::kDecimal, 2, 2, kMax16, true, RunSize},
    {"tick", ArgumentKind::kDecimal, 0, 1, kMax32, true, RunTick},
    {"char", ArgumentKind::kCharCode, 1, 1, 255, true, RunChar},
    {"command", ArgumentKind::kDecimal, 1, 1, kMax16, true, RunCommand},
    {"load", ArgumentKind::kNone, 0, 0, 0, true, RunLoad},
    {kSettingsBlockStart, ArgumentKind::kNoSettings, 0, 1, 0, true, RunSettings},
    {"save", ArgumentKind::kNone, 0, 0, 0, false, RunSave},
    {"dump", ArgumentKind::kNone, 0, 0, 0, true, RunDump},
    {"png", ArgumentKind::kPath, 1, 1, 0, false, RunPng},
    {"sheet", ArgumentKind::kPath, 1, 1, 0, false, RunSheet},
};

const CommandForm* FindCommandForm(std::string_view name) {
  for (const CommandForm& form : kCommandForms) {
    if (form.name == name) return &form;
  }
  return nullptr;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The blank-separated words of a line, after dropping one trailing carriage return.
void SplitWords(std::string_view line, std::vector<std::string_view>& words) {
  words.clear();
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
}

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits only, no sign; "0x" and hex digits where hex is allowed. Empty when the word is a
// number from 0 to max, else the problem with it.
std::string ParseNumber(std::string_view word, bool hexAllowed, uint64_t max, uint64_t* value) {
  int base = 10;
  std::string_view digits = word;
  if (hexAllowed && word.starts_with("0x")) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return "not a number " + QuoteForMessage(word);
  bool tooBig = false;
  *value = 0;
  for (char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return "not a number " + QuoteForMessage(word);
    if (!tooBig) *value = *value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    tooBig = tooBig || *value > max;
  }
  return tooBig ? "number out of range" : "";
}

std::string ReadArgument(const CommandForm& form, std::string_view word, CommandCall& call) {
  if (form.kind == ArgumentKind::kPath) {
    call.path = word;
    return "";
  }
  if (form.kind == ArgumentKind::kNoSettings) {
    return word == kNoSettings ? "" : "unexpected " + QuoteForMessage(word);
  }
  const bool hexAllowed = form.kind == ArgumentKind::kCharCode;
  return ParseNumber(word, hexAllowed, form.max, &call.numbers[call.count]);
}

// Fills `call` from the words after the command word; empty when they fit the form.
std::string ReadArguments(const CommandForm& form, const std::vector<std::string_view>& words,
                          CommandCall& call) {
  call.count = 0;
  for (size_t i = 1; i < words.size(); ++i) {
    if (call.count == form.allowed) return "unexpected " + QuoteForMessage(words[i]);
    std::string problem = ReadArgument(form, words[i], call);
    if (!problem.empty()) return problem;
    call.count += 1;
  }
  if (call.count >= form.required) return "";
  return form.kind == ArgumentKind::kPath ? "missing path" : "missing number";
}

// Empty when the command may run here, else why not. Tells the next call what has run.
std::string CheckAllowed(const CommandForm& form, CommandCall& call) {
  const bool takesSettings = form.name == "load" || form.name == kSettingsBlockStart;
  const bool settingsInPlace = !takesSettings || call.onlySeedsSoFar;
  call.onlySeedsSoFar = call.onlySeedsSoFar && form.name == "seed";
  if (call.allowed == ScenarioCommands::kEvery || (form.recorded && settingsInPlace)) return "";
  return form.recorded ? "a replay takes the settings only before any command but seed"
                       : "a replay runs only the commands of a recording; this one writes a file";
}

// A line of an open settings block: a quoted piece of the text, or the block's end, which
// hands the whole text to the shell.
std::string RunSettingsBlockLine(std::string_view line, const std::vector<std::string_view>& words,
                                 CommandCall& call) {
  Runner& runner = *call.runner;
  if (words.size() == 2 && words[0] == "end" && words[1] == kSettingsBlockStart) {
    runner.settingsBlockLine = 0;
    runner.shell.TakeSettings(&runner.settingsText);
    runner.settingsText.clear();
    return "";
  }
  if (!ReadQuotedSettingsLine(line, &runner.settingsText)) {
    return "settings: neither a quoted line nor \"" + std::string(kSettingsBlockEnd) + "\"";
  }
  if (runner.settingsText.size() <= kLongestSettingsBlockText) return "";
  return "settings: more than " + std::to_string(kLongestSettingsBlockText) +
         " bytes: not a settings file";
}

// Runs one line; empty when it ran (or was blank or a comment), else the message for it and,
// in `status`, whether the line was malformed or failed to do what it asked.
std::string RunLine(std::string_view line, CommandCall& call, int* status) {
  static std::vector<std::string_view> words;
  SplitWords(line, words);
  *status = kScenarioErrorStatus;
  if (call.runner->settingsBlockLine != 0) return RunSettingsBlockLine(line, words, call);
  if (words.empty() || words[0].starts_with('#')) return "";
  const CommandForm* form = FindCommandForm(words[0]);
  if (form == nullptr) return "unknown command " + QuoteForMessage(words[0]);
  std::string problem = CheckAllowed(*form, call);
  if (!problem.empty()) return std::string(form->name) + ": " + problem;
  problem = ReadArguments(*form, words, call);
  if (!problem.empty()) return std::string(form->name) + ": " + problem;
  *status = kScenarioFailureStatus;
  problem = form->run(call);
  return problem.empty() ? "" : std::string(form->name) + ": " + problem;
}

enum class LineRead { kLine, kEnd, kTooLong };

// Reads the next line into `buffer` (kLongestScenarioLine + 1 bytes), without its line end, as
// `line`. A longer line is read no further than the buffer holds.
LineRead ReadLine(std::istream& in, std::vector<char>& buffer, std::string_view* line) {
  in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  const auto extracted = static_cast<size_t>(in.gcount());
  if (extracted == 0) return LineRead::kEnd;
  // Full, and the line goes on: the line end was not reached.
  if (in.fail() && !in.eof() && !in.bad()) return LineRead::kTooLong;
  // The line end, when read, is counted but not stored.
  *line = std::string_view(buffer.data(), in.eof() ? extracted : extracted - 1);
  return LineRead::kLine;
}

std::string TooLongLineMessage() {
  return "longer than " + std::to_string(kLongestScenarioLine) + " bytes: not a command";
}

}  // namespace

int RunScenario(std::istream& in, std::FILE* out, std::FILE* err, ScenarioCommands allowed) {
  Runner runner;
  CommandCall call;
  call.runner = &runner;
  call.out = out;
  call.err = err;
  call.allowed = allowed;
  std::vector<char> buffer(kLongestScenarioLine + 1);
  std::string_view line;
  for (LineRead read; (read = ReadLine(in, buffer, &line)) != LineRead::kEnd;) {
    call.lineNumber += 1;
    int status = kScenarioErrorStatus;
    const std::string problem =
        read == LineRead::kTooLong ? TooLongLineMessage() : RunLine(line, call, &status);
    if (problem.empty()) continue;
    std::fflush(out);
    std::fprintf(err, "volarin-sim: line %ld: %s\n", call.lineNumber, problem.c_str());
    return status;
  }
  if (runner.settingsBlockLine != 0) {
    std::fflush(out);
    std::fprintf(err, "volarin-sim: line %ld: settings: the commands end before \"%s\"\n",
                 runner.settingsBlockLine, std::string(kSettingsBlockEnd).c_str());
    return kScenarioErrorStatus;
  }
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "volarin-sim: cannot write the output: %s\n", std::strerror(errno));
    return kScenarioFailureStatus;
  }
  if (!in.bad()) return 0;
  std::fprintf(err, "volarin-sim: the commands could not be read\n");
  return kScenarioErrorStatus;
}
