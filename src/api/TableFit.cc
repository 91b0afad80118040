#include <string>

#include "survey_decoder.h"

namespace survey {

void checkFitsTable(const Record& record, std::string_view advice) {
  const auto cells = record.cells();
  if (cells.empty() || cells.back().address <= record.tableWidth()) return;
  throw DecodeError("line " + std::to_string(record.line()) + " has address " +
                    std::to_string(cells.back().address) + ", beyond a" +
                    std::to_string(record.tableWidth()) + ", the last column of the " +
                    std::string(formatName(record.format())) + " table" + std::string(advice));
}

}  // namespace survey
