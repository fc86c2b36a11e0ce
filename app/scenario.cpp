// Each command of the scenario format as one call of the game.
#include "app/scenario.h"

#include "app/settings.h"

std::string RunScenarioCommand(const ScenarioCommand& command, ScenarioCalls& game,
                               ScenarioPictures* pictures, std::string* dumped) {
  const uint64_t a = command.numbers[0];
  const uint64_t b = command.numbers[1];
  std::string text;
  switch (command.name) {
    case CommandName::kSeed:
      game.Seed(static_cast<uint32_t>(a));
      break;
    case CommandName::kSize:
      game.Size(static_cast<int>(a), static_cast<int>(b));
      break;
    case CommandName::kTick:
      game.RunTicks(command.count == 0 ? 1 : a);
      break;
    case CommandName::kChar:
      game.TypeCode(static_cast<uint8_t>(a));
      break;
    case CommandName::kCommand:
      game.Command(static_cast<uint16_t>(a));
      break;
    case CommandName::kLoad:  // as start-up reads the file; without one, the defaults
      game.TakeSettings(ReadSettingsText(&text) ? &text : nullptr);
      break;
    case CommandName::kSettings:
      game.TakeSettings(command.settings);
      break;
    case CommandName::kSave:
      if (!WriteSettingsFile())
        return std::string("cannot write the settings file ") + kSettingsFileName;
      break;
    case CommandName::kDump:
      *dumped = game.Dump();
      break;
    case CommandName::kPng:
    case CommandName::kSheet:
      if (pictures == nullptr) return "this program writes no pictures";
      return pictures->Picture(std::string(command.path), command.name == CommandName::kSheet);
  }
  return "";
}
