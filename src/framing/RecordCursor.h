#ifndef SURVEY_FRAMING_RECORDCURSOR_H_
#define SURVEY_FRAMING_RECORDCURSOR_H_

#include <cstddef>
#include <vector>

#include "core/AddressValuePair.h"

// Read position in a record of address/value pairs. `end` is one past the
// record's last pair; the record is owned by the caller and outlives the cursor.
struct VavCi {
  const AddressValuePair* pos;
  const AddressValuePair* end;

  explicit VavCi(const std::vector<AddressValuePair>& record)
      : pos(record.data()), end(record.data() + record.size()) {}
  bool atEnd() const { return pos == end; }
};

// Read position in a year-78 byte record. `begin` is the record's first byte
// (address 1), `end` one past its last; the record is owned by the caller.
struct VucCi {
  const unsigned char* begin;
  const unsigned char* pos;
  const unsigned char* end;

  explicit VucCi(const std::vector<unsigned char>& record)
      : begin(record.data()), pos(record.data()), end(record.data() + record.size()) {}
  bool atEnd() const { return pos == end; }
  // 1-based position of the byte under the cursor within the record.
  std::size_t address() const { return static_cast<std::size_t>(pos - begin) + 1; }
};

#endif  // SURVEY_FRAMING_RECORDCURSOR_H_
