#ifndef SURVEY_YEARS_SURVEYYEAR_H_
#define SURVEY_YEARS_SURVEYYEAR_H_

#include <array>
#include <cstdint>
#include <string>

#include "core/AddressValuePair.h"
#include "core/FileMetaData.h"
#include "framing/Framing.h"

class Vp;
template <class T>
class VpIndexer;

// Everything the decoder knows about one survey year, in one row. The chain
// reads its year's facts from here and hands each stage its own when it
// builds it; no stage looks a year up.
struct SurveyYear {
  std::int32_t year;
  Framing framing;
  // Values in a fixed-length record; 0 for the other framings.
  std::uint32_t valuesPerRecord;
  // Where the CR LF pairs stand in the file and its full size.
  FileMetaData lineEnds;
  // The record-format chooser and the layouts it chooses from, by record-format
  // index, for the address/value years; null for year 78, whose byte records
  // have a provider of their own (providerForYear78()).
  const VpIndexer<AddressValuePair>& (*formatChooser)();
  std::array<const Vp& (*)(), 3> layouts;
};

// The row of `year`, or nullptr for a year the decoder does not handle. Rows
// are static and immutable; callers never own them.
const SurveyYear* findSurveyYear(std::int32_t year);

// The line-end layout of `year` (a copy of its row's lineEnds); fails with
// "could not find metadata for year N" (N the year read as unsigned 32-bit)
// for a year without a row.
FileMetaData fileMetaDataForYear(std::int32_t year);

// The handled years as the help and the refusals name them, runs of
// consecutive years joined: "68 to 74, 76, 78, 80, 82, 86 and 88".
std::string handledYearsText();

// The survey year: the two characters at len - 6 and len - 5 of the whole
// path, read as atoi reads them. Fails for a path shorter than six bytes.
std::int32_t yearFromInputPath(const std::string& inputPath);

#endif  // SURVEY_YEARS_SURVEYYEAR_H_
