#include "framing/FieldExtraction.h"

#include <cassert>
#include <cstddef>

#include "core/Error.h"
#include "framing/Ebcdic.h"

namespace {
constexpr unsigned char kEbcdicDoubleQuote = 0x7F;
constexpr unsigned char kOneCharMissing = 0xFF;
}  // namespace

void AppendSingleCharToString(VucCi& at, std::string& text, CharacterHistogram& histogram) {
  // Records are framed to the lengths their layouts are chosen by, so a
  // one-character slot never lies past the end.
  assert(!at.atEnd());
  unsigned char e = *at.pos++;
  if (e == kOneCharMissing) {
    text += "-1";
  } else {
    AppendCharToString(text, e, histogram);
  }
}

void AppendSingleCharToString(VavCi&, std::string&, CharacterHistogram&) {
  throwMessage("AppendSingleCharToString undefined for VavCi");
}

Quartet GetQuartet(VavCi& at, unsigned n) {
  if (n != 4) throwMessage("can't get less than a full Quartet");
  assert(!at.atEnd());
  return (at.pos++)->value;
}

Quartet GetQuartet(VucCi& at, unsigned n) {
  // Wider reads would not fit the quartet; the layouts never ask for them.
  if (n > 4) throwMessage("can't get more than a full Quartet");
  if (static_cast<std::size_t>(at.end - at.pos) < n) {
    throwMessage("end of quartet is past end of vec");
  }
  Quartet quartet;
  for (unsigned i = 4 - n; i < 4; ++i) quartet.bytes[i] = *at.pos++;
  return quartet;
}

void AppendBytesToString(VucCi& at, std::string& text, std::uint32_t last,
                         CharacterHistogram& histogram) {
  std::size_t length = static_cast<std::size_t>(at.end - at.begin);
  if (last > length) throwMessage("end of string is past end of vec");
  const unsigned char* stop = at.begin + last;
  // A field ending just before the cursor is empty; one ending earlier still
  // is a layout fault, refused before anything is read.
  if (stop < at.pos) throwMessage("end of string is before its start");
  for (; at.pos != stop; ++at.pos) AppendCharToString(text, *at.pos, histogram);
}

void AppendPairsToString(VavCi& at, std::string& text, std::uint32_t last,
                         CharacterHistogram& histogram) {
  for (; at.pos != at.end && at.pos->address <= last; ++at.pos) {
    for (unsigned char e : at.pos->value.bytes) AppendCharToString(text, e, histogram);
  }
}

void CheckConstant(std::uint32_t expected, const Quartet& read, std::uint32_t address) {
  std::uint32_t value = read.value();
  if (value == expected || value == 0) return;
  throwMessage("expected ", expected, " or 0 at address ", address, ", got ", value);
}

MatchedQuoteCounter::MatchedQuoteCounter(CharacterHistogram& histogram)
    : histogram_(histogram), quotesBefore_(histogram.counts[kEbcdicDoubleQuote]) {}

MatchedQuoteCounter::~MatchedQuoteCounter() {
  std::uint32_t quotes = histogram_.counts[kEbcdicDoubleQuote] - quotesBefore_;
  histogram_.matchedQuotes += quotes & ~std::uint32_t{1};
}
