// The desktop game: the command line, start-up, the event loop, and the end the shell reports.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/options.h"
#include "frontend/qt/game_window.h"
#include "frontend/qt/qt_sound.h"
#include "frontend/qt/termination_signals.h"

namespace {

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
void ReportEndProblem(GameWindow& window) {
  const std::string& problem = window.shell().EndProblem();
  if (problem.empty()) return;
  std::fprintf(stderr, "volarin: %s\n", problem.c_str());
  if (!window.shell().PlayerEnded()) return;
  window.hide();  // the game is over; only the message is left to read
  QMessageBox box(QMessageBox::Warning, window.windowTitle(), QString::fromStdString(problem));
  ExecUnlessTerminated(box);
}

// Qt ends the process with exit() when the display connection breaks, as when the X server
// goes away at logout; the settings and the recording are kept then too.
void EndAtUnexpectedExit() {
  if (unendedWindow == nullptr) return;
  unendedWindow->shell().End(ProgramEnd::kDisplayLost);
  ReportEndProblem(*unendedWindow);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before Qt looks for a display.
  const std::string information = InformationAsked({argv + 1, argv + argc}, Program::kGame);
  if (!information.empty()) return std::fputs(information.c_str(), stdout) >= 0 ? 0 : 1;
  // Whole-number scale factors only, so the picture is never smoothed.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  // Each tick changes a few small pieces of the picture. Through shared memory, Qt waits for
  // the X server to be done with the last frame before it paints the next: a round trip per
  // tick that costs more than sending those few pixels over the connection. A user's own
  // setting stands.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication application(argc, argv);
  const Options options = ParseOptions({argv + 1, argv + argc});
  for (const std::string& note : options.notes) std::fprintf(stderr, "volarin: %s\n", note.c_str());
  if (!options.ok) return kBadOptionsStatus;
  QGuiApplication::setDesktopFileName(QStringLiteral("org.volarin.Volarin"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.volarin.Volarin")));

  int caughtSignal = 0;
  CatchTerminationSignals([&caughtSignal](int signal) {
    caughtSignal = signal;
    QApplication::exit(0);
  });
  QtSoundOutput sound(SoundDirectories());
  GameWindow window;
  // Logging out may end the process without closing the window: keep the settings first.
  QObject::connect(&application, &QGuiApplication::commitDataRequest,
                   [&window] { window.shell().KeepSettings(); });
  window.Start(options, &sound);
  unendedWindow = &window;
  std::atexit(EndAtUnexpectedExit);
  sound.Preload();
  // Shown just before the loop: a termination signal sent once the window can be seen then
  // reaches the loop, which ends the program in order, rather than ending it at once.
  window.show();

  application.exec();
  const int status =
      window.shell().End(caughtSignal != 0 ? ProgramEnd::kSignal : ProgramEnd::kWindowClosed);
  unendedWindow = nullptr;
  ReportEndProblem(window);
  if (caughtSignal != 0) EndBySignal(caughtSignal);
  return status;
}
