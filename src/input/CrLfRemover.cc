#include "input/CrLfRemover.h"

#include <algorithm>

#include "core/ReportStream.h"

namespace {

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

// Increments needed to bring `phase` to `target` in 32-bit arithmetic; a
// phase already at its target comes back only after a full wrap.
std::uint64_t stepsUntil(std::uint32_t phase, std::uint32_t target) {
  std::uint32_t steps = target - phase;
  return steps == 0 ? (std::uint64_t{1} << 32) : steps;
}

// The two places a pair can follow a data byte, given the phases after it.
bool endsRecord(const FileMetaData& m, std::uint32_t withinRecord) {
  return withinRecord == m.recordLen - 4;
}
bool endsBlock(const FileMetaData& m, std::uint32_t withinBlock) {
  return withinBlock == m.blockLen - 8;
}

// The counts of get() for one data byte, without the input: advances
// `phases` past the byte and tells whether a pair follows it.
struct Passage {
  bool pairFollows;
  bool recordEnded;
};
Passage pass(const FileMetaData& m, CrLfRemover::Phases& phases) {
  ++phases.withinRecord;
  ++phases.withinBlock;
  const bool recordEnded = endsRecord(m, phases.withinRecord);
  if (recordEnded) {
    phases.withinRecord = 0;
    phases.withinBlock += 4;
  }
  const bool blockEnded = endsBlock(m, phases.withinBlock);
  if (blockEnded) phases.withinBlock = 0;
  return {recordEnded || blockEnded, recordEnded};
}

}  // namespace

CrLfRemover::CrLfRemover(const std::function<FileMetaData()>& lineEnds,
                         Stream<unsigned char>* upstream)
    : link(upstream), metaData(lineEnds()) {
  name = "CrLfRemover";
}

bool CrLfRemover::get(unsigned char& item) {
  if (!link.get(item)) {
    reportEnd();
    return false;
  }
  ++numBytes;
  ++phaseWithinRecord;
  ++phaseWithinBlock;
  // Both tests are equalities: the 4 added at a record end can carry the block
  // count past its end, after which no block-end pair is expected again. With
  // the table's values that happens in every year but 68.
  const bool recordEnded = endsRecord(metaData, phaseWithinRecord);
  if (recordEnded) {
    ++numRecs;
    link.expect(kCr);
    link.expect(kLf);
    phaseWithinRecord = 0;
    phaseWithinBlock += 4;
  }
  const bool blockEnded = endsBlock(metaData, phaseWithinBlock);
  if (blockEnded) {
    if (!recordEnded) {
      link.expect(kCr);
      link.expect(kLf);
    }
    phaseWithinBlock = 0;
  }
  if (recordEnded || blockEnded) checkedThrough_ = numBytes;
  return true;
}

std::uint64_t CrLfRemover::plainBytesAhead() const {
  // The block count only jumps at a record end, so up to the next record end
  // both counts advance one per byte and the nearer target decides.
  return std::min(stepsUntil(phaseWithinRecord, metaData.recordLen - 4),
                  stepsUntil(phaseWithinBlock, metaData.blockLen - 8)) -
         1;
}

bool CrLfRemover::getMany(unsigned char* out, std::size_t n, std::size_t& got) {
  std::size_t done = 0;
  while (done < n) {
    const std::size_t plain =
        static_cast<std::size_t>(std::min<std::uint64_t>(n - done, plainBytesAhead()));
    if (plain == 0) {
      if (!get(out[done])) return false;
      ++done;
      ++got;
      continue;
    }
    const std::uint32_t pulledBefore = link.moreGets;
    std::size_t delivered;
    try {
      delivered = link.getMany(out + done, plain);
    } catch (...) {
      // The bytes that arrived before the upstream failed were delivered one
      // by one in the single-byte protocol; count them the same way.
      const std::uint32_t arrived = link.moreGets - pulledBefore;
      passPlain(arrived);
      got += arrived;
      throw;
    }
    passPlain(static_cast<std::uint32_t>(delivered));
    done += delivered;
    got += delivered;
    if (delivered < plain) {
      reportEnd();
      return false;
    }
  }
  return true;
}

void CrLfRemover::reportEnd() {
  // A run that skips damage can meet the end more than once: after a record
  // the end cut short, the search for the next one ends there too.
  if (endReported_) return;
  endReported_ = true;
  const std::uint32_t pseudoFileSize =
      metaData.recordLen - phaseWithinRecord + numBytes + numRecs - 3;
  if (pseudoFileSize != metaData.fileSize) {
    warningStream() << "pseudoFileSize != metaData.fileSize"
                    << " (" << pseudoFileSize << " != " << metaData.fileSize << ")" << std::endl;
  }
}

void CrLfRemover::finish() {
  reportStream() << "recordLen\tblockLen\tnumRecs\tfinalPhaseWithinRecord\t" << metaData.recordLen
                 << '\t' << metaData.blockLen << '\t' << numRecs << '\t' << phaseWithinRecord
                 << std::endl;
}

std::vector<std::uint64_t> CrLfRemover::pairOffsets(const FileMetaData& metaData,
                                                    std::uint32_t blockPhase,
                                                    std::uint32_t records) {
  std::vector<std::uint64_t> offsets;
  Phases phases{0, blockPhase};
  std::uint64_t offset = 0;
  for (std::uint32_t ended = 0; ended < records;) {
    ++offset;
    const Passage passage = pass(metaData, phases);
    if (passage.recordEnded) ++ended;
    if (passage.pairFollows) {
      offsets.push_back(offset);
      offset += 2;
    }
  }
  return offsets;
}

std::vector<std::uint64_t> CrLfRemover::pairsAmong(const FileMetaData& metaData, Phases at,
                                                   std::uint64_t dataBytes) {
  std::vector<std::uint64_t> before;
  for (std::uint64_t passed = 1; passed <= dataBytes; ++passed) {
    if (pass(metaData, at).pairFollows) before.push_back(passed);
  }
  return before;
}

bool CrLfRemover::passDataByte(const FileMetaData& metaData, Phases& at) {
  return pass(metaData, at).pairFollows;
}

std::vector<std::uint32_t> CrLfRemover::recordStartPhases(const FileMetaData& metaData) {
  std::vector<std::uint32_t> phases;
  std::uint32_t phase = 0;
  for (;;) {
    phases.push_back(phase);
    // Past the block end the phase only grows, so no block pair comes again.
    if (phase > metaData.blockLen - 8) return phases;
    Phases at{0, phase};
    while (!pass(metaData, at).recordEnded) {
    }
    phase = at.withinBlock;
    for (std::uint32_t seen : phases) {
      if (seen == phase) return phases;
    }
  }
}
