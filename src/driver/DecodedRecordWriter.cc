#include "driver/DecodedRecordWriter.h"

#include "core/Error.h"

namespace {

// Refuses, before anything is written, a record the column walk cannot place.
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

void writeLine(std::ostream& out, const std::string& line) {
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

}  // namespace

void writeDecodedRecord(const TypedRecord& record, std::uint64_t recordNumber, std::ostream& out,
                        std::string& line) {
  line.clear();
  if (!record.empty()) {
    checkColumns(record, recordNumber);
    std::uint32_t column = 1;
    try {
      for (const AddressTypedValuePair& pair : record) {
        line.append(pair.address - column, '\t');
        column = pair.address;
        appendTypedValue(line, pair.value);
      }
    } catch (...) {
      // A value that cannot be printed leaves its line unfinished, as written so far.
      writeLine(out, line);
      throw;
    }
  }
  line += '\n';
  writeLine(out, line);
  out.flush();
}

void writeDecodedRecords(Stream<TypedRecord>& stage, std::ostream& out) {
  TypedRecord record;
  std::string line;
  std::uint64_t recordNumber = 0;
  while (stage.get(record)) writeDecodedRecord(record, ++recordNumber, out, line);
}
