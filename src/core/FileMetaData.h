#ifndef SURVEY_CORE_FILEMETADATA_H_
#define SURVEY_CORE_FILEMETADATA_H_

#include <cstdint>

// The line-end layout of one survey year's input file. Records carry
// recordLen - 4 data bytes followed by CR LF; a block spans blockLen - 8
// positions, and where a block ends inside a record another CR LF stands there.
struct FileMetaData {
  std::uint32_t recordLen;
  std::uint32_t blockLen;
  std::uint32_t listedNumRecs;  // carried for reference; nothing reads it
  std::uint32_t fileSize;       // what (records + 1) * (recordLen - 3) must reach at the end
};

#endif  // SURVEY_CORE_FILEMETADATA_H_
