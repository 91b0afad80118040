#include "ColumnStore.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace rbinding {

namespace {

// The rows a table first makes room for; it doubles from there.
constexpr std::size_t kFirstCapacity = 1024;

template <class T>
std::unique_ptr<T[]> moved(std::unique_ptr<T[]> old, std::size_t capacity, std::size_t kept) {
  // Left uninitialised: pages never written stay out of the resident set.
  std::unique_ptr<T[]> grown(new T[capacity]);
  if (kept != 0) std::memcpy(grown.get(), old.get(), kept * sizeof(T));
  return grown;
}

}  // namespace

void checkFitsTable(const survey::Record& record, std::string_view advice) {
  const auto cells = record.cells();
  if (cells.empty() || cells.back().address <= record.tableWidth()) return;
  throw survey::DecodeError("line " + std::to_string(record.line()) + " has address " +
                            std::to_string(cells.back().address) + ", beyond a" +
                            std::to_string(record.tableWidth()) + ", the last column of the " +
                            std::string(survey::formatName(record.format())) + " table" +
                            std::string(advice));
}

void StoredColumn::grow(std::size_t capacity, std::size_t rows) {
  words_ = moved(std::move(words_), capacity, rows);
  present_ = moved(std::move(present_), (capacity + 63) / 64, (rows + 63) / 64);
}

void StoredColumn::set(std::size_t row, const survey::Cell& cell) {
  if (type_ != cell.type) {
    if (type_ != 0) {
      throw survey::DecodeError("address " + std::to_string(address_) + " holds a value of type " +
                                cell.type + " after values of type " + type_);
    }
    type_ = cell.type;
  }
  if (type_ == 's') {
    if (texts_.size() > UINT32_MAX - 4 - cell.text.size()) {
      throw survey::DecodeError("the texts of column a" + std::to_string(address_) +
                                " exceed 4 GiB");
    }
    words_[row] = static_cast<std::uint32_t>(texts_.size());
    const auto length = static_cast<std::uint32_t>(cell.text.size());
    texts_.append(reinterpret_cast<const char*>(&length), sizeof length);
    texts_.append(cell.text);
  } else {
    words_[row] = cell.word;
  }
  present_[row / 64] |= std::uint64_t{1} << (row % 64);
}

std::string_view StoredColumn::text(std::size_t row) const {
  std::uint32_t length = 0;
  std::memcpy(&length, texts_.data() + words_[row], sizeof length);
  return std::string_view(texts_).substr(words_[row] + sizeof length, length);
}

void StoredColumn::release() {
  words_.reset();
  present_.reset();
  std::string().swap(texts_);
}

StoredTable::StoredTable(unsigned format, std::uint32_t width,
                         const std::optional<std::vector<std::uint32_t>>& addresses)
    : format_(format), width_(width), slots_(std::size_t{width} + 1, kNone) {
  for (std::uint32_t address = 1; address <= width; ++address) {
    if (addresses && !std::binary_search(addresses->begin(), addresses->end(), address)) continue;
    slots_[address] = static_cast<std::uint32_t>(columns_.size());
    columns_.emplace_back(address);
  }
}

void StoredTable::grow() {
  const std::size_t capacity = capacity_ == 0 ? kFirstCapacity : 2 * capacity_;
  for (StoredColumn& column : columns_) column.grow(capacity, rows());
  lines_.reserve(capacity);
  capacity_ = capacity;
}

void StoredTable::add(const survey::Record& record) {
  const std::size_t row = rows();
  if (row == capacity_) grow();
  if (row % 64 == 0) {
    for (StoredColumn& column : columns_) column.startRun(row);
  }
  lines_.push_back(static_cast<double>(record.line()));
  for (const survey::Cell& cell : record.cells()) {
    const std::uint32_t slot = slots_[cell.address];
    if (slot != kNone) columns_[slot].set(row, cell);
  }
}

void ColumnStore::add(const survey::Record& record, std::string_view advice) {
  checkFitsTable(record, advice);
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
