#include "recovery/LineEndSearch.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FileMetaData.h"
#include "e2e/RunProgram.h"
#include "input/CrLfRemover.h"
#include "support/MemoryBytes.h"
#include "years/SurveyYear.h"

namespace {

// The record starts of an intact file, as the CrLfRemover finds them: after
// every record's data bytes the reader has passed the record's pair.
std::vector<std::uint64_t> recordStarts(std::int32_t year, const std::string& file) {
  const auto* data = reinterpret_cast<const unsigned char*>(file.data());
  Reader reader(std::make_unique<MemoryBlocks>(data, file.size()), "memory");
  CrLfRemover crLfRemover(fileMetaDataForYear(year), &reader);
  const std::uint32_t recordBytes = fileMetaDataForYear(year).recordLen - 4;
  std::vector<std::uint64_t> starts{0};
  unsigned char byte;
  for (std::uint64_t n = 1; crLfRemover.get(byte); ++n) {
    if (n % recordBytes == 0) starts.push_back(reader.offset());
  }
  return starts;
}

// A byte lost in record k: the search from just after its start finds the
// next record at its shifted place, with a block phase under which the
// CrLfRemover takes the following records without a fault. Year 68 has block
// pairs inside records, the others only at record ends.
TEST(LineEndSearchTest, FindsTheRecordAfterALostByteWithItsBlockPhase) {
  for (const char* year : {"68", "70", "80"}) {
    ScratchDir dir;
    const std::string name = std::string("sample") + year + ".dat";
    ASSERT_EQ(runSample({year, name, "--records", "400"}, dir.path()).exitStatus, 0);
    const std::string intact = readFile(dir / name);
    const std::int32_t y = std::stoi(year);
    const std::vector<std::uint64_t> starts = recordStarts(y, intact);
    const FileMetaData layout = fileMetaDataForYear(y);
    ASSERT_GE(starts.size(), 14u);
    for (std::size_t k = 1; k + 4 < starts.size() && k < 12; ++k) {
      SCOPED_TRACE(std::string("year ") + year + ", record " + std::to_string(k));
      std::string damaged = intact;
      damaged.erase(starts[k] + 100, 1);
      const auto* data = reinterpret_cast<const unsigned char*>(damaged.data());
      Reader reader(std::make_unique<MemoryBlocks>(data, damaged.size(), 512), "memory", 512);
      const auto found = LineEndSearch(layout).find(reader, starts[k] + 1);
      ASSERT_TRUE(found.has_value());
      EXPECT_EQ(found->offset, starts[k + 1] - 1);

      reader.seek(found->offset);
      CrLfRemover crLfRemover(layout, &reader);
      crLfRemover.restartRecord(found->blockPhase);
      std::string next(3 * (layout.recordLen - 4), '\0');
      std::size_t got = 0;
      EXPECT_TRUE(
          crLfRemover.getMany(reinterpret_cast<unsigned char*>(next.data()), next.size(), got));
      EXPECT_EQ(reader.offset(), starts[k + 4] - 1);
    }
  }
}

TEST(LineEndSearchTest, FindsNothingWhereNoRecordFramesToTheEnd) {
  const std::string noise(5000, '\x5A');
  const auto* data = reinterpret_cast<const unsigned char*>(noise.data());
  Reader reader(std::make_unique<MemoryBlocks>(data, noise.size()), "memory");
  EXPECT_FALSE(LineEndSearch(fileMetaDataForYear(80)).find(reader, 1).has_value());
  EXPECT_FALSE(findYear78RecordStart(reader, 1).has_value());
}

// A short year-78 record (its header reads short), `fill` for its body.
std::string shortRecord(char fill) {
  std::string record(275, fill);
  record.replace(9, 5, "\xF0\x40\x40\x40\x40");
  return record;
}

struct Year78Start {
  const char* name;
  std::string bytes;
  std::optional<std::uint64_t> due;
  std::optional<std::uint64_t> expected;
};

void PrintTo(const Year78Start& c, std::ostream* out) {
  *out << c.name;
}

class Year78Starts : public ::testing::TestWithParam<Year78Start> {};

// A place starts a record only if the bytes before it close a line (or it is
// where the failed record's CR LF was due) and the record after it frames
// too, unless the file ends within that one.
TEST_P(Year78Starts, NeedWhatPrecedesAndWhatFollowsToFit) {
  const Year78Start& c = GetParam();
  const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
  Reader reader(std::make_unique<MemoryBlocks>(data, c.bytes.size(), 100), "memory", 100);
  EXPECT_EQ(findYear78RecordStart(reader, 1, c.due), c.expected);
}

const std::string kA = shortRecord('\xC1');
const std::string kB = shortRecord('\xC2');
const std::string kJunk(10, '\x5A');

INSTANTIATE_TEST_SUITE_P(
    Cases, Year78Starts,
    ::testing::Values(
        Year78Start{"after CR LF, followed by a record", kJunk + "\r\n" + kA + "\r\n" + kB + "\r\n",
                    std::nullopt, 12},
        Year78Start{"not after CR LF", kJunk + kA + "\r\n" + kB + "\r\n", std::nullopt, 287},
        Year78Start{"not after CR LF, but where a lost pair was due",
                    kJunk + kA + "\r\n" + kB + "\r\n", 10, 10},
        Year78Start{"followed by a record that does not frame",
                    kJunk + "\r\n" + kA + "\r\n" + kB + "XX" + std::string(1000, '\x5A') + "\r\n" +
                        kA + "\r\n" + kB + "\r\n",
                    std::nullopt, 1568},
        Year78Start{"the last record", kJunk + "\r\n" + kA + "\r\n", std::nullopt, 12}));

}  // namespace
