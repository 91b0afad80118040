#ifndef SURVEY_TESTS_E2E_DECODEDRUN_H_
#define SURVEY_TESTS_E2E_DECODEDRUN_H_

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/ReportTexts.h"
#include "e2e/RunProgram.h"

// Input files built the way the survey tapes lay them out, and the texts a
// run is expected to write, assembled from their parts.

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// Four bytes, most significant first.
std::string bigEndian(std::uint32_t n);
// The four bytes of `bytes` at `at` read back as bigEndian() writes them.
std::uint32_t wordAt(const std::string& bytes, std::size_t at);

// FF-records (years 68 to 76): each record's (address, value) quartets and the
// end-of-record quartet, then the end-of-data quartet, zero padding to whole
// 800-byte records, and CR LF after every 800 data bytes.
std::string ffRecordFile(const std::vector<Pairs>& records);
// The data bytes the Recordifier reads from such a file (up to and including
// the end-of-data quartet).
std::uint32_t ffBytesRead(const std::vector<Pairs>& records);

// Fixed-length records (years 80 to 88): each record's value quartets, then CR LF.
std::string fixedLengthFile(const std::vector<std::vector<std::uint32_t>>& records);

// Year-78 records: each record's bytes, then CR LF.
std::string year78File(const std::vector<std::string>& records);

std::string statisticsLine(const std::string& name, std::uint32_t moreGets,
                           std::uint32_t noMoreGets);
std::string layoutLine(std::uint32_t recordLen, std::uint32_t blockLen, std::uint32_t numRecs,
                       std::uint32_t phase);

// One decoded value: its type letter and printed text.
struct Column {
  char type;
  std::string text;
};
using Columns = std::map<std::uint32_t, Column>;

inline Column u(std::string text) {
  return {'u', std::move(text)};
}
inline Column i(std::string text) {
  return {'i', std::move(text)};
}
inline Column f(std::string text) {
  return {'f', std::move(text)};
}
inline Column s(std::string text) {
  return {'s', std::move(text)};
}

// The values of a packed field from `first` on: 32 bits or 4 bytes of `word`,
// most significant first.
void addBits(Columns& columns, std::uint32_t first, std::uint32_t word);
void addBytes(Columns& columns, std::uint32_t first, std::uint32_t word);
// Unsigned zeros at `first` to `last`.
void unsignedZeros(Columns& columns, std::uint32_t first, std::uint32_t last);

// A record's line of the output file.
std::string outputLine(const Columns& columns);
// The summary rows of a format whose values never changed.
std::string constantRows(const Columns& columns);
// A whole section for a format that had one record (or identical ones).
std::string constantSection(unsigned format, std::uint32_t records, const Columns& columns);

struct DecodedRun {
  RunResult result;
  std::string output;
  std::string meta;
};

// Runs the decoder on `bytes` stored as `inputName` in a scratch directory.
DecodedRun decode(const std::string& inputName, const std::string& bytes);

// Standard error of a run that wrote `warnings` and ended normally, with the
// duration masked as maskDuration() masks it.
std::string normalEnd(const std::string& warnings = "");

// The header of every rejects file.
inline const char kRejectsHeader[] =
    "lines_before\tstart_offset\tresume_offset\trecords_rejected\tmessage\tfirst_bytes";

// The cells of the one row of the rejects file at `path`, whose header is checked; a test
// failure, and six empty cells, when it holds another number of rows or cells.
std::vector<std::string> onlyRejectsRow(const std::filesystem::path& path);

#endif  // SURVEY_TESTS_E2E_DECODEDRUN_H_
