#include "typing/ValueFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/FailureText.h"
#include "typing/TypedValue.h"

namespace {

// The digits are made in groups; every change of digit count is a place where
// a group boundary or a leading zero can go wrong.
TEST(FormatValueTest, IntegersMatchStreamAroundEveryDigitCount) {
  std::vector<std::uint32_t> numbers = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x80000001};
  for (std::uint64_t power = 1; power <= 10000000000; power *= 10) {
    for (std::uint64_t n : {power - 1, power, power + 1, 2 * power - 1, 5 * power}) {
      if (n <= 0xFFFFFFFF) numbers.push_back(static_cast<std::uint32_t>(n));
    }
  }
  std::mt19937 random(7);
  for (int k = 0; k < 20000; ++k) {
    numbers.push_back(static_cast<std::uint32_t>(random()));
    // As many of every length as of the longest.
    numbers.push_back(static_cast<std::uint32_t>(random() >> (random() % 32)));
  }
  for (std::uint32_t n : numbers) {
    for (std::uint32_t type : {TypedValue::U, TypedValue::I}) {
      for (std::uint32_t bits : {n, 0u - n}) {
        std::ostringstream expected;
        if (type == TypedValue::U) {
          expected << bits;
        } else {
          expected << static_cast<std::int32_t>(bits);
        }
        // The writer's form stores whole words, but within its room.
        char room[2 * kValueRoom];
        std::memset(room, '#', sizeof room);
        const char* end = formatValue(room, type, bits, nullptr, 0);
        ASSERT_EQ(std::string(static_cast<const char*>(room), end), expected.str());
        ASSERT_LE(end - room, static_cast<std::ptrdiff_t>(kMaxNumberChars));
        ASSERT_EQ(std::string(room + kValueRoom, kValueRoom), std::string(kValueRoom, '#'));
      }
    }
  }
}

// The writer's formatter must give exactly the stream's characters for every
// float the input can hold, within the room its contract names.
void expectSameAsStream(std::uint32_t bits) {
  double x = static_cast<double>(std::bit_cast<float>(bits));
  std::ostringstream out;
  out << x;
  char room[2 * kValueRoom];
  std::memset(room, '#', sizeof room);
  const char* end = formatValue(room, TypedValue::F, bits, nullptr, 0);
  ASSERT_EQ(std::string(static_cast<const char*>(room), end), out.str())
      << "bits " << std::hex << bits;
  ASSERT_LE(end - room, static_cast<std::ptrdiff_t>(kMaxNumberChars));
  ASSERT_EQ(std::string(room + kValueRoom, kValueRoom), std::string(kValueRoom, '#'));
}

TEST(FormatValueTest, MatchesStreamOnEdgePatterns) {
  std::vector<std::uint32_t> patterns = {0x00000000, 0x80000000, 0x00000001, 0x80000001, 0x007FFFFF,
                                         0x00800000, 0x7F7FFFFF, 0xFF7FFFFF, 0x7F800000, 0xFF800000,
                                         0x7FC00000, 0xFFC00000, 0x7F800001, 0xFFFFFFFF, 0x7FBFFFFF,
                                         0x3F800000, 0xBF800000};
  // Powers of ten and their neighbours: where %g switches notation or rounds
  // up into an extra digit (999999.5, 9.99995e-05 and the like).
  for (int e = -45; e <= 38; ++e) {
    for (double m : {1.0, 9.999995, 9.99999, 9.999994, 9.999996, 5.0, 1.000005, 1.5}) {
      float x = static_cast<float>(m * std::pow(10.0, e));
      std::uint32_t b = std::bit_cast<std::uint32_t>(x);
      for (std::uint32_t d = 0; d < 5; ++d) {
        patterns.push_back(b + d);
        patterns.push_back(b - d);
        patterns.push_back((b + d) | 0x80000000);
      }
    }
  }
  for (std::uint32_t bits : patterns) expectSameAsStream(bits);
}

TEST(FormatValueTest, MatchesStreamOnEveryExponentAndRandomPatterns) {
  std::mt19937 random(20240611);
  for (std::uint32_t exponent = 0; exponent < 256; ++exponent) {
    for (int k = 0; k < 64; ++k) {
      std::uint32_t mantissa = k == 0 ? 0 : k == 1 ? 0x7FFFFF : random() & 0x7FFFFF;
      std::uint32_t sign = (k & 2) ? 0x80000000 : 0;
      expectSameAsStream(sign | exponent << 23 | mantissa);
    }
  }
  for (int k = 0; k < 600000; ++k) expectSameAsStream(static_cast<std::uint32_t>(random()));
}

TEST(FormatValueTest, MatchesStreamOnIntegersAndShortDecimals) {
  for (int n = -20000; n <= 20000; ++n) {
    expectSameAsStream(std::bit_cast<std::uint32_t>(static_cast<float>(n)));
    expectSameAsStream(std::bit_cast<std::uint32_t>(static_cast<float>(n) / 100.0f));
  }
}

// The exact form reads back to the same single, through strtof and through a
// double rounded to single (how pandas and R read it), and is never longer
// than its bound; NaN and infinity are spelled as in the six-digit form.
TEST(FormatExactFractionTest, ReadsBackToTheSameBitsOnEveryExponentAndRandomPatterns) {
  struct Case {
    std::uint32_t bits;
    const char* text;
  };
  const Case cases[] = {{0x3DCCCCCD, "0.1"},
                        {0x80000000, "-0"},
                        {0x00000001, "1e-45"},
                        {0x007FFFFF, "1.1754942e-38"},
                        {0x00800000, "1.1754944e-38"},
                        {0x7F7FFFFF, "3.4028235e+38"},
                        {0x80800000, "-1.1754944e-38"},
                        {0x49742400, "1e+06"},
                        {0x7FC00000, "nan"},
                        {0xFFC00000, "-nan"},
                        {0x7F800001, "nan"},
                        {0x7F800000, "inf"},
                        {0xFF800000, "-inf"},
                        // The shortest form 7.038531e-26 reads as the double midway to 15AE43FE.
                        {0x15AE43FD, "7.0385307e-26"},
                        {0x95AE43FD, "-7.0385307e-26"}};
  char room[kMaxExactFractionChars];
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(room, formatExactFraction(room, c.bits)), c.text) << c.text;
  }
  std::mt19937 random(20261208);
  for (int k = 0; k < 400000; ++k) {
    const std::uint32_t bits = k < 256 ? static_cast<std::uint32_t>(k) << 23 | (random() & 0x7FFFFF)
                                       : static_cast<std::uint32_t>(random());
    if (std::isnan(std::bit_cast<float>(bits))) continue;
    const std::string text(room, formatExactFraction(room, bits));
    ASSERT_EQ(std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)), bits) << text;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(static_cast<float>(std::strtod(text.c_str(), nullptr))),
              bits)
        << text;
  }
}

// A text is copied from its offset in the buffer of texts, exactly its own
// length; a code no value has writes nothing.
TEST(FormatValueTest, TextsAndInvalidCodes) {
  const char texts[] = "xxAB\tC";
  char room[8];
  std::memset(room, '#', sizeof room);
  const char* end = formatValue(room, TypedValue::S, 2, texts, 4);
  EXPECT_EQ(std::string(static_cast<const char*>(room), 8), "AB\tC####");
  EXPECT_EQ(end, room + 4);
  EXPECT_EQ(formatValue(room, TypedValue::S, 0, texts, 0), room);
  for (std::uint32_t code : {4u, 7u, 0xFFFFFFFFu}) {
    std::memset(room, '#', sizeof room);
    EXPECT_EQ(failureOf([&] { formatValue(room, code, 5, texts, 0); }), "unrec type");
    EXPECT_EQ(std::string(room, 8), "########");
  }
}

}  // namespace
