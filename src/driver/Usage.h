#ifndef SURVEY_DRIVER_USAGE_H_
#define SURVEY_DRIVER_USAGE_H_

#include <ostream>

#include "driver/CommandLine.h"

// Answers --help / -h (the usage text) or --version (the version line) by
// writing to `out`, and returns whether the command line asked for either.
// Whether the text reached `out` is the caller's to check.
bool answerInformationRequest(const CommandLine& commandLine, std::ostream& out);

#endif  // SURVEY_DRIVER_USAGE_H_
