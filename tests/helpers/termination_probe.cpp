// Raises SIGTERM at one moment of a Qt program's life, so a test can see how the process ends.
// Usage: volarin-termination-probe before-loop|in-loop|twice-in-loop|after-loop
#include <signal.h>

#include <QCoreApplication>
#include <QTimer>
#include <cstring>

#include "frontend/qt/termination_signals.h"

namespace {

// Exit codes that tell the test how far the probe got.
constexpr int kTakenByTheLoop = 10;
constexpr int kSurvived = 20;
constexpr int kUsage = 30;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 2) return kUsage;
  const char* moment = argv[1];
  int caught = 0;
  CatchTerminationSignals([&caught](int signal) {
    caught = signal;
    QCoreApplication::exit(0);
  });
  if (std::strcmp(moment, "before-loop") == 0) {
    raise(SIGTERM);
    return kSurvived;
  }
  const bool twice = std::strcmp(moment, "twice-in-loop") == 0;
  QTimer::singleShot(0, [moment, twice] {
    if (std::strcmp(moment, "after-loop") == 0) return QCoreApplication::exit(0);
    raise(SIGTERM);
    if (twice) raise(SIGTERM);
  });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(0); });
  application.exec();
  if (caught == SIGTERM) return kTakenByTheLoop;
  raise(SIGTERM);  // after the loop: kept until the process ends
  return kSurvived;
}
