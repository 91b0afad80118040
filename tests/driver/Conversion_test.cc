#include "driver/Conversion.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "core/FailureText.h"
#include "driver/RunTimer.h"

namespace {

TEST(YearFromInputPath, TakesTheTwoCharactersBeforeTheExtensionAsAtoiReadsThem) {
  struct Case {
    const char* path;
    std::int32_t year;
  };
  for (const Case& c : {Case{"data76.dat", 76}, Case{"76.dat", 76}, Case{"/surveys/x88.bin", 88},
                        Case{"abc7x.dat", 7}, Case{"data7.txt", 0}, Case{"data-5.dat", -5},
                        Case{"data+8.dat", 8}, Case{"data 9.dat", 9}, Case{"dataxx.dat", 0},
                        Case{"data76.dat.gz", 0}, Case{"data08.dat", 8}}) {
    EXPECT_EQ(yearFromInputPath(c.path), c.year) << c.path;
  }
}

TEST(YearFromInputPath, RefusesPathsTooShortToHoldTheYear) {
  for (const char* path : {"", "a", "6.dat", "ab.cd"}) {
    EXPECT_EQ(failureOf([&] { yearFromInputPath(path); }),
              std::string("input path \"") + path + "\" is too short to carry the survey year");
  }
}

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
