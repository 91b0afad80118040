#include "FormatTable.h"

#include <pybind11/numpy.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

constexpr std::size_t kFirstRows = 64;

bool isText(char type) {
  return type == 's';
}

PyObject** textSlots(ColumnBuffer& buffer) {
  return reinterpret_cast<PyObject**>(buffer.data());
}

std::uint32_t* words(ColumnBuffer& buffer) {
  return reinterpret_cast<std::uint32_t*>(buffer.data());
}

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

}  // namespace

FormatTable::FormatTable(std::uint32_t width, const std::vector<ColumnPlan>& columns,
                         PyObject* missing)
    : slotOf_(static_cast<std::size_t>(width) + 1, -1), missing_(missing) {
  columns_.reserve(columns.size());
  for (const ColumnPlan& plan : columns) {
    if (plan.address == 0 || plan.address > width) continue;
    slotOf_[plan.address] = static_cast<int>(columns_.size());
    Column& column = columns_.emplace_back();
    column.address = plan.address;
    column.type = plan.type;
  }
}

FormatTable::~FormatTable() {
  for (Column& column : columns_) dropTexts(column);
}

void FormatTable::dropTexts(Column& column) {
  if (!isText(column.type)) return;
  PyObject** slots = textSlots(column.values);
  for (std::size_t row = 0; row < column.filled; ++row) Py_DECREF(slots[row]);
  column.filled = 0;
  column.last = nullptr;
}

void FormatTable::grow() {
  const std::size_t rows = capacity_ == 0 ? kFirstRows : capacity_ * 2;
  lines_.reserve(rows * sizeof(std::int64_t));
  for (Column& column : columns_) {
    if (column.type == 0) continue;
    if (isText(column.type)) {
      column.values.reserve(rows * sizeof(PyObject*));
    } else {
      column.values.reserve(rows * sizeof(std::uint32_t));
      column.missing.reserve(rows);
    }
  }
  capacity_ = rows;
}

// Rows before `rows` that got no value are written only when a later value or
// the release needs them, so that a record costs only its own cells.
void FormatTable::pad(Column& column, std::size_t rows) {
  if (column.filled >= rows) return;
  const std::size_t gap = rows - column.filled;
  if (isText(column.type)) {
    PyObject** slots = textSlots(column.values);
    for (std::size_t row = column.filled; row < rows; ++row) {
      Py_INCREF(missing_);
      slots[row] = missing_;
    }
  } else if (column.type != 0) {
    std::memset(words(column.values) + column.filled, 0, gap * sizeof(std::uint32_t));
    std::memset(column.missing.data() + column.filled, 1, gap);
  }
  column.filled = rows;
}

// Equal texts down a column share one str: constant and slowly changing
// columns cost a pointer per row.
void FormatTable::putText(Column& column, std::size_t row, std::string_view text) {
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
}

void FormatTable::add(const survey::Record& record) {
  const std::size_t row = rows_;
  if (row == capacity_) grow();
  reinterpret_cast<std::int64_t*>(lines_.data())[row] = static_cast<std::int64_t>(record.line());
  for (const survey::Cell& cell : record.cells()) {
    const int slot = cell.address < slotOf_.size() ? slotOf_[cell.address] : -1;
    if (slot < 0) continue;
    Column& column = columns_[static_cast<std::size_t>(slot)];
    if (cell.type != column.type) {
      throw std::logic_error(
          "line " + std::to_string(record.line()) + " has a value of type " + cell.type +
          " at address " + std::to_string(cell.address) + ", where the layout gives type " +
          (column.type == 0 ? std::string("none") : std::string(1, column.type)));
    }
    pad(column, row);
    if (isText(column.type)) {
      putText(column, row, cell.text);
    } else {
      words(column.values)[row] = cell.word;
      column.missing.data()[row] = std::byte{0};
    }
    column.filled = row + 1;
    column.any = true;
  }
  rows_ = row + 1;
}

py::tuple FormatTable::release(bool typeByValues) {
  py::list columns;
  for (Column& column : columns_) {
    pad(column, rows_);
    const bool none = column.type == 0 || (typeByValues && !column.any);
    if (none) {
      dropTexts(column);
      column.values = ColumnBuffer();
      column.missing = ColumnBuffer();
      columns.append(py::make_tuple(column.address, "", py::none(), py::none()));
    } else if (isText(column.type)) {
      // numpy owns the references of an object array only in storage it made.
      py::array texts(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(rows_)});
      auto** target = static_cast<PyObject**>(texts.mutable_data());
      PyObject** source = textSlots(column.values);
      for (std::size_t row = 0; row < rows_; ++row) {
        Py_XDECREF(target[row]);
        target[row] = source[row];
      }
      column.last = nullptr;
      column.values = ColumnBuffer();
      columns.append(
          py::make_tuple(column.address, std::string(1, column.type), texts, py::none()));
    } else {
      py::array values = column.values.release(py::dtype(dtypeOf(column.type)), rows_);
      py::array missing = column.missing.release(py::dtype("bool"), rows_);
      columns.append(py::make_tuple(column.address, std::string(1, column.type), values, missing));
    }
    column.filled = 0;
    column.any = false;
  }
  py::array lines = lines_.release(py::dtype("int64"), rows_);
  rows_ = 0;
  capacity_ = 0;
  return py::make_tuple(lines, columns);
}
