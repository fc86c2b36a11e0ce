// Ends the program on SIGTERM, SIGINT and SIGHUP at any moment, in order when it can.
#pragma once

#include <functional>

// Installs the handlers. Until the event loop first runs, a signal ends the process at once:
// nothing has changed yet that the end of the program would keep. While the loop runs,
// `onSignal` runs on the loop's thread (never inside the handler) with the signal's number;
// a second signal before it has run ends the process at once, as the loop is not answering.
// After the loop has quit, a signal is kept, and the process ends by it on exit, once the
// program has finished ending (a second one ends it at once).
void CatchTerminationSignals(std::function<void(int signal)> onSignal);

// Ends the process by the signal's default action, so the parent sees how it ended.
[[noreturn]] void EndBySignal(int signal);
