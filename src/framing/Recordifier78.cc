#include "framing/Recordifier78.h"

#include "core/Error.h"

namespace {
constexpr unsigned char kEbcdicZero = 0xF0;
constexpr unsigned char kEbcdicSpace = 0x40;

bool AllAre(const unsigned char* bytes, std::size_t n, unsigned char wanted) {
  for (std::size_t i = 0; i < n; ++i) {
    if (bytes[i] != wanted) return false;
  }
  return true;
}

[[noreturn]] void FailInputEnded() {
  throwMessage("input ended while trying to get 78 header");
}
}  // namespace

Recordifier78::Recordifier78(std::uint32_t year, Stream<unsigned char>* upstream)
    : year(year), upstream(upstream) {
  name = "Recordifier78";
}

std::size_t Recordifier78::RecordLength(const unsigned char* header) {
  // Short records carry "0" at byte 9 followed by four blanks or four zeros.
  const unsigned char* tail = header + 10;
  bool isShort =
      header[9] == kEbcdicZero && (AllAre(tail, 4, kEbcdicSpace) || AllAre(tail, 4, kEbcdicZero));
  return isShort ? kShortLength : kLongLength;
}

bool Recordifier78::get(std::vector<unsigned char>& record) {
  // The record's size is only known once the header is in, so header and body
  // are fetched by two bulk requests; both end the same way when cut short.
  record.resize(kHeaderLength);
  midRecord_ = true;
  std::size_t got = upstream.getMany(record.data(), kHeaderLength);
  if (got == 0) {
    record.clear();
    midRecord_ = false;
    return false;
  }
  if (got != kHeaderLength) FailInputEnded();
  std::size_t length = RecordLength(record.data());
  record.resize(length);
  std::size_t bodyLength = length - kHeaderLength;
  if (upstream.getMany(record.data() + kHeaderLength, bodyLength) != bodyLength) FailInputEnded();
  upstream.expect(0x0D);
  upstream.expect(0x0A);
  midRecord_ = false;
  return true;
}
