#include "driver/DecodedRecordWriter.h"

#include <cstring>
#include <string_view>

#include "core/Error.h"
#include "driver/LineWriterThread.h"

namespace {

constexpr char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
static_assert(sizeof kTabs - 1 == kMaxNumberChars);

// Refuses a record the column walk cannot place, with the first of its faults
// in address order.
void checkColumns(const TypedRecord& record, std::uint64_t recordNumber) {
  if (record.front().address != 1) {
    throwMessage("first address is ", record.front().address, ", not 1");
  }
  for (std::size_t i = 1; i < record.size(); ++i) {
    std::uint32_t address = record[i].address;
    std::uint32_t before = record[i - 1].address;
    if (address == before) {
      throwMessage("record ", recordNumber, " has address ", address, " more than once");
    }
    if (address < before) {
      throwMessage("record ", recordNumber, " has address ", address, " after address ", before);
    }
  }
  if (record.back().address > kLastColumn) {
    throwMessage("record ", recordNumber, " has address ", record.back().address,
                 ", beyond the last column ", kLastColumn);
  }
}

// Writes `value` at `p` and returns one past it, or null for a value that
// cannot be printed. `buffer` holds `p` and, past it, room for a number; a
// text longer than that makes room as it comes, growing `room` and moving `p`.
inline char* putValue(char* p, const TypedValue& value, std::string& buffer, std::size_t& room) {
  switch (value.type) {
    case TypedValue::U: {
      // Most values of the expanded fields are one digit.
      const std::uint32_t n = value.number();
      if (n < 10) {
        *p = static_cast<char>('0' + n);
        return p + 1;
      }
      return formatDecimal(p, n);
    }
    case TypedValue::S:
      if (value.text.size() > kMaxNumberChars) {
        const std::size_t at = static_cast<std::size_t>(p - buffer.data());
        room += value.text.size() - kMaxNumberChars;
        if (buffer.size() < room) buffer.resize(room);
        p = buffer.data() + at;
      }
      std::memcpy(p, value.text.data(), value.text.size());
      return p + value.text.size();
    case TypedValue::I:
      return formatSigned(p, value.number());
    case TypedValue::F:
      return formatTypedValueAt(p, value);
    default:
      return nullptr;
  }
}

// Builds a record's line in `buffer` from `used` on, in one pass over the
// record, sized up front for every value but texts longer than a number.
// Returns false, with nothing to write, at the first pair the column walk cannot
// take (an address out of order, repeated or beyond the last column, or a value
// that cannot be printed); otherwise moves `used` past the line.
bool buildLine(const TypedRecord& record, std::string& buffer, std::size_t& used) {
  const std::uint32_t last = record.back().address;
  if (record.front().address != 1 || last > kLastColumn) return false;
  // Tabs before the last column, a number's room per value, the line end.
  std::size_t room = used + std::size_t{last} + record.size() * kMaxNumberChars;
  if (buffer.size() < room) buffer.resize(room);
  char* p = putValue(buffer.data() + used, record.front().value, buffer, room);
  if (p == nullptr) return false;
  std::uint32_t column = 1;
  for (auto pair = record.begin() + 1; pair != record.end(); ++pair) {
    if (pair->address <= column) return false;
    const std::uint32_t gap = pair->address - column;
    column = pair->address;
    if (gap <= kMaxNumberChars) {
      // The value's own room follows the gap, so a fixed-size store of tabs
      // stays inside the buffer; the value then overwrites the surplus.
      std::memcpy(p, kTabs, kMaxNumberChars);
    } else {
      std::memset(p, '\t', gap);
    }
    p += gap;
    p = putValue(p, pair->value, buffer, room);
    if (p == nullptr) return false;
  }
  *p++ = '\n';
  used = static_cast<std::size_t>(p - buffer.data());
  return true;
}

// Puts `text` into `buffer` at `used` and moves `used` past it.
void place(std::string_view text, std::string& buffer, std::size_t& used) {
  if (buffer.size() < used + text.size()) buffer.resize(used + text.size());
  std::memcpy(buffer.data() + used, text.data(), text.size());
  used += text.size();
}

// Records travel to the writing thread in batches of about this many values
// (60 to 130 KiB of lines in the fixed-length years and 78): few enough
// hand-overs to cost nothing, small enough to keep memory flat.
constexpr std::size_t kBatchValues = std::size_t{1} << 15;

// Writes the run's first records on this thread, into one record's storage,
// until a batch's worth of values has gone by; returns whether records are
// left. A short run (a damaged file, say) ends here: it would gain nothing
// from a thread, and filling a batch gives each record storage of its own.
bool writeLeadingRecords(Stream<TypedRecord>& stage, std::ostream& out,
                         std::uint64_t& recordNumber) {
  GatheredLines lines(out);
  TypedRecord record;
  bool more = true;
  try {
    for (std::size_t values = 0; values < kBatchValues; values += record.size() + 1) {
      more = stage.get(record);
      if (!more) break;
      lines.add(record, ++recordNumber);
    }
  } catch (...) {
    // The lines before a failure stay in the file.
    lines.write();
    throw;
  }
  lines.write();
  return more;
}

// Writes the rest of the run: batches filled here, written by the writing
// thread; a record it might refuse is written here once the batches before
// it are out.
void writeInBatches(Stream<TypedRecord>& stage, std::ostream& out, std::uint64_t recordNumber) {
  LineWriterThread writer(out);
  for (bool more = true; more;) {
    RecordBatch& batch = writer.freeBatch();
    batch.count = 0;
    batch.firstNumber = recordNumber + 1;
    TypedRecord refused;
    bool fits = true;
    try {
      for (std::size_t values = 0; values < kBatchValues;) {
        if (batch.count == batch.records.size()) batch.records.emplace_back();
        TypedRecord& record = batch.records[batch.count];
        if (!stage.get(record)) {
          more = false;
          break;
        }
        ++recordNumber;
        if (!writesWithoutFail(record)) {
          refused.swap(record);
          fits = false;
          break;
        }
        ++batch.count;
        values += record.size() + 1;
      }
    } catch (...) {
      // The lines before a failure stay in the file.
      writer.submit(batch, true);
      writer.drain();
      throw;
    }
    writer.submit(batch, !more || !fits);
    if (more && fits) continue;
    writer.drain();
    if (!fits) {
      GatheredLines lines(out);
      lines.add(refused, recordNumber);
      lines.write();
    }
  }
}

}  // namespace

void appendDecodedRecord(const TypedRecord& record, std::uint64_t recordNumber, std::string& buffer,
                         std::size_t& used) {
  if (record.empty()) {
    place("\n", buffer, used);
    return;
  }
  if (buildLine(record, buffer, used)) return;
  // The slow road, for damaged records only: the column faults are refused
  // before anything is placed; what is left is a value that cannot be
  // printed, which leaves its line unfinished, as built so far.
  checkColumns(record, recordNumber);
  std::string line;
  std::uint32_t column = 1;
  try {
    for (const AddressTypedValuePair& pair : record) {
      line.append(pair.address - column, '\t');
      column = pair.address;
      appendTypedValue(line, pair.value);
    }
  } catch (...) {
    place(line, buffer, used);
    throw;
  }
  line += '\n';
  place(line, buffer, used);
}

void GatheredLines::add(const TypedRecord& record, std::uint64_t recordNumber) {
  constexpr std::size_t kWriteBytes = std::size_t{1} << 18;
  try {
    appendDecodedRecord(record, recordNumber, buffer_, used_);
  } catch (...) {
    write();
    throw;
  }
  if (used_ >= kWriteBytes) write();
}

void GatheredLines::write() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
  used_ = 0;
}

void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out) {
  std::uint64_t recordNumber = 0;
  if (writeLeadingRecords(stage, out, recordNumber)) writeInBatches(stage, out, recordNumber);
  out.flush();
}
