#ifndef SURVEY_TESTS_CORE_FAILURETEXT_H_
#define SURVEY_TESTS_CORE_FAILURETEXT_H_

#include <exception>
#include <functional>
#include <string>

// Runs `work` and returns the message of the decoder's error it raised, or
// "no failure" when it returned normally.
inline std::string failureOf(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no failure";
}

#endif  // SURVEY_TESTS_CORE_FAILURETEXT_H_
