#include "framing/Recordifier.h"

#include "core/Error.h"
#include "framing/ReadQuartet.h"

Recordifier::Recordifier(Stream<unsigned char>* upstream) : upstream(upstream) {
  name = "Recordifier";
}

bool Recordifier::get(std::vector<Quartet>& record) {
  // Past the end-of-data marker lies nothing that belongs to the data, so the
  // input is not touched again once the end has been seen.
  if (!more) return false;
  midRecord_ = true;
  Quartet quartet;
  if (!ReadQuartet(upstream, quartet) || quartet == endOfDataQuartet) {
    endMarkerSeen_ = quartet == endOfDataQuartet;
    more = false;
    midRecord_ = false;
    return false;
  }
  record.clear();
  while (quartet != endOfRecordQuartet) {
    if (record.size() > kRecordLimit) {
      throwMessage("End of FF-record not found after ", kRecordLimit, " quartets: giving up.");
    }
    record.push_back(quartet);
    // An input ending cleanly mid-record closes the record; the next call
    // then finds the end.
    if (!ReadQuartet(upstream, quartet)) break;
  }
  midRecord_ = false;
  return true;
}

bool Recordifier::skipPastNextMarker() {
  Quartet quartet;
  do {
    if (!ReadQuartet(upstream, quartet)) {
      more = false;
      return false;
    }
  } while (quartet != endOfRecordQuartet);
  more = true;
  return true;
}
