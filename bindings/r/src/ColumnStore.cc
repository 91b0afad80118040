#include "ColumnStore.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace rbinding {

StoredChunk::StoredChunk(std::size_t firstRow, std::size_t columns)
    : firstRow_(firstRow),
      columns_(columns),
      presenceWords_((columns + 63) / 64),
      words_(new std::uint32_t[StoredTable::kChunkRows * columns]),
      present_(new std::uint64_t[StoredTable::kChunkRows * presenceWords_]) {}

std::string_view StoredChunk::text(std::size_t row, std::size_t column) const {
  const std::uint32_t at = word(row, column);
  std::uint32_t length = 0;
  std::memcpy(&length, texts_.data() + at, sizeof length);
  return std::string_view(texts_).substr(at + sizeof length, length);
}

StoredTable::StoredTable(unsigned format, std::uint32_t width,
                         const std::optional<std::vector<std::uint32_t>>& addresses)
    : format_(format), slots_(std::size_t{width} + 1, kNone) {
  for (std::uint32_t address = 1; address <= width; ++address) {
    if (addresses && !std::binary_search(addresses->begin(), addresses->end(), address)) continue;
    slots_[address] = static_cast<std::uint32_t>(addresses_.size());
    addresses_.push_back(address);
  }
  types_.assign(addresses_.size(), 0);
}

void StoredTable::add(const survey::Record& record) {
  if (chunks_.empty() || chunks_.back()->rows_ == kChunkRows) {
    chunks_.push_back(std::make_unique<StoredChunk>(rows(), addresses_.size()));
  }
  StoredChunk& chunk = *chunks_.back();
  const std::size_t row = chunk.rows_++;
  lines_.push_back(static_cast<double>(record.line()));
  std::uint32_t* words = chunk.words_.get() + row * chunk.columns_;
  std::uint64_t* present = chunk.present_.get() + row * chunk.presenceWords_;
  std::fill(present, present + chunk.presenceWords_, 0);
  for (const survey::Cell& cell : record.cells()) {
    const std::uint32_t column = slots_[cell.address];
    if (column == kNone) continue;
    char& type = types_[column];
    if (type != cell.type) {
      if (type != 0) {
        throw survey::DecodeError("address " + std::to_string(cell.address) +
                                  " holds a value of type " + cell.type + " after values of type " +
                                  type);
      }
      type = cell.type;
    }
    if (type == 's') {
      const std::size_t at = chunk.texts_.size();
      if (at > UINT32_MAX - 4 - cell.text.size()) {
        throw survey::DecodeError("the texts of " + std::to_string(kChunkRows) +
                                  " records exceed 4 GiB");
      }
      words[column] = static_cast<std::uint32_t>(at);
      const auto length = static_cast<std::uint32_t>(cell.text.size());
      chunk.texts_.append(reinterpret_cast<const char*>(&length), sizeof length);
      chunk.texts_.append(cell.text);
    } else {
      words[column] = cell.word;
    }
    present[column / 64] |= std::uint64_t{1} << (column % 64);
  }
}

void ColumnStore::add(const survey::Record& record, std::string_view advice) {
  survey::checkFitsTable(record, advice);
  const unsigned format = record.format();
  if (!keeps(format)) return;
  std::unique_ptr<StoredTable>& table = tables_[format];
  if (!table) table = std::make_unique<StoredTable>(format, record.tableWidth(), addresses_);
  table->add(record);
}

double widenFloat(std::uint32_t bits) {
  const bool nan = (bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0;
  if (!nan) return static_cast<double>(std::bit_cast<float>(bits));
  const std::uint64_t sign = std::uint64_t{bits & 0x80000000u} << 32;
  const std::uint64_t payload = std::uint64_t{bits & 0x007FFFFFu} << 29;
  return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52) | payload);
}

}  // namespace rbinding
