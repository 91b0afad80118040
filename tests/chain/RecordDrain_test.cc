// The drain that skips damaged records, on samples damaged in memory: which
// records survive next to the damage, and what the rejects rows say.

#include "chain/RecordDrain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/RunProgram.h"
#include "support/SalvageRun.h"
#include "support/SampleRecords.h"

namespace {

using Offsets = std::vector<std::uint64_t>;

struct Sample {
  std::string bytes;
  Offsets starts;
  std::vector<std::string> lines;  // as the intact file decodes
};

Sample sample(const std::string& year, int records) {
  ScratchDir dir;
  const std::string name = "sample" + year + ".dat";
  writeSampleFile(dir, year, name, std::to_string(records));
  Sample s{readFile(dir / name), {}, {}};
  s.starts = sampleRecordStarts(year, s.bytes);
  const SalvageRun intact = salvage(std::stoi(year), s.bytes);
  EXPECT_TRUE(intact.rejects.empty() && intact.failure.empty()) << intact.failure;
  s.lines = intact.lines;
  return s;
}

void loseAByte(std::string& bytes, const Offsets& starts, std::size_t k) {
  bytes.erase(starts[k] + 100, 1);
}

// Deletes a byte inside each of the records `damaged` (ascending).
std::string withLostBytes(const Sample& s, const std::vector<std::size_t>& damaged) {
  std::string bytes = s.bytes;
  for (auto k = damaged.rbegin(); k != damaged.rend(); ++k) loseAByte(bytes, s.starts, *k);
  return bytes;
}

// The run's one rejects row, first four cells: lines before, start, resume, records.
std::vector<std::string> onlyStretch(const SalvageRun& run) {
  EXPECT_EQ(run.rejects.size(), 1u);
  if (run.rejects.size() != 1 || run.rejects[0].size() < 4) return {};
  return {run.rejects[0].begin(), run.rejects[0].begin() + 4};
}

std::vector<std::string> stretch(std::size_t linesBefore, std::uint64_t start, std::uint64_t resume,
                                 int records) {
  return {std::to_string(linesBefore), std::to_string(start), std::to_string(resume),
          std::to_string(records)};
}

class EndOfFile : public ::testing::TestWithParam<const char*> {};

// The search after a damaged record looks two records ahead; where the file
// ends first, the last record must still be taken.
TEST_P(EndOfFile, TheLastRecordSurvivesDamageInTheOneBeforeIt) {
  const Sample s = sample(GetParam(), 12);
  const std::size_t damaged = s.starts.size() - 2;
  const SalvageRun run = salvage(std::stoi(GetParam()), withLostBytes(s, {damaged}));
  EXPECT_EQ(run.failure, "");
  EXPECT_EQ(run.lines, without(s.lines, {damaged}));
  EXPECT_EQ(onlyStretch(run), stretch(damaged, s.starts[damaged], s.starts[damaged + 1] - 1, 1));
}

INSTANTIATE_TEST_SUITE_P(Years, EndOfFile, ::testing::Values("78", "80", "88"));

// Damage to record k of a year-88 sample: a byte lost (its framing fails)
// or a discriminant no layout knows (the record is refused once framed).
using RecordDamage = void (*)(std::string& bytes, const Offsets& starts, std::size_t k);
void spoilTheDiscriminant(std::string& bytes, const Offsets& starts, std::size_t k) {
  bytes.replace(starts[k] + 4, 4, std::string("\0\0\0\x09", 4));
}

struct TwoInARow {
  const char* name;
  RecordDamage first;
  RecordDamage second;
  std::uint64_t resumeShift;  // bytes the damage took out before the resumption
};

void PrintTo(const TwoInARow& c, std::ostream* out) {
  *out << c.name;
}

class TwoDamagedRecords : public ::testing::TestWithParam<TwoInARow> {};

// Two damaged records in a row are one stretch, counted as two, whether the
// search or the next record's own framing leads from the first to the second.
TEST_P(TwoDamagedRecords, InARowAreOneStretchCountedAsTwo) {
  const TwoInARow& c = GetParam();
  const Sample s = sample("88", 12);
  std::string bytes = s.bytes;
  c.second(bytes, s.starts, 5);
  c.first(bytes, s.starts, 4);
  const SalvageRun run = salvage(88, bytes);
  EXPECT_EQ(run.failure, "");
  EXPECT_EQ(run.lines, without(s.lines, {4, 5}));
  EXPECT_EQ(onlyStretch(run), stretch(4, s.starts[4], s.starts[6] - c.resumeShift, 2));
}

INSTANTIATE_TEST_SUITE_P(Damage, TwoDamagedRecords,
                         ::testing::Values(TwoInARow{"lost byte, then a refused record", loseAByte,
                                                     spoilTheDiscriminant, 1},
                                           TwoInARow{"two refused records", spoilTheDiscriminant,
                                                     spoilTheDiscriminant, 0}));

// An input that fails while the search reads ahead still ends the run, and
// the open stretch is closed where the input ended.
TEST(SkippingDrainTest, AnInputFailingInsideTheSearchClosesTheStretchWhereItEnded) {
  const Sample s = sample("80", 12);
  const std::string damaged = withLostBytes(s, {3});
  const std::size_t failAfter = s.starts[5] + 100;
  const SalvageRun run = salvage(80, damaged, 1000, failAfter);
  EXPECT_EQ(run.failure, "read failed after " + std::to_string(failAfter) + " bytes");
  EXPECT_EQ(run.lines, std::vector<std::string>(s.lines.begin(), s.lines.begin() + 3));
  ASSERT_EQ(run.rejects.size(), 1u);
  EXPECT_EQ(run.rejects[0][1], std::to_string(s.starts[3]));
  EXPECT_EQ(run.rejects[0][2], std::to_string(failAfter));
}

// Years 68 to 76: records framed from shifted bytes before the CR LF check
// that shows the damage are lost with the damaged one. The file's records
// list every address, so a line is the intact one wherever it survives.
TEST(SkippingDrainTest, FfRecordsFromShiftedBytesAreNotWritten) {
  const std::string file = completeFfRecords(sample("70", 60).bytes);
  const SalvageRun intact = salvage(70, file);
  ASSERT_EQ(intact.failure, "");
  for (std::uint64_t at : {1000u, 5000u, 9000u, 20011u}) {
    SCOPED_TRACE(at);
    std::string damaged = file;
    damaged.erase(at, 8);
    const SalvageRun run = salvage(70, damaged);
    EXPECT_EQ(run.failure, "");
    for (const std::string& line : run.lines) {
      EXPECT_NE(std::find(intact.lines.begin(), intact.lines.end(), line), intact.lines.end())
          << "invented: " << line.substr(0, 80);
    }
    ASSERT_EQ(run.rejects.size(), 1u);
    EXPECT_LT(run.lines.size(), intact.lines.size());
    EXPECT_GT(run.lines.size() + 5, intact.lines.size());
  }
}

}  // namespace
