#include "framing/CharacterHistogram.h"

#include "framing/Ebcdic.h"

std::string CharacterName(unsigned char a, unsigned char e) {
  if (a == 0x20) return "space";
  if (a == 0x22) return "double quote";
  if (a == 0x08) return "backspace";
  if (e == 0x08) return "EBCDIC graphic escape (ge)";
  if (IsPrintable(a)) return std::string(1, static_cast<char>(a));
  return "";
}

void PrintCharacterHistogram(const CharacterHistogram& histogram, std::ostream& out,
                             const std::string& title) {
  out << title << std::endl;
  out << "Key:" << std::endl;
  out << "ebc\tEBCDIC value" << std::endl;
  out << "asc\t(translated) ASCII value" << std::endl;
  out << "name\tname of character (e.g. A,B,\"space\")" << std::endl;
  out << "freq\tnumber of occurrences" << std::endl;
  out << "ebc\tasc\tname\tfreq" << std::endl;
  std::uint32_t notShown = 0;
  for (unsigned e = 0; e < histogram.counts.size(); ++e) {
    std::uint32_t count = histogram.counts[e];
    if (count == 0) continue;
    unsigned char a = EbcdicToAscii[e];
    if (!IsPrintable(a)) notShown += count;
    out << e << '\t' << unsigned{a} << '\t' << CharacterName(a, static_cast<unsigned char>(e))
        << '\t' << count << std::endl;
  }
  // Zero bytes vanish from the strings and paired quotes are expected, so
  // neither counts as a character that could not be shown.
  notShown -= histogram.matchedQuotes + histogram.counts[0];
  out << "number of non-printable characters other than zeroes and matched double quotes "
      << notShown << std::endl;
}
