#include "driver/DecodedRecordWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <vector>

#include "typing/TypedValueMakers.h"

namespace {

// Hands out the given records, then reports the end.
class RecordSource : public Stream<TypedRecord> {
 public:
  explicit RecordSource(std::vector<TypedRecord> records) : records_(std::move(records)) {}
  bool get(TypedRecord& out) override {
    if (next_ == records_.size()) return false;
    out = records_[next_++];
    return true;
  }

 private:
  std::vector<TypedRecord> records_;
  std::size_t next_ = 0;
};

struct WriteResult {
  std::string written;
  std::string failure;
};

WriteResult writeAll(std::vector<TypedRecord> records) {
  RecordSource source(std::move(records));
  std::ostringstream out;
  WriteResult result;
  try {
    writeDecodedRecords(source, out);
  } catch (const std::runtime_error& e) {
    result.failure = e.what();
  }
  result.written = out.str();
  return result;
}

TEST(DecodedRecordWriterTest, MissingAddressesLeaveEmptyColumns) {
  WriteResult r = writeAll({{{1, u(42)}, {2, s("AB")}, {5, fBits(0x4048F5C3)}}});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, "42\tAB\t\t\t3.14\n");
}

TEST(DecodedRecordWriterTest, OneLinePerRecordInDeliveryOrder) {
  WriteResult r = writeAll({{{1, i(-7)}}, {}, {{1, s("")}, {3, s("")}}, {{1, u(0)}, {2, i(3)}}});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, "-7\n\n\t\t\n0\t3\n");
}

// The line is sized for numbers up front; longer texts and wide gaps make room
// as they come, and a shorter line after a longer one keeps none of it.
TEST(DecodedRecordWriterTest, LongTextsAndWideGapsKeepTheirColumns) {
  const std::string longText(100, 'T');
  WriteResult r = writeAll({{{1, s(longText)}, {18, u(4294967295)}, {60, s(longText + "!")}},
                            {{1, u(7)}, {17, i(-2147483647 - 1)}},
                            {{1, s("")}}});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, longText + std::string(17, '\t') + "4294967295" + std::string(42, '\t') +
                           longText + "!\n" + "7" + std::string(16, '\t') + "-2147483648\n\n");
}

// Lines leave in batches; none may be lost or repeated at a batch's edge,
// nor the ones still waiting when a record fails.
TEST(DecodedRecordWriterTest, EveryLineArrivesWhenManyBatchesPrecedeAFailure) {
  std::vector<TypedRecord> records;
  std::string expected;
  for (std::uint32_t k = 0; k < 3000; ++k) {
    const std::string text(k % 300, static_cast<char>('A' + k % 26));
    records.push_back({{1, u(k)}, {2 + k % 40, s(text)}});
    expected += std::to_string(k) + std::string(1 + k % 40, '\t') + text + "\n";
  }
  records.push_back({{1, u(5)}, {4, withBits(7, 0)}});
  expected += "5\t\t\t";
  records.push_back({{1, u(6)}});
  WriteResult r = writeAll(records);
  EXPECT_EQ(r.failure, "unrec type");
  EXPECT_EQ(r.written, expected);
}

TEST(DecodedRecordWriterTest, NoRecordsWriteNothing) {
  WriteResult r = writeAll({});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, "");
}

struct RefusedCase {
  TypedRecord record;
  const char* message;
};

TEST(DecodedRecordWriterTest, RefusedRecordWritesNothingOfItsLine) {
  const std::vector<RefusedCase> cases = {
      {{{2, u(1)}}, "first address is 2, not 1"},
      {{{0, u(1)}, {1, u(1)}}, "first address is 0, not 1"},
      {{{1, u(1)}, {661, u(0)}, {661, u(1)}}, "record 2 has address 661 more than once"},
      {{{1, u(1)}, {3, u(0)}, {2, u(1)}}, "record 2 has address 2 after address 3"},
      {{{1, u(1)}, {1048577, u(0)}},
       "record 2 has address 1048577, beyond the last column 1048576"},
      {{{1, u(1)}, {4294967295u, u(0)}},
       "record 2 has address 4294967295, beyond the last column 1048576"},
      // The repeat is found before the width.
      {{{1, u(1)}, {5, u(0)}, {5, u(0)}, {2000000, u(0)}}, "record 2 has address 5 more than once"},
  };
  for (const RefusedCase& c : cases) {
    WriteResult r = writeAll({{{1, u(9)}}, c.record, {{1, u(8)}}});
    EXPECT_EQ(r.failure, c.message);
    EXPECT_EQ(r.written, "9\n");
  }
}

TEST(DecodedRecordWriterTest, LastColumnIsStillWritten) {
  WriteResult r = writeAll({{{1, u(1)}, {kLastColumn, u(2)}}});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, "1" + std::string(kLastColumn - 1, '\t') + "2\n");
}

TEST(DecodedRecordWriterTest, UnprintableValueLeavesLineUnfinished) {
  WriteResult r = writeAll({{{1, u(3)}, {3, withBits(7, 0)}}});
  EXPECT_EQ(r.failure, "unrec type");
  EXPECT_EQ(r.written, "3\t\t");
}

}  // namespace
