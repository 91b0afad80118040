#include "chain/DecodedRecordWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/FailureText.h"
#include "typing/TypedValueMakers.h"

namespace {

// Hands out the given records, then reports the end; or fails with "decoding
// failed" when asked for the record at `failAt` (0-based).
class RecordSource : public Stream<TypedRecord> {
 public:
  explicit RecordSource(std::vector<TypedRecord> records, std::size_t failAt = SIZE_MAX)
      : records_(std::move(records)), failAt_(failAt) {}
  bool get(TypedRecord& out) override {
    ++gets;
    if (next_ == failAt_) throw std::runtime_error("decoding failed");
    if (next_ == records_.size()) return false;
    out = records_[next_++];
    return true;
  }
  std::size_t gets = 0;

 private:
  std::vector<TypedRecord> records_;
  std::size_t failAt_;
  std::size_t next_ = 0;
};

struct WriteResult {
  std::string written;
  std::string failure;
  std::size_t gets = 0;
};

WriteResult writeAll(std::vector<TypedRecord> records, std::size_t failAt = SIZE_MAX) {
  RecordSource source(std::move(records), failAt);
  std::ostringstream out;
  WriteResult result;
  try {
    writeDecodedRecords(source, out);
  } catch (const std::runtime_error& e) {
    result.failure = e.what();
  }
  result.written = out.str();
  result.gets = source.gets;
  return result;
}

// Records enough for many writes of gathered lines, and their lines.
struct LongRun {
  std::vector<TypedRecord> records;
  std::vector<std::string> lines;

  explicit LongRun(std::uint32_t count) {
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::string text(k % 23, static_cast<char>('a' + k % 26));
      records.push_back({{1, u(k)}, {2, s(text)}, {3 + k % 5, i(-static_cast<std::int32_t>(k))}});
      lines.push_back(std::to_string(k) + "\t" + text + std::string(1 + k % 5, '\t') +
                      (k == 0 ? "" : "-") + std::to_string(k) + "\n");
    }
  }
  std::string linesBefore(std::size_t end) const {
    std::string joined;
    for (std::size_t k = 0; k < end; ++k) joined += lines[k];
    return joined;
  }
};

// Where two long outputs part, with a little of each from there: a readable
// failure where a full diff of megabytes would not be.
std::string firstDifference(const std::string& written, const std::string& expected) {
  if (written == expected) return "none";
  std::size_t at = 0;
  while (at < written.size() && at < expected.size() && written[at] == expected[at]) ++at;
  return "at byte " + std::to_string(at) + ": written \"" + written.substr(at, 40) +
         "\", expected \"" + expected.substr(at, 40) + "\"";
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

// Lines leave in large writes; none may be lost or repeated at a write's edge,
// nor the ones still waiting when a record fails.
TEST(DecodedRecordWriterTest, EveryLineArrivesWhenManyWritesPrecedeAFailure) {
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

// Lines reach the file in large writes; the file must read as if each line
// were written in turn.
TEST(DecodedRecordWriterTest, LongRunsKeepEveryLineInOrder) {
  const LongRun run(60000);
  WriteResult r = writeAll(run.records);
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(firstDifference(r.written, run.linesBefore(run.lines.size())), "none");
  EXPECT_EQ(r.gets, run.records.size() + 1);
}

// A refused record ends the run where it stands: no record after it is
// decoded, and every line before it is in the file, wherever the writes end.
TEST(DecodedRecordWriterTest, RefusalAfterManyWritesStopsDecodingAtOnce) {
  for (std::size_t at : {0, 8191, 8192, 16384, 40000}) {
    LongRun run(50000);
    run.records[at] = {{1, u(1)}, {7, u(2)}, {7, u(3)}};
    WriteResult r = writeAll(run.records);
    EXPECT_EQ(r.failure, "record " + std::to_string(at + 1) + " has address 7 more than once");
    EXPECT_EQ(firstDifference(r.written, run.linesBefore(at)), "none") << "refused at " << at;
    EXPECT_EQ(r.gets, at + 1);
  }
}

TEST(DecodedRecordWriterTest, UpstreamFailureAfterManyWritesKeepsEveryLineBefore) {
  for (std::size_t at : {1, 8192, 8193, 16385, 45000}) {
    const LongRun run(50000);
    WriteResult r = writeAll(run.records, at);
    EXPECT_EQ(r.failure, "decoding failed");
    EXPECT_EQ(firstDifference(r.written, run.linesBefore(at)), "none") << "failed at " << at;
    EXPECT_EQ(r.gets, at + 1);
  }
}

// A value that cannot be printed, late in a long run, leaves its unfinished
// line last in the file.
TEST(DecodedRecordWriterTest, UnprintableValueAfterManyWritesLeavesItsLineLast) {
  LongRun run(30000);
  run.records[20000] = {{1, u(3)}, {3, withBits(7, 0)}};
  WriteResult r = writeAll(run.records);
  EXPECT_EQ(r.failure, "unrec type");
  EXPECT_EQ(firstDifference(r.written, run.linesBefore(20000) + "3\t\t"), "none");
  EXPECT_EQ(r.gets, 20001u);
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

// Notes each record it is given as "line:values:text", and fails at line `failAt`.
class NotingSink : public RecordSink {
 public:
  explicit NotingSink(std::uint64_t failAt = 0) : failAt_(failAt) {}
  void add(const TypedRecord& record, std::uint64_t line, std::string_view text) override {
    if (line == failAt_) throw std::runtime_error("table failed");
    notes.push_back(std::to_string(line) + ":" + std::to_string(record.size()) + ":" +
                    std::string(text));
  }
  void check(const TypedRecord&, std::uint64_t) const override {}
  std::vector<std::string> notes;

 private:
  std::uint64_t failAt_;
};

TEST(DecodedRecordWriterTest, RowsGetEachAcceptedLineWithItsNumber) {
  const LongRun run(3000);
  std::vector<TypedRecord> records = run.records;
  records.push_back({});
  records.push_back({{2, u(1)}});  // refused: no row, and nothing after it
  records.push_back({{1, u(1)}});
  RecordSource source(records);
  std::ostringstream out;
  NotingSink rows;
  EXPECT_EQ(failureOf([&] { writeDecodedRecords(source, out, &rows); }),
            "first address is 2, not 1");
  std::vector<std::string> expected;
  for (std::size_t k = 0; k < run.lines.size(); ++k) {
    const std::string& line = run.lines[k];
    expected.push_back(std::to_string(k + 1) + ":3:" + line.substr(0, line.size() - 1));
  }
  expected.push_back("3001:0:");
  EXPECT_TRUE(rows.notes == expected);
  EXPECT_EQ(out.str(), run.linesBefore(3000) + "\n");
}

TEST(DecodedRecordWriterTest, AFailingRowEndsTheRunAfterItsLine) {
  RecordSource source({{{1, u(1)}}, {{1, u(2)}}, {{1, u(3)}}, {{1, u(4)}}});
  std::ostringstream out;
  NotingSink rows(3);
  EXPECT_EQ(failureOf([&] { writeDecodedRecords(source, out, &rows); }), "table failed");
  EXPECT_EQ(rows.notes, (std::vector<std::string>{"1:1:1", "2:1:2"}));
  EXPECT_EQ(out.str(), "1\n2\n3\n");
  EXPECT_EQ(source.gets, 3u);
}

TEST(DecodedRecordWriterTest, LastColumnIsStillWritten) {
  WriteResult r = writeAll({{{1, u(1)}, {kLastColumn, u(2)}}});
  EXPECT_EQ(r.failure, "");
  EXPECT_EQ(r.written, "1" + std::string(kLastColumn - 1, '\t') + "2\n");
}

struct AcceptCase {
  TypedRecord record;
  std::string verdict;  // the printable count, or the failure
};

TEST(AcceptRecordTest, FirstFaultInAddressOrderOrThePrintableValues) {
  const std::vector<AcceptCase> cases = {
      {{}, "0"},
      {{{1, u(0)}}, "1"},
      {{{1, s("x")}, {2, i(-1)}, {9, f(1.5f)}}, "3"},
      {{{1, u(0)}, {kLastColumn, u(1)}}, "2"},
      {{{1, u(0)}, {2, withBits(4, 0)}, {3, u(0)}}, "1"},
      {{{1, withBits(0xFFFFFFFF, 0)}}, "0"},
      {{{2, u(0)}}, "first address is 2, not 1"},
      {{{0, u(0)}, {1, u(0)}}, "first address is 0, not 1"},
      {{{1, u(0)}, {3, u(0)}, {3, u(0)}}, "record 7 has address 3 more than once"},
      {{{1, u(0)}, {4, u(0)}, {3, u(0)}}, "record 7 has address 3 after address 4"},
      {{{1, u(0)}, {kLastColumn + 1, u(1)}},
       "record 7 has address 1048577, beyond the last column 1048576"},
      // Column faults come before an unprintable value, wherever it stands.
      {{{1, withBits(9, 0)}, {1, u(0)}}, "record 7 has address 1 more than once"},
      {{{1, u(0)}, {2, withBits(9, 0)}, {kLastColumn + 1, u(1)}},
       "record 7 has address 1048577, beyond the last column 1048576"},
  };
  for (const AcceptCase& c : cases) {
    std::size_t count = 0;
    std::string verdict = failureOf([&] { count = acceptRecord(c.record, 7); });
    if (verdict == "no failure") verdict = std::to_string(count);
    EXPECT_EQ(verdict, c.verdict) << "record of " << c.record.size();
  }
}

TEST(DecodedRecordWriterTest, UnprintableValueLeavesLineUnfinished) {
  WriteResult r = writeAll({{{1, u(3)}, {3, withBits(7, 0)}}});
  EXPECT_EQ(r.failure, "unrec type");
  EXPECT_EQ(r.written, "3\t\t");
}

}  // namespace
