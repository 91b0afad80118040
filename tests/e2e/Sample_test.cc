// survey-sample's files decoded by survey-decoder: two independent readings of the formats
// must agree, for every year.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"

namespace {

struct YearCase {
  const char* year;
  int formats;
  // The size warning of a 100-record sample; the fixed-length years check their size at the
  // end of the input, and only a full-size file passes. FF-record samples end with the
  // end-of-data quartet, so their input is never read to its end, and year 78 has no check.
  const char* sizeWarning;
};

void PrintTo(const YearCase& c, std::ostream* os) {
  *os << "year " << c.year;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> result;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) result.push_back(field);
  return result;
}

// Makes `name` with survey-sample (arguments after YEAR and OUTPUT in `options`) and decodes
// it into `name`.out.
RunResult sampleAndDecode(const ScratchDir& dir, const std::string& year, const std::string& name,
                          std::vector<std::string> options) {
  options.insert(options.begin(), {year, name});
  const RunResult sample = runSample(options, dir.path());
  EXPECT_EQ(sample.exitStatus, 0) << sample.err;
  return runDecoder({name, name + ".out"}, dir.path());
}

class SampleDecodes : public testing::TestWithParam<YearCase> {};

TEST_P(SampleDecodes, CleanlyWithEveryRecordFormatAndTheOddCharacters) {
  const YearCase& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const RunResult run = sampleAndDecode(dir, c.year, name, {});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::string warning = c.sizeWarning;
  EXPECT_EQ(maskDuration(run.err), normalEnd(warning.empty() ? "" : warning + "\n"));

  EXPECT_EQ(lines(readFile(dir / (name + ".out"))).size(), 100u);
  const std::string meta = readFile(dir / (name + ".out.meta.txt"));
  for (int k = 0; k < c.formats; ++k) {
    EXPECT_NE(meta.find("Summary for record format " + std::to_string(k) + "\n"), std::string::npos)
        << "format " << k;
  }
  EXPECT_EQ(meta.find("Summary for record format " + std::to_string(c.formats)), std::string::npos);

  EXPECT_NE(run.out.find("\n127\t34\tdouble quote\t"), std::string::npos);
  const std::string closing =
      "number of non-printable characters other than zeroes and matched double quotes ";
  const size_t at = run.out.find(closing);
  ASSERT_NE(at, std::string::npos);
  EXPECT_GT(std::stoul(run.out.substr(at + closing.size())), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Years, SampleDecodes,
    testing::Values(YearCase{"68", 1, ""}, YearCase{"69", 1, ""}, YearCase{"70", 1, ""},
                    YearCase{"71", 1, ""}, YearCase{"72", 1, ""}, YearCase{"73", 1, ""},
                    YearCase{"74", 1, ""}, YearCase{"76", 1, ""}, YearCase{"78", 2, ""},
                    YearCase{"80", 2, "pseudoFileSize != metaData.fileSize (266741 != 147896000)"},
                    YearCase{"82", 2, "pseudoFileSize != metaData.fileSize (282901 != 110625495)"},
                    YearCase{"86", 3, "pseudoFileSize != metaData.fileSize (282901 != 120487816)"},
                    YearCase{"88", 3, "pseudoFileSize != metaData.fileSize (282901 != 137593523)"}),
    [](const testing::TestParamInfo<YearCase>& info) {
      return std::string("Year") + info.param.year;
    });

TEST(SampleFullSize, Year69DecodesToItsEndWithoutSizeWarning) {
  ScratchDir dir;
  const RunResult run = sampleAndDecode(dir, "69", "sample69.dat", {"--full-size"});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(maskDuration(run.err), normalEnd());
  EXPECT_NE(
      run.out.find("recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t804\t3220\t7109\t0\n"),
      std::string::npos);
}

// The fixed-length years check their size whenever the input ends, so only a full-size file
// (110 to 150 MB) decodes without the warning. Too slow under the sanitizers; the other builds
// run it.
class FullSizeFixedLengthSample : public testing::TestWithParam<const char*> {};

TEST_P(FullSizeFixedLengthSample, DecodesWithoutSizeWarning) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "a full-size file takes minutes under the sanitizers";
#endif
  ScratchDir dir;
  const std::string year = GetParam();
  const RunResult run = sampleAndDecode(dir, year, "full" + year + ".dat", {"--full-size"});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(maskDuration(run.err), normalEnd());
}

INSTANTIATE_TEST_SUITE_P(Years, FullSizeFixedLengthSample, testing::Values("80", "82", "86", "88"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string("Year") + info.param;
                         });

TEST(SampleFloats, IncludeNegativeNotANumberAndBothInfinities) {
  ScratchDir dir;
  const RunResult run = sampleAndDecode(dir, "80", "sample80.dat", {"--records", "400"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  // Address 65 of a District record (second value 0) is a float.
  bool nan = false, plusInf = false, minusInf = false, negative = false;
  for (const std::string& line : lines(readFile(dir / "sample80.dat.out"))) {
    const std::vector<std::string> f = fields(line);
    if (f.size() < 65 || f[1] != "0") continue;
    const std::string& v = f[64];
    nan |= v == "nan" || v == "-nan";
    plusInf |= v == "inf";
    minusInf |= v == "-inf";
    negative |= v[0] == '-' && v != "-inf" && v != "-nan";
  }
  EXPECT_TRUE(nan);
  EXPECT_TRUE(plusInf);
  EXPECT_TRUE(minusInf);
  EXPECT_TRUE(negative);
}

}  // namespace
