#ifndef SURVEY_TOOLS_SURVEY_SAMPLE_YEARFILE_H_
#define SURVEY_TOOLS_SURVEY_SAMPLE_YEARFILE_H_

#include <cstdint>
#include <vector>

namespace sample {

// How a year's data is cut into records.
enum class Framing {
  kFfRecords,     // 68 to 76: (address, value) quartet couples, each record ended by FF FF FF FF
  kFixedRecords,  // 80 to 88: a fixed number of value quartets at the implicit addresses 1, 2, ...
  kBytes78,       // 78: EBCDIC byte records of 275 or 866 bytes, each followed by CR LF
};

// One year's physical file. Apart from year 78, the data runs in physical records of
// recordLen - 4 bytes, each followed by CR LF, grouped in blocks of blockLen - 8 positions;
// fileSize is the figure the decoder's size check wants to see.
struct YearFile {
  int year;
  uint32_t recordLen;
  uint32_t blockLen;
  uint32_t fileSize;
  Framing framing;
};

// The thirteen survey years in ascending order.
const std::vector<YearFile>& allYearFiles();

// The year's entry, or nullptr when `year` is not a survey year.
const YearFile* findYearFile(int year);

// Data bytes of one physical record (quartet years).
inline uint32_t dataBytesPerRecord(const YearFile& file) {
  return file.recordLen - 4;
}

// The number of physical records n for which the decoder's size check,
// (n + 1) x (recordLen - 3) == fileSize, holds. Not meaningful for year 78, which the
// decoder does not size-check.
uint32_t fullSizeRecordCount(const YearFile& file);

}  // namespace sample

#endif  // SURVEY_TOOLS_SURVEY_SAMPLE_YEARFILE_H_
