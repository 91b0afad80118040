#include "framing/Ebcdic.h"

#include <gtest/gtest.h>

#include <bitset>
#include <string>

namespace {

TEST(EbcdicToAsciiTable, IsAPermutation) {
  std::bitset<256> seen;
  for (int e = 0; e < 256; ++e) seen.set(EbcdicToAscii[e]);
  EXPECT_TRUE(seen.all());
}

TEST(EbcdicToAsciiTable, LettersAndDigitsComeInTheirRuns) {
  struct Run {
    unsigned char firstEbcdic;
    char first;
    int length;
  };
  for (Run run : {Run{0xC1, 'A', 9}, Run{0xD1, 'J', 9}, Run{0xE2, 'S', 8}, Run{0x81, 'a', 9},
                  Run{0x91, 'j', 9}, Run{0xA2, 's', 8}, Run{0xF0, '0', 10}}) {
    for (int i = 0; i < run.length; ++i) {
      EXPECT_EQ(EbcdicToAscii[run.firstEbcdic + i], run.first + i)
          << "EBCDIC " << run.firstEbcdic + i;
    }
  }
}

TEST(EbcdicToAsciiTable, TellingPunctuationCells) {
  const std::pair<unsigned char, char> cells[] = {
      {0x40, ' '}, {0x7F, '"'}, {0x4A, '['}, {0x5A, ']'}, {0x4F, '!'}, {0x5F, '^'},
      {0x6A, '|'}, {0x79, '`'}, {0xA1, '~'}, {0xC0, '{'}, {0xD0, '}'}, {0xE0, '\\'}};
  for (auto [e, a] : cells) EXPECT_EQ(EbcdicToAscii[e], a) << "EBCDIC " << unsigned{e};
}

TEST(IsPrintable, IsPlainAsciiGraphicsAndSpaceButNotTheDoubleQuote) {
  int printable = 0;
  for (int a = 0; a < 256; ++a) printable += IsPrintable(static_cast<unsigned char>(a));
  EXPECT_EQ(printable, 94);
  EXPECT_TRUE(IsPrintable(0x20));
  EXPECT_TRUE(IsPrintable(0x7E));
  EXPECT_FALSE(IsPrintable(0x22));
  EXPECT_FALSE(IsPrintable(0x1F));
  EXPECT_FALSE(IsPrintable(0x7F));
  EXPECT_FALSE(IsPrintable(0xE9));  // a letter in Latin-1, not here
}

struct Rendering {
  unsigned char ebcdic;
  std::string text;
};

class AppendCharToStringRenders : public testing::TestWithParam<Rendering> {};

TEST_P(AppendCharToStringRenders, AndCountsTheCodeOnce) {
  CharacterHistogram histogram;
  std::string text = "x";
  AppendCharToString(text, GetParam().ebcdic, histogram);
  EXPECT_EQ(text, "x" + GetParam().text);
  EXPECT_EQ(histogram.counts[GetParam().ebcdic], 1u);
  EXPECT_EQ(histogram.matchedQuotes, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, AppendCharToStringRenders,
    testing::Values(Rendering{0xC1, "A"}, Rendering{0x40, " "}, Rendering{0xF1, "1"},
                    Rendering{0x00, ""},                // zero bytes vanish
                    Rendering{0x7F, "(ebcdic 127)"},    // the double quote
                    Rendering{0x25, "(ebcdic 37)"},     // line feed
                    Rendering{0x16, "(ebcdic 22)"},     // backspace
                    Rendering{0x08, "(ebcdic 8)"},      // graphic escape, 0x97
                    Rendering{0xFF, "(ebcdic 255)"}));  // EBCDIC code, not the translated one

TEST(AppendCharToString, CountsEveryByteOfAString) {
  CharacterHistogram histogram;
  std::string text;
  for (unsigned char e : {0xC1, 0x40, 0xF1, 0x00, 0xC1}) AppendCharToString(text, e, histogram);
  EXPECT_EQ(text, "A 1A");
  EXPECT_EQ(histogram.counts[0xC1], 2u);
  EXPECT_EQ(histogram.counts[0x00], 1u);
}

}  // namespace
