#ifndef SURVEY_TESTS_INPUT_BYTESTAGES_H_
#define SURVEY_TESTS_INPUT_BYTESTAGES_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include "core/Error.h"
#include "core/FileMetaData.h"
#include "core/Stream.h"
#include "support/MemoryBytes.h"
#include "years/SurveyYear.h"

// Sends std::cout and std::cerr into strings while it lives.
class CapturedStandardStreams {
 public:
  CapturedStandardStreams()
      : oldOut_(std::cout.rdbuf(out_.rdbuf())), oldErr_(std::cerr.rdbuf(err_.rdbuf())) {}
  ~CapturedStandardStreams() {
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
  }
  std::string out() const { return out_.str(); }
  std::string err() const { return err_.str(); }

 private:
  std::ostringstream out_;
  std::ostringstream err_;
  std::streambuf* oldOut_;
  std::streambuf* oldErr_;
};

// The data byte numbered `i` (1-based) in the test files: a pattern that
// takes CR and LF values too.
inline char dataByte(std::uint32_t i) {
  return static_cast<char>((i * 37u) % 251u);
}

inline std::string dataPattern(std::uint32_t dataBytes) {
  std::string data;
  for (std::uint32_t i = 1; i <= dataBytes; ++i) data += dataByte(i);
  return data;
}

// `dataBytes` data bytes with CR LF inserted after each data byte whose
// 1-based number is in `pairsAfter`.
inline std::string withPairsAfter(std::uint32_t dataBytes,
                                  const std::set<std::uint32_t>& pairsAfter) {
  std::string file;
  file.reserve(dataBytes + 2 * pairsAfter.size());
  auto nextPair = pairsAfter.begin();
  for (std::uint32_t i = 1; i <= dataBytes; ++i) {
    file += dataByte(i);
    if (nextPair != pairsAfter.end() && *nextPair == i) {
      file += "\r\n";
      ++nextPair;
    }
  }
  return file;
}

// Data byte numbers that a pair follows in a well-formed file of the given
// layout: after every record's data and wherever a block ends inside a record.
inline std::set<std::uint32_t> pairPositions(const FileMetaData& layout, std::uint32_t dataBytes) {
  std::set<std::uint32_t> positions;
  std::uint32_t inRecord = 0;
  std::uint32_t inBlock = 0;
  for (std::uint32_t i = 1; i <= dataBytes; ++i) {
    ++inRecord;
    ++inBlock;
    bool recordEnd = inRecord == layout.recordLen - 4;
    if (recordEnd) {
      positions.insert(i);
      inRecord = 0;
      inBlock += 4;
    }
    if (inBlock == layout.blockLen - 8) {
      positions.insert(i);
      inBlock = 0;
    }
  }
  return positions;
}

inline std::string wellFormedFile(std::int32_t year, std::uint32_t dataBytes) {
  return withPairsAfter(dataBytes, pairPositions(fileMetaDataForYear(year), dataBytes));
}

#endif  // SURVEY_TESTS_INPUT_BYTESTAGES_H_
