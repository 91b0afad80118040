#include "driver/RunTimer.h"

RunTimer::RunTimer(std::ostream& log) : log_(log), start_(std::chrono::steady_clock::now()) {}

RunTimer::~RunTimer() {
  log_ << "duration: " << elapsedSeconds() << " seconds" << std::endl;
}

double RunTimer::elapsedSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}
