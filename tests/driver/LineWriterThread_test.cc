#include "driver/LineWriterThread.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "driver/DecodedRecordWriter.h"
#include "typing/TypedValueMakers.h"

namespace {

struct FitCase {
  TypedRecord record;
  bool fits;
};

TEST(WritesWithoutFailTest, RefusesExactlyWhatTheWriterRefuses) {
  const std::vector<FitCase> cases = {
      {{}, true},
      {{{1, u(0)}}, true},
      {{{1, s("x")}, {2, i(-1)}, {9, f(1.5f)}}, true},
      {{{1, u(0)}, {kLastColumn, u(1)}}, true},
      {{{2, u(0)}}, false},
      {{{0, u(0)}, {1, u(0)}}, false},
      {{{1, u(0)}, {3, u(0)}, {3, u(0)}}, false},
      {{{1, u(0)}, {4, u(0)}, {3, u(0)}}, false},
      {{{1, u(0)}, {kLastColumn + 1, u(1)}}, false},
      {{{1, u(0)}, {2, withBits(4, 0)}}, false},
      {{{1, withBits(0xFFFFFFFF, 0)}}, false},
  };
  for (const FitCase& c : cases) {
    EXPECT_EQ(writesWithoutFail(c.record), c.fits) << "record of " << c.record.size();
  }
}

// The decoding side hands over only what passes the check, so that a refusal
// stops the run before the next record: the check and the writer must agree
// on every record, damaged ones included.
TEST(WritesWithoutFailTest, AgreesWithTheWriterOnRandomRecords) {
  std::mt19937 random(99);
  std::string buffer;
  for (int n = 0; n < 20000; ++n) {
    TypedRecord record(random() % 5);
    std::uint32_t address = random() % 3;
    for (AddressTypedValuePair& pair : record) {
      pair.address = address;
      pair.value = random() % 16 == 0 ? withBits(4 + random() % 3, 0) : u(random() % 100);
      address += random() % 3;
    }
    if (!record.empty() && random() % 50 == 0) record.back().address = kLastColumn + random() % 2;
    std::size_t used = 0;
    bool written = true;
    try {
      appendDecodedRecord(record, 1, buffer, used);
    } catch (const std::runtime_error&) {
      written = false;
    }
    ASSERT_EQ(writesWithoutFail(record), written) << "record " << n;
  }
}

RecordBatch& fill(LineWriterThread& writer, std::uint64_t first, std::uint32_t count) {
  RecordBatch& batch = writer.freeBatch();
  batch.count = count;
  batch.firstNumber = first;
  if (batch.records.size() < count) batch.records.resize(count);
  for (std::uint32_t k = 0; k < count; ++k) batch.records[k] = {{1, u(first + k)}};
  return batch;
}

std::string numbers(std::uint32_t from, std::uint32_t to) {
  std::string lines;
  for (std::uint32_t k = from; k < to; ++k) lines += std::to_string(k) + "\n";
  return lines;
}

TEST(LineWriterThreadTest, BatchesAreWrittenInHandOverOrderByDrain) {
  std::ostringstream out;
  LineWriterThread writer(out);
  std::uint32_t next = 1;
  for (int b = 0; b < 50; ++b) {
    writer.submit(fill(writer, next, 100 + b), false);
    next += 100 + b;
  }
  writer.drain();
  EXPECT_EQ(out.str(), numbers(1, next));
  // Work goes on after a drain, with the batches handed back.
  writer.submit(fill(writer, next, 3), true);
  writer.drain();
  EXPECT_EQ(out.str(), numbers(1, next + 3));
}

TEST(LineWriterThreadTest, DestructionWritesWhatWasHandedOver) {
  std::ostringstream out;
  {
    LineWriterThread writer(out);
    writer.submit(fill(writer, 1, 10), false);
    writer.submit(fill(writer, 11, 10), false);
  }
  EXPECT_EQ(out.str(), numbers(1, 21));
}

}  // namespace
