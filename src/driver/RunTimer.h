#ifndef SURVEY_DRIVER_RUNTIMER_H_
#define SURVEY_DRIVER_RUNTIMER_H_

#include <chrono>
#include <iostream>

// Measures the run's wall-clock time from construction, which is the run's
// first action, to destruction, which writes "duration: X seconds" (X in
// seconds, default double format) to `log`. Writing never raises.
class RunTimer {
 public:
  explicit RunTimer(std::ostream& log = std::cerr);
  RunTimer(const RunTimer&) = delete;
  RunTimer& operator=(const RunTimer&) = delete;
  ~RunTimer();

  double elapsedSeconds() const;

 private:
  std::ostream& log_;
  const std::chrono::steady_clock::time_point start_;
};

#endif  // SURVEY_DRIVER_RUNTIMER_H_
