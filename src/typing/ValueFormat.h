#ifndef SURVEY_TYPING_VALUEFORMAT_H_
#define SURVEY_TYPING_VALUEFORMAT_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The printed form of a typed value, the one place that turns a type code and
// its word into characters: u as an unsigned decimal, i as a signed one, f as
// the stream's default format prints the float widened to double (six
// significant digits, %g style, glibc's spelling of nan and inf), s as its
// text unchanged.
//
// Buffer contract: a number (u, i, f) is written with whole-word stores, so
// the caller gives kValueRoom bytes from `p` on. Nothing is written at or past
// p + kValueRoom; the characters end at or before p + kMaxNumberChars, and the
// bytes after them up to p + kValueRoom are scratch. A text writes exactly its
// own length.

// The longest printed number ("-2147483648", "-1.17549e-38").
inline constexpr std::size_t kMaxNumberChars = 12;
// The room a number needs: its characters and the scratch of the last store.
inline constexpr std::size_t kValueRoom = 16;

namespace value_format_detail {

inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324"
    "25262728293031323334353637383940414243444546474849"
    "50515253545556575859606162636465666768697071727374"
    "75767778798081828384858687888990919293949596979899";

// kFloor[t] is the least number of t + 1 digits (0 for one digit).
inline constexpr std::uint32_t kFloor[] = {0,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// The number of decimal digits of `n` (1 for 0), without a branch: the bit
// width gives the count or one less, and one comparison settles which.
inline std::uint32_t digitCount(std::uint32_t n) {
  const std::uint32_t t = (static_cast<std::uint32_t>(std::bit_width(n | 1)) * 1233) >> 12;
  return t + (n >= kFloor[t]);
}

// The eight decimal digits of `n` (below 10^8, leading zeros included) as
// characters, the first digit in the lowest byte. Each step splits every
// lane of the word at once: into halves of four digits, then of two, then
// single digits; the divisions are multiplications by reciprocals that are
// exact in the range of each lane.
inline std::uint64_t eightDigits(std::uint32_t n) {
  const std::uint64_t fours = (n / 10000) | (std::uint64_t{n % 10000} << 32);
  const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007Full;
  const std::uint64_t twos = hundreds | ((fours - 100 * hundreds) << 16);
  const std::uint64_t tens = ((twos * 103) >> 10) & 0x000F000F000F000Full;
  const std::uint64_t ones = tens | ((twos - 10 * tens) << 8);
  return ones | 0x3030303030303030ull;
}

// Stores the last `count` (1 to 8) of the eight digits at `p`, writing the
// eight bytes p[0, 8); returns one past the last digit.
inline char* putLast(char* p, std::uint64_t digits, std::uint32_t count) {
  digits >>= 8 * (8 - count);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &digits, 8);
  } else {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<char>(digits >> (8 * k));
  }
  return p + count;
}

}  // namespace value_format_detail

// The decimal digits of `n` at `p`; returns one past the last. Writes within
// p[0, 10). The output holds tens of millions of numbers of every length, so
// the digits are made in one word and their count is computed, not branched on.
inline char* formatDecimal(char* p, std::uint32_t n) {
  using namespace value_format_detail;
  if (n < 100000000) return putLast(p, eightDigits(n), digitCount(n));
  const std::uint32_t high = n / 100000000;  // 1 to 42
  std::memcpy(p, kPairs + 2 * high + (high < 10), 2);
  return putLast(p + 1 + (high >= 10), eightDigits(n % 100000000), 8);
}

namespace value_format_detail {

// The decimal digits of each number below 256, padded to four bytes.
struct SmallNumber {
  char digits[4];
  std::uint32_t length;
};
inline constexpr auto kSmallNumbers = [] {
  std::array<SmallNumber, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    SmallNumber& entry = table[n];
    std::uint32_t k = 0;
    if (n >= 100) entry.digits[k++] = static_cast<char>('0' + n / 100);
    if (n >= 10) entry.digits[k++] = static_cast<char>('0' + n / 10 % 10);
    entry.digits[k++] = static_cast<char>('0' + n % 10);
    entry.length = k;
  }
  return table;
}();

// For each byte, its eight bits, most significant first, each followed by a
// tab.
inline constexpr auto kBitsWithTabs = [] {
  std::array<std::array<char, 16>, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    for (std::uint32_t k = 0; k < 8; ++k) {
      table[n][2 * k] = static_cast<char>('0' + ((n >> (7 - k)) & 1));
      table[n][2 * k + 1] = '\t';
    }
  }
  return table;
}();

}  // namespace value_format_detail

// The 32 bits of `word`, most significant first, as 0 or 1 with a tab
// between each two; writes within p[0, 64) and returns one past the last bit.
inline char* formatBits(char* p, std::uint32_t word) {
  using value_format_detail::kBitsWithTabs;
  std::memcpy(p, kBitsWithTabs[word >> 24].data(), 16);
  std::memcpy(p + 16, kBitsWithTabs[(word >> 16) & 0xFF].data(), 16);
  std::memcpy(p + 32, kBitsWithTabs[(word >> 8) & 0xFF].data(), 16);
  std::memcpy(p + 48, kBitsWithTabs[word & 0xFF].data(), 16);
  return p + 63;
}

// formatDecimal for a number below 256 (a byte or bit of a packed field),
// from a table; writes within p[0, 4).
inline char* formatSmall(char* p, std::uint32_t n) {
  const value_format_detail::SmallNumber& entry = value_format_detail::kSmallNumbers[n];
  std::memcpy(p, entry.digits, 4);
  return p + entry.length;
}

// The two's complement number `bits` in decimal, minus sign first; writes
// within p[0, 11). The sign is stored always and kept only for a negative
// number: the signs of survey answers follow no pattern a branch could learn.
inline char* formatSigned(char* p, std::uint32_t bits) {
  const std::uint32_t negative = bits >> 31;
  *p = '-';
  return formatDecimal(p + negative, negative ? 0u - bits : bits);
}

// The IEEE single whose bit pattern is `bits`, widened to double, in the
// stream's default format; writes within p[0, kValueRoom).
char* formatFraction(char* p, std::uint32_t bits);

// The longest exact form of a single ("-1.17549435e-38").
inline constexpr std::size_t kMaxExactFractionChars = 15;

// The IEEE single whose bit pattern is `bits` in the shortest decimal form
// that reads back to the same single (std::to_chars of the float), NaN and
// infinity spelled as formatFraction() spells them; writes within
// p[0, kMaxExactFractionChars). Where the nearest double of that form rounds
// to another single (two bit patterns of all), the form has eight digits, so
// that a reader going through doubles gets the same single too.
char* formatExactFraction(char* p, std::uint32_t bits);

// Fails with "unrec type"; out of line, so that the formatter stays small.
[[noreturn]] void failUnrecognizedType();

// The one switch from type to text: writes the value of type `type` at `p`
// and returns one past its last character. For a number `word` is the
// big-endian reading of its four bytes; a text is the `length` bytes at
// texts + word. Room as the buffer contract above says. Any other type code fails with "unrec type"
// and writes nothing.
inline char* formatValue(char* p, std::uint32_t type, std::uint32_t word, const char* texts,
                         std::size_t length) {
  switch (type) {
    case 0:  // u
      // Most values of the expanded fields are one digit.
      if (word < 10) {
        *p = static_cast<char>('0' + word);
        return p + 1;
      }
      return formatDecimal(p, word);
    case 1:  // i
      return formatSigned(p, word);
    case 2:  // s
      // One-character fields are common; a call to copy one byte is not.
      if (length == 1) {
        *p = texts[word];
        return p + 1;
      }
      std::memcpy(p, texts + word, length);
      return p + length;
    case 3:  // f
      return formatFraction(p, word);
    default:
      failUnrecognizedType();
  }
}

#endif  // SURVEY_TYPING_VALUEFORMAT_H_
