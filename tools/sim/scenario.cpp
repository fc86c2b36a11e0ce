// The scenario runner: each command the reader gives runs through the shared dispatcher.
#include "tools/sim/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "app/scenario.h"
#include "app/settings_block.h"
#include "app/shell.h"
#include "render/pixel_canvas.h"
#include "tools/sim/picture.h"

namespace {

// The runner as a front end: a window never shown, whose picture is made only when a command
// asks for one.
class RunnerFrontEnd : public FrontEnd, public ScenarioPictures {
 public:
  ~RunnerFrontEnd() override { DropPicture(); }
  void ResizePicture(int width, int height) override {
    clientWidth_ = width;
    clientHeight_ = height;
    if (picture_ != nullptr) picture_->Resize(width, height);
  }
  void ShowPicture() override {}                      // the picture is only ever written out
  void SetMenuItem(uint16_t, bool, bool) override {}  // the state line reads the menu's model
  void Quit() override {}  // a scenario's Exit only sets the quit flag; the run goes on

  // The first picture asked for brings the presentation layer: from then on the program draws
  // into a window picture exactly as the window would. That a window picture is clipped is
  // said once a run, so nobody takes it for the whole field.
  std::string Picture(const std::string& path, bool sheet) override {
    if (picture_ == nullptr) {
      picture_ = BuildPicture(clientWidth_, clientHeight_);
      if (picture_ != nullptr) shell->AttachPicture(picture_);
    }
    const int side = PixelCanvas::kMaxSide;
    if (!sheet && picture_ != nullptr && !clippingReported_ &&
        (clientWidth_ > side || clientHeight_ > side)) {
      clippingReported_ = true;
      std::fprintf(
          err,
          "volarin-sim: line %ld: png: the window is %d x %d; the picture holds its top left %d x "
          "%d\n",
          lineNumber, clientWidth_, clientHeight_, std::min(clientWidth_, side),
          std::min(clientHeight_, side));
    }
    return SavePicturePng(path, sheet);
  }

  GameShell* shell = nullptr;
  std::FILE* err = nullptr;
  long lineNumber = 0;

 private:
  // The client size of the last size message, which a picture made later takes.
  int clientWidth_ = 640;
  int clientHeight_ = 480;
  bool clippingReported_ = false;
  PixelCanvas* picture_ = nullptr;
};

// Flushed at once: a reader sees each state line before a long command that follows it.
std::string Print(const std::string& stateLine, std::FILE* out) {
  const std::string line = stateLine + '\n';
  if (std::fwrite(line.data(), 1, line.size(), out) == line.size() && std::fflush(out) == 0) {
    return "";
  }
  return std::string("cannot write the state line: ") + std::strerror(errno);
}

}  // namespace

int RunScenario(ScenarioLines& lines, std::FILE* out, std::FILE* err, ScenarioCommands allowed,
                uint64_t mostTicks) {
  RunnerFrontEnd frontEnd;  // outlives the shell, which draws into its picture
  GameShell shell(frontEnd);
  frontEnd.shell = &shell;
  frontEnd.err = err;
  shell.Start({.mode = ShellMode::kScenario});
  ScenarioReader reader(allowed);
  uint64_t ticksRun = 0;
  std::string_view line;
  for (LineRead read; (read = lines.Next(&line)) != LineRead::kEnd;) {
    frontEnd.lineNumber += 1;
    ScenarioCommand command;
    std::string problem = read == LineRead::kTooLong ? TooLongLineMessage() : "";
    int status = kScenarioErrorStatus;
    const bool runs =
        problem.empty() && reader.Read(line, &command, &problem) == ScenarioReader::Line::kCommand;
    // A tick that would take the run past the bound is refused before any of its ticks runs.
    if (runs && command.name == CommandName::kTick) {
      const uint64_t count = command.count == 0 ? 1 : command.numbers[0];
      if (count > mostTicks - ticksRun) {
        problem = "tick: more than " + std::to_string(mostTicks) +
                  " ticks in all, the most this run takes (--max-ticks raises it)";
      }
      ticksRun += count;
    }
    if (runs && problem.empty()) {
      std::string dumped;
      status = kScenarioFailureStatus;
      problem = RunScenarioCommand(command, shell.Scenario(), &frontEnd, &dumped);
      if (problem.empty() && !dumped.empty()) problem = Print(dumped, out);
      if (!problem.empty()) problem = std::string(command.word) + ": " + problem;
    }
    if (problem.empty()) continue;
    std::fflush(out);
    std::fprintf(err, "volarin-sim: line %ld: %s\n", frontEnd.lineNumber, problem.c_str());
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
  if (!lines.Failed()) return 0;
  std::fprintf(err, "volarin-sim: the commands could not be read\n");
  return kScenarioErrorStatus;
}
