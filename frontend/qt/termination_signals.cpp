// The handlers only touch lock-free atomics, write to a socket and end the process, which is
// all a signal handler may safely do; the event loop reads the socket and acts.
#include "frontend/qt/termination_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cstdlib>

// Safe inside a handler: the signal is blocked there, so it is unblocked to take effect.
void EndBySignal(int signal) {
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  sigaction(signal, &byDefault, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);
}

namespace {

enum Phase : int { kBeforeLoop, kInLoop, kAfterLoop };

std::atomic<int> phase{kBeforeLoop};
// A signal the loop has not yet taken, and one that arrived after the loop.
std::atomic<int> waitingForLoop{0};
std::atomic<int> arrivedAfterLoop{0};
static_assert(std::atomic<int>::is_always_lock_free);

int signalSockets[2] = {-1, -1};

// The dialog shown after the loop, which a signal closes; touched only on the loop's thread.
QDialog* dialogAfterLoop = nullptr;

// Before the loop nothing is kept; in it the signal waits for the loop, after it for the exit.
// A second signal while one waits ends the process at once.
extern "C" void OnTerminationSignal(int signal) {
  const int savedErrno = errno;
  const int at = phase.load();
  if (at == kBeforeLoop) EndBySignal(signal);
  std::atomic<int>& slot = at == kInLoop ? waitingForLoop : arrivedAfterLoop;
  int none = 0;
  if (!slot.compare_exchange_strong(none, signal)) EndBySignal(signal);
  // Wakes the loop, or a dialog's loop after it. Non-blocking: a full socket already holds a
  // byte that wakes it.
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = write(signalSockets[0], &number, 1);
  errno = savedErrno;
}

bool SignalKeptForExit() {
  return arrivedAfterLoop.load() != 0 || waitingForLoop.load() != 0;
}

// A signal the loop never took (it quit for another reason first) still ends the process.
void EndByLateSignal() {
  if (const int signal = arrivedAfterLoop.load()) EndBySignal(signal);
  if (const int signal = waitingForLoop.load()) EndBySignal(signal);
}

void WatchTheEventLoop(std::function<void(int)> onSignal) {
  QCoreApplication* application = QCoreApplication::instance();
  // Owned by the application, which outlives the event loop.
  auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, application);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [onSignal = std::move(onSignal)] {
                     unsigned char number = 0;
                     while (read(signalSockets[1], &number, 1) == 1) {
                     }
                     // After the loop, a signal it never took is kept for the exit.
                     if (phase.load() == kInLoop) {
                       if (const int signal = waitingForLoop.exchange(0)) onSignal(signal);
                     }
                     if (dialogAfterLoop != nullptr && SignalKeptForExit()) {
                       dialogAfterLoop->reject();
                     }
                   });
  // Runs at the loop's first turn.
  QTimer::singleShot(0, notifier, [] { phase.store(kInLoop); });
  QObject::connect(application, &QCoreApplication::aboutToQuit, notifier,
                   [] { phase.store(kAfterLoop); });
  std::atexit(EndByLateSignal);
}

}  // namespace

void CatchTerminationSignals(std::function<void(int)> onSignal) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) {
    return;  // the signals keep their default action and still end the program
  }
  WatchTheEventLoop(std::move(onSignal));
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void ExecUnlessTerminated(QDialog& dialog) {
  if (SignalKeptForExit()) return;
  // A signal from here on leaves a byte in the socket, which the dialog's loop then reads.
  dialogAfterLoop = &dialog;
  dialog.exec();
  dialogAfterLoop = nullptr;
}
