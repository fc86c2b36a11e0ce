// Ends the program on SIGTERM, SIGINT and SIGHUP at any moment, in order when it can.
#pragma once

#include <functional>

class QDialog;

// Installs the handlers. Until the event loop first runs, a signal ends the process at once:
// nothing has changed yet that the end of the program would keep. While the loop runs,
// `onSignal` runs on the loop's thread (never inside the handler) with the signal's number;
// a second signal before it has run ends the process at once, as the loop is not answering.
// After the loop has quit, a signal is kept, and the process ends by it on exit, once the
// program has finished ending (a second one ends it at once).
void CatchTerminationSignals(std::function<void(int signal)> onSignal);

// Shows `dialog` modally after the event loop has quit. A termination signal that came before or
// comes while it is shown closes it (the signal is kept, and ends the process on exit as it
// would have without the dialog): a session manager ending the program never waits on it.
void ExecUnlessTerminated(QDialog& dialog);

// Ends the process by the signal's default action, so the parent sees how it ended.
[[noreturn]] void EndBySignal(int signal);
