#include "driver/LineWriterThread.h"

#include <system_error>

bool writesWithoutFail(const TypedRecord& record) {
  if (record.empty()) return true;
  if (record.front().address != 1 || record.back().address > kLastColumn) return false;
  // No early exit: nearly every record passes, and a branch per value costs more.
  bool fits = true;
  std::uint32_t before = 0;
  for (const AddressTypedValuePair& pair : record) {
    fits &= (pair.address > before) & (pair.value.type <= TypedValue::F);
    before = pair.address;
  }
  return fits;
}

LineWriterThread::LineWriterThread(std::ostream& out) : lines_(out) {}

LineWriterThread::~LineWriterThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

RecordBatch& LineWriterThread::freeBatch() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return freeCount_ > 0; });
  return *free_[--freeCount_];
}

void LineWriterThread::submit(RecordBatch& batch, bool drainNext) {
  if (!thread_.joinable() && (drainNext || !startThread())) {
    // Nothing to overlap with, or no thread to be had: written right here.
    writeHere(batch);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    full_[fullCount_++] = &batch;
  }
  changed_.notify_all();
}

bool LineWriterThread::startThread() {
  if (noThread_) return false;
  try {
    thread_ = std::thread(&LineWriterThread::run, this);
    return true;
  } catch (const std::system_error&) {
    // Out of threads (a process limit, say): the run goes on with one.
    noThread_ = true;
    return false;
  }
}

void LineWriterThread::writeHere(RecordBatch& batch) {
  const std::exception_ptr failure = tryWrite(batch);
  std::lock_guard lock(mutex_);
  free_[freeCount_++] = &batch;
  if (failure && !failure_) failure_ = failure;
}

void LineWriterThread::drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return fullCount_ == 0 && !writing_; });
  if (failure_) {
    std::exception_ptr failure = failure_;
    failure_ = nullptr;
    std::rethrow_exception(failure);
  }
}

// The thread's loop: takes the oldest batch handed over, writes it, hands it
// back as free; ends when stopped with nothing left to write. After a failure
// the remaining batches are handed back unwritten, as the run ends there.
void LineWriterThread::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stop_ || fullCount_ > 0; });
    if (fullCount_ == 0) return;
    RecordBatch* batch = full_[0];
    full_[0] = full_[1];
    --fullCount_;
    writing_ = true;
    const bool failed = failure_ != nullptr;
    lock.unlock();
    const std::exception_ptr failure = failed ? nullptr : tryWrite(*batch);
    lock.lock();
    if (failure) failure_ = failure;
    free_[freeCount_++] = batch;
    writing_ = false;
    changed_.notify_all();
  }
}

std::exception_ptr LineWriterThread::tryWrite(const RecordBatch& batch) {
  try {
    for (std::size_t k = 0; k < batch.count; ++k) {
      lines_.add(batch.records[k], batch.firstNumber + k);
    }
    lines_.write();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}
