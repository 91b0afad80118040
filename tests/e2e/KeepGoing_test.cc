// Runs with --keep-going over damaged files: which records survive, what the
// rejects file says, and that an intact file decodes exactly as without it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "e2e/DecodedRun.h"
#include "e2e/DurationLine.h"
#include "e2e/RunProgram.h"
#include "e2e/TextFields.h"
#include "support/SampleRecords.h"

namespace {

using Offsets = std::vector<std::uint64_t>;

Offsets recordStarts(const std::string& year, const std::string& file) {
  return sampleRecordStarts(year, file);
}

// Index of the record whose bytes hold file offset `at`.
std::size_t recordHolding(const Offsets& starts, std::uint64_t at) {
  std::size_t k = 0;
  while (k + 1 < starts.size() && starts[k + 1] <= at) ++k;
  return k;
}

// A damage to an intact sample: changes `file` (whose record starts are
// `starts`) and returns the offset of the first byte changed, and the message
// the rejects file must give for it.
struct Damage {
  std::uint64_t at;
  std::string message;
};
// `k` is the index of the record (or line) to damage.
using Damager = std::function<Damage(std::string& file, const Offsets& starts, std::size_t k)>;

struct DamageCase {
  const char* name;
  const char* year;
  Damager damage;
  std::size_t k = 10;
};

void PrintTo(const DamageCase& c, std::ostream* out) {
  *out << c.name << " in year " << c.year;
}

// The location the CrLfRemover reports for a pair expected at `pairAt`.
std::string missingPair(std::uint64_t pairAt, unsigned found) {
  return "stream contained " + std::to_string(found) + " at input location " +
         std::to_string(pairAt + 1) + " but 13 was expected";
}

const Damager kLostByte = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k] + 101;
  const std::uint64_t pairAt = starts[k + 1] - 2;
  file.erase(at, 1);
  return Damage{at, missingPair(pairAt, static_cast<unsigned char>(file[pairAt]))};
};
const Damager kExtraByte = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k] + 101;
  const std::uint64_t pairAt = starts[k + 1] - 2;
  file.insert(at, 1, '\x5A');
  return Damage{at, missingPair(pairAt, static_cast<unsigned char>(file[pairAt]))};
};
const Damager kFlippedCr = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k + 1] - 2;
  file[at] ^= 0x01;
  return Damage{at, missingPair(at, 12)};
};
const Damager kLostCrLf = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k + 1] - 2;
  file.erase(at, 2);
  return Damage{at, missingPair(at, static_cast<unsigned char>(file[at]))};
};
const Damager kExtraCrLf = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k] + 52;
  const std::uint64_t pairAt = starts[k + 1] - 2;
  file.insert(at, "\r\n");
  return Damage{at, missingPair(pairAt, static_cast<unsigned char>(file[pairAt]))};
};

// Damage that leaves the framing whole: the record is refused, the next one
// follows at once.
const Damager kBadDiscriminant = [](std::string& file, const Offsets& starts, std::size_t k) {
  const std::uint64_t at = starts[k] + 4;
  file.replace(at, 4, std::string("\0\0\0\x09", 4));
  return Damage{at, "unrecognized 86 discriminant"};
};
const Damager kTruncatedLastRecord = [](std::string& file, const Offsets& starts, std::size_t) {
  const std::uint64_t at = starts.back() + 400;
  file.resize(at);
  return Damage{at, "input ended on non-700 boundary"};
};
// A short year-78 header made long: the record's CR LF is not where its
// header says.
const Damager kYear78Header = [](std::string& file, const Offsets& starts, std::size_t k) {
  while (file.compare(starts[k] + 10, 4, "\x40\x40\x40\x40") != 0 &&
         file.compare(starts[k] + 10, 4, "\xF0\xF0\xF0\xF0") != 0) {
    ++k;
  }
  const std::uint64_t at = starts[k] + 9;
  file[at] = '\xF1';
  return Damage{at,
                missingPair(starts[k] + 866, static_cast<unsigned char>(file[starts[k] + 866]))};
};

// Years 78 to 88: exactly the damaged record is missing; every other line is
// the intact file's line of the same record.
class WholeRecordsSurvive : public ::testing::TestWithParam<DamageCase> {};

TEST_P(WholeRecordsSurvive, OnlyTheDamagedRecordIsLost) {
  const DamageCase& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  ASSERT_EQ(runSample({c.year, name, "--records", "40"}, dir.path()).exitStatus, 0);
  ASSERT_EQ(runDecoder({name, "intact.txt"}, dir.path()).exitStatus, 0);
  const std::string intact = readFile(dir / name);
  const Offsets starts = recordStarts(c.year, intact);
  std::string damaged = intact;
  const Damage damage = c.damage(damaged, starts, c.k);
  writeFile(dir / ("damaged" + std::string(c.year) + ".dat"), damaged);

  const RunResult run =
      runDecoder({"-k", "damaged" + std::string(c.year) + ".dat", "out.txt"}, dir.path());

  EXPECT_EQ(run.exitStatus, 2) << run.err;
  EXPECT_NE(maskDuration(run.err).find("1 records rejected; see out.txt.rejects.tsv\n"
                                       "duration: * seconds\n"),
            std::string::npos)
      << run.err;
  const std::size_t lost = recordHolding(starts, damage.at);
  EXPECT_EQ(linesOf(readFile(dir / "out.txt")),
            without(linesOf(readFile(dir / "intact.txt")), {lost}));

  const std::uint64_t shift = damaged.size() - intact.size();
  const std::uint64_t resume = lost + 1 < starts.size() ? starts[lost + 1] + shift : damaged.size();
  EXPECT_EQ(onlyRejectsRow(dir / "out.txt.rejects.tsv"),
            (std::vector<std::string>{std::to_string(lost), std::to_string(starts[lost]),
                                      std::to_string(resume), "1", damage.message,
                                      hexOf(damaged.substr(starts[lost], 64))}));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, WholeRecordsSurvive,
    ::testing::Values(
        DamageCase{"lost byte", "80", kLostByte}, DamageCase{"extra byte", "88", kExtraByte},
        DamageCase{"flipped CR", "82", kFlippedCr}, DamageCase{"lost CR LF", "80", kLostCrLf},
        DamageCase{"extra CR LF", "86", kExtraCrLf},
        DamageCase{"bad discriminant", "88", kBadDiscriminant},
        DamageCase{"truncated last record", "88", kTruncatedLastRecord},
        DamageCase{"lost byte", "78", kLostByte}, DamageCase{"extra byte", "78", kExtraByte},
        DamageCase{"flipped CR", "78", kFlippedCr}, DamageCase{"lost CR LF", "78", kLostCrLf},
        DamageCase{"extra CR LF", "78", kExtraCrLf},
        DamageCase{"long header on a short record", "78", kYear78Header}));

// Years 68 to 76: the records decoded since the last CR LF check before the
// damage are held and lost with it, and records after the damage carry
// forward only what decoded records held, so only the lines before the
// stretch are the intact ones; the stretch starts at a record start at or
// before the damaged record.
class FfRecordsResume : public ::testing::TestWithParam<DamageCase> {};

TEST_P(FfRecordsResume, LinesBeforeTheStretchSurviveAndTheRejectsCoverTheDamage) {
  const DamageCase& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  ASSERT_EQ(runSample({c.year, name, "--records", "600"}, dir.path()).exitStatus, 0);
  ASSERT_EQ(runDecoder({name, "intact.txt"}, dir.path()).exitStatus, 0);
  const std::string intact = readFile(dir / name);
  // Lines stand in for records here: the damage falls on line k and the pair
  // after it. Year 68's block pairs move the lines from the fifth on.
  Offsets lineStarts;
  for (std::uint64_t p = 0; p < intact.size(); p += 802) lineStarts.push_back(p);
  std::string damaged = intact;
  const Damage damage = c.damage(damaged, lineStarts, c.k);
  writeFile(dir / ("damaged" + std::string(c.year) + ".dat"), damaged);

  const RunResult run =
      runDecoder({"-k", "damaged" + std::string(c.year) + ".dat", "out.txt"}, dir.path());

  EXPECT_EQ(run.exitStatus, 2) << run.err;
  const Offsets starts = recordStarts(c.year, intact);
  const std::vector<std::string> rejects = linesOf(readFile(dir / "out.txt.rejects.tsv"));
  ASSERT_GE(rejects.size(), 2u);
  const std::vector<std::string> first = split(rejects[1], '\t');
  ASSERT_EQ(first.size(), 6u);
  const std::size_t lost = recordHolding(starts, damage.at);
  const std::size_t kept = std::stoull(first[0]);
  EXPECT_LE(kept, lost);
  EXPECT_EQ(first[1], std::to_string(starts[kept]));
  EXPECT_GT(std::stoull(first[2]), damage.at);
  EXPECT_EQ(first[4], damage.message);
  const std::vector<std::string> out = linesOf(readFile(dir / "out.txt"));
  const std::vector<std::string> whole = linesOf(readFile(dir / "intact.txt"));
  ASSERT_GE(out.size(), kept);
  EXPECT_EQ(
      std::vector<std::string>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(kept)),
      std::vector<std::string>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept)));
  EXPECT_GT(out.size(), kept) << "nothing decoded after the damage";
}

INSTANTIATE_TEST_SUITE_P(Damage, FfRecordsResume,
                         ::testing::Values(DamageCase{"lost byte", "76", kLostByte},
                                           DamageCase{"extra byte", "70", kExtraByte},
                                           DamageCase{"flipped CR", "76", kFlippedCr},
                                           DamageCase{"lost CR LF", "68", kLostCrLf, 1},
                                           DamageCase{"lost CR LF", "70", kLostCrLf},
                                           DamageCase{"extra CR LF", "72", kExtraCrLf}));

// Damage that leaves the FF framing whole, in records built pair by pair: the
// run's lines equal those of the file without the refused records.
struct RefusedFfRecord {
  const char* name;
  std::string damaged;           // the file with the damage
  std::vector<Pairs> survivors;  // the records a clean file would hold instead
  std::string message;
};

void PrintTo(const RefusedFfRecord& c, std::ostream* out) {
  *out << c.name;
}

class RefusedFfRecords : public ::testing::TestWithParam<RefusedFfRecord> {};

TEST_P(RefusedFfRecords, LeaveNoTraceInLaterRecords) {
  const RefusedFfRecord& c = GetParam();
  ScratchDir dir;
  writeFile(dir / "damaged74.dat", c.damaged);
  writeFile(dir / "clean74.dat", ffRecordFile(c.survivors));
  const RunResult run = runDecoder({"-k", "damaged74.dat", "out.txt"}, dir.path());
  ASSERT_EQ(runDecoder({"clean74.dat", "clean.txt"}, dir.path()).exitStatus, 0);
  EXPECT_EQ(run.exitStatus, 2) << run.err;
  EXPECT_EQ(readFile(dir / "out.txt"), readFile(dir / "clean.txt"));
  EXPECT_EQ(readFile(dir / "out.txt.meta.txt"), readFile(dir / "clean.txt.meta.txt"));
  EXPECT_EQ(onlyRejectsRow(dir / "out.txt.rejects.tsv")[4], c.message);
}

const Pairs kFirst = {{1, 5}, {2, 6}};
const Pairs kLast = {{2, 7}, {3, 8}};

std::string withMarkerDamaged(const std::vector<Pairs>& records) {
  std::string file = ffRecordFile(records);
  // The first record's end-of-record marker: after its pairs' quartets.
  file[8 * records[0].size() + 3] = '\x7F';
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    Damage, RefusedFfRecords,
    ::testing::Values(RefusedFfRecord{"address 0",
                                      ffRecordFile({kFirst, {{0, 9}, {3, 9}}, kLast}),
                                      {kFirst, kLast},
                                      "first address is 0, not 1"},
                      RefusedFfRecord{
                          "address beyond the last column",
                          ffRecordFile({kFirst, {{1048577, 1}, {2, 9}}, kLast}),
                          {kFirst, kLast},
                          "record 2 has address 1048577, beyond the last column 1048576"},
                      RefusedFfRecord{"address that a packed field also fills",
                                      ffRecordFile({kFirst, {{579, 0}, {594, 1}}, kLast}),
                                      {kFirst, kLast},
                                      "record 2 has address 594 more than once"},
                      RefusedFfRecord{"damaged end-of-record marker",
                                      withMarkerDamaged({{{1, 5}}, {{2, 6}}, kFirst, kLast}),
                                      {kFirst, kLast},
                                      "no val for addr 6"}));

// Every year's intact sample: --keep-going changes no byte of any stream or
// file, and leaves no rejects file.
class IntactSamples : public ::testing::TestWithParam<const char*> {};

TEST_P(IntactSamples, DecodeExactlyAsWithoutKeepGoing) {
  ScratchDir dir;
  const std::string name = std::string("sample") + GetParam() + ".dat";
  ASSERT_EQ(runSample({GetParam(), name, "--records", "60"}, dir.path()).exitStatus, 0);
  const RunResult plain = runDecoder({name, "plain.txt"}, dir.path());
  const RunResult kept = runDecoder({"--keep-going", name, "kept.txt"}, dir.path());
  EXPECT_EQ(kept.exitStatus, plain.exitStatus);
  EXPECT_EQ(kept.out, plain.out);
  EXPECT_EQ(maskDuration(kept.err), maskDuration(plain.err));
  EXPECT_EQ(readFile(dir / "kept.txt"), readFile(dir / "plain.txt"));
  EXPECT_EQ(readFile(dir / "kept.txt.meta.txt"), readFile(dir / "plain.txt.meta.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "kept.txt.rejects.tsv"));
}

INSTANTIATE_TEST_SUITE_P(AllYears, IntactSamples,
                         ::testing::Values("68", "69", "70", "71", "72", "73", "74", "76", "78",
                                           "80", "82", "86", "88"));

// Failures that are not a record's still end the run, with the rejects so
// far written.
TEST(KeepGoingRunTest, AnUnreadableInputStillEndsTheRun) {
  ScratchDir dir;
  const RunResult run = runDecoder({"-k", "missing80.dat", "out.txt"}, dir.path());
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(maskDuration(run.err),
            failureReport("inFile false after construction: probably file \"missing80.dat\" "
                          "does not exist"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.txt.rejects.tsv"));
}

TEST(KeepGoingRunTest, DamagedGzipStillEndsTheRunAfterTheRejectsSoFar) {
  ScratchDir dir;
  ASSERT_EQ(runSample({"80", "s80.dat", "--records", "200"}, dir.path()).exitStatus, 0);
  std::string file = readFile(dir / "s80.dat");
  file[5 * 2642 - 2] = 'x';
  writeFile(dir / "s80.dat", file);
  ASSERT_EQ(runProgram("/bin/gzip", {"-n", "s80.dat"}, dir.path()).exitStatus, 0);
  std::string zipped = readFile(dir / "s80.dat.gz");
  zipped.resize(zipped.size() * 3 / 4);
  writeFile(dir / "s80.dat.gz", zipped);

  const RunResult run = runDecoder({"-k", "s80.dat.gz", "out.txt"}, dir.path());

  EXPECT_EQ(run.exitStatus, 1);
  const std::string err = maskDuration(run.err);
  EXPECT_NE(err.find("1 records rejected; see out.txt.rejects.tsv\nduration: * seconds\n"
                     "Caught std::exception whose 'what()' output appears below.\nAt record "),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("gzip input \"s80.dat.gz\" is damaged: unexpected end of file\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(linesOf(readFile(dir / "out.txt.rejects.tsv")).size(), 2u);
}

// The same damage read from standard input and from a gzip file gives the
// same lines and the same rejects: offsets count the bytes as decompressed.
TEST(KeepGoingRunTest, StandardInputAndGzipSkipAsThePlainFileDoes) {
  ScratchDir dir;
  ASSERT_EQ(runSample({"88", "s88.dat", "--records", "30"}, dir.path()).exitStatus, 0);
  std::string file = readFile(dir / "s88.dat");
  file.erase(7 * 2802 + 300, 3);
  writeFile(dir / "s88.dat", file);
  ASSERT_EQ(runDecoder({"-k", "s88.dat", "plain.txt"}, dir.path()).exitStatus, 2);
  ASSERT_EQ(runProgram("/bin/sh", {"-c", "gzip -n -c s88.dat > z88.dat.gz"}, dir.path()).exitStatus,
            0);
  const RunResult piped = runProgram(
      "/bin/sh", {"-c", std::string(SURVEY_DECODER_EXE) + " -k --year 88 - piped.txt < s88.dat"},
      dir.path());
  const RunResult zipped = runDecoder({"--keep-going", "z88.dat.gz", "zipped.txt"}, dir.path());
  EXPECT_EQ(piped.exitStatus, 2) << piped.err;
  EXPECT_EQ(zipped.exitStatus, 2) << zipped.err;
  for (const char* out : {"piped.txt", "zipped.txt"}) {
    EXPECT_EQ(readFile(dir / out), readFile(dir / "plain.txt"));
    EXPECT_EQ(readFile(dir / (std::string(out) + ".rejects.tsv")),
              readFile(dir / "plain.txt.rejects.tsv"));
  }
}

TEST(KeepGoingRunTest, AnEarlierRejectsFileIsRemovedByARunWithoutRejects) {
  ScratchDir dir;
  ASSERT_EQ(runSample({"80", "s80.dat", "--records", "5"}, dir.path()).exitStatus, 0);
  writeFile(dir / "out.txt.rejects.tsv", std::string(kRejectsHeader) + "\n0\t0\t9\t1\tstale\t00\n");
  EXPECT_EQ(runDecoder({"-k", "s80.dat", "out.txt"}, dir.path()).exitStatus, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.txt.rejects.tsv"));
}

}  // namespace
