#include "recovery/HeldRecords.h"

#include <utility>

#include "core/Error.h"

namespace {

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
// Bytes looked at per view while passing the padding after the data's end.
constexpr std::size_t kStep = 64 * 1024;
constexpr const char* kDataAfterEndMarker = "end-of-data marker followed by more data";

// The decoder's error with `message`, to be raised later.
std::exception_ptr failureWith(const char* message) {
  try {
    throwMessage(message);
  } catch (...) {
    return std::current_exception();
  }
}

}  // namespace

HeldRecords::HeldRecords(Recordifier& framer, CrLfRemover& crLfRemover, Reader& reader)
    : framer_(framer), crLfRemover_(crLfRemover), reader_(reader) {
  name = framer.name;
}

// One state machine, stepped by each call:
// - kNot: a record at the front that the pair checks have passed is handed
//   on; otherwise the framer frames one more record, which may stop the
//   framing;
// - kClean, kEndMarkerThenData (the data ended, the last pair in place):
//   every record held is handed on; then the end is reported, or the marker
//   fails as one lost record, after which the framing goes on (kNot);
// - kFailed (the framing failed, or bytes other than padding follow the
//   end-of-data marker at once): the records the checks passed are handed
//   on; then the rest are lost with the failing record, and the failure is
//   raised.
bool HeldRecords::get(std::vector<Quartet>& record) {
  failure_.reset();
  for (;;) {
    if (!held_.empty() && releasable()) {
      Held& front = held_.front();
      released_ = front.span;
      record.swap(front.quartets);
      spare_.push_back(std::move(front.quartets));
      held_.pop_front();
      return true;
    }
    if (stop_ == Stop::kNot) {
      pull();
      continue;
    }
    if (stop_ == Stop::kClean) return false;
    const std::exception_ptr failure =
        stop_ == Stop::kEndMarkerThenData ? failureWith(kDataAfterEndMarker) : stopFailure_;
    stop_ = Stop::kNot;
    lose(stopStart_, dataAfterEnd_);
    dataAfterEnd_.reset();
    std::rethrow_exception(failure);
  }
}

bool HeldRecords::releasable() const {
  return stop_ == Stop::kClean || stop_ == Stop::kEndMarkerThenData || checked(held_.front());
}

void HeldRecords::pull() {
  Held next{{reader_.offset(), 0, crLfRemover_.phases()}, 0, {}};
  if (!spare_.empty()) {
    next.quartets = std::move(spare_.back());
    spare_.pop_back();
  }
  stopStart_ = next.span.start;
  bool framed;
  try {
    framed = framer_.get(next.quartets);
  } catch (...) {
    stopFailure_ = std::current_exception();
    stop_ = Stop::kFailed;
    return;
  }
  if (!framed) {
    stop_ = Stop::kClean;
    if (!framer_.endMarkerSeen()) return;
    // The marker stands where this record would have started.
    const Tail tail = tailAfterEndMarker();
    if (!tail.data) return;
    dataAfterEnd_ = tail.data;
    stop_ = Stop::kEndMarkerThenData;
    if (!tail.pairChecked) {
      stopFailure_ = failureWith(kDataAfterEndMarker);
      stop_ = Stop::kFailed;
    }
    return;
  }
  next.span.end = reader_.offset();
  next.dataEnd = crLfRemover_.dataBytes();
  held_.push_back(std::move(next));
}

bool HeldRecords::checked(const Held& held) const {
  // Counts wrap around; held records lie well within half the range.
  return static_cast<std::int32_t>(crLfRemover_.checkedThrough() - held.dataEnd) >= 0;
}

void HeldRecords::lose(std::uint64_t failingStart, std::optional<std::uint64_t> dataAfter) {
  const std::uint64_t first = held_.empty() ? failingStart : held_.front().span.start;
  failure_ = Failure{first, held_.size() + 1, failingStart, dataAfter};
  for (Held& held : held_) spare_.push_back(std::move(held.quartets));
  held_.clear();
}

HeldRecords::Tail HeldRecords::tailAfterEndMarker() {
  const FileMetaData& layout = crLfRemover_.layout();
  CrLfRemover::Phases phases = crLfRemover_.phases();
  Tail tail;
  unsigned pairBytes = 0;  // bytes of a pair still to come
  for (std::uint64_t p = reader_.offset();;) {
    // The reader moves along, so that its window stays small.
    reader_.seek(p);
    const unsigned char* bytes;
    const std::size_t n = reader_.view(p, kStep, bytes);
    if (n == 0) return tail;
    for (std::size_t i = 0; i < n; ++i, ++p) {
      if (pairBytes > 0) {
        if (bytes[i] != (pairBytes == 2 ? kCr : kLf)) {
          tail.data = p;
          return tail;
        }
        if (--pairBytes == 0) tail.pairChecked = true;
        continue;
      }
      if (bytes[i] != 0) {
        tail.data = p;
        return tail;
      }
      if (CrLfRemover::passDataByte(layout, phases)) pairBytes = 2;
    }
  }
}
