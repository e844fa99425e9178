#include "platform/console.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace ravelin::platform {

namespace {

// The signal that asked the run to stop (SIGINT or SIGTERM); 0 while none came.
volatile std::sig_atomic_t g_signal = 0;

extern "C" void onInterrupt(int signal) {
  g_signal = signal;
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void useUtf8Console() {}

bool standardErrorIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

bool enableTerminalEscapes() {
  return true;
}

// The variable is inherited by the service's children too, whose stderr may go elsewhere:
// only the stream it names is the journal.
bool standardErrorIsJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");
  unsigned long long device = 0, inode = 0;
  char rest = 0;
  if (!stream || std::sscanf(stream, "%llu:%llu%c", &device, &inode, &rest) != 2) return false;
  struct stat st {};
  return ::fstat(STDERR_FILENO, &st) == 0 && st.st_dev == device && st.st_ino == inode;
}

// SA_RESETHAND: the second signal finds the default action, which ends the program. A
// blocked signal survives exec, so a parent that started this program with them blocked
// would leave the request to stop pending for good: they are unblocked.
void catchInterrupts() {
  struct sigaction sa {};
  sa.sa_handler = onInterrupt;
  sa.sa_flags = SA_RESETHAND;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigset_t interrupts;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
}

bool interruptRequested() {
  return g_signal != 0;
}

int interruptExitStatus() {
  return 128 + (g_signal != 0 ? static_cast<int>(g_signal) : SIGINT);
}

}  // namespace ravelin::platform
