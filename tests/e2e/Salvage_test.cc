// --keep-going never invents a record: over damage of every kind in every
// framing family, each line it keeps is a line of the undamaged file's
// output; and what follows an end-of-data marker is salvaged.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "e2e/DecodedRun.h"
#include "e2e/RunProgram.h"
#include "e2e/TextFields.h"
#include "support/SampleRecords.h"
#include "survey-damage/Damage.h"

namespace {

// A sample of `year` as `name` in `dir`, and the lines it decodes to. For
// years 68 to 76 its records list every address (see completeFfRecords()),
// so that no line depends on which records before it were lost.
std::vector<std::string> writeSample(const ScratchDir& dir, const std::string& year,
                                     const std::string& name, int records = 120) {
  writeSampleFile(dir, year, name, std::to_string(records));
  if (year < "78") writeFile(dir / name, completeFfRecords(readFile(dir / name)));
  EXPECT_EQ(runDecoder({name, "intact.txt"}, dir.path()).exitStatus, 0);
  return linesOf(readFile(dir / "intact.txt"));
}

struct GeneratedDamage {
  const char* year;
  damage::Kind kind;
  std::uint64_t seed;
};

void PrintTo(const GeneratedDamage& c, std::ostream* out) {
  *out << damage::nameOf(c.kind) << " in year " << c.year << ", seed " << c.seed;
}

class GeneratedDamages : public ::testing::TestWithParam<GeneratedDamage> {};

// Damage that changes bytes in place (a flipped byte, 64 overwritten ones)
// may change the values of the records it falls in without touching their
// framing; those records' lines are the only ones allowed to differ, and in
// years 68 to 76 the record a truncation cuts short.
TEST_P(GeneratedDamages, EveryKeptLineIsALineOfTheUndamagedOutput) {
  const GeneratedDamage& c = GetParam();
  ScratchDir dir;
  const std::string name = std::string("sample") + c.year + ".dat";
  const std::vector<std::string> intact = writeSample(dir, c.year, name);
  std::string file = readFile(dir / name);
  const std::vector<std::uint64_t> starts = sampleRecordStarts(c.year, file);
  const std::uint64_t intactSize = file.size();
  const damage::Done done = damage::damage(file, c.kind, c.seed);
  writeFile(dir / ("damaged" + std::string(c.year) + ".dat"), file);

  const RunResult run =
      runDecoder({"-k", "damaged" + std::string(c.year) + ".dat", "out.txt"}, dir.path());

  EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 2) << run.err;
  // Years 68 to 76 decode a record that the input's end cuts short as far as
  // it goes, as without -k (a full-size file ends inside a record).
  std::size_t changedInPlace = c.kind == damage::Kind::kTruncate && std::string(c.year) < "78";
  if (c.kind == damage::Kind::kFlip || c.kind == damage::Kind::kOverwrite) {
    for (std::size_t k = 0; k < starts.size(); ++k) {
      const std::uint64_t end = k + 1 < starts.size() ? starts[k + 1] : intactSize;
      if (starts[k] < done.at + done.removed && done.at < end) ++changedInPlace;
    }
  }
  const std::set<std::string> known(intact.begin(), intact.end());
  const std::vector<std::string> kept = linesOf(readFile(dir / "out.txt"));
  const auto foreign = std::count_if(
      kept.begin(), kept.end(), [&](const std::string& line) { return !known.contains(line); });
  EXPECT_LE(static_cast<std::size_t>(foreign), changedInPlace);
  // The damage costs a few records, not the file.
  const std::size_t before = c.kind == damage::Kind::kTruncate
                                 ? static_cast<std::size_t>(done.at * intact.size() / intactSize)
                                 : intact.size();
  EXPECT_GE(kept.size() + 8, before);
}

std::vector<GeneratedDamage> everyKindInEveryFamily() {
  std::vector<GeneratedDamage> cases;
  std::uint64_t seed = 1;
  for (const char* year : {"70", "74", "78", "80", "86"}) {
    for (damage::Kind kind : damage::kAllKinds) cases.push_back({year, kind, seed++});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Families, GeneratedDamages, ::testing::ValuesIn(everyKindInEveryFamily()));

// Year 78: a byte lost in a long (School) record that a short (District)
// record follows lets the School's tail read as a short record whose CR LF
// stands in place; it does not close a line, so it is no record start.
TEST(SalvageTest, Year78HasNoFalseStartInsideALongRecord) {
  ScratchDir dir;
  const std::vector<std::string> intact = writeSample(dir, "78", "sample78.dat", 60);
  std::string file = readFile(dir / "sample78.dat");
  const std::vector<std::uint64_t> starts = sampleRecordStarts("78", file);
  std::size_t k = 0;
  while (k + 2 < starts.size() &&
         !(starts[k + 1] - starts[k] == 868 && starts[k + 2] - starts[k + 1] == 277)) {
    ++k;
  }
  ASSERT_LT(k + 2, starts.size()) << "no long record followed by a short one";
  file.erase(starts[k] + 860, 1);
  writeFile(dir / "damaged78.dat", file);

  const RunResult run = runDecoder({"-k", "damaged78.dat", "out.txt"}, dir.path());

  EXPECT_EQ(run.exitStatus, 2) << run.err;
  EXPECT_EQ(linesOf(readFile(dir / "out.txt")), without(intact, {k}));
  EXPECT_EQ(onlyRejectsRow(dir / "out.txt.rejects.tsv")[2], std::to_string(starts[k + 1] - 1));
}

// Years 68 to 76: bytes after the end-of-data marker that are not padding
// make the marker damage under -k; decoding goes on after it.
struct AfterTheEnd {
  const char* name;
  bool secondFile;  // a second file follows, or undecodable bytes
};

void PrintTo(const AfterTheEnd& c, std::ostream* out) {
  *out << c.name;
}

class AfterTheEndMarker : public ::testing::TestWithParam<AfterTheEnd> {};

TEST_P(AfterTheEndMarker, IsDamageUnderKeepGoing) {
  const AfterTheEnd& c = GetParam();
  ScratchDir dir;
  const std::vector<std::string> intact = writeSample(dir, "70", "sample70.dat", 80);
  const std::string file = readFile(dir / "sample70.dat");
  std::string after;
  for (std::size_t i = 0; i < 5000; ++i) after += static_cast<char>((i * 7919) % 251 + 1);
  writeFile(dir / "both70.dat", file + (c.secondFile ? file : after));

  const RunResult plain = runDecoder({"both70.dat", "plain.txt"}, dir.path());
  const RunResult run = runDecoder({"-k", "both70.dat", "out.txt"}, dir.path());

  EXPECT_EQ(plain.exitStatus, 0) << plain.err;
  EXPECT_EQ(linesOf(readFile(dir / "plain.txt")), intact);
  EXPECT_EQ(run.exitStatus, 2) << run.err;
  std::vector<std::string> expected = intact;
  if (c.secondFile) expected.insert(expected.end(), intact.begin(), intact.end());
  EXPECT_EQ(linesOf(readFile(dir / "out.txt")), expected);
  const std::vector<std::string> row = onlyRejectsRow(dir / "out.txt.rejects.tsv");
  EXPECT_EQ(std::vector<std::string>(row.begin(), row.begin() + 5),
            (std::vector<std::string>{std::to_string(intact.size()),
                                      std::to_string(file.rfind("\xFF\xFF\xFF\xFE")),
                                      std::to_string(file.size() + (c.secondFile ? 0 : 5000)), "1",
                                      "end-of-data marker followed by more data"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, AfterTheEndMarker,
                         ::testing::Values(AfterTheEnd{"a second file", true},
                                           AfterTheEnd{"undecodable bytes", false}));

}  // namespace
