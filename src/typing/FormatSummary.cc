#include "typing/FormatSummary.h"

#include <charconv>
#include <string>

namespace {

void appendUnsigned(std::string& line, std::uint32_t n) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, n);
  line.append(digits, result.ptr);
}

// Each line is written and flushed on its own, like every line of the decoder.
void writeLine(std::ostream& out, const std::string& line) {
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out << std::endl;
}

}  // namespace

void writeFormatSummary(const FormatStatistics& statistics, std::ostream& out) {
  auto [lowest, highest] = statistics.addressRange.get();
  out << "There are " << statistics.recordCount << " records of this format." << std::endl;
  out << "Addresses range from " << lowest << " to " << highest << "." << std::endl;
  out << "Key:" << std::endl;
  out << "addr\taddress (slot)" << std::endl;
  out << "t\ttype" << std::endl;
  out << "c\tconstant (min equals max)" << std::endl;
  out << "min\tminimum (for numeric values)" << std::endl;
  out << "max\tmaximum (for numeric values)" << std::endl;
  printTypeKey(out);
  out << "addr\tt\tc\tmin\tmax\tstring min/max" << std::endl;

  std::string line;
  statistics.forEachAddress([&](std::uint32_t address, const Extent<TypedValue>& extent) {
    auto [min, max] = extent.get();
    line.clear();
    appendUnsigned(line, address);
    line += '\t';
    line += typeLetterOf(min.type);
    line += '\t';
    if (isConstant(extent)) line += 'c';
    line += '\t';
    if (min.type != TypedValue::S) {
      appendTypedValue(line, min);
      line += '\t';
      appendTypedValue(line, max);
      line += '\t';
      writeLine(out, line);
      return;
    }
    line += "\t\t";
    line += min.text;
    writeLine(out, line);
    line.assign("\t\t\t\t\t");
    line += max.text;
    writeLine(out, line);
  });
}

void writeFormatSection(unsigned formatIndex, const FormatStatistics& statistics,
                        std::ostream& out) {
  out << "Summary for record format " << formatIndex << std::endl;
  if (!statistics.addressRange.isUndefined()) writeFormatSummary(statistics, out);
}
