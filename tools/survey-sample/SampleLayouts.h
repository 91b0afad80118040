#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLELAYOUTS_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLELAYOUTS_H_

#include <cstdint>
#include <vector>

namespace sample {

// What a field holds, as the decoder's layouts type it.
enum class Kind : uint8_t {
  kString,      // EBCDIC text over one or more addresses (bytes in year 78)
  kFloat,       // big-endian IEEE single
  kConstant,    // the layout's expected word, or 0
  kSkip,        // anything; the decoder drops it
  kUnsigned,    // big-endian 32-bit
  kSigned,      // big-endian 32-bit two's complement
  kBitArray,    // 32 flags
  kByteArray,   // 4 small numbers
  kSigned16,    // 2 bytes, year 78 only
  kSingleChar,  // 1 EBCDIC byte, year 78 only
};

// One field of a record: `width` elements from `address` on, where an element is a
// quartet (one address) in the quartet years and a byte in year 78. `constant` is the
// expected word of a kConstant field.
struct Slot {
  uint32_t address;
  uint32_t width;
  Kind kind;
  uint32_t constant;
};

// How the decoder tells a year's record formats apart.
enum class Selector {
  kSingle,        // 68 to 76: one format
  kLength78,      // 78: the record length, set by header bytes 9 to 13
  kZeroOrNot,     // 80, 82: the value at `selectorAddress` is zero (District) or not (School)
  kDiscriminant,  // 86, 88: the value at address 2 is the format index + 1
};

// One record format of a year. `length` is the record length in elements: the quartets of
// a fixed-length record, the bytes of a year-78 record, and for FF-records the highest
// address the layout gives a meaning to (a sample never lists an address above it).
// `slots` walk the record from address 1 to `length` the way the decoder does when every
// address is present, each field once.
struct RecordFormat {
  const char* name;
  uint32_t length;
  std::vector<Slot> slots;
};

struct YearLayouts {
  Selector selector;
  uint32_t selectorAddress;           // kZeroOrNot and kDiscriminant
  std::vector<RecordFormat> formats;  // by record-format index
};

// The layouts of `year`, one of the thirteen survey years (throws std::invalid_argument
// for any other).
YearLayouts layoutsForYear(int year);

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_SAMPLELAYOUTS_H_
