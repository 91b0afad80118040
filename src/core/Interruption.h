#ifndef SURVEY_CORE_INTERRUPTION_H_
#define SURVEY_CORE_INTERRUPTION_H_

#include <cstddef>

#include "core/Stream.h"

// SIGINT, SIGTERM and SIGHUP stop a run as a failure instead of killing it,
// so that the files are closed with every line written so far and the
// duration line and the report still come out. The first such signal is only
// noted; the run checks for it between two records. A second one ends the
// process at once, by that signal's default action.
void catchInterruptions();

// Fails with "interrupted by signal N" if one of those signals has arrived.
void throwIfInterrupted();

// The signal whose failure throwIfInterrupted() raised, 0 if it raised none:
// the run's exit status is then 128 + that number.
int signalThatStoppedTheRun();

// Hands on the records of `inner` (not owned), checking for a signal before
// each one, so that a run stops between two records.
template <class T>
class StopsWhenInterrupted : public Stream<T> {
 public:
  explicit StopsWhenInterrupted(Stream<T>& inner) : inner_(inner) { this->name = inner.name; }
  bool get(T& item) override {
    throwIfInterrupted();
    return inner_.get(item);
  }

 private:
  Stream<T>& inner_;
};

#endif  // SURVEY_CORE_INTERRUPTION_H_
