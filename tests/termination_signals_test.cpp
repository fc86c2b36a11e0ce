// How the game's termination-signal handling ends a Qt program at each moment of its life.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "test_support.h"

namespace {

// The probe's own wait status: no shell in between to turn a signal into a number.
int ProbeStatus(const char* moment) {
  const char* path = VOLARIN_TERMINATION_PROBE_PATH;
  char* const argv[] = {const_cast<char*>(path), const_cast<char*>(moment), nullptr};
  pid_t child = 0;
  if (::posix_spawn(&child, path, nullptr, nullptr, argv, environ) != 0) return -1;
  int status = -1;
  ::waitpid(child, &status, 0);
  return status;
}

bool EndedBySigterm(int status) {
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
}

}  // namespace

// Before the loop and for a second signal the loop has not taken, the process ends at once;
// after the loop it ends by the signal too, but only on its way out.
TEST(TerminationSignalsTest, EndTheProgramAtEveryMoment) {
  EXPECT_TRUE(EndedBySigterm(ProbeStatus("before-loop"))) << "swallowed before the loop";
  const int inLoop = ProbeStatus("in-loop");
  EXPECT_TRUE(WIFEXITED(inLoop) && WEXITSTATUS(inLoop) == 10) << "not handed to the loop";
  EXPECT_TRUE(EndedBySigterm(ProbeStatus("twice-in-loop")));
  EXPECT_TRUE(EndedBySigterm(ProbeStatus("after-loop"))) << "lost after the loop";
}
