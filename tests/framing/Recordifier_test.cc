#include "framing/Recordifier.h"

#include <gtest/gtest.h>

#include "core/FailureText.h"
#include "framing/StreamStubs.h"

namespace {

const Quartet A = Q(0xC1C1C1C1), B = Q(0x00000002), C = Q(0x7FFFFFFF);
const Quartet EOR = endOfRecordQuartet, EOD = endOfDataQuartet;
using Records = std::vector<std::vector<Quartet>>;

class RecordifierTest : public testing::TestWithParam<BulkMode> {
 protected:
  // Frames `input` until the end and checks the records.
  void ExpectRecords(const Bytes& input, const Records& expected) {
    recordifier_.reset();  // its link reports on the old source when destroyed
    source_ = std::make_unique<MemoryBytes>(input, GetParam());
    recordifier_ = std::make_unique<Recordifier>(source_.get());
    Records records;
    std::vector<Quartet> record;
    while (recordifier_->get(record)) records.push_back(record);
    EXPECT_EQ(records, expected);
  }
  Upstream<unsigned char>& link() { return recordifier_->upstream; }

  std::unique_ptr<MemoryBytes> source_;
  std::unique_ptr<Recordifier> recordifier_;
};

TEST_P(RecordifierTest, MarkersEndRecordsAndAreLeftOut) {
  ExpectRecords(BytesOf({A, B, EOR, C, EOR}), {{A, B}, {C}});
  EXPECT_EQ(link().moreGets, 20u);
  EXPECT_EQ(link().noMoreGets, 1u);
}

TEST_P(RecordifierTest, MarkerAtTheStartGivesAnEmptyRecord) {
  ExpectRecords(BytesOf({EOR, A, EOR}), {{}, {A}});
}

TEST_P(RecordifierTest, EndOfDataInsideARecordIsData) {
  ExpectRecords(BytesOf({A, EOD, B, EOR}), {{A, EOD, B}});
}

TEST_P(RecordifierTest, EndOfDataOpeningARecordStopsReadingForGood) {
  ExpectRecords(BytesOf({A, EOR, EOD, B}), {{A}});
  std::vector<Quartet> record = {C};
  EXPECT_FALSE(recordifier_->get(record));
  EXPECT_EQ(record, std::vector<Quartet>{C});
  EXPECT_EQ(source_->consumed(), 12u);
  EXPECT_EQ(link().moreGets, 12u);
  EXPECT_EQ(link().noMoreGets, 0u);
}

TEST_P(RecordifierTest, InputEndingMidRecordClosesIt) {
  ExpectRecords(BytesOf({A, B}), {{A, B}});
  EXPECT_EQ(link().noMoreGets, 2u);  // once inside the record, once opening the next
}

TEST_P(RecordifierTest, EmptyInputHasNoRecord) {
  ExpectRecords({}, {});
  EXPECT_EQ(link().moreGets, 0u);
  EXPECT_EQ(link().noMoreGets, 1u);
}

TEST_P(RecordifierTest, InputCutInsideAQuartetNamesItsLocation) {
  Bytes input = Truncated(BytesOf({A, EOR, B, C}), 14);
  EXPECT_EQ(failureOf([&] { ExpectRecords(input, {}); }),
            "stream ended unexpectedly at input non-multiple of 4 input location 14");
  EXPECT_EQ(link().moreGets, 14u);
  EXPECT_EQ(link().noMoreGets, 1u);
}

TEST_P(RecordifierTest, RecordOf5001QuartetsIsTheLongestAccepted) {
  std::vector<Quartet> longest(5001, A);
  std::vector<Quartet> input = longest;
  input.push_back(EOR);
  ExpectRecords(BytesOf(input), {longest});
}

TEST_P(RecordifierTest, The5002ndQuartetWithoutMarkerFails) {
  std::vector<Quartet> input(5002, A);
  input.push_back(EOR);
  EXPECT_EQ(failureOf([&] { ExpectRecords(BytesOf(input), {}); }),
            "End of FF-record not found after 5000 quartets: giving up.");
  EXPECT_EQ(link().moreGets, 5002u * 4);
}

TEST_P(RecordifierTest, DamagedMarkerJoinsTwoRecords) {
  Bytes input = WithByteAt(BytesOf({A, EOR, B, EOR}), 7, 0xFE);
  ExpectRecords(input, {{A, EOD, B}});
}

INSTANTIATE_TEST_SUITE_P(BothBulkModes, RecordifierTest,
                         testing::Values(BulkMode::kOneByOne, BulkMode::kOverridden));

}  // namespace
