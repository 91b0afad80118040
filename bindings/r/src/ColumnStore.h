#ifndef SURVEYDECODER_COLUMNSTORE_H_
#define SURVEYDECODER_COLUMNSTORE_H_

// The tables of one read as the decoder delivers them, held in the file's own
// four-byte words (a value costs 4 bytes and a presence bit) until they
// become R vectors. R takes 8 bytes a number, so the data frames are filled
// run of rows by run of rows while this store gives its memory back: the peak
// stays near the data frames' own size. Nothing here touches R.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "survey_decoder.h"

namespace rbinding {

// The rows of a table in runs of kChunkRows, each run's values row by row:
// a record's values are written side by side, and a run is read column by
// column into the R vectors, then freed.
class StoredChunk {
 public:
  StoredChunk(std::size_t firstRow, std::size_t columns);

  std::size_t firstRow() const { return firstRow_; }
  std::size_t rows() const { return rows_; }

  bool has(std::size_t row, std::size_t column) const {
    return (present_[row * presenceWords_ + column / 64] >> (column % 64)) & 1;
  }
  // A number's four bytes; for a text, see text().
  std::uint32_t word(std::size_t row, std::size_t column) const {
    return words_[row * columns_ + column];
  }
  std::string_view text(std::size_t row, std::size_t column) const;

 private:
  friend class StoredTable;
  std::size_t firstRow_;
  std::size_t columns_;
  std::size_t presenceWords_;
  std::size_t rows_ = 0;
  // Left uninitialised: a row is written whole before it is read.
  std::unique_ptr<std::uint32_t[]> words_;
  std::unique_ptr<std::uint64_t[]> present_;
  // The run's texts, each a four-byte length then its bytes; a text's word
  // is its offset here.
  std::string texts_;
};

// The table of one record format: its rows' line numbers and values.
class StoredTable {
 public:
  static constexpr std::size_t kChunkRows = 256;

  // A table `width` columns wide (a1 to a<width>); `addresses`, ascending,
  // keeps only those columns when given.
  StoredTable(unsigned format, std::uint32_t width,
              const std::optional<std::vector<std::uint32_t>>& addresses);

  unsigned format() const { return format_; }
  std::size_t rows() const { return lines_.size(); }
  const std::vector<double>& lines() const { return lines_; }
  // The address of each column kept, and the type letter of its values
  // ('u', 'i', 'f', 's'; 0 while it has none: the library gives an address
  // one type throughout a format).
  const std::vector<std::uint32_t>& addresses() const { return addresses_; }
  const std::vector<char>& types() const { return types_; }
  std::vector<std::unique_ptr<StoredChunk>>& chunks() { return chunks_; }

  // Adds `record` as the next row; it must fit the table (survey::checkFitsTable).
  // Fails if a value's type differs from its column's.
  void add(const survey::Record& record);

 private:
  unsigned format_;
  std::vector<double> lines_;
  std::vector<std::uint32_t> addresses_;
  std::vector<char> types_;
  // The column of each address from 0 to the width, or kNone.
  std::vector<std::uint32_t> slots_;
  std::vector<std::unique_ptr<StoredChunk>> chunks_;
  static constexpr std::uint32_t kNone = UINT32_MAX;
};

// Every table of a read, by record-format index; formats left out get none.
class ColumnStore {
 public:
  // `formats` says per format index whether to keep its records; `addresses`
  // as for StoredTable.
  ColumnStore(std::array<bool, survey::kFormatCount> formats,
              std::optional<std::vector<std::uint32_t>> addresses)
      : formats_(formats), addresses_(std::move(addresses)) {}

  // Files `record` in its format's table, making the table on the format's
  // first record. A record past its table's last column fails as
  // survey::checkFitsTable() with `advice`.
  void add(const survey::Record& record, std::string_view advice);

  // The tables made, by format index (null for a format without one).
  std::array<std::unique_ptr<StoredTable>, survey::kFormatCount>& tables() { return tables_; }
  bool keeps(unsigned format) const { return format < formats_.size() && formats_[format]; }
  const std::optional<std::vector<std::uint32_t>>& addresses() const { return addresses_; }

 private:
  std::array<bool, survey::kFormatCount> formats_;
  std::optional<std::vector<std::uint32_t>> addresses_;
  std::array<std::unique_ptr<StoredTable>, survey::kFormatCount> tables_;
};

// A float's four bytes as the double of the same value. A NaN keeps its sign
// and payload bit for bit (a hardware conversion would set the quiet bit), and
// no float NaN becomes R's NA, whose low word no widened payload can hold.
double widenFloat(std::uint32_t bits);

}  // namespace rbinding

#endif  // SURVEYDECODER_COLUMNSTORE_H_
