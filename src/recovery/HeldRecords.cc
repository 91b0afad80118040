#include "recovery/HeldRecords.h"

#include <utility>

#include "core/Error.h"

namespace {

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
// Bytes looked at per view while passing the padding after the data's end.
constexpr std::size_t kStep = 64 * 1024;

}  // namespace

HeldRecords::HeldRecords(Recordifier& framer, CrLfRemover& crLfRemover, Reader& reader)
    : framer_(framer), crLfRemover_(crLfRemover), reader_(reader) {
  name = framer.name;
}

// One state machine, stepped by each call:
// - a record at the front whose end the pair checks have passed (or, once
//   the data has ended, any record at the front) is handed on;
// - once the data has ended and nothing is held, a record the input cut
//   short fails, and after it the end is reported;
// - otherwise the framer frames one more record; its failure, or a damaged
//   end, loses the held records with it.
bool HeldRecords::get(std::vector<Quartet>& record) {
  failure_.reset();
  for (;;) {
    if (!held_.empty() && (ended_ || checked(held_.front()))) {
      Held& front = held_.front();
      released_ = front.span;
      record.swap(front.quartets);
      spare_.push_back(std::move(front.quartets));
      held_.pop_front();
      return true;
    }
    if (ended_) {
      if (!cutShortAt_) return false;
      const std::uint64_t start = *cutShortAt_;
      cutShortAt_.reset();
      lose(start);
      throwMessage("input ended inside an FF-record");
    }
    pull();
  }
}

void HeldRecords::pull() {
  Held next{{reader_.offset(), 0, crLfRemover_.phases()}, 0, {}};
  if (!spare_.empty()) {
    next.quartets = std::move(spare_.back());
    spare_.pop_back();
  }
  bool framed;
  try {
    framed = framer_.get(next.quartets);
  } catch (...) {
    lose(next.span.start);
    throw;
  }
  if (!framed) {
    if (framer_.endMarkerSeen()) {
      // The marker is the record that failed; it stands just before here.
      const std::uint64_t marker = next.span.start;
      if (const auto data = dataAfterEndMarker()) {
        lose(marker, data);
        throwMessage("end-of-data marker followed by more data");
      }
    }
    ended_ = true;
    return;
  }
  if (framer_.cutShort()) {
    cutShortAt_ = next.span.start;
    ended_ = true;
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

std::optional<std::uint64_t> HeldRecords::dataAfterEndMarker() {
  const FileMetaData& layout = crLfRemover_.layout();
  CrLfRemover::Phases phases = crLfRemover_.phases();
  unsigned pairBytes = 0;  // bytes of a pair still to come
  for (std::uint64_t p = reader_.offset();;) {
    // The reader moves along, so that its window stays small.
    reader_.seek(p);
    const unsigned char* bytes;
    const std::size_t n = reader_.view(p, kStep, bytes);
    if (n == 0) return std::nullopt;
    for (std::size_t i = 0; i < n; ++i, ++p) {
      if (pairBytes > 0) {
        if (bytes[i] != (pairBytes == 2 ? kCr : kLf)) return p;
        --pairBytes;
        continue;
      }
      if (bytes[i] != 0) return p;
      if (CrLfRemover::passDataByte(layout, phases)) pairBytes = 2;
    }
  }
}
