#ifndef SURVEY_BINDINGS_PYTHON_COLUMN_BUFFER_H_
#define SURVEY_BINDINGS_PYTHON_COLUMN_BUFFER_H_

#include <pybind11/numpy.h>

#include <cstddef>

// The storage of one column while records are added: it grows without
// copying what it holds, and only the part written to takes memory, so that a
// table's columns cost what their rows need. Once filled, it becomes the
// storage of a numpy array without a copy.
class ColumnBuffer {
 public:
  ColumnBuffer() = default;
  ~ColumnBuffer();
  ColumnBuffer(ColumnBuffer&& other) noexcept;
  ColumnBuffer& operator=(ColumnBuffer&& other) noexcept;
  ColumnBuffer(const ColumnBuffer&) = delete;
  ColumnBuffer& operator=(const ColumnBuffer&) = delete;

  // Makes room for at least `bytes`, keeping the contents; throws
  // std::bad_alloc when the memory is not there.
  void reserve(std::size_t bytes);
  std::byte* data() { return data_; }
  std::size_t capacity() const { return capacity_; }

  // A one-dimensional array of `count` elements of `dtype` over the storage,
  // which then belongs to the array; the buffer is left empty.
  pybind11::array release(const pybind11::dtype& dtype, std::size_t count);

 private:
  std::byte* data_ = nullptr;
  std::size_t capacity_ = 0;
  bool mapped_ = false;  // mmap()ed rather than malloc()ed
};

#endif  // SURVEY_BINDINGS_PYTHON_COLUMN_BUFFER_H_
