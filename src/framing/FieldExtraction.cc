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

void FailQuartetNarrowerThanPair() {
  throwMessage("can't get less than a full Quartet");
}

void FailQuartetWiderThanFour() {
  throwMessage("can't get more than a full Quartet");
}

void FailQuartetPastRecordEnd() {
  throwMessage("end of quartet is past end of vec");
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

void FailConstant(std::uint32_t expected, std::uint32_t got, std::uint32_t address) {
  throwMessage("expected ", expected, " or 0 at address ", address, ", got ", got);
}

MatchedQuoteCounter::MatchedQuoteCounter(CharacterHistogram& histogram)
    : histogram_(histogram), quotesBefore_(histogram.counts[kEbcdicDoubleQuote]) {}

MatchedQuoteCounter::~MatchedQuoteCounter() {
  std::uint32_t quotes = histogram_.counts[kEbcdicDoubleQuote] - quotesBefore_;
  histogram_.matchedQuotes += quotes & ~std::uint32_t{1};
}
