#ifndef SURVEY_TESTS_E2E_DURATIONLINE_H_
#define SURVEY_TESTS_E2E_DURATIONLINE_H_

#include <regex>
#include <string>

// Standard error with the value of each duration line replaced by "*", so that
// a whole stream can be compared while the measured time varies.
inline std::string maskDuration(const std::string& err) {
  static const std::regex line("duration: [0-9][0-9.e+-]* seconds\n");
  return std::regex_replace(err, line, "duration: * seconds\n");
}

// What standard error holds after a run that failed with `message`.
inline std::string failureReport(const std::string& message) {
  return "duration: * seconds\nCaught std::exception whose 'what()' output appears below.\n" +
         message + "\n";
}

#endif  // SURVEY_TESTS_E2E_DURATIONLINE_H_
