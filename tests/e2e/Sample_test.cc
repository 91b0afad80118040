// survey-sample's files decoded by survey-decoder: two independent readings of the formats
// must agree, for every year.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
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

class SampleDecodes : public testing::TestWithParam<std::tuple<YearCase, const char*>> {};

TEST_P(SampleDecodes, CleanlyWithEveryRecordFormatAndTheOddCharacters) {
  const auto& [c, values] = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const RunResult run = sampleAndDecode(dir, c.year, name, {"--values", values});

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
    testing::Combine(
        testing::Values(
            YearCase{"68", 1, ""}, YearCase{"69", 1, ""}, YearCase{"70", 1, ""},
            YearCase{"71", 1, ""}, YearCase{"72", 1, ""}, YearCase{"73", 1, ""},
            YearCase{"74", 1, ""}, YearCase{"76", 1, ""}, YearCase{"78", 2, ""},
            YearCase{"80", 2, "pseudoFileSize != metaData.fileSize (266741 != 147896000)"},
            YearCase{"82", 2, "pseudoFileSize != metaData.fileSize (282901 != 110625495)"},
            YearCase{"86", 3, "pseudoFileSize != metaData.fileSize (282901 != 120487816)"},
            YearCase{"88", 3, "pseudoFileSize != metaData.fileSize (282901 != 137593523)"}),
        testing::Values("light", "wide")),
    [](const testing::TestParamInfo<std::tuple<YearCase, const char*>>& info) {
      return std::string("Year") + std::get<0>(info.param).year + "_" + std::get<1>(info.param);
    });

class SampleFullSize : public testing::TestWithParam<const char*> {};

TEST_P(SampleFullSize, Year69DecodesToItsEndWithoutSizeWarning) {
  ScratchDir dir;
  const RunResult run =
      sampleAndDecode(dir, "69", "sample69.dat", {"--full-size", "--values", GetParam()});

  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(maskDuration(run.err), normalEnd());
  EXPECT_NE(
      run.out.find("recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t804\t3220\t7109\t0\n"),
      std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Values, SampleFullSize, testing::Values("light", "wide"));

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

// The first record format's summary in a metadata file: per address, the type letter, and the
// highest address. Unsigned addresses whose largest value is below 10^7 (flags, packed small
// numbers, constants) are left out: they cannot show a value's width.
struct FirstFormat {
  std::map<size_t, char> types;
  size_t highest = 0;
};

FirstFormat firstFormat(const std::string& meta) {
  FirstFormat format;
  for (const std::string& line : lines(meta)) {
    if (line == "Field expansions" || line == "Summary for record format 1") break;
    const std::vector<std::string> f = fields(line);
    if (f.size() < 5 || f[0].empty() || f[1].size() != 1 ||
        f[0].find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    const size_t address = std::stoul(f[0]);
    format.highest = std::max(format.highest, address);
    if (f[1] != "u" || std::stoull(f[4]) >= 10000000) format.types[address] = f[1][0];
  }
  return format;
}

// What the values of one decoded sample look like, counted by their addresses' types.
struct ValueCensus {
  size_t unsignedValues = 0;
  size_t unsignedOf8To10Digits = 0;
  std::set<size_t> signedLengths;  // digits of the signed values, sign not counted
  size_t negativeValues = 0;
  size_t floats = 0;
  size_t exponentForms = 0;
  int smallestExponent = 0;
  int largestExponent = 0;
};

// Counts the values of the output lines of the first record format: those whose second
// column holds `mark`, or with no mark, those that end within the format's highest address.
ValueCensus census(const std::string& output, const FirstFormat& format, const char* mark) {
  const std::map<size_t, char>& types = format.types;
  ValueCensus c;
  for (const std::string& line : lines(output)) {
    const std::vector<std::string> f = fields(line);
    if (mark != nullptr ? f.size() < 2 || f[1] != mark : f.size() > format.highest) continue;
    for (size_t column = 1; column <= f.size(); ++column) {
      const std::string& v = f[column - 1];
      const auto type = types.find(column);
      if (v.empty() || type == types.end()) continue;
      if (type->second == 'u') {
        ++c.unsignedValues;
        c.unsignedOf8To10Digits += v.size() >= 8;
      } else if (type->second == 'i') {
        const bool negative = v[0] == '-';
        c.negativeValues += negative;
        c.signedLengths.insert(v.size() - negative);
      } else if (type->second == 'f') {
        ++c.floats;
        const size_t e = v.find('e');
        if (e == std::string::npos) continue;
        ++c.exponentForms;
        const int exponent = std::stoi(v.substr(e + 1));
        c.smallestExponent = std::min(c.smallestExponent, exponent);
        c.largestExponent = std::max(c.largestExponent, exponent);
      }
    }
  }
  return c;
}

struct WidthCase {
  const char* year;
  const char* values;
  const char* firstFormatMark;  // the second column's value in the first format's records
  double longUnsignedShare[2];  // least and most share of unsigned values with 8 to 10 digits;
                                // {0, 0}: the year has too few unsigned values to tell
  double exponentShare[2];      // least and most share of floats printed in exponent form
  bool floatsOfEveryMagnitude;  // exponent forms near both ends of the float range
  bool signedOfEveryLength;     // signed values of 1 to 10 digits, many of them negative
  bool zeroBytesInTexts;        // EBCDIC 00, which adds nothing to a text, in the histogram
};

void PrintTo(const WidthCase& c, std::ostream* os) {
  *os << "year " << c.year << ", " << c.values << " values";
}

class SampleValueWidth : public testing::TestWithParam<WidthCase> {};

TEST_P(SampleValueWidth, FollowsTheValueProfile) {
  const WidthCase& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const RunResult run =
      sampleAndDecode(dir, c.year, name, {"--records", "600", "--values", c.values});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const ValueCensus v =
      census(readFile(dir / (name + ".out")), firstFormat(readFile(dir / (name + ".out.meta.txt"))),
             c.firstFormatMark);

  if (c.longUnsignedShare[1] > 0) {
    ASSERT_GT(v.unsignedValues, 1000u);
    const double share = double(v.unsignedOf8To10Digits) / v.unsignedValues;
    EXPECT_GE(share, c.longUnsignedShare[0]);
    EXPECT_LE(share, c.longUnsignedShare[1]);
  }
  ASSERT_GT(v.floats, 100u);
  const double exponents = double(v.exponentForms) / v.floats;
  EXPECT_GE(exponents, c.exponentShare[0]);
  EXPECT_LE(exponents, c.exponentShare[1]);
  if (c.floatsOfEveryMagnitude) {
    EXPECT_GE(v.largestExponent, 30);
    EXPECT_LE(v.smallestExponent, -30);
  }
  if (c.signedOfEveryLength) {
    EXPECT_EQ(v.signedLengths, (std::set<size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_GT(v.negativeValues, 1000u);
  }
  EXPECT_EQ(run.out.find("\n0\t0\t\t") != std::string::npos, c.zeroBytesInTexts);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, SampleValueWidth,
    testing::Values(WidthCase{"76", "wide", nullptr, {0.6, 1.0}, {0.3, 0.8}, true, false, false},
                    WidthCase{"78", "wide", nullptr, {0, 0}, {0.3, 0.8}, true, true, false},
                    WidthCase{"80", "wide", "0", {0.6, 1.0}, {0.3, 0.8}, true, false, false},
                    WidthCase{"88", "wide", "1", {0.6, 1.0}, {0.3, 0.8}, true, false, false},
                    WidthCase{"80", "light", "0", {0.0, 0.4}, {0.0, 0.15}, false, false, true}),
    [](const testing::TestParamInfo<WidthCase>& info) {
      return std::string("Year") + info.param.year + "_" + info.param.values;
    });

}  // namespace
