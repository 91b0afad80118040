#include "input/CrLfRemover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FailureText.h"
#include "core/Upstream.h"
#include "input/ByteStages.h"
#include "years/SurveyYear.h"

namespace {

// Everything a run of the CrLfRemover shows to the outside.
struct Observed {
  std::string delivered;  // data bytes handed downstream, in order
  std::string failure;    // the message that ended the pulling, if any
  std::uint32_t downstreamMoreGets = 0;
  std::uint32_t downstreamNoMoreGets = 0;
  std::string out;  // layout line and both statistics lines
  std::string err;  // size warnings

  bool operator==(const Observed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Observed& o) {
  return os << "delivered " << o.delivered.size() << " bytes, failure \"" << o.failure
            << "\", downstream " << o.downstreamMoreGets << "/" << o.downstreamNoMoreGets
            << ", out \"" << o.out << "\", err \"" << o.err << "\"";
}

// How the downstream stage pulls: one byte per request (empty plan), or bulk
// requests whose sizes cycle through `plan`.
using PullPlan = std::vector<std::size_t>;

// Pulls everything out of a CrLfRemover for `year` over `input`, asks twice
// more after the end, then tears down as the driver does.
Observed run(std::int32_t year, const std::string& input, const PullPlan& plan,
             std::size_t failAfter = MemoryBytes::kNever) {
  Observed seen;
  CapturedStandardStreams captured;
  {
    MemoryBytes source(input, BulkMode::kOverridden, failAfter);
    CrLfRemover remover(fileMetaDataForYear(year), &source);
    {
      Upstream<unsigned char> downstream(&remover);
      try {
        if (plan.empty()) {
          unsigned char byte;
          while (downstream.get(byte)) seen.delivered += static_cast<char>(byte);
          downstream.get(byte);
          downstream.get(byte);
        } else {
          std::vector<unsigned char> block(*std::max_element(plan.begin(), plan.end()));
          for (std::size_t i = 0, ends = 0; ends < 3; ++i) {
            const std::size_t want = plan[i % plan.size()];
            const std::uint32_t before = downstream.moreGets;
            try {
              std::size_t got = downstream.getMany(block.data(), want);
              if (got < want) ++ends;
            } catch (...) {
              seen.delivered.append(block.begin(), block.begin() + (downstream.moreGets - before));
              throw;
            }
            seen.delivered.append(block.begin(), block.begin() + (downstream.moreGets - before));
          }
        }
      } catch (const std::exception& e) {
        seen.failure = e.what();
      }
      seen.downstreamMoreGets = downstream.moreGets;
      seen.downstreamNoMoreGets = downstream.noMoreGets;
    }
    remover.finish();
  }
  seen.out = captured.out();
  seen.err = captured.err();
  return seen;
}

Observed runByteWise(std::int32_t year, const std::string& input) {
  return run(year, input, {});
}

std::string layoutLine(std::uint32_t recordLen, std::uint32_t blockLen, std::uint32_t numRecs,
                       std::uint32_t phase) {
  return "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t" + std::to_string(recordLen) +
         "\t" + std::to_string(blockLen) + "\t" + std::to_string(numRecs) + "\t" +
         std::to_string(phase) + "\n";
}

std::string statisticsLine(const std::string& name, std::uint32_t more, std::uint32_t noMore) {
  return name + "\tmoreGets\tnoMoreGets\t" + std::to_string(more) + "\t" + std::to_string(noMore) +
         "\n";
}

std::string sizeWarning(std::uint32_t pseudo, std::uint32_t fileSize) {
  return "pseudoFileSize != metaData.fileSize (" + std::to_string(pseudo) +
         " != " + std::to_string(fileSize) + ")\n";
}

// The year-68 data byte numbers that a pair follows: record ends every 800,
// and block ends inside records at 3180 and 6356.
const std::set<std::uint32_t> kYear68Pairs = {800,  1600, 2400, 3180, 3200,
                                              4000, 4800, 5600, 6356, 6400};

TEST(CrLfRemover, Year80PassesCompleteRecordsAndDropsOnlyTheirPairs) {
  const std::string input = wellFormedFile(80, 3 * 2640);
  ASSERT_EQ(input.size(), 3u * 2642u);
  Observed seen = runByteWise(80, input);
  EXPECT_EQ(seen.failure, "");
  EXPECT_EQ(seen.delivered, dataPattern(3 * 2640));
  EXPECT_EQ(seen.out, statisticsLine("CrLfRemover", 7920, 3) + layoutLine(2644, 10580, 3, 0) +
                          statisticsLine("MemoryBytes", 7926, 3));
  EXPECT_EQ(seen.err, sizeWarning(4 * 2641, 147896000));
}

TEST(CrLfRemover, DataBytesThatLookLikePairsPassUnchanged) {
  std::string record(800, '\r');
  for (std::size_t i = 1; i < record.size(); i += 2) record[i] = '\n';
  Observed seen = runByteWise(76, record + "\r\n" + record + "\r\n");
  EXPECT_EQ(seen.failure, "");
  EXPECT_EQ(seen.delivered, record + record);
}

TEST(CrLfRemover, Year68ExpectsBlockEndPairsInsideRecords) {
  Observed seen = runByteWise(68, withPairsAfter(6400, kYear68Pairs));
  EXPECT_EQ(seen.failure, "");
  EXPECT_EQ(seen.delivered.size(), 6400u);
  EXPECT_NE(seen.out.find(layoutLine(804, 3200, 8, 0)), std::string::npos) << seen.out;
}

TEST(CrLfRemover, Year68CarriageReturnsStandAtTheirFileOffsets) {
  const std::string input = withPairsAfter(6400, kYear68Pairs);
  for (std::size_t offset : {801, 1603, 2405, 3187, 3209}) {
    std::string damaged = input;
    ASSERT_EQ(damaged[offset - 1], '\r');
    damaged[offset - 1] = 'x';
    EXPECT_EQ(runByteWise(68, damaged).failure, "stream contained 120 at input location " +
                                                    std::to_string(offset) +
                                                    " but 13 was expected");
  }
}

TEST(CrLfRemover, Year68MissingBlockEndPairIsFound) {
  std::set<std::uint32_t> pairs = kYear68Pairs;
  pairs.erase(3180);
  Observed seen = runByteWise(68, withPairsAfter(6400, pairs));
  EXPECT_EQ(seen.failure, "stream contained " +
                              std::to_string(static_cast<unsigned char>(dataByte(3181))) +
                              " at input location 3187 but 13 was expected");
  // The data byte before the missing pair is pulled but never handed on.
  EXPECT_EQ(seen.delivered.size(), 3179u);
  EXPECT_EQ(seen.downstreamMoreGets, 3179u);
  EXPECT_NE(seen.out.find(layoutLine(804, 3200, 3, 780)), std::string::npos) << seen.out;
}

TEST(CrLfRemover, InputEndingWherePairBelongsFails) {
  Observed seen = runByteWise(76, withPairsAfter(800, {}));
  EXPECT_EQ(seen.failure, "stream ended at input location 800 but 13 was expected");
  EXPECT_EQ(seen.delivered.size(), 799u);
  // The record was counted before its pair was checked.
  EXPECT_EQ(seen.out, statisticsLine("CrLfRemover", 799, 0) + layoutLine(804, 3220, 1, 800) +
                          statisticsLine("MemoryBytes", 800, 1));
  EXPECT_EQ(seen.err, "");
}

TEST(CrLfRemover, LineFeedBeforeCarriageReturnFails) {
  std::string input = withPairsAfter(800, {800});
  std::swap(input[800], input[801]);
  EXPECT_EQ(runByteWise(76, input).failure,
            "stream contained 10 at input location 801 but 13 was expected");
  input[800] = '\r';
  input[801] = '\r';
  EXPECT_EQ(runByteWise(76, input).failure,
            "stream contained 13 at input location 802 but 10 was expected");
}

TEST(CrLfRemover, InputStoppingInsideRecordEndsQuietlyWithPartialPhase) {
  Observed seen = runByteWise(69, withPairsAfter(1610, {800, 1600}));
  EXPECT_EQ(seen.failure, "");
  EXPECT_EQ(seen.delivered.size(), 1610u);
  EXPECT_EQ(seen.out, statisticsLine("CrLfRemover", 1610, 3) + layoutLine(804, 3220, 2, 10) +
                          statisticsLine("MemoryBytes", 1614, 3));
  // Whatever the final phase, the figure is (records + 1) * (recordLen - 3).
  EXPECT_EQ(seen.err, sizeWarning(3 * 801, 5695110));
}

// The end is asked for three times; the warning comes once.
TEST(CrLfRemover, EmptyInputWarnsOnceHoweverOftenTheEndIsAsked) {
  Observed seen = runByteWise(69, "");
  EXPECT_EQ(seen.out, statisticsLine("CrLfRemover", 0, 3) + layoutLine(804, 3220, 0, 0) +
                          statisticsLine("MemoryBytes", 0, 3));
  EXPECT_EQ(seen.err, sizeWarning(801, 5695110));
}

TEST(CrLfRemover, SizeWarningIsAbsentExactlyAtTheListedSize) {
  // 5695110 = 7110 * 801: a year-69 file of 7109 records matches.
  const PullPlan bulk = {1 << 16};
  EXPECT_EQ(run(69, wellFormedFile(69, 7109 * 800), bulk).err, "");
  EXPECT_EQ(run(69, wellFormedFile(69, 7108 * 800), bulk).err, sizeWarning(7109 * 801, 5695110));
  EXPECT_EQ(run(69, wellFormedFile(69, 7110 * 800), bulk).err, sizeWarning(7111 * 801, 5695110));
}

TEST(CrLfRemover, YearWithoutLayoutFailsAfterSettingUpItsLink) {
  struct Case {
    std::int32_t year;
    const char* message;
  };
  for (const Case& c : {Case{75, "could not find metadata for year 75"},
                        Case{0, "could not find metadata for year 0"},
                        Case{-5, "could not find metadata for year 4294967291"}}) {
    CapturedStandardStreams captured;
    {
      MemoryBytes source("abc");
      EXPECT_EQ(failureOf([&] {
                  CrLfRemover remover([&] { return fileMetaDataForYear(c.year); }, &source);
                }),
                c.message);
    }
    EXPECT_EQ(captured.out(), statisticsLine("MemoryBytes", 0, 0));
  }
}

TEST(CrLfRemover, HasItsName) {
  MemoryBytes source("");
  CapturedStandardStreams captured;
  CrLfRemover remover(fileMetaDataForYear(80), &source);
  EXPECT_EQ(remover.name, "CrLfRemover");
}

// Damaged forms of a well-formed file: cut short, a byte changed, a pair left
// out, a byte added. Offsets cluster around the first pair positions.
std::vector<std::string> damagedForms(std::int32_t year, std::uint32_t dataBytes) {
  const FileMetaData layout = fileMetaDataForYear(year);
  const std::string intact = wellFormedFile(year, dataBytes);
  std::vector<std::size_t> offsets;
  std::size_t fileOffset = 0;
  std::uint32_t pairsSeen = 0;
  for (std::uint32_t position : pairPositions(layout, dataBytes)) {
    fileOffset = position + 2 * pairsSeen++;  // 0-based offset of the pair's CR
    for (std::size_t delta : {0, 1, 2, 3}) offsets.push_back(fileOffset + delta - 1);
    if (pairsSeen == 6) break;
  }
  offsets.push_back(0);
  offsets.push_back(intact.size() / 2);
  offsets.push_back(intact.size() - 1);

  std::vector<std::string> forms = {intact, ""};
  for (std::size_t at : offsets) {
    if (at >= intact.size()) continue;
    forms.push_back(intact.substr(0, at));
    std::string flipped = intact;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
    forms.push_back(flipped);
    std::string added = intact;
    added.insert(at, 1, '\r');
    forms.push_back(added);
    if (intact[at] == '\r') {
      std::string dropped = intact;
      dropped.erase(at, 2);
      forms.push_back(dropped);
    }
  }
  return forms;
}

TEST(CrLfRemoverBulk, MatchesByteWiseOnIntactAndDamagedInputs) {
  const std::vector<PullPlan> plans = {{1}, {3, 1, 799, 5000}, {800}, {4096}, {1 << 20}};
  struct Year {
    std::int32_t year;
    std::uint32_t dataBytes;
  };
  for (const Year& y :
       {Year{68, 7000}, Year{69, 2500}, Year{72, 4000}, Year{80, 9000}, Year{86, 6000}}) {
    for (const std::string& input : damagedForms(y.year, y.dataBytes)) {
      const Observed byteWise = runByteWise(y.year, input);
      for (const PullPlan& plan : plans) {
        EXPECT_EQ(run(y.year, input, plan), byteWise)
            << "year " << y.year << ", input of " << input.size() << " bytes, plan of "
            << plan.size() << " starting " << plan[0];
      }
    }
  }
}

TEST(CrLfRemoverBulk, MatchesByteWiseWhenTheUpstreamFailsMidway) {
  const std::string input = wellFormedFile(68, 7000);
  for (std::size_t failAfter : {0, 1, 799, 800, 801, 802, 803, 3186, 3187, 4000, 7000}) {
    const Observed byteWise = run(68, input, {}, failAfter);
    EXPECT_EQ(byteWise.failure, "read failed after " + std::to_string(failAfter) + " bytes");
    for (const PullPlan& plan : {PullPlan{1}, PullPlan{2, 900}, PullPlan{1 << 16}}) {
      EXPECT_EQ(run(68, input, plan, failAfter), byteWise)
          << "failing after " << failAfter << ", plan starting " << plan[0];
    }
  }
}

}  // namespace

// From any place a run has reached, mid-record and mid-block included, the
// pairs ahead stand where a well-formed file has them.
TEST(CrLfRemoverPairsAmong, FromThePhasesOfAnyPlaceMatchTheWellFormedFile) {
  constexpr std::uint32_t kAhead = 4000;
  for (std::int32_t year : {68, 70, 80}) {
    const FileMetaData layout = fileMetaDataForYear(year);
    for (std::uint32_t reached : {0u, 1u, 799u, 800u, 3000u, 3180u, 3181u, 5283u}) {
      SCOPED_TRACE("year " + std::to_string(year) + ", " + std::to_string(reached) + " read");
      MemoryBytes source(wellFormedFile(year, reached + kAhead));
      CapturedStandardStreams captured;
      CrLfRemover remover(fileMetaDataForYear(year), &source);
      unsigned char byte;
      for (std::uint32_t i = 0; i < reached; ++i) ASSERT_TRUE(remover.get(byte));
      std::vector<std::uint64_t> expected;
      for (std::uint32_t position : pairPositions(layout, reached + kAhead)) {
        if (position > reached) expected.push_back(position - reached);
      }
      EXPECT_EQ(CrLfRemover::pairsAmong(layout, remover.phases(), kAhead), expected);
    }
  }
}
