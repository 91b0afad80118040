#include <gtest/gtest.h>

#include "e2e/DecodedRun.h"
#include "e2e/TextFields.h"

std::string bigEndian(std::uint32_t n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
          static_cast<char>(n)};
}

std::uint32_t wordAt(const std::string& bytes, std::size_t at) {
  std::uint32_t word = 0;
  for (std::size_t k = 0; k < 4; ++k)
    word = word << 8 | static_cast<unsigned char>(bytes.at(at + k));
  return word;
}

namespace {

std::string ffData(const std::vector<Pairs>& records) {
  std::string data;
  for (const Pairs& record : records) {
    for (auto [address, value] : record) data += bigEndian(address) + bigEndian(value);
    data += bigEndian(0xFFFFFFFF);
  }
  return data + bigEndian(0xFFFFFFFE);
}

}  // namespace

std::uint32_t ffBytesRead(const std::vector<Pairs>& records) {
  return static_cast<std::uint32_t>(ffData(records).size());
}

std::string ffRecordFile(const std::vector<Pairs>& records) {
  std::string data = ffData(records);
  data.resize((data.size() + 799) / 800 * 800, '\0');
  std::string file;
  for (std::size_t at = 0; at < data.size(); at += 800) file += data.substr(at, 800) + "\r\n";
  return file;
}

std::string fixedLengthFile(const std::vector<std::vector<std::uint32_t>>& records) {
  std::string file;
  for (const auto& record : records) {
    for (std::uint32_t value : record) file += bigEndian(value);
    file += "\r\n";
  }
  return file;
}

std::string year78File(const std::vector<std::string>& records) {
  std::string file;
  for (const std::string& record : records) file += record + "\r\n";
  return file;
}

std::string statisticsLine(const std::string& name, std::uint32_t moreGets,
                           std::uint32_t noMoreGets) {
  return name + "\tmoreGets\tnoMoreGets\t" + std::to_string(moreGets) + "\t" +
         std::to_string(noMoreGets) + "\n";
}

std::string layoutLine(std::uint32_t recordLen, std::uint32_t blockLen, std::uint32_t numRecs,
                       std::uint32_t phase) {
  return "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t" + std::to_string(recordLen) +
         "\t" + std::to_string(blockLen) + "\t" + std::to_string(numRecs) + "\t" +
         std::to_string(phase) + "\n";
}

std::string histogramReport(const std::vector<std::string>& codeLines, std::uint32_t nonPrintable) {
  std::string text =
      "character histogram\n"
      "Key:\n"
      "ebc\tEBCDIC value\n"
      "asc\t(translated) ASCII value\n"
      "name\tname of character (e.g. A,B,\"space\")\n"
      "freq\tnumber of occurrences\n"
      "ebc\tasc\tname\tfreq\n";
  for (const std::string& line : codeLines) text += line + "\n";
  return text + "number of non-printable characters other than zeroes and matched double quotes " +
         std::to_string(nonPrintable) + "\n";
}

std::string summaryKey() {
  return "Key:\n"
         "addr\taddress (slot)\n"
         "t\ttype\n"
         "c\tconstant (min equals max)\n"
         "min\tminimum (for numeric values)\n"
         "max\tmaximum (for numeric values)\n"
         "type u\tunsigned (non-negative) integer (e.g. 0, 3, 7)\n"
         "type i\t(signed) integer (e.g. -3, 0, 7)\n"
         "type f\t(decimal) fraction (e.g. 3.14)\n"
         "type s\tstring (e.g. \"A\", \"A B\", \"02143\")\n"
         "addr\tt\tc\tmin\tmax\tstring min/max\n";
}

std::string fieldExpansionTable(const std::vector<std::array<std::uint32_t, 7>>& rows) {
  std::string text =
      "Field expansions\n"
      "Key:\n"
      "o.lb\tlower bound of original range\n"
      "o.ub\tupper bound of original range\n"
      "o.s\tsize of original range\n"
      "o.cf\tcompression factor (values per field) of original range\n"
      "e.lb\tlower bound of expanded range\n"
      "e.ub\tupper bound of expanded range\n"
      "e.s\tsize of expanded range\n"
      "o.lb\to.ub\to.s\to.cf\te.lb\te.ub\te.s\n";
  for (const auto& row : rows) {
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k > 0) text += '\t';
      text += std::to_string(row[k]);
    }
    text += '\n';
  }
  return text;
}

void addBits(Columns& columns, std::uint32_t first, std::uint32_t word) {
  for (std::uint32_t k = 0; k < 32; ++k) columns[first + k] = u((word >> (31 - k)) & 1 ? "1" : "0");
}

void addBytes(Columns& columns, std::uint32_t first, std::uint32_t word) {
  for (std::uint32_t k = 0; k < 4; ++k) {
    columns[first + k] = u(std::to_string((word >> (24 - 8 * k)) & 0xFF));
  }
}

void unsignedZeros(Columns& columns, std::uint32_t first, std::uint32_t last) {
  for (std::uint32_t a = first; a <= last; ++a) columns[a] = u("0");
}

std::string outputLine(const Columns& columns) {
  std::string line;
  std::uint32_t column = 1;
  for (const auto& [address, value] : columns) {
    line.append(address - column, '\t');
    column = address;
    line += value.text;
  }
  return line + "\n";
}

std::string constantRows(const Columns& columns) {
  std::string rows;
  for (const auto& [address, value] : columns) {
    std::string head = std::to_string(address) + "\t" + value.type + "\tc\t";
    if (value.type == 's') {
      rows += head + "\t\t" + value.text + "\n\t\t\t\t\t" + value.text + "\n";
    } else {
      rows += head + value.text + "\t" + value.text + "\t\n";
    }
  }
  return rows;
}

std::string constantSection(unsigned format, std::uint32_t records, const Columns& columns) {
  return "Summary for record format " + std::to_string(format) + "\nThere are " +
         std::to_string(records) + " records of this format.\nAddresses range from " +
         std::to_string(columns.begin()->first) + " to " + std::to_string(columns.rbegin()->first) +
         ".\n" + summaryKey() + constantRows(columns);
}

DecodedRun decode(const std::string& inputName, const std::string& bytes) {
  ScratchDir dir;
  writeFile(dir / inputName, bytes);
  DecodedRun run;
  run.result = runDecoder({inputName, "out.txt"}, dir.path());
  run.output = readFile(dir / "out.txt");
  run.meta = readFile(dir / "out.txt.meta.txt");
  return run;
}

std::string normalEnd(const std::string& warnings) {
  return warnings + "duration: * seconds\n";
}

std::vector<std::string> onlyRejectsRow(const std::filesystem::path& path) {
  const std::vector<std::string> rows = linesOf(readFile(path));
  EXPECT_EQ(rows.size(), 2u) << path;
  if (rows.size() != 2) return std::vector<std::string>(6);
  EXPECT_EQ(rows[0], kRejectsHeader);
  const std::vector<std::string> cells = split(rows[1], '\t');
  EXPECT_EQ(cells.size(), 6u) << rows[1];
  return cells.size() == 6 ? cells : std::vector<std::string>(6);
}
