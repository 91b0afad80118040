#include "chain/RecordDrain.h"

#include <exception>

#include "chain/DecodedRecordWriter.h"
#include "core/Interruption.h"
#include "typing/ValueFormat.h"

RecordDrain::RecordDrain(Stream<TypedRecord>& last, Reader* reader, CrLfRemover* crLfRemover,
                         Recovery* recovery, RejectsLog* rejects)
    : last_(last),
      reader_(reader),
      crLfRemover_(crLfRemover),
      recovery_(recovery),
      rejects_(rejects) {}

void RecordDrain::checkBeforeCounting(std::function<void(const TypedRecord&)>& hook,
                                      std::function<void(const TypedRecord&, std::uint64_t)> also) {
  hook = [this, also = std::move(also)](const TypedRecord& record) {
    if (acceptRecord(record, line_ + 1) < record.size()) failUnrecognizedType();
    if (also) also(record, line_ + 1);
  };
}

bool RecordDrain::next(TypedRecord& record) {
  if (ended_) return false;
  if (recovery_ != nullptr) return nextSkipping(record);
  throwIfInterrupted();
  if (reader_ != nullptr) {
    span_.start = reader_->offset();
    if (crLfRemover_ != nullptr) span_.phases = crLfRemover_->phases();
  }
  if (!last_.get(record)) {
    ended_ = true;
    return false;
  }
  if (reader_ != nullptr) span_.end = reader_->offset();
  printable_ = acceptRecord(record, ++line_);
  return true;
}

// The states of one call: request a record; a failure of a record's own is
// noted as rejected and the recovery moves on, back to the request; a
// record delivered ends the open stretch and is handed out; the end, or a
// failure of the input or a signal, closes the stretch and ends the drain.
bool RecordDrain::nextSkipping(TypedRecord& record) {
  try {
    for (;;) {
      throwIfInterrupted();
      recovery_->beginRecord();
      bool more;
      try {
        more = last_.get(record);
      } catch (const std::exception& failure) {
        if (reader_->failed()) throw;
        const Recovery::Loss loss = recovery_->lost();
        rejects_->reject(line_, loss.start, failure.what(), *reader_, loss.records);
        recovery_->recover();
        continue;
      }
      if (!more) break;
      span_ = recovery_->delivered();
      rejects_->resume(span_.start);
      ++line_;
      printable_ = record.size();
      return true;
    }
  } catch (...) {
    ended_ = true;
    // A failed input ends the open stretch where the input ended.
    rejects_->finish(reader_->failed() ? reader_->received() : reader_->offset());
    throw;
  }
  ended_ = true;
  rejects_->finish(reader_->offset());
  return false;
}
