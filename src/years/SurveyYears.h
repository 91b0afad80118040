#ifndef SURVEY_YEARS_SURVEYYEARS_H_
#define SURVEY_YEARS_SURVEYYEARS_H_

#include <array>
#include <cstdint>
#include <string>

#include "framing/AddressValuePair.h"
#include "input/FileMetaData.h"

class Vp;
template <class T>
class VpIndexer;

// How a year's file cuts its bytes into records.
enum class Framing {
  kFfRecords,    // (address, value) couples up to an end-of-record marker
  kFixedLength,  // valuesPerRecord values at addresses 1, 2, ...
  kYear78,       // EBCDIC byte records told apart by their length
};

// Everything the decoder knows about one survey year, in one row: the chain
// and its stages read their year's facts from here and nowhere else.
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

// The handled years as the help and the refusals name them, runs of
// consecutive years joined: "68 to 74, 76, 78, 80, 82, 86 and 88".
std::string handledYearsText();

#endif  // SURVEY_YEARS_SURVEYYEARS_H_
