// A signal handler may only write to a pipe; the event loop reads it and acts.
#include "frontend/qt/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>

namespace {

int signalSockets[2] = {-1, -1};

extern "C" void WriteSignalNumber(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = write(signalSockets[0], &number, 1);
}

}  // namespace

void CatchTerminationSignals(std::function<void(int)> onSignal) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
  // Owned by the application, which outlives the event loop.
  auto* notifier =
      new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                   [onSignal = std::move(onSignal)] {
                     unsigned char number = 0;
                     if (read(signalSockets[1], &number, 1) == 1) onSignal(number);
                   });
  struct sigaction action = {};
  action.sa_handler = WriteSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void EndBySignal(int signal) {
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);
}
