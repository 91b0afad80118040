#include "recovery/Recovery.h"

#include <cstdint>
#include <exception>
#include <limits>

#include "recovery/RecordStarts.h"

namespace {

constexpr std::uint64_t kFileEnd = std::numeric_limits<std::uint64_t>::max();

// How far after a failed record's start the next record is searched for.
// Bytes added inside a record let its own tail frame as a record that starts
// a few bytes in; no intact record starts in the first half of a failed one
// unless more than half of it was lost.
std::uint64_t notBefore(std::uint64_t recordBytes) {
  return recordBytes / 2;
}

class FixedLengthRecovery final : public Recovery {
 public:
  FixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover, Recordifier2& framer)
      : reader_(reader),
        crLfRemover_(crLfRemover),
        framer_(framer),
        search_(LineEndSearch::forLayout(crLfRemover.layout())) {}

  // Every record holds every address, so a refused record's values are
  // overwritten by the next one and nothing needs undoing.
  void recover(std::uint64_t start) override {
    if (!framer_.midRecord()) return;
    const auto found = search_.find(reader_, start + notBefore(recordBytes()));
    if (!found) {
      reader_.seek(kFileEnd);
      return;
    }
    reader_.seek(found->offset);
    crLfRemover_.restartRecord(found->blockPhase);
  }

 private:
  std::uint64_t recordBytes() const { return crLfRemover_.layout().recordLen - 4; }

  Reader& reader_;
  CrLfRemover& crLfRemover_;
  Recordifier2& framer_;
  const LineEndSearch& search_;
};

class FfRecordRecovery final : public Recovery {
 public:
  FfRecordRecovery(Reader& reader, CrLfRemover& crLfRemover, Recordifier& framer,
                   Integrator& integrator)
      : reader_(reader),
        crLfRemover_(crLfRemover),
        framer_(framer),
        integrator_(integrator),
        search_(LineEndSearch::forLayout(crLfRemover.layout())) {
    integrator_.keepUndo();
  }

  void recover(std::uint64_t start) override {
    integrator_.forgetLastRecord();
    if (!framer_.midRecord()) return;
    // Lines hold whole quartets, so a line start is a quartet boundary; the
    // next record starts after the next end-of-record marker. Damage met on
    // the way there is passed over the same way.
    for (std::uint64_t from = start + 1;;) {
      const auto found = search_.find(reader_, from);
      if (!found) {
        reader_.seek(kFileEnd);
        framer_.more = false;
        return;
      }
      reader_.seek(found->offset);
      crLfRemover_.restartRecord(found->blockPhase);
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
  Integrator& integrator_;
  const LineEndSearch& search_;
};

class Year78Recovery final : public Recovery {
 public:
  Year78Recovery(Reader& reader, Recordifier78& framer) : reader_(reader), framer_(framer) {}

  void recover(std::uint64_t start) override {
    if (!framer_.midRecord()) return;
    reader_.seek(findYear78RecordStart(reader_, start + notBefore(Recordifier78::kShortLength))
                     .value_or(kFileEnd));
  }

 private:
  Reader& reader_;
  Recordifier78& framer_;
};

}  // namespace

std::unique_ptr<Recovery> fixedLengthRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                              Recordifier2& framer) {
  return std::make_unique<FixedLengthRecovery>(reader, crLfRemover, framer);
}

std::unique_ptr<Recovery> ffRecordRecovery(Reader& reader, CrLfRemover& crLfRemover,
                                           Recordifier& framer, Integrator& integrator) {
  return std::make_unique<FfRecordRecovery>(reader, crLfRemover, framer, integrator);
}

std::unique_ptr<Recovery> year78Recovery(Reader& reader, Recordifier78& framer) {
  return std::make_unique<Year78Recovery>(reader, framer);
}
