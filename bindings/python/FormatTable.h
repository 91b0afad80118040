#ifndef SURVEY_BINDINGS_PYTHON_FORMAT_TABLE_H_
#define SURVEY_BINDINGS_PYTHON_FORMAT_TABLE_H_

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ColumnBuffer.h"
#include "survey_decoder.h"

// A column to fill: its address and the type letter its layout gives a value
// there ('u', 'i', 'f', 's'), or 0 where the layout puts none.
struct ColumnPlan {
  std::uint32_t address = 0;
  char type = 0;
};

// The table of one record format while its records arrive: their line
// numbers and, per chosen column, the values and which rows have none. Words
// are stored as read (a float's bits included) and texts become Python str
// objects, one per run of equal values down a column. Needs the GIL.
class FormatTable {
 public:
  // `missing` is what a text column holds where a record has no value
  // (pandas.NA); borrowed, it must outlive the table.
  FormatTable(std::uint32_t width, const std::vector<ColumnPlan>& columns, PyObject* missing);
  ~FormatTable();
  FormatTable(const FormatTable&) = delete;
  FormatTable& operator=(const FormatTable&) = delete;

  // Appends `record`, whose addresses all lie within the table's width.
  void add(const survey::Record& record);
  std::size_t rows() const { return rows_; }

  // Hands the rows over and starts the table afresh: a tuple of the line
  // numbers (int64) and a list with per column, in address order, (address,
  // type, values, missing). Words give uint32, int32 or float32 values with a
  // bool array of the rows without a value; texts give an object array (str,
  // or the missing object) and None. A column of type 0, and with
  // `typeByValues` a column that received no value, comes as type "" with
  // None, None.
  pybind11::tuple release(bool typeByValues);

 private:
  struct WordColumn {
    std::uint32_t address = 0;
    char type = 0;
    ColumnBuffer values;   // 4-byte words
    ColumnBuffer missing;  // one bool per row
    bool any = false;      // received a value since the last release
  };
  struct TextColumn {
    std::uint32_t address = 0;
    ColumnBuffer values;     // PyObject*, each a reference held
    std::size_t filled = 0;  // rows written, values and padding alike
    bool any = false;
    PyObject* last = nullptr;  // the latest text created, held by `values`
  };

  void grow();
  void flushBlock();
  void padText(TextColumn& column, std::size_t rows);
  void putText(TextColumn& column, std::size_t row, std::string_view text);
  void dropTexts(TextColumn& column);
  [[noreturn]] void failType(const survey::Record& record, const survey::Cell& cell) const;

  // Per address: where its value goes, and the type it must have.
  struct Slot {
    // An index into words_ (>= 0), kNotChosen, kText - an index into texts_,
    // or kNoValue for a chosen column where the layout puts no value.
    int index;
    char type;  // the layout's, 0 for none
  };
  std::vector<Slot> slotOf_;
  std::vector<WordColumn> words_;
  std::vector<TextColumn> texts_;
  std::vector<ColumnPlan> order_;  // every chosen column, by address
  // The latest rows' words and whether each is there, a run of kBlockRows
  // per column, until the block is copied into the columns: writing each
  // record's words into thousands of column buffers at once would touch a
  // page per value.
  std::vector<std::uint32_t> blockWords_;
  std::vector<std::uint8_t> blockPresent_;
  std::size_t blockRows_ = 0;
  ColumnBuffer lines_;
  std::size_t rows_ = 0;
  std::size_t capacity_ = 0;  // rows every buffer has room for
  PyObject* missing_;
};

#endif  // SURVEY_BINDINGS_PYTHON_FORMAT_TABLE_H_
