#include "ColumnBuffer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace {

// Small columns live on the heap; larger ones get pages of their own, which
// mremap() grows in place or moves without copying, and which are returned to
// the system as soon as the array is gone.
constexpr std::size_t kMapFrom = 64 * 1024;

struct Storage {
  std::byte* data;
  std::size_t capacity;
  bool mapped;
};

void freeStorage(const Storage& storage) {
  if (storage.data == nullptr) return;
  if (storage.mapped) {
    ::munmap(storage.data, storage.capacity);
  } else {
    std::free(storage.data);
  }
}

std::size_t roundToPages(std::size_t bytes) {
  const std::size_t page = 4096;
  return (bytes + page - 1) / page * page;
}

}  // namespace

ColumnBuffer::~ColumnBuffer() {
  freeStorage({data_, capacity_, mapped_});
}

ColumnBuffer::ColumnBuffer(ColumnBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

ColumnBuffer& ColumnBuffer::operator=(ColumnBuffer&& other) noexcept {
  if (this != &other) {
    freeStorage({data_, capacity_, mapped_});
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

void ColumnBuffer::reserve(std::size_t bytes) {
  if (bytes <= capacity_) return;
  if (bytes < kMapFrom) {
    void* grown = std::realloc(data_, bytes);
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<std::byte*>(grown);
    capacity_ = bytes;
    return;
  }
  const std::size_t size = roundToPages(bytes);
  void* grown = nullptr;
  if (mapped_) {
    grown = ::mremap(data_, capacity_, size, MREMAP_MAYMOVE);
  } else {
    grown = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (grown != MAP_FAILED && data_ != nullptr) {
      std::memcpy(grown, data_, capacity_);
      std::free(data_);
    }
  }
  if (grown == MAP_FAILED) throw std::bad_alloc();
  data_ = static_cast<std::byte*>(grown);
  capacity_ = size;
  mapped_ = true;
}

py::array ColumnBuffer::release(const py::dtype& dtype, std::size_t count) {
  if (data_ == nullptr)
    return py::array(dtype, std::vector<py::ssize_t>{static_cast<py::ssize_t>(count)});
  auto* storage = new Storage{data_, capacity_, mapped_};
  py::capsule owner(storage, [](void* pointer) {
    auto* held = static_cast<Storage*>(pointer);
    freeStorage(*held);
    delete held;
  });
  data_ = nullptr;
  capacity_ = 0;
  mapped_ = false;
  return py::array(dtype, std::vector<py::ssize_t>{static_cast<py::ssize_t>(count)},
                   std::vector<py::ssize_t>{dtype.itemsize()}, storage->data, owner);
}
