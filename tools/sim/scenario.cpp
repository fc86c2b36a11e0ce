// The scenario runner: each command the reader gives becomes a call of the shell.
#include "tools/sim/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/settings_block.h"
#include "app/settings_store.h"
#include "app/shell.h"
#include "app/state_line.h"
#include "render/sound.h"
#include "tools/sim/picture.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The runner as a front end: a window never shown, whose picture is made only when a command
// asks for one, and a sound output that notes the effects for the state line.

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

  NotedSound sound;         // notes the effects for the state line, plays none
  RunnerFrontEnd frontEnd;  // outlives the shell, which draws into its picture
  GameShell shell{frontEnd};
  bool clippingReported = false;  // said once that the picture holds only part of the window
};

// ---------------------------------------------------------------------------------------------
// The commands, as the reader gives them; each becomes one call of the shell.

struct CommandCall {
  const ScenarioCommand* command = nullptr;
  long lineNumber = 0;
  Runner* runner = nullptr;
  std::FILE* out = nullptr;
  std::FILE* err = nullptr;
  uint64_t number(int i) const { return command->numbers[i]; }
};

std::string RunSeed(const CommandCall& call) {
  call.runner->shell.Seed(static_cast<uint32_t>(call.number(0)));
  return "";
}

std::string RunSize(const CommandCall& call) {
  call.runner->shell.Size(static_cast<int>(call.number(0)), static_cast<int>(call.number(1)));
  return "";
}

std::string RunTick(const CommandCall& call) {
  call.runner->shell.RunTicks(call.command->count == 0 ? 1 : call.number(0));
  return "";
}

std::string RunChar(const CommandCall& call) {
  call.runner->shell.TypeCode(static_cast<uint8_t>(call.number(0)));
  return "";
}

std::string RunCommand(const CommandCall& call) {
  call.runner->shell.Command(static_cast<uint16_t>(call.number(0)));
  return "";
}

// As start-up reads the file; without one, the defaults.
std::string RunLoad(const CommandCall& call) {
  std::string text;
  call.runner->shell.TakeSettings(ReadSettingsText(&text) ? &text : nullptr);
  return "";
}

// A settings block's text, or the defaults for "settings none".
std::string RunSettings(const CommandCall& call) {
  call.runner->shell.TakeSettings(call.command->settings);
  return "";
}

std::string RunSave(const CommandCall&) {
  // The scenario asks for the file itself, which the shell never writes in a replay.
  return WriteSettingsFile() ? ""
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
  return SavePicturePng(std::string(call.command->path));
}

std::string RunSheet(const CommandCall& call) {
  EnsurePicture(*call.runner);
  return SaveSheetPng(std::string(call.command->path));
}

// In the order of CommandName.
constexpr std::string (*kRunners[])(const CommandCall&) = {
    RunSeed,     RunSize, RunTick, RunChar, RunCommand, RunLoad,
    RunSettings, RunSave, RunDump, RunPng,  RunSheet,
};

// Runs one line; empty when it ran (or was blank or a comment), else the message for it and,
// in `status`, whether the line was malformed or failed to do what it asked.
std::string RunLine(std::string_view line, ScenarioReader& reader, CommandCall& call, int* status) {
  ScenarioCommand command;
  std::string problem;
  *status = kScenarioErrorStatus;
  const ScenarioReader::Line read = reader.Read(line, &command, &problem);
  if (read != ScenarioReader::Line::kCommand) return problem;
  *status = kScenarioFailureStatus;
  call.command = &command;
  problem = kRunners[static_cast<int>(command.name)](call);
  return problem.empty() ? "" : std::string(command.word) + ": " + problem;
}

}  // namespace

int RunScenario(std::istream& in, std::FILE* out, std::FILE* err, ScenarioCommands allowed) {
  Runner runner;
  ScenarioReader reader(allowed);
  CommandCall call;
  call.runner = &runner;
  call.out = out;
  call.err = err;
  std::vector<char> buffer(kLongestScenarioLine + 1);
  std::string_view line;
  for (LineRead read; (read = ReadScenarioLine(in, buffer, &line)) != LineRead::kEnd;) {
    call.lineNumber += 1;
    int status = kScenarioErrorStatus;
    const std::string problem =
        read == LineRead::kTooLong ? TooLongLineMessage() : RunLine(line, reader, call, &status);
    if (problem.empty()) continue;
    std::fflush(out);
    std::fprintf(err, "volarin-sim: line %ld: %s\n", call.lineNumber, problem.c_str());
    return status;
  }
  if (reader.OpenBlockLine() != 0) {
    std::fflush(out);
    std::fprintf(err, "volarin-sim: line %ld: settings: the commands end before \"%s\"\n",
                 reader.OpenBlockLine(), std::string(kSettingsBlockEnd).c_str());
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
