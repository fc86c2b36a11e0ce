// The scenario runner: strict command parsing, the JSON state line and the runner's own counts.
#include "tools/sim/scenario.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/state_line.h"
#include "core/alphabet.h"
#include "core/game.h"
#include "core/geometry.h"
#include "core/random.h"
#include "core/records.h"
#include "render/handles.h"
#include "render/sound.h"
#include "tools/sim/message_text.h"
#include "tools/sim/picture.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The runner's own records: what the window would hear, and how many timer messages it took.

class RecordingSoundOutput : public SoundOutput {
 public:
  void Play(SoundEffect effect) override { played.Add(SoundEffectFile(effect)); }
  PlayedSounds played;
};

RecordingSoundOutput runnerSound;
uint64_t runnerTicks = 0;

// The client size of the last size message, which a picture made later takes.
int clientWidth = 640;
int clientHeight = 480;

// Whether the run has said yet that its picture holds only part of the window.
bool clippingReported = false;

// ---------------------------------------------------------------------------------------------
// The commands. Each line is one command word and its arguments, separated by blanks.

struct CommandCall {
  uint64_t numbers[2] = {};
  int count = 0;  // arguments given
  std::string_view path;
  long lineNumber = 0;
  ScenarioCommands allowed = ScenarioCommands::kEvery;
  bool onlySeedsSoFar = true;  // the settings are read, in a recording, before anything else
  std::FILE* out = nullptr;
  std::FILE* err = nullptr;
};

std::string RunSeed(const CommandCall& call) {
  SeedRandom(static_cast<uint32_t>(call.numbers[0]));
  return "";
}

// The picture takes the new size before the size handler blanks it.
std::string RunSize(const CommandCall& call) {
  clientWidth = static_cast<int>(call.numbers[0]);
  clientHeight = static_cast<int>(call.numbers[1]);
  ResizePicture(clientWidth, clientHeight);
  OnSize(clientWidth, clientHeight);
  return "";
}

// A paused timer message is still a message the window handled, so it counts.
std::string RunTick(const CommandCall& call) {
  const uint64_t count = call.count == 0 ? 1 : call.numbers[0];
  for (uint64_t i = 0; i < count; ++i) {
    OnTick();
    ++runnerTicks;
  }
  return "";
}

std::string RunChar(const CommandCall& call) {
  OnChar(static_cast<uint32_t>(call.numbers[0]));
  return "";
}

std::string RunCommand(const CommandCall& call) {
  OnCommand(static_cast<uint16_t>(call.numbers[0]));
  return "";
}

// As start-up reads the file, then the values derived from it.
std::string RunLoad(const CommandCall&) {
  LoadSettings();
  ComputeCapacity();
  CheckMenuFromSettings();
  return "";
}

std::string RunSave(const CommandCall&) {
  return WriteSettingsFile() ? ""
                             : std::string("cannot write the settings file ") + kSettingsFileName;
}

// Flushed at once: a reader sees each state line before a long command that follows it.
std::string RunDump(const CommandCall& call) {
  const std::string line = StateLine() + '\n';
  runnerSound.played.Clear();
  if (std::fwrite(line.data(), 1, line.size(), call.out) == line.size() &&
      std::fflush(call.out) == 0) {
    return "";
  }
  return std::string("cannot write the state line: ") + std::strerror(errno);
}

// The first picture asked for brings the presentation layer: from then on the program draws
// into a window picture exactly as the window would.
void EnsurePicture() {
  if (!PictureExists()) BuildPicture(clientWidth, clientHeight);
}

// Said once a run, so nobody takes a clipped picture for the whole field.
void ReportClipping(const CommandCall& call) {
  const int side = MaxPictureSide();
  if (!PictureExists() || clippingReported) return;
  if (clientWidth <= side && clientHeight <= side) return;
  clippingReported = true;
  std::fprintf(
      call.err,
      "volarin-sim: line %ld: png: the window is %d x %d; the picture holds its top left %d x %d\n",
      call.lineNumber, clientWidth, clientHeight, std::min(clientWidth, side),
      std::min(clientHeight, side));
}

std::string RunPng(const CommandCall& call) {
  EnsurePicture();
  ReportClipping(call);
  return SavePicturePng(std::string(call.path));
}

std::string RunSheet(const CommandCall& call) {
  EnsurePicture();
  return SaveSheetPng(std::string(call.path));
}

enum class ArgumentKind { kNone, kDecimal, kCharCode, kPath };

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
  const bool loadInPlace = form.name != "load" || call.onlySeedsSoFar;
  call.onlySeedsSoFar = call.onlySeedsSoFar && form.name == "seed";
  if (call.allowed == ScenarioCommands::kEvery || (form.recorded && loadInPlace)) return "";
  return form.recorded ? "a replay reads the settings file only before any command but seed"
                       : "a replay runs only the commands of a recording; this one writes a file";
}

// Runs one line; empty when it ran (or was blank or a comment), else the message for it and,
// in `status`, whether the line was malformed or failed to do what it asked.
std::string RunLine(std::string_view line, CommandCall& call, int* status) {
  static std::vector<std::string_view> words;
  SplitWords(line, words);
  if (words.empty() || words[0].starts_with('#')) return "";
  *status = kScenarioErrorStatus;
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

void StartScenario() {
  DropPicture();
  clientWidth = 640;
  clientHeight = 480;
  ResetAllRecords();
  ResetPlatformHandles();
  runnerSound.played.Clear();
  runnerTicks = 0;
  clippingReported = false;
  StartUpParts parts;
  parts.seed = 1;
  parts.readSettingsFile = false;
  parts.windowCanvas = nullptr;
  parts.sound = &runnerSound;
  RunStartUp(parts);
}

std::string StateLine() {
  return FormatStateLine(runnerTicks, runnerSound.played);
}

int RunScenario(std::istream& in, std::FILE* out, std::FILE* err, ScenarioCommands allowed) {
  StartScenario();
  CommandCall call;
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
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "volarin-sim: cannot write the output: %s\n", std::strerror(errno));
    return kScenarioFailureStatus;
  }
  if (!in.bad()) return 0;
  std::fprintf(err, "volarin-sim: the commands could not be read\n");
  return kScenarioErrorStatus;
}
