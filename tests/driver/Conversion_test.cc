#include "driver/Conversion.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "core/FailureText.h"
#include "driver/RunTimer.h"

namespace {

TEST(RunTimer, WritesOneDurationLineInSecondsWhenDestroyed) {
  std::ostringstream log;
  { RunTimer timer(log); }
  EXPECT_TRUE(std::regex_match(log.str(), std::regex("duration: [0-9][0-9.e+-]* seconds\n")))
      << log.str();
}

TEST(RunGuarded, ReportsTheFailureAfterTheDurationLineAndReturnsOne) {
  const char* argv[] = {"survey-decoder", "in76.dat"};
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const int status = runGuarded(2, argv);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out, "");
  EXPECT_TRUE(std::regex_match(err, std::regex("duration: \\S+ seconds\n"
                                               "Caught std::exception whose 'what\\(\\)' output "
                                               "appears below.\nargc < 3 \\(argc == 2\\)\n")))
      << err;
}

}  // namespace
