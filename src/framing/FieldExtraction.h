#ifndef SURVEY_FRAMING_FIELDEXTRACTION_H_
#define SURVEY_FRAMING_FIELDEXTRACTION_H_

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/Quartet.h"
#include "framing/CharacterHistogram.h"
#include "framing/RecordCursor.h"

// Operations with which the Typifier takes fields out of a framed record. Each
// reads at the cursor and leaves it just after what it consumed.

// One character field of a byte record: FF appends "-1" and counts nothing;
// any other byte goes through AppendCharToString.
void AppendSingleCharToString(VucCi& at, std::string& text, CharacterHistogram& histogram);
// Pair records hold no one-character fields: always fails.
void AppendSingleCharToString(VavCi& at, std::string& text, CharacterHistogram& histogram);

// Raise the failures of GetQuartet; kept out of line so that the reads inline.
[[noreturn]] void FailQuartetNarrowerThanPair();
[[noreturn]] void FailQuartetWiderThanFour();
[[noreturn]] void FailQuartetPastRecordEnd();

// The value of the pair at the cursor; `n` must be 4. The cursor must not be at
// the end (a caller error, checked in debug builds only).
inline Quartet GetQuartet(VavCi& at, unsigned n) {
  if (n != 4) FailQuartetNarrowerThanPair();
  assert(!at.atEnd());
  return (at.pos++)->value;
}

// `n` bytes (1 to 4) right-aligned in a zero quartet; fails past the record end.
inline Quartet GetQuartet(VucCi& at, unsigned n) {
  // Wider reads would not fit the quartet; the layouts never ask for them.
  if (n > 4) FailQuartetWiderThanFour();
  if (static_cast<std::size_t>(at.end - at.pos) < n) FailQuartetPastRecordEnd();
  Quartet quartet;
  std::memcpy(quartet.bytes.data() + (4 - n), at.pos, n);
  at.pos += n;
  return quartet;
}

// The bytes from the cursor through 1-based record position `last`.
void AppendBytesToString(VucCi& at, std::string& text, std::uint32_t last,
                         CharacterHistogram& histogram);
// The value bytes of the pairs from the cursor whose address is at most `last`.
void AppendPairsToString(VavCi& at, std::string& text, std::uint32_t last,
                         CharacterHistogram& histogram);

// Raises the failure of CheckConstant; out of line, so that the check inlines.
[[noreturn]] void FailConstant(std::uint32_t expected, std::uint32_t got, std::uint32_t address);

// Fails with "expected E or 0 at address A, got V" unless `read` is `expected` or 0.
inline void CheckConstant(std::uint32_t expected, const Quartet& read, std::uint32_t address) {
  const std::uint32_t value = read.value();
  if (value != expected && value != 0) FailConstant(expected, value, address);
}

// Scope around the extraction of one string field: on leaving, adds the double
// quotes counted meanwhile, rounded down to an even number, to matchedQuotes.
class MatchedQuoteCounter {
 public:
  explicit MatchedQuoteCounter(CharacterHistogram& histogram);
  ~MatchedQuoteCounter();
  MatchedQuoteCounter(const MatchedQuoteCounter&) = delete;
  MatchedQuoteCounter& operator=(const MatchedQuoteCounter&) = delete;

 private:
  CharacterHistogram& histogram_;
  std::uint32_t quotesBefore_;
};

#endif  // SURVEY_FRAMING_FIELDEXTRACTION_H_
