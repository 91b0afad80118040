#ifndef SURVEY_CORE_FIRSTFAILURE_H_
#define SURVEY_CORE_FIRSTFAILURE_H_

#include <exception>
#include <utility>

// Keeps the first failure of a sequence of steps that must all run, such as
// the teardown after a failed run; later failures are dropped unreported.
class FirstFailure {
 public:
  // Runs `step`; a failure it raises is kept if it is the first, else dropped.
  template <class Step>
  void attempt(Step&& step) {
    try {
      std::forward<Step>(step)();
    } catch (...) {
      if (!first_) first_ = std::current_exception();
    }
  }

  bool any() const { return static_cast<bool>(first_); }

  // Raises the kept failure again, if there is one.
  void rethrowIfAny() const {
    if (first_) std::rethrow_exception(first_);
  }

 private:
  std::exception_ptr first_;
};

#endif  // SURVEY_CORE_FIRSTFAILURE_H_
