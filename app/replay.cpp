// The replay: checks a recording whole, plays it in time, and judges its end.
#include "app/replay.h"

#include <algorithm>
#include <utility>

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

// Empty when every line is a command a recording may hold; else why the recording cannot be
// replayed. A recording that needs the player's settings file (`load`) is refused: a replay
// never reads it.
std::string CheckRecording(std::string_view text, std::string* finalLine) {
  ScenarioLines lines(text);
  ScenarioReader reader(ScenarioCommands::kRecorded);
  std::string_view line;
  bool final = false;
  for (LineRead read; (read = lines.Next(&line)) != LineRead::kEnd;) {
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

void Replay::Start(std::string recording, const std::string& unreadable,
                   PaceClock::time_point now) {
  last_ = now;
  const std::string problem =
      !unreadable.empty() ? unreadable
      : recording.size() > kLongestRecording
          ? "larger than " + std::to_string(kLongestRecording >> 20) + " MiB: not a recording"
          : CheckRecording(recording, &finalLine_);
  if (!problem.empty()) {
    Finish(problem);
    return;
  }
  recording_ = std::move(recording);
  lines_ = ScenarioLines(recording_);
}

// The next command of a recording already checked whole; false at its end.
bool Replay::NextCommand(ScenarioCommand* command) {
  std::string_view line;
  std::string problem;
  while (lines_.Next(&line) == LineRead::kLine) {
    if (reader_.Read(line, command, &problem) == ScenarioReader::Line::kCommand) return true;
  }
  return false;
}

// Runs the commands in order until `ticks` ticks have run and the next command is a tick, or
// the recording ends, or kMostStepsAtOnce commands have run.
void Replay::RunDue(uint64_t ticks) {
  for (int steps = 0; !finished_ && steps < kMostStepsAtOnce; ++steps) {
    if (ticksLeftInStep_ > 0) {
      const uint64_t now = std::min(ticks, ticksLeftInStep_);
      if (now == 0) return;
      game_.RunTicks(now);
      ticks -= now;
      ticksLeftInStep_ -= now;
      continue;
    }
    ScenarioCommand command;
    if (!NextCommand(&command)) {
      Finish("");
      return;
    }
    lastDump_.clear();  // the recording ends with its dump only when nothing follows it
    if (command.name == CommandName::kTick) {
      ticksLeftInStep_ = command.count == 0 ? 1 : command.numbers[0];
    } else {
      if (command.name == CommandName::kChar) {
        if (lastKeys_.size() == kKeysShown) lastKeys_.erase(0, 1);
        lastKeys_ += static_cast<char>(command.numbers[0]);
      }
      RunScenarioCommand(command, game_, nullptr, &lastDump_);
    }
  }
}

PaceClock::time_point Replay::Advance(PaceClock::time_point now) {
  const PaceClock::duration played = std::max(now - last_, PaceClock::duration{});
  last_ = now;
  if (finished_) return now + kTickPeriod * 8;
  if (!paused_) credit_ = std::min(credit_ + played * speed_, kLongestCatchUp * speed_);
  const int64_t due = credit_ / kTickPeriod;
  credit_ -= due * kTickPeriod;
  if (!paused_) RunDue(static_cast<uint64_t>(due));
  return now + kTickPeriod / std::min(speed_, 4);
}

bool Replay::Type(char32_t character) {
  if (character == U' ') paused_ = !paused_;
  if (character == U'+' || character == U'-') ChangeSpeed(character == U'+' ? 1 : -1);
  if (character == 0x1B) Stop();
  return character == U' ' || character == U'+' || character == U'-' || character == 0x1B;
}

void Replay::ChangeSpeed(int direction) {
  if (direction > 0) speed_ = std::min(speed_ * 2, kFastest);
  if (direction < 0) speed_ = std::max(speed_ / 2, 1);
}

void Replay::Stop() {
  stopped_ = true;
  if (!finished_) Finish("the replay was ended before the recording's end");
}

// Said once, on the report stream: the verdict, then the state line the replay ended at when
// it was asked for.
void Replay::Finish(const std::string& reason) {
  finished_ = true;
  reason_ = reason;
  const bool readable = !recording_.empty();
  const std::string stateLine = lastDump_.empty() ? game_.Dump() : lastDump_;
  verified_ = reason.empty() && !lastDump_.empty() && lastDump_ == finalLine_;
  if (report_ == nullptr) return;
  if (verified_) {
    std::fprintf(report_, "%s\n", kVerifiedText);
  } else {
    std::fprintf(report_, "%s: %s\n", kNotVerifiedText,
                 reason.empty() ? kNotWhereRecordedText : reason.c_str());
  }
  if (readable && reportStateLine_) std::fprintf(report_, "%s\n", stateLine.c_str());
  std::fflush(report_);
}

VerdictCard Replay::Verdict(Language language) const {
  return VerdictCardText(language, verified_, reason_);
}
