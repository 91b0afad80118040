// The sample files' own invariants, read straight from the bytes survey-sample writes, without
// the decoder: where the CR LF pairs stand, what the FF-records hold, how the record formats
// are told apart, and how big a full-size file is.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "e2e/DecodedRun.h"
#include "e2e/RunProgram.h"

namespace {

// Runs survey-sample with `args` (YEAR, OUTPUT, options) in `dir` and returns the file.
std::string makeSample(const ScratchDir& dir, const std::vector<std::string>& args) {
  const RunResult run = runSample(args, dir.path());
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  return readFile(dir / args[1]);
}

bool crLfAt(const std::string& file, size_t offset) {
  return offset + 2 <= file.size() && file.compare(offset, 2, "\r\n") == 0;
}

// The data of a file whose only CR LF pairs end its physical records of `recordData` bytes
// (every quartet year but 68); a pair missing from its place fails the test.
std::string dataOf(const std::string& file, size_t recordData) {
  std::string data;
  size_t offset = 0;
  while (offset < file.size()) {
    data.append(file, offset, recordData);
    offset += recordData;
    EXPECT_TRUE(crLfAt(file, offset)) << "no CR LF at file offset " << offset;
    offset += 2;
  }
  return data;
}

struct Couple {
  uint32_t address;
  uint32_t value;
};

// FF-records read back as the decoder frames them: quartets up to the FF FF FF FF marker;
// FF FF FF FE opening a record ends the data.
struct FfRecords {
  std::vector<std::vector<Couple>> records;
  bool oddRecord = false;  // a record with an address but no value
  bool endOfData = false;
  size_t endOfDataOffset = 0;
};

FfRecords readFfRecords(const std::string& data) {
  FfRecords result;
  size_t offset = 0;
  while (offset + 4 <= data.size()) {
    if (wordAt(data, offset) == 0xFFFFFFFE) {
      result.endOfData = true;
      result.endOfDataOffset = offset;
      return result;
    }
    std::vector<uint32_t> quartets;
    while (offset + 4 <= data.size()) {
      const uint32_t q = wordAt(data, offset);
      offset += 4;
      if (q == 0xFFFFFFFF) break;
      quartets.push_back(q);
    }
    if (quartets.size() % 2 != 0) result.oddRecord = true;
    std::vector<Couple> record;
    for (size_t i = 0; i + 1 < quartets.size(); i += 2) {
      record.push_back({quartets[i], quartets[i + 1]});
    }
    result.records.push_back(std::move(record));
  }
  return result;
}

TEST(SampleLineEnds, Year68BlocksEndInsideRecords) {
  ScratchDir dir;
  const std::string file = makeSample(dir, {"68", "sample68.dat", "--records", "200"});
  // Data bytes after which a pair stands: every record end (800, 1600, ...) and the block ends
  // inside the fourth and the eighth record.
  const size_t afterData[] = {800, 1600, 2400, 3180, 3200, 4000, 4800, 5600, 6356, 6400};
  for (size_t k = 0; k < std::size(afterData); ++k) {
    EXPECT_TRUE(crLfAt(file, afterData[k] + 2 * k)) << "after data byte " << afterData[k];
  }
}

struct FixedYear {
  const char* year;
  size_t recordData;
  size_t selectorAddress;
  std::set<uint32_t> discriminants;  // empty: zero for District, anything else for School
};

void PrintTo(const FixedYear& c, std::ostream* os) {
  *os << "year " << c.year;
}

class SampleFixedRecords : public testing::TestWithParam<FixedYear> {};

TEST_P(SampleFixedRecords, EndEveryRecordWithCrLfAndMixTheFormats) {
  const FixedYear& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const std::string file = makeSample(dir, {c.year, name, "--records", "40"});
  ASSERT_EQ(file.size(), 40 * (c.recordData + 2));
  const std::string data = dataOf(file, c.recordData);

  std::set<uint32_t> seen;
  for (size_t r = 0; r < 40; ++r) {
    const uint32_t selector = wordAt(data, r * c.recordData + (c.selectorAddress - 1) * 4);
    seen.insert(c.discriminants.empty() ? (selector != 0) : selector);
  }
  EXPECT_EQ(seen, (c.discriminants.empty() ? std::set<uint32_t>{0, 1} : c.discriminants));
}

INSTANTIATE_TEST_SUITE_P(Years, SampleFixedRecords,
                         testing::Values(FixedYear{"80", 2640, 2, {}}, FixedYear{"82", 2800, 3, {}},
                                         FixedYear{"86", 2800, 2, {1, 2, 3}},
                                         FixedYear{"88", 2800, 2, {1, 2, 3}}));

TEST(SampleFfRecords, ListWholeCouplesOfLayoutAddressesInAnyOrder) {
  ScratchDir dir;
  const std::string file = makeSample(dir, {"74", "sample74.dat", "--records", "400"});
  const FfRecords ff = readFfRecords(dataOf(file, 800));

  ASSERT_EQ(ff.records.size(), 400u);
  EXPECT_FALSE(ff.oddRecord);
  ASSERT_TRUE(ff.endOfData);
  // Only zero padding follows the end of the data, up to the end of its physical record.
  const std::string data = dataOf(file, 800);
  EXPECT_LT(data.size() - ff.endOfDataOffset, 800u + 4);
  EXPECT_TRUE(std::all_of(data.begin() + ff.endOfDataOffset + 4, data.end(),
                          [](char b) { return b == 0; }));

  const auto& first = ff.records.front();
  EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](Couple c) { return c.address == 1; }));
  bool unordered = false;
  bool repeated = false;
  std::set<uint32_t> constants4;
  std::set<uint32_t> constants5;
  for (const auto& record : ff.records) {
    std::set<uint32_t> listed;
    for (size_t i = 0; i < record.size(); ++i) {
      const Couple c = record[i];
      EXPECT_GE(c.address, 1u);
      EXPECT_LE(c.address, 593u);
      if (i > 0 && c.address < record[i - 1].address) unordered = true;
      if (!listed.insert(c.address).second) repeated = true;
      if (c.address == 4) constants4.insert(c.value);
      if (c.address == 5) constants5.insert(c.value);
    }
  }
  EXPECT_TRUE(unordered);
  EXPECT_TRUE(repeated);
  EXPECT_EQ(constants4, (std::set<uint32_t>{0, 1}));
  EXPECT_EQ(constants5, (std::set<uint32_t>{0, 0x41100000}));
}

TEST(SampleFullSize, Year69MatchesTheSizeTableAndFillsItsRecords) {
  ScratchDir dir;
  const std::string file = makeSample(dir, {"69", "sample69.dat", "--full-size"});
  ASSERT_EQ(file.size() % 802, 0u);
  const uint64_t numRecs = file.size() / 802;
  EXPECT_EQ((numRecs + 1) * 801, 5695110u);

  // The FF-records run to the very end of the data: no end-of-data quartet, no padding.
  const FfRecords ff = readFfRecords(dataOf(file, 800));
  EXPECT_FALSE(ff.endOfData);
  EXPECT_FALSE(ff.oddRecord);
}

TEST(SampleYear78, RecordsTakeTheLengthTheirHeaderGives) {
  ScratchDir dir;
  const std::string file = makeSample(dir, {"78", "sample78.dat", "--records", "60"});
  std::set<size_t> lengths;
  size_t offset = 0;
  size_t records = 0;
  while (offset < file.size()) {
    ASSERT_LE(offset + 14, file.size());
    const std::string header = file.substr(offset, 14);
    const bool district = header[9] == '\xF0' && (header.compare(10, 4, "\x40\x40\x40\x40") == 0 ||
                                                  header.compare(10, 4, "\xF0\xF0\xF0\xF0") == 0);
    const size_t length = district ? 275 : 866;
    lengths.insert(length);
    offset += length;
    ASSERT_TRUE(crLfAt(file, offset)) << "record " << records + 1;
    offset += 2;
    ++records;
  }
  EXPECT_EQ(records, 60u);
  EXPECT_EQ(lengths, (std::set<size_t>{275, 866}));
}

class SampleSeed : public testing::TestWithParam<const char*> {};

TEST_P(SampleSeed, SameArgumentsGiveTheSameFileAndAnotherSeedAnother) {
  ScratchDir dir;
  const std::string values = GetParam();
  const std::string a = makeSample(dir, {"76", "a76.dat", "--seed", "42", "--values", values});
  const std::string b = makeSample(dir, {"76", "b76.dat", "--seed", "42", "--values", values});
  const std::string c = makeSample(dir, {"76", "c76.dat", "--seed", "43", "--values", values});
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}

INSTANTIATE_TEST_SUITE_P(Values, SampleSeed, testing::Values("light", "wide"));

uint64_t fnv1a(const std::string& bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
  return hash;
}

struct LightSample {
  const char* year;
  size_t size;
  uint64_t checksum;  // FNV-1a of the file that --records 50 gives, pinned so that light
                      // samples stay the same files as the generator changes
};

void PrintTo(const LightSample& c, std::ostream* os) {
  *os << "year " << c.year;
}

class SampleLightValues : public testing::TestWithParam<LightSample> {};

TEST_P(SampleLightValues, AreTheDefaultAndKeepTheirFileByteForByte) {
  const LightSample& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const std::vector<std::vector<std::string>> forms = {
      {}, {"--values", "light"}, {"--values=light"}};
  for (const std::vector<std::string>& form : forms) {
    std::vector<std::string> args = {c.year, name, "--records", "50"};
    args.insert(args.end(), form.begin(), form.end());
    const std::string file = makeSample(dir, args);
    EXPECT_EQ(file.size(), c.size) << testing::PrintToString(form);
    EXPECT_EQ(fnv1a(file), c.checksum) << testing::PrintToString(form);
  }
  const std::string wide = makeSample(dir, {c.year, name, "--records", "50", "--values", "wide"});
  EXPECT_NE(fnv1a(wide), c.checksum);
}

INSTANTIATE_TEST_SUITE_P(Years, SampleLightValues,
                         testing::Values(LightSample{"68", 8024, 0x1b34d2b8bd1c0fc1},
                                         LightSample{"69", 7218, 0x103d55d610ee5c8c},
                                         LightSample{"70", 9624, 0x0753a235b933df50},
                                         LightSample{"71", 18446, 0xe9d8f21ef6c3aa15},
                                         LightSample{"72", 8822, 0x2d3793c4542938d2},
                                         LightSample{"73", 8822, 0xf3641a99b4148073},
                                         LightSample{"74", 43308, 0x31d209a04e1df20f},
                                         LightSample{"76", 49724, 0xb4e2946a640f7787},
                                         LightSample{"78", 33944, 0x82a6b13cc6cc0466},
                                         LightSample{"80", 132100, 0x5e9f35ca94032172},
                                         LightSample{"82", 140100, 0x9e571ba905af2d60},
                                         LightSample{"86", 140100, 0x9dbafd98525d16cd},
                                         LightSample{"88", 140100, 0xbb66e6b5e280241d}),
                         [](const testing::TestParamInfo<LightSample>& info) {
                           return std::string("Year") + info.param.year;
                         });

struct BadCommandLine {
  std::vector<std::string> args;
  const char* message;
};

void PrintTo(const BadCommandLine& c, std::ostream* os) {
  *os << "survey-sample";
  for (const std::string& arg : c.args) *os << ' ' << arg;
}

class SampleCommandLine : public testing::TestWithParam<BadCommandLine> {};

TEST_P(SampleCommandLine, IsRefusedWithUsageAndStatus2) {
  ScratchDir dir;
  const RunResult run = runSample(GetParam().args, dir.path());
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, std::string("survey-sample: ") + GetParam().message +
                         "\nusage: survey-sample YEAR OUTPUT [--records N] [--seed S] "
                         "[--full-size] [--values P]\nTry 'survey-sample --help' for more.\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SampleCommandLine,
    testing::Values(
        BadCommandLine{{}, "missing YEAR and OUTPUT"}, BadCommandLine{{"80"}, "missing OUTPUT"},
        BadCommandLine{{"75", "s75.dat"},
                       "unsupported year '75': expected 68, 69, 70, 71, 72, 73, 74, 76, 78, 80, "
                       "82, 86 or 88"},
        BadCommandLine{{"1980", "s80.dat"},
                       "unsupported year '1980': expected 68, 69, 70, 71, 72, 73, 74, 76, 78, "
                       "80, 82, 86 or 88"},
        BadCommandLine{{"80", "s80.dat", "--records"}, "option --records needs a value"},
        BadCommandLine{{"80", "s80.dat", "--records", "many"},
                       "--records wants a whole number from 0 to 1000000, not 'many'"},
        BadCommandLine{{"80", "s80.dat", "--records=1000001"},
                       "--records wants a whole number from 0 to 1000000, not '1000001'"},
        BadCommandLine{{"80", "s80.dat", "--seed", "-1"},
                       "--seed wants a whole number from 0 to 18446744073709551615, not '-1'"},
        BadCommandLine{{"80", "s80.dat", "--records", "5", "--full-size"},
                       "--records and --full-size exclude each other"},
        BadCommandLine{{"80", "s80.dat", "--values"}, "option --values needs a value"},
        BadCommandLine{{"80", "s80.dat", "--values", "heavy"},
                       "--values wants light or wide, not 'heavy'"},
        BadCommandLine{{"80", "s80.dat", "--values=Wide"},
                       "--values wants light or wide, not 'Wide'"},
        BadCommandLine{{"80", "s80.dat", "--fast"}, "unknown option '--fast'"},
        BadCommandLine{{"80", "s80.dat", "more"}, "unexpected argument 'more'"}));

TEST(SampleCommandLine, HelpAndVersionGoToStandardOutput) {
  ScratchDir dir;
  const RunResult help = runSample({"--help"}, dir.path());
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(help.out.rfind("usage: survey-sample YEAR OUTPUT", 0), 0u);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(runSample({"-h"}, dir.path()).out, help.out);

  const RunResult version = runSample({"--version"}, dir.path());
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out, std::string("survey-sample ") + SURVEY_DECODER_VERSION + "\n");
}

TEST(SampleCommandLine, UnwritableOutputFailsWithStatus1) {
  ScratchDir dir;
  const RunResult run = runSample({"80", "missing/s80.dat"}, dir.path());
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, "survey-sample: cannot create \"missing/s80.dat\"\n");
}

TEST(SampleCommandLine, NameWithoutTheYearDigitsGetsANote) {
  ScratchDir dir;
  const RunResult run = runSample({"80", "sample.dat", "--records", "1"}, dir.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, "wrote sample.dat: year 80, 1 record, 2642 bytes\n");
  EXPECT_EQ(run.err,
            "survey-sample: note: survey-decoder takes the year from the two characters before a "
            "four-character extension, as in sample80.dat; \"sample.dat\" does not give 80\n");
}

}  // namespace
