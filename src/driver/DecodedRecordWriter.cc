#include "driver/DecodedRecordWriter.h"

#include <cstring>

#include "core/Error.h"

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

void writeLine(std::ostream& out, const char* begin, const char* end) {
  out.write(begin, static_cast<std::streamsize>(end - begin));
}

// Writes `value` at `p` and returns one past it, or null for a value that
// cannot be printed. `line` holds `p` and, past it, room for a number; a text
// longer than that makes room as it comes, growing `room` and moving `p`.
inline char* putValue(char* p, const TypedValue& value, std::string& line, std::size_t& room) {
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
        const std::size_t used = static_cast<std::size_t>(p - line.data());
        room += value.text.size() - kMaxNumberChars;
        if (line.size() < room) line.resize(room);
        p = line.data() + used;
      }
      return formatTypedValue(p, value);
    case TypedValue::I:
    case TypedValue::F:
      return formatTypedValue(p, value);
    default:
      return nullptr;
  }
}

// Builds a record's line in `line` in one pass over the record, sized up
// front for every value but texts longer than a number. Returns false, with
// nothing to write, at the first pair the column walk cannot take (an address
// out of order, repeated or beyond the last column, or a value that cannot be
// printed); otherwise sets `length`.
bool buildLine(const TypedRecord& record, std::string& line, std::size_t& length) {
  const std::uint32_t last = record.back().address;
  if (record.front().address != 1 || last > kLastColumn) return false;
  // Tabs before the last column, a number's room per value, the line end.
  std::size_t room = std::size_t{last} + record.size() * kMaxNumberChars;
  if (line.size() < room) line.resize(room);
  char* p = putValue(line.data(), record.front().value, line, room);
  if (p == nullptr) return false;
  std::uint32_t column = 1;
  for (auto pair = record.begin() + 1; pair != record.end(); ++pair) {
    if (pair->address <= column) return false;
    const std::uint32_t gap = pair->address - column;
    column = pair->address;
    if (gap <= kMaxNumberChars) {
      // The value's own room follows the gap, so a fixed-size store of tabs
      // stays inside the line; the value then overwrites the surplus.
      std::memcpy(p, kTabs, kMaxNumberChars);
    } else {
      std::memset(p, '\t', gap);
    }
    p += gap;
    p = putValue(p, pair->value, line, room);
    if (p == nullptr) return false;
  }
  *p++ = '\n';
  length = static_cast<std::size_t>(p - line.data());
  return true;
}

}  // namespace

void writeDecodedRecord(const TypedRecord& record, std::uint64_t recordNumber, std::ostream& out,
                        std::string& line) {
  std::size_t length = 1;
  if (record.empty()) {
    line.assign(1, '\n');
  } else if (!buildLine(record, line, length)) {
    // The slow road, for damaged records only: the column faults are refused
    // before anything is written; what is left is a value that cannot be
    // printed, which leaves its line unfinished, as written so far.
    checkColumns(record, recordNumber);
    line.clear();
    std::uint32_t column = 1;
    try {
      for (const AddressTypedValuePair& pair : record) {
        line.append(pair.address - column, '\t');
        column = pair.address;
        appendTypedValue(line, pair.value);
      }
    } catch (...) {
      writeLine(out, line.data(), line.data() + line.size());
      throw;
    }
    line += '\n';
    length = line.size();
  }
  writeLine(out, line.data(), line.data() + length);
  out.flush();
}

void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out) {
  TypedRecord record;
  std::string line;
  std::uint64_t recordNumber = 0;
  while (stage.get(record)) writeDecodedRecord(record, ++recordNumber, out, line);
}
