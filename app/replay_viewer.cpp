// The replay viewer: reads a recording whole, plays it in time, and judges its end.
#include "app/replay_viewer.h"

#include <algorithm>
#include <sstream>

namespace {

// A quarter of a second: the most play a stalled front end catches up in one call.
constexpr PaceClock::duration kLongestCatchUp = kTickPeriod * 16;

// The commands run in one call at most: a recording of nothing but commands that take no time
// still leaves the window free to answer between calls.
constexpr int kMostStepsAtOnce = 4096;

// Found by a line's first bytes, as the recorder writes it.
constexpr std::string_view kFinalPrefix = "# final ";

std::string WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return std::string(line);
}

}  // namespace

// One command of the recording, kept after its line is gone.
struct ReplayViewer::Step {
  CommandName name = CommandName::kDump;
  uint64_t a = 0;
  uint64_t b = 0;
  bool hasSettings = false;  // false: "settings none"
  std::string settings;
};

ReplayViewer::ReplayViewer(GameShell& shell, std::FILE* report) : shell_(shell), report_(report) {}

ReplayViewer::~ReplayViewer() = default;

namespace {

ReplayViewer::Step StepOf(const ScenarioCommand& command) {
  ReplayViewer::Step step;
  step.name = command.name;
  step.a = command.name == CommandName::kTick && command.count == 0 ? 1 : command.numbers[0];
  step.b = command.numbers[1];
  step.hasSettings = command.settings != nullptr;
  if (step.hasSettings) step.settings = *command.settings;
  return step;
}

// Empty when every line is a command a recording may hold; else why the recording cannot be
// replayed. A recording that needs the player's settings file (`load`) is refused: the
// viewer never reads it.
std::string CheckRecording(const std::string& text, std::string* finalLine) {
  std::istringstream in(text);
  std::vector<char> buffer(kLongestScenarioLine + 1);
  ScenarioReader reader(ScenarioCommands::kRecorded);
  std::string_view line;
  bool final = false;
  for (LineRead read; (read = ReadScenarioLine(in, buffer, &line)) != LineRead::kEnd;) {
    const std::string where = "line " + std::to_string(reader.LineNumber() + 1) + ": ";
    if (read == LineRead::kTooLong) return where + TooLongLineMessage();
    if (line.starts_with(kFinalPrefix) && reader.OpenBlockLine() == 0) {
      *finalLine = WithoutCarriageReturn(line.substr(kFinalPrefix.size()));
      final = true;
    }
    ScenarioCommand command;
    std::string problem;
    const ScenarioReader::Line kind = reader.Read(line, &command, &problem);
    if (kind == ScenarioReader::Line::kMalformed) return where + problem;
    if (kind == ScenarioReader::Line::kCommand && command.name == CommandName::kLoad) {
      return where + "load: this recording needs the settings file it was made beside";
    }
  }
  if (reader.OpenBlockLine() != 0) return "the recording ends inside its settings block";
  if (!final) return "no \"# final\" line: the recording was not finished";
  return "";
}

}  // namespace

void ReplayViewer::Start(const std::string& recording, ShellStart start,
                         const std::string& unreadable) {
  sound_.output = start.sound;
  start.sound = &sound_;
  start.record = nullptr;
  start.replay = true;
  start.showCards = false;  // every recorded key reaches the rules, as it did in play
  last_ = start.now;
  shell_.Start(start);
  std::string problem =
      !unreadable.empty() ? unreadable
      : recording.size() > kLongestRecording
          ? "larger than " + std::to_string(kLongestRecording >> 20) + " MiB: not a recording"
          : CheckRecording(recording, &finalLine_);
  if (!problem.empty()) {
    Finish(problem);
    return;
  }
  readable_ = true;
  recording_.str(recording);
  lineBuffer_.resize(kLongestScenarioLine + 1);
}

// The next command of a recording already checked whole; false at its end.
bool ReplayViewer::NextStep(Step* step) {
  std::string_view line;
  while (ReadScenarioLine(recording_, lineBuffer_, &line) == LineRead::kLine) {
    ScenarioCommand command;
    std::string problem;
    if (reader_.Read(line, &command, &problem) != ScenarioReader::Line::kCommand) continue;
    *step = StepOf(command);
    return true;
  }
  return false;
}

void ReplayViewer::RunStep(const Step& step) {
  endsWithDump_ = step.name == CommandName::kDump;
  switch (step.name) {
    case CommandName::kSeed:
      shell_.Seed(static_cast<uint32_t>(step.a));
      break;
    case CommandName::kSize:
      shell_.Size(static_cast<int>(step.a), static_cast<int>(step.b));
      break;
    case CommandName::kChar:
      shell_.TypeCode(static_cast<uint8_t>(step.a));
      break;
    case CommandName::kCommand:
      shell_.Command(static_cast<uint16_t>(step.a));
      break;
    case CommandName::kSettings:
      shell_.TakeSettings(step.hasSettings ? &step.settings : nullptr);
      shell_.DrawStatusBar();
      break;
    case CommandName::kDump:
      lastDump_ = FormatStateLine(shell_.TicksRun(), sound_.played);
      sound_.played.Clear();
      break;
    default:  // `tick` runs in RunDue; nothing else is in a recording the reader passes
      break;
  }
}

// Runs the commands in order until `ticks` ticks have run and the next command is a tick, or
// the recording ends, or kMostStepsAtOnce commands have run.
void ReplayViewer::RunDue(uint64_t ticks) {
  for (int steps = 0; !finished_ && steps < kMostStepsAtOnce; ++steps) {
    if (ticksLeftInStep_ > 0) {
      const uint64_t now = std::min(ticks, ticksLeftInStep_);
      if (now == 0) return;
      shell_.RunTicks(now);
      ticks -= now;
      ticksLeftInStep_ -= now;
      continue;
    }
    Step step;
    if (!NextStep(&step)) {
      Finish("");
      return;
    }
    if (step.name == CommandName::kTick) {
      ticksLeftInStep_ = step.a;
      endsWithDump_ = false;
    } else {
      RunStep(step);
    }
  }
}

PaceClock::time_point ReplayViewer::Advance(PaceClock::time_point now) {
  const PaceClock::duration played = std::max(now - last_, PaceClock::duration{});
  last_ = now;
  if (finished_) return now + kTickPeriod * 8;
  if (!paused_) credit_ = std::min(credit_ + played * speed_, kLongestCatchUp * speed_);
  const int64_t due = credit_ / kTickPeriod;
  credit_ -= due * kTickPeriod;
  if (!paused_) RunDue(static_cast<uint64_t>(due));
  return now + kTickPeriod / std::min(speed_, 4);
}

void ReplayViewer::Type(char32_t character) {
  if (character == U' ') paused_ = !paused_;
  if (character == U'+') Arrow(1);
  if (character == U'-') Arrow(-1);
  if (character == 0x1B) Stop();
}

void ReplayViewer::Arrow(int direction) {
  if (direction > 0) speed_ = std::min(speed_ * 2, kFastest);
  if (direction < 0) speed_ = std::max(speed_ / 2, 1);
}

void ReplayViewer::Stop() {
  stopped_ = true;
  if (!finished_) Finish("the replay was ended before the recording's end");
}

// Said once: on the report stream, the verdict then the state line the replay ended at; over
// the field, the verdict card.
void ReplayViewer::Finish(const std::string& reason) {
  finished_ = true;
  std::string stateLine =
      endsWithDump_ ? lastDump_ : FormatStateLine(shell_.TicksRun(), sound_.played);
  verified_ = reason.empty() && endsWithDump_ && lastDump_ == finalLine_;
  const std::string why = reason.empty() ? kNotWhereRecordedText : reason;
  if (report_ != nullptr) {
    if (verified_) {
      std::fprintf(report_, "%s\n", kVerifiedText);
    } else {
      std::fprintf(report_, "%s: %s\n", kNotVerifiedText, why.c_str());
    }
    if (readable_) std::fprintf(report_, "%s\n", stateLine.c_str());
    std::fflush(report_);
  }
  shell_.ShowVerdict(VerdictCardText(shell_.CardLanguage(), verified_, reason));
}
