#include "RecordPump.h"

#include <pybind11/pybind11.h>

namespace {

// Small batches keep the records in flight (each holds its values) to a few
// megabytes however wide the table.
constexpr std::size_t kBatchRecords = 16;
constexpr std::size_t kBatches = 4;

}  // namespace

RecordPump::RecordPump(survey::Decoder& decoder) : decoder_(decoder), batches_(kBatches) {
  for (Batch& batch : batches_) batch.records.resize(kBatchRecords);
  thread_ = std::thread([this] { run(); });
}

RecordPump::~RecordPump() {
  stop();
}

void RecordPump::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RecordPump::run() {
  for (;;) {
    Batch* batch = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // The filled batches, the caller's among them, stay out of reach until
      // the caller is done with them.
      changed_.wait(lock, [&] { return stopping_ || filled_ - taken_ < kBatches; });
      if (stopping_) return;
      batch = &batches_[filled_ % kBatches];
    }
    batch->count = 0;
    batch->ended = false;
    batch->failure = nullptr;
    try {
      while (batch->count < kBatchRecords) {
        survey::Record& record = batch->records[batch->count];
        if (!decoder_.next(record)) {
          batch->ended = true;
          break;
        }
        record.cells();  // made here, read there
        ++batch->count;
        if (stopping_) return;
      }
    } catch (...) {
      batch->failure = std::current_exception();
      batch->ended = true;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++filled_;
    }
    changed_.notify_all();
    if (batch->ended) return;
  }
}

const survey::Record* RecordPump::next() {
  if (current_ != nullptr && position_ < current_->count) return &current_->records[position_++];
  if (current_ != nullptr) {
    if (current_->failure) std::rethrow_exception(current_->failure);
    if (current_->ended) return nullptr;
  }
  {
    pybind11::gil_scoped_release unlocked;
    std::unique_lock<std::mutex> lock(mutex_);
    if (current_ != nullptr) ++taken_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return filled_ > taken_; });
    current_ = &batches_[taken_ % kBatches];
  }
  position_ = 0;
  return next();
}
