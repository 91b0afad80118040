#include "recovery/Recovery.h"

#include <cstdint>
#include <exception>
#include <limits>
#include <optional>

#include "recovery/LineEndSearch.h"

namespace {

constexpr std::uint64_t kFileEnd = std::numeric_limits<std::uint64_t>::max();

// How far after a failed record's start the next record is searched for.
// Bytes added inside a record let its own tail frame as a record that starts
// a few bytes in; no intact record starts in the first half of a failed one
// unless more than half of it was lost.
std::uint64_t notBefore(std::uint64_t recordBytes) {
  return recordBytes / 2;
}

// The framings whose every record is checked by its own CR LF: a record is
// whole once framed, and a failure costs the record that failed.
class OneRecordRecovery : public Recovery {
 public:
  OneRecordRecovery(Reader& reader, CrLfRemover* crLfRemover)
      : reader_(reader), crLfRemover_(crLfRemover) {}

  void beginRecord() override {
    span_.start = reader_.offset();
    if (crLfRemover_ != nullptr) span_.phases = crLfRemover_->phases();
  }
  RecordSpan delivered() const override {
    RecordSpan span = span_;
    span.end = reader_.offset();
    return span;
  }
  Loss lost() const override { return {span_.start, 1}; }

 protected:
  std::uint64_t start() const { return span_.start; }

  Reader& reader_;

 private:
  CrLfRemover* crLfRemover_;
  RecordSpan span_;
};

class FixedLengthRecovery final : public OneRecordRecovery {
 public:
  FixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover, Recordifier2& framer)
      : OneRecordRecovery(reader, &crLfRemover),
        crLfRemover_(crLfRemover),
        framer_(framer),
        search_(LineEndSearch::forLayout(crLfRemover.layout())) {}

  // Every record holds every address, so a refused record's values are
  // overwritten by the next one and nothing needs undoing.
  void recover() override {
    if (!framer_.midRecord()) return;
    const std::uint64_t due = start() + recordBytes();
    const auto found = search_.find(reader_, start() + notBefore(recordBytes()), due);
    if (!found) {
      reader_.seek(kFileEnd);
      return;
    }
    reader_.seek(found->offset);
    crLfRemover_.restartRecord(found->blockPhase);
  }

 private:
  std::uint64_t recordBytes() const { return crLfRemover_.layout().recordLen - 4; }

  CrLfRemover& crLfRemover_;
  Recordifier2& framer_;
  const LineEndSearch& search_;
};

class FfRecordRecovery final : public Recovery {
 public:
  FfRecordRecovery(Reader& reader, CrLfRemover& crLfRemover, Recordifier& framer, HeldRecords& held,
                   Integrator& integrator)
      : reader_(reader),
        crLfRemover_(crLfRemover),
        framer_(framer),
        held_(held),
        integrator_(integrator),
        search_(LineEndSearch::forLayout(crLfRemover.layout())) {
    integrator_.keepUndo();
  }

  // Records arrive through the held records, which know where they stood.
  void beginRecord() override {}
  RecordSpan delivered() const override { return held_.released(); }
  Loss lost() const override {
    if (const auto& failure = held_.failure()) return {failure->firstStart, failure->records};
    return {held_.released().start, 1};
  }

  // A record refused after the held records handed it on costs itself (and
  // the integrator takes its values back). After a framing failure the
  // search resumes, one state at a time:
  // - search: the next line start after the failing record's start whose
  //   pairs hold; none: the data has ended;
  // - a line start with nothing but padding between it and an end-of-data
  //   marker that was damage (a second file appended) starts a record;
  // - any other line start falls inside a record: skip past the next
  //   end-of-record marker, where the next record starts; damage met on the
  //   way there sends the search on from just after that line start.
  void recover() override {
    integrator_.forgetLastRecord();
    const auto& failure = held_.failure();
    if (!failure) return;
    for (std::uint64_t from = failure->failingStart + 1;;) {
      const auto found = search_.find(reader_, from);
      if (!found) {
        reader_.seek(kFileEnd);
        framer_.more = false;
        return;
      }
      reader_.seek(found->offset);
      crLfRemover_.restartRecord(found->blockPhase);
      if (failure->dataAfterEndMarker && found->offset <= *failure->dataAfterEndMarker) {
        framer_.more = true;
        return;
      }
      try {
        framer_.skipPastNextMarker();
        return;
      } catch (const std::exception&) {
        if (reader_.failed()) throw;
        from = found->offset + 1;
      }
    }
  }

 private:
  Reader& reader_;
  CrLfRemover& crLfRemover_;
  Recordifier& framer_;
  HeldRecords& held_;
  Integrator& integrator_;
  const LineEndSearch& search_;
};

class Year78Recovery final : public OneRecordRecovery {
 public:
  Year78Recovery(Reader& reader, Recordifier78& framer)
      : OneRecordRecovery(reader, nullptr), framer_(framer) {}

  void recover() override {
    if (!framer_.midRecord()) return;
    // Where the failed record's header says it ends, if the header is whole.
    std::optional<std::uint64_t> due;
    const unsigned char* header;
    if (start() >= reader_.oldestKept() && reader_.view(start(), Recordifier78::kHeaderLength,
                                                        header) == Recordifier78::kHeaderLength) {
      due = start() + Recordifier78::RecordLength(header);
    }
    reader_.seek(
        findYear78RecordStart(reader_, start() + notBefore(Recordifier78::kShortLength), due)
            .value_or(kFileEnd));
  }

 private:
  Recordifier78& framer_;
};

}  // namespace

std::unique_ptr<Recovery> fixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                              Recordifier2& framer) {
  return std::make_unique<FixedLengthRecovery>(reader, crLfRemover, framer);
}

std::unique_ptr<Recovery> ffRecordRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                           Recordifier& framer, HeldRecords& held,
                                           Integrator& integrator) {
  return std::make_unique<FfRecordRecovery>(reader, crLfRemover, framer, held, integrator);
}

std::unique_ptr<Recovery> year78Recovery(Reader& reader, Recordifier78& framer) {
  return std::make_unique<Year78Recovery>(reader, framer);
}
