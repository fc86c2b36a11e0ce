// The desktop game: start-up, the event loop and the two ways out.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "app/recording_file.h"
#include "app/settings.h"
#include "app/startup.h"
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

// Set from start-up until the program has ended its session.
GameWindow* unendedWindow = nullptr;

// A player who loses the best scores hears of it: on the terminal always, and in a message box
// when the player ended the program, not a signal or a lost display.
void ReportEndProblem(GameWindow& window, bool inBox) {
  const std::string& problem = window.EndProblem();
  if (problem.empty()) return;
  std::fprintf(stderr, "volarin: %s\n", problem.c_str());
  if (!inBox) return;
  window.hide();  // the game is over; only the message is left to read
  QMessageBox box(QMessageBox::Warning, window.windowTitle(), QString::fromStdString(problem));
  ExecUnlessTerminated(box);
}

// Qt ends the process with exit() when the display connection breaks, as when the X server
// goes away at logout; the settings and the recording are kept then too.
void EndAtUnexpectedExit() {
  if (unendedWindow == nullptr) return;
  unendedWindow->End(ProgramEnd::kWindowClosed);
  ReportEndProblem(*unendedWindow, false);
}

// `--record FILE` is the one option. Anything else on the command line is passed over with a
// note, as the game has always ignored its command line. Returns false when the recording
// asked for cannot be made: the program then does not start.
bool OpenRecording(int argc, char* argv[], std::FILE** record) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument != "--record") {
      std::fprintf(stderr, "volarin: ignoring the argument '%s'\n", argv[i]);
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "volarin: --record needs a file name\n");
      return false;
    }
    const char* path = argv[++i];
    if (*record != nullptr) std::fclose(*record);
    std::string problem;
    *record = OpenRecordingFile(path, &problem);
    if (*record == nullptr) {
      std::fprintf(stderr, "volarin: cannot record to %s: %s\n", path, problem.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Whole-number scale factors only, so the picture is never smoothed.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  // Each tick changes a few small pieces of the picture. Through shared memory, Qt waits for
  // the X server to be done with the last frame before it paints the next: a round trip per
  // tick that costs more than sending those few pixels over the connection. A user's own
  // setting stands.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication application(argc, argv);
  IgnoreBrokenPipes();
  std::FILE* record = nullptr;
  if (!OpenRecording(argc, argv, &record)) return 2;
  QGuiApplication::setDesktopFileName(QStringLiteral("org.volarin.Volarin"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.volarin.Volarin")));

  int caughtSignal = 0;
  CatchTerminationSignals([&caughtSignal](int signal) {
    caughtSignal = signal;
    QApplication::exit(0);
  });
  // Logging out may end the process without closing the window: keep the settings first.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, [] { SaveSettings(); });

  QtSoundOutput sound(SoundDirectories());
  GameWindow window;
  window.SetQuitHandler([] { QApplication::exit(kExitCommandCode); });
  window.show();
  window.StartUp(static_cast<uint32_t>(std::time(nullptr)), &sound, record);
  unendedWindow = &window;
  std::atexit(EndAtUnexpectedExit);
  sound.Preload(kEffectNames, std::size(kEffectNames));

  const bool exitCommand = application.exec() == kExitCommandCode;
  const int code = window.End(exitCommand ? ProgramEnd::kExitCommand : ProgramEnd::kWindowClosed);
  unendedWindow = nullptr;
  ReportEndProblem(window, caughtSignal == 0);
  if (record != nullptr) std::fclose(record);
  if (caughtSignal != 0) EndBySignal(caughtSignal);
  return code;
}
