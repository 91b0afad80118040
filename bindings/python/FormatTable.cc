#include "FormatTable.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

constexpr std::size_t kFirstRows = 64;
// Rows gathered before they are copied into the columns: their words of a
// table thousands of columns wide stay in the cache.
constexpr std::size_t kBlockRows = 128;
constexpr int kNotChosen = -1;
constexpr int kNoValue = -2;
constexpr int kText = -3;  // kText - i: text column i

const char* dtypeOf(char type) {
  switch (type) {
    case 'u':
      return "uint32";
    case 'i':
      return "int32";
    default:
      return "float32";
  }
}

std::vector<py::ssize_t> shapeOf(std::size_t rows) {
  return {static_cast<py::ssize_t>(rows)};
}

PyObject** textSlots(ColumnBuffer& buffer) {
  return reinterpret_cast<PyObject**>(buffer.data());
}

}  // namespace

FormatTable::FormatTable(std::uint32_t width, const std::vector<ColumnPlan>& columns,
                         PyObject* missing)
    : slotOf_(static_cast<std::size_t>(width) + 1, Slot{kNotChosen, 0}), missing_(missing) {
  for (const ColumnPlan& plan : columns) {
    if (plan.address == 0 || plan.address > width || slotOf_[plan.address].index != kNotChosen) {
      continue;
    }
    order_.push_back(plan);
    slotOf_[plan.address].type = plan.type;
    int& slot = slotOf_[plan.address].index;
    if (plan.type == 's') {
      slot = kText - static_cast<int>(texts_.size());
      texts_.emplace_back().address = plan.address;
    } else if (plan.type != 0) {
      slot = static_cast<int>(words_.size());
      WordColumn& column = words_.emplace_back();
      column.address = plan.address;
      column.type = plan.type;
    } else {
      slot = kNoValue;
    }
  }
  std::sort(order_.begin(), order_.end(),
            [](const ColumnPlan& a, const ColumnPlan& b) { return a.address < b.address; });
  blockWords_.resize(kBlockRows * words_.size());
  blockPresent_.resize(kBlockRows * words_.size());
}

FormatTable::~FormatTable() {
  for (TextColumn& column : texts_) dropTexts(column);
}

void FormatTable::dropTexts(TextColumn& column) {
  PyObject** slots = textSlots(column.values);
  for (std::size_t row = 0; row < column.filled; ++row) Py_DECREF(slots[row]);
  column.filled = 0;
  column.last = nullptr;
}

void FormatTable::grow() {
  const std::size_t rows = capacity_ == 0 ? kFirstRows : capacity_ * 2;
  lines_.reserve(rows * sizeof(std::int64_t));
  for (WordColumn& column : words_) {
    column.values.reserve(rows * sizeof(std::uint32_t));
    column.missing.reserve(rows);
  }
  for (TextColumn& column : texts_) column.values.reserve(rows * sizeof(PyObject*));
  capacity_ = rows;
}

void FormatTable::flushBlock() {
  const std::size_t width = words_.size();
  const std::size_t rows = blockRows_;  // a local: the stores below cannot change it
  const std::size_t first = rows_ - rows;
  for (std::size_t slot = 0; slot < width; ++slot) {
    WordColumn& column = words_[slot];
    auto* values = reinterpret_cast<std::uint32_t*>(column.values.data()) + first;
    auto* missing = reinterpret_cast<std::uint8_t*>(column.missing.data()) + first;
    const std::uint32_t* words = blockWords_.data() + slot * kBlockRows;
    const std::uint8_t* present = blockPresent_.data() + slot * kBlockRows;
    std::uint8_t any = 0;
    for (std::size_t row = 0; row < rows; ++row) {
      values[row] = words[row] & (0u - present[row]);
      missing[row] = present[row] ^ 1;
      any |= present[row];
    }
    column.any = column.any || any != 0;
  }
  std::fill(blockPresent_.begin(), blockPresent_.end(), 0);
  blockRows_ = 0;
}

// Rows before `rows` that got no text are written only when a later text or
// the release needs them, so that a record costs only its own cells.
void FormatTable::padText(TextColumn& column, std::size_t rows) {
  PyObject** slots = textSlots(column.values);
  for (std::size_t row = column.filled; row < rows; ++row) {
    Py_INCREF(missing_);
    slots[row] = missing_;
  }
  column.filled = std::max(column.filled, rows);
}

// Equal texts down a column share one str: constant and slowly changing
// columns cost a pointer per row.
void FormatTable::putText(TextColumn& column, std::size_t row, std::string_view text) {
  PyObject* last = column.last;
  PyObject* value = nullptr;
  if (last != nullptr && static_cast<std::size_t>(PyUnicode_GET_LENGTH(last)) == text.size() &&
      std::memcmp(PyUnicode_DATA(last), text.data(), text.size()) == 0) {
    Py_INCREF(last);
    value = last;
  } else {
    // Texts are ASCII; Latin-1 keeps one byte per character whatever comes.
    value = PyUnicode_DecodeLatin1(text.data(), static_cast<Py_ssize_t>(text.size()), nullptr);
    if (value == nullptr) throw py::error_already_set();
    column.last = value;
  }
  textSlots(column.values)[row] = value;
  column.filled = row + 1;
  column.any = true;
}

void FormatTable::failType(const survey::Record& record, const survey::Cell& cell) const {
  const char expected = slotOf_[cell.address].type;
  throw std::logic_error(
      "line " + std::to_string(record.line()) + " has a value of type " + cell.type +
      " at address " + std::to_string(cell.address) + ", where the layout gives " +
      (expected == 0 ? std::string("none") : "type " + std::string(1, expected)));
}

void FormatTable::add(const survey::Record& record) {
  if (rows_ == capacity_) grow();
  const std::size_t row = rows_;
  reinterpret_cast<std::int64_t*>(lines_.data())[row] = static_cast<std::int64_t>(record.line());
  std::uint32_t* words = blockWords_.data() + blockRows_;
  std::uint8_t* present = blockPresent_.data() + blockRows_;
  for (const survey::Cell& cell : record.cells()) {
    if (cell.address >= slotOf_.size()) continue;
    const Slot slot = slotOf_[cell.address];
    if (slot.index == kNotChosen) continue;
    if (cell.type != slot.type) failType(record, cell);
    if (slot.index >= 0) {
      const std::size_t at = static_cast<std::size_t>(slot.index) * kBlockRows;
      words[at] = cell.word;
      present[at] = 1;
    } else {
      TextColumn& column = texts_[static_cast<std::size_t>(kText - slot.index)];
      padText(column, row);
      putText(column, row, cell.text);
    }
  }
  ++rows_;
  if (++blockRows_ == kBlockRows) flushBlock();
}

py::tuple FormatTable::release(bool typeByValues) {
  flushBlock();
  py::list columns;
  std::size_t word = 0;
  std::size_t text = 0;
  for (const ColumnPlan& plan : order_) {
    py::object values = py::none();
    py::object missing = py::none();
    std::string type;
    if (plan.type == 's') {
      TextColumn& column = texts_[text++];
      padText(column, rows_);
      if (column.any || !typeByValues) {
        // numpy owns the references of an object array only in storage it made.
        py::array texts(py::dtype("O"), shapeOf(rows_));
        auto** target = static_cast<PyObject**>(texts.mutable_data());
        PyObject** source = textSlots(column.values);
        for (std::size_t row = 0; row < rows_; ++row) {
          Py_XDECREF(target[row]);
          target[row] = source[row];
        }
        column.filled = 0;
        column.last = nullptr;
        values = texts;
        type = "s";
      }
      dropTexts(column);
      column.values = ColumnBuffer();
      column.any = false;
    } else if (plan.type != 0) {
      WordColumn& column = words_[word++];
      if (column.any || !typeByValues) {
        values = column.values.release(py::dtype(dtypeOf(column.type)), rows_);
        missing = column.missing.release(py::dtype("bool"), rows_);
        type = std::string(1, column.type);
      }
      column.values = ColumnBuffer();
      column.missing = ColumnBuffer();
      column.any = false;
    }
    columns.append(py::make_tuple(plan.address, type, values, missing));
  }
  py::array lines = lines_.release(py::dtype("int64"), rows_);
  rows_ = 0;
  capacity_ = 0;
  return py::make_tuple(lines, columns);
}
