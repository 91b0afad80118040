#include "chain/DecodedRecordWriter.h"

#include <algorithm>
#include <cstring>

#include "core/Error.h"
#include "typing/ValueFormat.h"

namespace {

constexpr char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
static_assert(sizeof kTabs - 1 == kValueRoom);

// Lines are handed to the stream in writes of about this size.
constexpr std::size_t kWriteBytes = std::size_t{1} << 18;

// Writes the tabs from `column` to the column of `address` at `p`, which has
// room for them and kValueRoom more; returns one past them.
inline char* putTabs(char* p, std::uint32_t& column, std::uint32_t address) {
  const std::uint32_t gap = address - column;
  column = address;
  if (gap <= kValueRoom) {
    // The value's own room follows the gap, so a fixed-size store of tabs
    // stays inside the buffer; the value then overwrites the surplus.
    std::memcpy(p, kTabs, kValueRoom);
  } else {
    std::memset(p, '\t', gap);
  }
  return p + gap;
}

// Writes the first `count` values of `record` at `p` with the tabs before
// each, and returns one past the last character. The record has passed
// acceptRecord(), so every address is a column after the one before; `p`
// has room for the tabs up to the last column, kValueRoom per value and the
// texts (see ValueFormat.h), so nothing here can fail.
char* putValues(char* p, const TypedRecord& record, std::size_t count) {
  const char* const texts = record.texts();
  const TypedCell* const cells = record.listedCells();
  std::uint32_t column = 1;
  const TypedCell* const stop = cells + std::min(count, record.listedCount());
  for (const TypedCell* cell = cells; cell != stop; ++cell) {
    p = putTabs(p, column, cell->address);
    p = formatValue(p, cell->type, cell->word, texts, cell->length);
  }
  if (count < record.size()) return p;
  // The values of packed fields at the end, a field at a time.
  for (const PackedRun& run : record.packedRuns()) {
    p = putTabs(p, column, run.first);
    column = run.first + (run.count - 1);
    if (run.count == 32) {
      p = formatBits(p, run.word);
      continue;
    }
    for (std::uint32_t shift = 24;; shift -= 8) {
      p = formatSmall(p, (run.word >> shift) & 0xFF);
      if (shift == 0) break;
      *p++ = '\t';
    }
  }
  return p;
}

}  // namespace

std::size_t acceptRecord(const TypedRecord& record, std::uint64_t recordNumber) {
  if (record.empty()) return 0;
  // The verdict in one pass without an early exit, which the compiler turns
  // into vector code: nearly every record passes, and the walk below that
  // names the fault runs only for one that does not. The values of packed
  // fields at the end are in order and printable by their making.
  const TypedCell* const cells = record.listedCells();
  const std::size_t listed = record.listedCount();
  std::uint32_t faults = listed > 0 && cells[0].type > TypedValue::F;
  for (std::size_t k = 1; k < listed; ++k) {
    faults |= (cells[k].address <= cells[k - 1].address) | (cells[k].type > TypedValue::F);
  }
  const std::uint32_t first = listed > 0 ? cells[0].address : record.packedRuns().front().first;
  const std::uint32_t last = record.lastAddress();
  if (faults == 0 && first == 1 && last <= kLastColumn) return record.size();

  if (first != 1) throwMessage("first address is ", first, ", not 1");
  for (std::size_t k = 1; k < record.size(); ++k) {
    const std::uint32_t address = record[k].address;
    const std::uint32_t previous = record[k - 1].address;
    if (address == previous) {
      throwMessage("record ", recordNumber, " has address ", address, " more than once");
    }
    if (address < previous) {
      throwMessage("record ", recordNumber, " has address ", address, " after address ", previous);
    }
  }
  if (last > kLastColumn) {
    throwMessage("record ", recordNumber, " has address ", last, ", beyond the last column ",
                 kLastColumn);
  }
  std::size_t count = 0;
  while (record[count].type <= TypedValue::F) ++count;
  return count;
}

std::string_view LineWriter::add(const TypedRecord& record, std::uint64_t recordNumber) {
  return addPrintable(record, acceptRecord(record, recordNumber));
}

std::string_view LineWriter::addPrintable(const TypedRecord& record, std::size_t count) {
  // Tabs before the last column, a value's room per value, the texts, the
  // line end.
  const std::size_t last = record.empty() ? 0 : record.lastAddress();
  const std::size_t room = used_ + last + record.size() * kValueRoom + record.textBytes() + 1;
  if (buffer_.size() < room) buffer_.resize(room);
  char* const line = buffer_.data() + used_;
  char* p = putValues(line, record, count);
  if (count < record.size()) {
    // The line stops at the column of the value that cannot be printed.
    const std::size_t gap = record[count].address - (count == 0 ? 1 : record[count - 1].address);
    std::memset(p, '\t', gap);
    used_ = static_cast<std::size_t>(p + gap - buffer_.data());
    failUnrecognizedType();
  }
  // write() leaves the buffer's bytes as they are, so the line stays readable.
  const std::string_view text(line, static_cast<std::size_t>(p - line));
  *p++ = '\n';
  used_ = static_cast<std::size_t>(p - buffer_.data());
  if (used_ >= kWriteBytes) write();
  return text;
}

void LineWriter::write() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
  used_ = 0;
}

void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out, RecordSink* rows) {
  RecordDrain drain(stage);
  writeDrainedRecords(drain, out, rows);
}

void writeDrainedRecords(RecordDrain& drain, std::ostream& out, RecordSink* rows) {
  LineWriter lines(out);
  TypedRecord record;
  try {
    while (drain.next(record)) {
      const std::string_view text = lines.addChecked(record, drain.printable());
      if (rows != nullptr) rows->add(record, drain.line(), text);
    }
  } catch (...) {
    // The lines before a failure stay in the file.
    lines.write();
    throw;
  }
  lines.write();
  out.flush();
}
