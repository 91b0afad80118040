#include "DecodingAhead.h"

namespace rbinding {

DecodingAhead::DecodingAhead(survey::Decoder& decoder) : decoder_(decoder) {
  for (Batch& batch : batches_) {
    batch.records.resize(kBatch);
    free_.push_back(&batch);
  }
  thread_ = std::jthread([this] { run(); });
}

DecodingAhead::~DecodingAhead() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  // thread_ joins as it is destroyed.
}

void DecodingAhead::run() {
  for (;;) {
    Batch* batch = nullptr;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
      if (stop_) return;
      batch = free_.front();
      free_.pop_front();
    }
    batch->count = 0;
    try {
      while (batch->count < kBatch && !batch->last) {
        if (decoder_.next(batch->records[batch->count])) {
          ++batch->count;
        } else {
          batch->last = true;
        }
      }
    } catch (...) {
      batch->failure = std::current_exception();
      batch->last = true;
    }
    {
      std::lock_guard lock(mutex_);
      full_.push_back(batch);
    }
    changed_.notify_all();
    if (batch->last) return;
  }
}

std::span<const survey::Record> DecodingAhead::next() {
  std::unique_lock lock(mutex_);
  if (current_ != nullptr) {
    free_.push_back(current_);
    current_ = nullptr;
    changed_.notify_all();
  }
  if (done_) return {};
  changed_.wait(lock, [this] { return !full_.empty(); });
  current_ = full_.front();
  full_.pop_front();
  if (current_->last) {
    done_ = true;
    failure_ = current_->failure;
  }
  return {current_->records.data(), current_->count};
}

void DecodingAhead::rethrowFailure() const {
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace rbinding
