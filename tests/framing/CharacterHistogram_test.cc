#include "framing/CharacterHistogram.h"

#include <gtest/gtest.h>

#include <sstream>

#include "framing/Ebcdic.h"
#include "framing/FieldExtraction.h"

namespace {

const std::string kHeading =
    "character histogram\n"
    "Key:\n"
    "ebc\tEBCDIC value\n"
    "asc\t(translated) ASCII value\n"
    "name\tname of character (e.g. A,B,\"space\")\n"
    "freq\tnumber of occurrences\n"
    "ebc\tasc\tname\tfreq\n";
const std::string kClosing =
    "number of non-printable characters other than zeroes and matched double quotes ";

// Adds each field of EBCDIC bytes as one string field would.
std::string Report(std::initializer_list<std::vector<unsigned char>> fields) {
  CharacterHistogram histogram;
  for (const std::vector<unsigned char>& field : fields) {
    MatchedQuoteCounter scope(histogram);
    std::string text;
    for (unsigned char e : field) AppendCharToString(text, e, histogram);
  }
  std::ostringstream out;
  PrintCharacterHistogram(histogram, out, "character histogram");
  return out.str();
}

TEST(PrintCharacterHistogram, NothingCountedGivesHeadingAndZero) {
  EXPECT_EQ(Report({}), kHeading + kClosing + "0\n");
}

TEST(PrintCharacterHistogram, LinesAscendByEbcdicCodeAndZeroesAreNotCounted) {
  EXPECT_EQ(Report({{0xC1, 0x00}, {0xC1, 0x40}}),
            kHeading + "0\t0\t\t1\n64\t32\tspace\t1\n193\t65\tA\t2\n" + kClosing + "0\n");
}

TEST(PrintCharacterHistogram, PairedQuotesAreNotCountedUnpairedOnesAre) {
  EXPECT_EQ(Report({{0x7F, 0xC1, 0x7F}}),
            kHeading + "127\t34\tdouble quote\t2\n193\t65\tA\t1\n" + kClosing + "0\n");
  EXPECT_EQ(Report({{0x7F}, {0x7F}}), kHeading + "127\t34\tdouble quote\t2\n" + kClosing + "2\n");
  EXPECT_EQ(Report({{0x7F, 0x7F, 0x7F}}),
            kHeading + "127\t34\tdouble quote\t3\n" + kClosing + "1\n");
}

TEST(PrintCharacterHistogram, UnshownCodesHaveEmptyOrSpelledOutNames) {
  EXPECT_EQ(Report({{0x25, 0x25, 0x25, 0x25, 0x16, 0x08}}),
            kHeading +
                "8\t151\tEBCDIC graphic escape (ge)\t1\n"
                "22\t8\tbackspace\t1\n"
                "37\t10\t\t4\n" +
                kClosing + "6\n");
}

TEST(CharacterName, FirstMatchingRuleGivesTheName) {
  EXPECT_EQ(CharacterName(EbcdicToAscii[0x40], 0x40), "space");
  EXPECT_EQ(CharacterName(EbcdicToAscii[0x7F], 0x7F), "double quote");
  EXPECT_EQ(CharacterName(EbcdicToAscii[0x16], 0x16), "backspace");
  EXPECT_EQ(CharacterName(EbcdicToAscii[0x08], 0x08), "EBCDIC graphic escape (ge)");
  EXPECT_EQ(CharacterName(EbcdicToAscii[0xE0], 0xE0), "\\");
  EXPECT_EQ(CharacterName(EbcdicToAscii[0xFF], 0xFF), "");
}

}  // namespace
