// Turns SIGTERM, SIGINT and SIGHUP into an orderly end of the event loop.
#pragma once

#include <functional>

// Installs the handlers. `onSignal` runs later on the event loop's thread, never inside the
// handler, with the number of the signal that arrived.
void CatchTerminationSignals(std::function<void(int signal)> onSignal);

// Ends the process by the signal's default action, so the parent sees how it ended.
[[noreturn]] void EndBySignal(int signal);
