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
  Quartet quartet;
  if (!ReadQuartet(upstream, quartet) || quartet == endOfDataQuartet) {
    more = false;
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
    if (!ReadQuartet(upstream, quartet)) return true;
  }
  return true;
}
