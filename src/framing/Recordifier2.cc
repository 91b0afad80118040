#include "framing/Recordifier2.h"

#include "core/Error.h"
#include "framing/ReadQuartet.h"

static_assert(sizeof(Quartet) == 4, "records are read straight into quartet storage");

Recordifier2::Recordifier2(std::uint32_t recordQuartets, Stream<unsigned char>* upstream)
    : recordQuartets(recordQuartets), upstream(upstream) {
  name = "Recordifier2";
}

bool Recordifier2::get(std::vector<Quartet>& record) {
  if (recordQuartets == 0) {
    record.clear();
    return false;
  }
  // One bulk request for the whole record; the link counts it as the
  // byte-by-byte requests it stands for, so the two endings below are told
  // apart by how many bytes arrived.
  record.resize(recordQuartets);
  midRecord_ = true;
  std::size_t got =
      upstream.getMany(reinterpret_cast<unsigned char*>(record.data()), record.size() * 4);
  if (got == record.size() * 4) {
    midRecord_ = false;
    return true;
  }
  record.resize(got / 4);
  if (got % 4 != 0) FailQuartetCutShort(upstream.moreGets);
  if (got != 0) throwMessage("input ended on non-", recordQuartets, " boundary");
  midRecord_ = false;
  return false;
}
