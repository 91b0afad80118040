#ifndef SURVEY_DRIVER_USAGE_H_
#define SURVEY_DRIVER_USAGE_H_

#include <ostream>

// Answers a command line whose only argument is "--help", "-h" or "--version"
// by writing the usage text or the version line to `out`; returns whether it
// answered. Every other command line is left to the conversion run.
bool answerInformationRequest(int argc, const char* const* argv, std::ostream& out);

#endif  // SURVEY_DRIVER_USAGE_H_
