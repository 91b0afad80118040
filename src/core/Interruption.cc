#include "core/Interruption.h"

#include <signal.h>

#include <atomic>
#include <csignal>

#include "core/Error.h"

namespace {

std::atomic<int> arrived{0};
std::atomic<int> stopped{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and written in a signal handler");

extern "C" void noteInterruption(int signalNumber) {
  int none = 0;
  if (!arrived.compare_exchange_strong(none, signalNumber)) {
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
  }
}

}  // namespace

void catchInterruptions() {
  struct sigaction action {};
  action.sa_handler = noteInterruption;
  sigemptyset(&action.sa_mask);
  // Reads and writes resume after the handler; the run notices the signal at
  // its next record.
  action.sa_flags = SA_RESTART;
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signalNumber, &action, nullptr);
}

void throwIfInterrupted() {
  const int signalNumber = arrived.load(std::memory_order_relaxed);
  if (signalNumber == 0) return;
  stopped.store(signalNumber);
  throwMessage("interrupted by signal ", signalNumber);
}

int signalThatStoppedTheRun() {
  return stopped.load();
}
