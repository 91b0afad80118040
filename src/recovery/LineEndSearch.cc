#include "recovery/LineEndSearch.h"

#include <algorithm>
#include <map>
#include <utility>

#include "framing/Recordifier78.h"
#include "input/CrLfRemover.h"

namespace {

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
// Positions examined per look through the window.
constexpr std::uint64_t kStep = 64 * 1024;

bool pairAt(const unsigned char* bytes, std::uint64_t at) {
  return bytes[at] == kCr && bytes[at + 1] == kLf;
}

// Calls `check(p, at, available, behind)` for p from `from` on until it
// returns true (answering p) or the file ends (none): `at` shows the bytes
// from p on, `available` of them (at least `lookahead` unless the file ends
// first), and `behind` says that the 2 bytes before p can be read too. The
// reader's next byte follows the scan, so that the window holds only what
// the checks read however far the scan goes.
template <class Check>
std::optional<std::uint64_t> scan(Reader& reader, std::uint64_t from, std::uint64_t lookahead,
                                  Check&& check) {
  from = std::max(from, reader.oldestKept());
  for (std::uint64_t p = from;;) {
    const std::uint64_t start = p >= 2 && p - 2 >= reader.oldestKept() ? p - 2 : p;
    reader.seek(start);
    const unsigned char* bytes;
    const std::uint64_t wanted = (p - start) + kStep + lookahead;
    const std::uint64_t available = reader.view(start, wanted, bytes);
    const std::uint64_t end = start + available;  // the file's end, if available < wanted
    const std::uint64_t stop = available < wanted ? end : p + kStep;
    for (; p < stop; ++p) {
      if (check(p, bytes + (p - start), end - p, p - start >= 2)) return p;
    }
    if (available < wanted) return std::nullopt;
  }
}

// Whether a record may start at `p`: the bytes before it close a line, or
// it is the file's first byte, or it follows the failed record as it would
// had that record kept its length: at `due` (its CR LF lost) or just after
// the two bytes where its CR LF should stand (those damaged).
bool closesLine(std::uint64_t p, const unsigned char* at, bool behind,
                std::optional<std::uint64_t> due) {
  return p == 0 || (due && (p == *due || p == *due + 2)) || (behind && pairAt(at - 2, 0));
}

}  // namespace

LineEndSearch::LineEndSearch(const FileMetaData& metaData) : dataLength_(metaData.recordLen - 4) {
  // Enough records to see a block end whatever the phase.
  const std::uint32_t records = metaData.blockLen / metaData.recordLen + 2;
  for (std::uint32_t blockPhase : CrLfRemover::recordStartPhases(metaData)) {
    Phase phase{blockPhase, CrLfRemover::pairOffsets(metaData, blockPhase, records)};
    // Phases with the same pairs ahead are told apart by nothing; the latest
    // one in the file stands for them.
    auto same = std::find_if(phases_.begin(), phases_.end(),
                             [&](const Phase& p) { return p.pairs == phase.pairs; });
    if (same != phases_.end()) {
      *same = phase;
    } else {
      phases_.push_back(phase);
    }
  }
  // Where only one placing of pairs remains, two records ahead suffice, so
  // that damage close behind costs no intact record.
  if (phases_.size() == 1 && phases_[0].pairs.size() > 2) phases_[0].pairs.resize(2);
  lookahead_ = 0;
  for (const Phase& phase : phases_) lookahead_ = std::max(lookahead_, phase.pairs.back() + 2);
}

const LineEndSearch& LineEndSearch::forLayout(const FileMetaData& metaData) {
  static std::map<std::pair<std::uint32_t, std::uint32_t>, LineEndSearch> searches;
  const auto key = std::make_pair(metaData.recordLen, metaData.blockLen);
  auto found = searches.find(key);
  if (found == searches.end()) found = searches.emplace(key, LineEndSearch(metaData)).first;
  return found->second;
}

bool LineEndSearch::pairsHold(const Phase& phase, const unsigned char* bytes,
                              std::uint64_t available) const {
  for (std::uint64_t offset : phase.pairs) {
    if (offset + 2 > available) return true;
    if (!pairAt(bytes, offset)) return false;
  }
  return true;
}

std::optional<LineEndSearch::Found> LineEndSearch::find(Reader& reader, std::uint64_t from,
                                                        std::optional<std::uint64_t> due) const {
  const std::uint64_t firstEnd = dataLength_;
  std::uint32_t blockPhase = 0;
  auto starts = [&](std::uint64_t p, const unsigned char* at, std::uint64_t available,
                    bool behind) {
    // Every placing ends the first record at its data length, or 2 later
    // when a block pair stands inside it.
    const bool endAhead = (firstEnd + 2 <= available && pairAt(at, firstEnd)) ||
                          (firstEnd + 4 <= available && pairAt(at, firstEnd + 2));
    const bool pairBehind = behind && pairAt(at - 2, 0);
    const bool fileEndsInRecord = firstEnd + 4 > available;
    if (!endAhead && !(pairBehind && fileEndsInRecord)) return false;
    if (!closesLine(p, at, behind, due)) return false;
    for (const Phase& phase : phases_) {
      if (phase.pairs.front() + 2 > available && !pairBehind) continue;
      if (pairsHold(phase, at, available)) {
        blockPhase = phase.blockPhase;
        return true;
      }
    }
    return false;
  };
  const std::optional<std::uint64_t> offset = scan(reader, from, lookahead_, starts);
  if (!offset) return std::nullopt;
  return Found{*offset, blockPhase};
}

std::optional<std::uint64_t> findYear78RecordStart(Reader& reader, std::uint64_t from,
                                                   std::optional<std::uint64_t> due) {
  constexpr std::uint64_t kHeader = Recordifier78::kHeaderLength;
  constexpr std::uint64_t kLong = Recordifier78::kLongLength;
  auto starts = [&](std::uint64_t p, const unsigned char* at, std::uint64_t available,
                    bool behind) {
    if (available < kHeader || !closesLine(p, at, behind, due)) return false;
    const std::uint64_t length = Recordifier78::RecordLength(at);
    if (length + 2 > available || !pairAt(at, length)) return false;
    // The record after it, as far as the file holds it.
    const std::uint64_t next = length + 2;
    if (next + kHeader > available) return true;
    const std::uint64_t nextLength = Recordifier78::RecordLength(at + next);
    return next + nextLength + 2 > available || pairAt(at, next + nextLength);
  };
  return scan(reader, from, 2 * (kLong + 2), starts);
}
