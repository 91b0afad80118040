#ifndef SURVEY_VIEWING_SHOWRECORD_H_
#define SURVEY_VIEWING_SHOWRECORD_H_

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "input/InputSource.h"

// --show-record: one record of an input, its bytes in the file next to the
// values they decode into, for checking by hand.

// Decodes the input at `inputPath` (read as `kind`) as survey year `year`,
// writing nothing anywhere, up to record `number` (1-based: the number-th
// line that OUTPUT would hold), and writes that record to `out` (not owned):
//
//   record, year, format (index and name), first_offset, end_offset: one
//   "name<TAB>value" line each; the offsets are 0-based file offsets of the
//   record's first byte and of the byte after its last (its line end
//   included, where one follows it);
//   a header row, then one row per value of the record, in address order:
//   address, offset, bytes, entry, value (see ValueBytes and entryText()).
//
// Without `keepGoing` a damaged record before it fails as a conversion fails;
// with it, damaged records are skipped as a conversion with --keep-going
// skips them. A number past the last record fails with "record N asked for,
// but the input holds M records" (", besides R rejected" added when records
// were skipped). Returns how many records were skipped on the way. Standard
// output gets nothing from the chain's stages; everything for `out` is
// written at the end, once the chain is gone.
std::uint64_t showRecord(const std::string& inputPath, InputKind kind, std::int32_t year,
                         std::uint64_t number, bool keepGoing, std::ostream& out);

// Where the bytes of one value stand in the file, as the offset and bytes
// columns show them: runs of bytes that follow each other in the file, each
// as its first byte's file offset and its bytes in hex. A value (or a piece of
// one) that years 68 to 76 carried forward from an earlier record has the
// offset "carried" and the bytes it was carried with.
class ValueBytes {
 public:
  // Appends the byte `byte` read at file offset `offset`, extending the last
  // run when it ends just before `offset`.
  void add(std::uint64_t offset, unsigned char byte);
  // Appends `count` bytes from `bytes` (not kept) of a carried value.
  void addCarried(const unsigned char* bytes, std::size_t count);

  // The runs' offsets, then their bytes, each separated by a blank.
  std::string offsets() const;
  std::string bytes() const;

 private:
  struct Run {
    bool carried;
    std::uint64_t offset;
    std::size_t length;
    std::string hex;
  };
  std::vector<Run> runs_;
};

// The entry column: the layout entry's tag name and number ("Unsigned 4");
// for a value of a packed field also the field's own address and the bit or
// byte of it ("BitArray 6 of 594, bit 3", bits and bytes counted from 0, the
// most significant first).
std::string entryText(std::int32_t tag, std::uint32_t fieldAddress, std::uint32_t member);

#endif  // SURVEY_VIEWING_SHOWRECORD_H_
