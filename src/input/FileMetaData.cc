#include "input/FileMetaData.h"

#include "core/Error.h"
#include "years/SurveyYears.h"

FileMetaData fileMetaDataForYear(std::int32_t year) {
  const SurveyYear* row = findSurveyYear(year);
  if (row == nullptr) {
    throwMessage("could not find metadata for year ", static_cast<std::uint32_t>(year));
  }
  return row->lineEnds;
}
