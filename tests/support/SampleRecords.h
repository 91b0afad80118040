#ifndef SURVEY_TESTS_SUPPORT_SAMPLERECORDS_H_
#define SURVEY_TESTS_SUPPORT_SAMPLERECORDS_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "e2e/DecodedRun.h"

// File offsets of the records of an intact sample, by the year's framing.
inline std::vector<std::uint64_t> sampleRecordStarts(const std::string& year,
                                                     const std::string& file) {
  std::vector<std::uint64_t> starts;
  if (year == "78") {
    for (std::uint64_t p = 0; p + 14 <= file.size();) {
      starts.push_back(p);
      const bool blanks = file.compare(p + 10, 4, "\x40\x40\x40\x40") == 0;
      const bool zeros = file.compare(p + 10, 4, "\xF0\xF0\xF0\xF0") == 0;
      const bool isShort = static_cast<unsigned char>(file[p + 9]) == 0xF0 && (blanks || zeros);
      p += (isShort ? 275 : 866) + 2;
    }
  } else if (year >= "80") {
    const std::uint64_t length = year == "80" ? 2642 : 2802;
    for (std::uint64_t p = 0; p < file.size(); p += length) starts.push_back(p);
  } else {
    // FF-records: a record starts after each end-of-record marker; CR LF
    // follows every 800 data bytes.
    std::uint64_t data = 0;
    std::string quartet;
    std::uint64_t quartetStart = 0;
    starts.push_back(0);
    for (std::uint64_t p = 0; p < file.size(); ++p) {
      if (data > 0 && data % 800 == 0 && file.compare(p, 2, "\r\n") == 0 && quartet.empty()) {
        ++p;
        continue;
      }
      if (quartet.empty()) quartetStart = p;
      quartet += file[p];
      ++data;
      if (quartet.size() < 4) continue;
      if (quartet == "\xFF\xFF\xFF\xFE") break;
      if (quartet == "\xFF\xFF\xFF\xFF")
        starts.push_back(quartetStart + 4 + (data % 800 == 0 ? 2 : 0));
      quartet.clear();
    }
    starts.pop_back();
  }
  return starts;
}

// `lines` without those at the indices `lost` (ascending).
inline std::vector<std::string> without(std::vector<std::string> lines,
                                        const std::vector<std::size_t>& lost) {
  for (auto k = lost.rbegin(); k != lost.rend(); ++k)
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*k));
  return lines;
}

// An FF-record sample of years 69 to 76 (CR LF after every 800 data bytes)
// rewritten so that every record lists every address the file holds: its
// own values, and for the others the value the address last had (before its
// first occurrence, that first value). Its records carry nothing forward, so
// that a record decodes to the same line whichever records before it are
// lost.
inline std::string completeFfRecords(const std::string& file) {
  std::string data;
  for (std::size_t at = 0; at < file.size(); at += 802) data += file.substr(at, 800);
  std::vector<Pairs> records(1);
  std::map<std::uint32_t, std::uint32_t> state;
  for (std::size_t at = 0; at + 4 <= data.size();) {
    const std::uint32_t quartet = wordAt(data, at);
    if (quartet == 0xFFFFFFFEu && records.back().empty()) break;
    if (quartet == 0xFFFFFFFFu) {
      records.emplace_back();
      at += 4;
      continue;
    }
    records.back().emplace_back(quartet, wordAt(data, at + 4));
    state.try_emplace(quartet, wordAt(data, at + 4));
    at += 8;
  }
  records.pop_back();
  for (Pairs& record : records) {
    for (auto [address, value] : record) state[address] = value;
    record.assign(state.begin(), state.end());
  }
  return ffRecordFile(records);
}

#endif  // SURVEY_TESTS_SUPPORT_SAMPLERECORDS_H_
