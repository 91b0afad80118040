#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "survey_decoder.h"

namespace survey {

namespace {

// Small batches keep the records in flight (each holds its values) to a few
// megabytes however wide the table.
constexpr std::size_t kBatchRecords = 16;
constexpr std::size_t kBatches = 4;

}  // namespace

struct RecordPump::Impl {
  struct Batch {
    std::vector<Record> records{kBatchRecords};
    std::size_t count = 0;
    bool ended = false;  // the last batch: the data or a failure ended with it
    std::exception_ptr failure;
  };

  explicit Impl(Decoder& d) : decoder(d), batches(kBatches) {}

  void run();
  // Whether the batch after the caller's is filled; under the lock.
  bool nextFilled() const { return filled > released + (current != nullptr ? 1 : 0); }
  // Whether the caller's batch has more to give: a record, the end or a failure.
  bool currentHasMore() const {
    return current != nullptr && (position < current->count || current->ended);
  }

  Decoder& decoder;
  std::vector<Batch> batches;
  std::mutex mutex;
  std::condition_variable changed;
  // Batches in order: [released, filled) are filled, the caller's first
  // among them; the rest are the thread's to fill. The counters run on, a
  // batch is batches[counter % kBatches].
  std::size_t released = 0;
  std::size_t filled = 0;
  std::atomic<bool> stopping{false};
  Batch* current = nullptr;  // the caller's batch, once it took one
  std::size_t position = 0;  // the caller's next record in it
  std::thread thread;
};

void RecordPump::Impl::run() {
  for (;;) {
    Batch* batch = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return stopping || filled - released < kBatches; });
      if (stopping) return;
      batch = &batches[filled % kBatches];
    }
    batch->count = 0;
    batch->ended = false;
    batch->failure = nullptr;
    try {
      while (batch->count < kBatchRecords) {
        Record& record = batch->records[batch->count];
        if (!decoder.next(record)) {
          batch->ended = true;
          break;
        }
        record.cells();  // made here, read there
        ++batch->count;
        if (stopping) return;
      }
    } catch (...) {
      batch->failure = std::current_exception();
      batch->ended = true;
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      ++filled;
    }
    changed.notify_all();
    if (batch->ended) return;
  }
}

RecordPump::RecordPump(Decoder& decoder) : impl_(std::make_unique<Impl>(decoder)) {
  impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
}

RecordPump::~RecordPump() {
  stop();
}

void RecordPump::stop() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->changed.notify_all();
  if (impl_->thread.joinable()) impl_->thread.join();
}

bool RecordPump::ready() {
  if (impl_->currentHasMore()) return true;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->nextFilled();
}

bool RecordPump::wait(std::chrono::milliseconds patience) {
  if (impl_->currentHasMore()) return true;
  std::unique_lock<std::mutex> lock(impl_->mutex);
  return impl_->changed.wait_for(lock, patience, [&] { return impl_->nextFilled(); });
}

const Record* RecordPump::next() {
  Impl& pump = *impl_;
  for (;;) {
    if (pump.current != nullptr) {
      if (pump.position < pump.current->count) return &pump.current->records[pump.position++];
      if (pump.current->failure) std::rethrow_exception(pump.current->failure);
      if (pump.current->ended) return nullptr;
    }
    {
      std::unique_lock<std::mutex> lock(pump.mutex);
      // The caller is done with its batch: the thread may fill it again.
      if (pump.current != nullptr) {
        ++pump.released;
        pump.current = nullptr;
        pump.changed.notify_all();
      }
      pump.changed.wait(lock, [&] { return pump.filled > pump.released; });
      pump.current = &pump.batches[pump.released % kBatches];
    }
    pump.position = 0;
  }
}

}  // namespace survey
