// The replay: checks a recording whole, plays it in time, and judges its end.
#include "app/replay.h"

#include <algorithm>
#include <utility>

#include "render/pixel_canvas.h"

namespace {

// A quarter of a second: the most play a stalled front end catches up in one call.
constexpr PaceClock::duration kLongestCatchUp = kTickPeriod * 16;

// What one call may cost, counted in pixels written or copied, so that the window answers
// between calls (Esc, closing) however the recording was made: a few milliseconds. A command
// is begun while any of it is left, so one costing more (a size change to the largest
// picture) runs alone.
constexpr uint64_t kWorkPerCall = uint64_t{1} << 22;
// The least any line costs, read and taken apart: 4096 of them make a call.
constexpr uint64_t kLineWork = kWorkPerCall / 4096;
// A tick moves a few sprites: the fastest speed's quarter second of catching up makes a call.
constexpr uint64_t kTickWork = kWorkPerCall / 1024;
// A size change also refits the window, whatever the picture's size.
constexpr uint64_t kWindowWork = kWorkPerCall / 4;

// Found by a line's first bytes, as the recorder writes it.
constexpr std::string_view kFinalPrefix = "# final ";

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
      const std::string_view text = line.substr(kFinalPrefix.size());
      *finalLine = text.substr(0, text.size() - (text.ends_with('\r') ? 1 : 0));
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

// The pixels a command writes or copies: a size change makes the picture anew, copies what the
// two sizes share and blanks the field; a menu command may draw the whole field again. Sides
// are held as the picture holds them.
uint64_t Replay::WorkOf(const ScenarioCommand& command) {
  const uint64_t pixels = pictureWidth_ * pictureHeight_;
  if (command.name == CommandName::kCommand) return pixels;
  if (command.name != CommandName::kSize) return 0;
  const uint64_t largest = PixelCanvas::kMaxSide;
  const uint64_t width = std::min(command.numbers[0], largest);
  const uint64_t height = std::min(command.numbers[1], largest);
  const uint64_t shared = std::min(width, pictureWidth_) * std::min(height, pictureHeight_);
  pictureWidth_ = width;
  pictureHeight_ = height;
  return kWindowWork + 2 * width * height + shared;
}

// Runs the lines in order until `ticks` ticks have run and the next command is a tick, or the
// recording ends, or the call's work is done; returns the ticks due that did not run.
uint64_t Replay::RunDue(uint64_t ticks) {
  uint64_t work = 0;
  while (!finished_ && work < kWorkPerCall) {
    if (ticksLeftInStep_ > 0) {
      const uint64_t affordable = (kWorkPerCall - work + kTickWork - 1) / kTickWork;
      const uint64_t now = std::min({ticks, ticksLeftInStep_, affordable});
      if (now == 0) break;
      game_.RunTicks(now);
      work += now * kTickWork;
      ticks -= now;
      ticksLeftInStep_ -= now;
      continue;
    }
    std::string_view line;
    if (lines_.Next(&line) != LineRead::kLine) {
      Finish("");
      break;
    }
    work += kLineWork + line.size() / 4;
    ScenarioCommand command;
    std::string problem;
    if (reader_.Read(line, &command, &problem) != ScenarioReader::Line::kCommand) continue;
    lastDump_.clear();  // the recording ends with its dump only when nothing follows it
    if (command.name == CommandName::kTick) {
      ticksLeftInStep_ = command.count == 0 ? 1 : command.numbers[0];
    } else {
      work += WorkOf(command);
      if (command.name == CommandName::kChar) {
        if (lastKeys_.size() == kKeysShown) lastKeys_.erase(0, 1);
        lastKeys_ += static_cast<char>(command.numbers[0]);
      }
      RunScenarioCommand(command, game_, nullptr, &lastDump_);
    }
  }
  return ticks;
}

PaceClock::time_point Replay::Advance(PaceClock::time_point now) {
  const PaceClock::duration played = std::max(now - last_, PaceClock::duration{});
  last_ = now;
  if (finished_) return now + kTickPeriod * 8;
  if (!paused_) credit_ = std::min(credit_ + played * speed_, kLongestCatchUp * speed_);
  const int64_t due = credit_ / kTickPeriod;
  credit_ -= due * kTickPeriod;
  if (!paused_) credit_ += kTickPeriod * static_cast<int64_t>(RunDue(static_cast<uint64_t>(due)));
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
    std::fprintf(report_, "verified\n");
  } else {
    std::fprintf(report_, "not verified: %s\n",
                 reason.empty() ? "this recording does not end where it was recorded: edited, "
                                  "damaged or made by another version"
                                : reason.c_str());
  }
  if (readable && reportStateLine_) std::fprintf(report_, "%s\n", stateLine.c_str());
  std::fflush(report_);
}

VerdictCard Replay::Verdict(Language language) const {
  return VerdictCardText(language, verified_, reason_);
}
