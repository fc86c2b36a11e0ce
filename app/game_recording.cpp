// A game's own recording, begun at its start command from the state the rules start it from.
#include "app/game_recording.h"

#include "app/settings.h"
#include "core/records.h"

void GameRecording::Begin(uint16_t startCommand, const ClientSizeSeen& size) {
  recorder_ = SessionRecorder(nullptr, true);
  sounds_.Clear();
  ticks_ = 0;
  recording_ = true;
  const std::string settings = FormatSettings();
  recorder_.Start(randomSeed, &settings);
  if (size.sized) recorder_.Size(size.width, size.height);
  recorder_.Command(startCommand);
}

void GameRecording::Tick() {
  if (!recording_) return;
  recorder_.Tick();
  ++ticks_;
}

void GameRecording::Size(int width, int height) {
  if (recording_) recorder_.Size(width, height);
}

void GameRecording::Char(uint8_t code) {
  if (recording_) recorder_.Char(code);
}

void GameRecording::Command(uint16_t id) {
  if (recording_) recorder_.Command(id);
}

void GameRecording::Comment(std::string_view text) {
  if (recording_) recorder_.Comment(text);
}

std::string GameRecording::End() {
  if (!recording_) return "";
  recording_ = false;
  std::string text = recorder_.SoFar(FormatStateLine(ticks_, sounds_));
  recorder_ = SessionRecorder(nullptr, true);
  sounds_.Clear();
  return text;
}
