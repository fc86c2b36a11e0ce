// The desktop game: start-up, the event loop and the two ways out.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdlib>
#include <ctime>

#include "app/settings.h"
#include "app/startup.h"
#include "core/records.h"
#include "frontend/qt/game_window.h"
#include "frontend/qt/qt_sound.h"
#include "frontend/qt/termination_signals.h"

namespace {

constexpr const char* kEffectNames[] = {"start.wav", "bingo.wav", "miss.wav", "flush.wav",
                                        "gameover.wav"};

// The installed data: beside the program in a relocated tree first, then where it was built
// to be installed.
QStringList SoundDirectories() {
  QStringList directories{QApplication::applicationDirPath() + QStringLiteral("/../share/volarin"),
                          QStringLiteral(VOLARIN_INSTALLED_DATA_DIR)};
  for (QString& directory : directories) directory = QDir::cleanPath(directory);
  directories.removeDuplicates();
  return directories;
}

// Set from start-up until the settings have been written at the end.
bool settingsUnsaved = false;

// Qt ends the process with exit() when the display connection breaks, as when the X server
// goes away at logout; the settings are kept then too.
void SaveSettingsAtUnexpectedExit() {
  if (settingsUnsaved) SaveSettings();
}

}  // namespace

int main(int argc, char* argv[]) {
  // Whole-number scale factors only, so the picture is never smoothed.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("org.volarin.Volarin"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.volarin.Volarin")));

  int caughtSignal = 0;
  CatchTerminationSignals([&caughtSignal](int signal) {
    caughtSignal = signal;
    QApplication::exit(0);
  });
  // Logging out may end the process without closing the window: keep the settings first.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, [] { SaveSettings(); });

  ResetAllRecords();
  QtSoundOutput sound(SoundDirectories());
  GameWindow window;
  window.SetQuitHandler([] { QApplication::exit(kExitCommandCode); });
  window.show();
  StartUp({.seed = static_cast<uint32_t>(std::time(nullptr)),
           .windowCanvas = &window.picture(),
           .sound = &sound,
           .readSettingsFile = true});
  settingsUnsaved = true;
  std::atexit(SaveSettingsAtUnexpectedExit);
  window.StartTicking();
  sound.Preload(kEffectNames, std::size(kEffectNames));

  const bool exitCommand = application.exec() == kExitCommandCode;
  const int code = EndProgram(exitCommand ? ProgramEnd::kExitCommand : ProgramEnd::kWindowClosed);
  settingsUnsaved = false;
  if (caughtSignal != 0) EndBySignal(caughtSignal);
  return code;
}
