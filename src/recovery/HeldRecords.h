#ifndef SURVEY_RECOVERY_HELDRECORDS_H_
#define SURVEY_RECOVERY_HELDRECORDS_H_

#include <cstdint>
#include <deque>
#include <exception>
#include <optional>
#include <vector>

#include "core/Quartet.h"
#include "core/Stream.h"
#include "framing/Recordifier.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"

// Where a record stood in the file.
struct RecordSpan {
  std::uint64_t start = 0;     // file offset of its first byte
  std::uint64_t end = 0;       // just past its last byte and the CR LF after it
  CrLfRemover::Phases phases;  // the CrLfRemover's phases at its start
};

// The FF-record framer's records (years 68 to 76) in a run that skips damaged
// records, handed on only once the bytes they came from are known to stand
// where the layout puts them. Damage that shifts bytes often shows only at
// the next CR LF check, and the records framed before that check came from
// shifted bytes. So each record is held until a pair after its end has
// passed its check, or the data has ended after it (the input may end
// inside a record, as a full-size file does); when the framer fails
// instead, the records held are lost with the failing one.
//
// An end-of-data marker after which anything but zero bytes (with the pairs
// where the layout puts them) follows is damage: the marker is lost as a
// record, so that the records after it can be searched for.
//
// Stands between the framer and the AddressValueifier and takes the framer's
// name, so that the links' statistics lines read as without it. The stages
// are not owned and must outlive this one.
class HeldRecords : public Stream<std::vector<Quartet>> {
 public:
  HeldRecords(Recordifier& framer, CrLfRemover& crLfRemover, Reader& reader);

  // Hands on the next record whose bytes are known to stand in place;
  // false once the data has ended and every record was handed on. Fails as
  // the framer fails, and as said above.
  bool get(std::vector<Quartet>& record) override;

  // Where the record that the last get() handed on stood.
  const RecordSpan& released() const { return released_; }

  // What the last get() cost, if it failed: the records lost (the held ones
  // and the failing one), from the file offset where the first of them
  // starts; where the failing one starts; and, after an end-of-data marker,
  // the offset of the first byte after it that is not padding.
  struct Failure {
    std::uint64_t firstStart;
    std::uint64_t records;
    std::uint64_t failingStart;
    std::optional<std::uint64_t> dataAfterEndMarker;
  };
  const std::optional<Failure>& failure() const { return failure_; }

 private:
  struct Held {
    RecordSpan span;
    std::uint32_t dataEnd;  // the CrLfRemover's data bytes after the record
    std::vector<Quartet> quartets;
  };

  // Frames the next record into held_, or notes the end.
  void pull();
  // Whether the pair checks have passed the end of `held`.
  bool checked(const Held& held) const;
  // Drops the held records as lost with the one starting at `failingStart`.
  void lose(std::uint64_t failingStart, std::optional<std::uint64_t> dataAfter = std::nullopt);

  // What follows the end-of-data marker. Padding is zero data bytes with
  // the pairs where the layout puts them; the first such pair checks the
  // records before the marker as any pair would.
  struct Tail {
    bool pairChecked = false;           // the first pair stands in place
    std::optional<std::uint64_t> data;  // the first byte that is not padding
  };
  Tail tailAfterEndMarker();

  // Whether the framing has stopped, and how: the records held are handed
  // on (all of them, or those the checks passed when it failed), then the
  // end or the failure is reported.
  enum class Stop { kNot, kClean, kEndMarkerThenData, kFailed };
  // Whether the record at the front of held_ may be handed on.
  bool releasable() const;

  Recordifier& framer_;
  CrLfRemover& crLfRemover_;
  Reader& reader_;
  std::deque<Held> held_;
  std::vector<std::vector<Quartet>> spare_;  // buffers reused from record to record
  RecordSpan released_;
  std::optional<Failure> failure_;
  Stop stop_ = Stop::kNot;
  std::uint64_t stopStart_ = 0;  // where the record that stopped the framing started
  std::optional<std::uint64_t> dataAfterEnd_;
  std::exception_ptr stopFailure_;  // what stopped it, if it failed
};

#endif  // SURVEY_RECOVERY_HELDRECORDS_H_
