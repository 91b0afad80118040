#ifndef SURVEY_TESTS_SUPPORT_SALVAGERUN_H_
#define SURVEY_TESTS_SUPPORT_SALVAGERUN_H_

#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "chain/Chain.h"
#include "core/FirstFailure.h"
#include "e2e/TextFields.h"
#include "input/Reader.h"
#include "support/MemoryBytes.h"

// A run that skips damaged records, on bytes in memory: what OUTPUT and the
// rejects file would hold, and the failure that ended the run, if any.
struct SalvageRun {
  std::vector<std::string> lines;
  std::vector<std::vector<std::string>> rejects;  // rows, header left out
  std::string failure;
};

// Decodes `bytes` as `year` with damaged records skipped, the reader taking
// `block` bytes at a time and failing as a damaged source would once
// `failAfter` bytes are out. The chain's reports to standard output are
// dropped.
inline SalvageRun salvage(std::int32_t year, const std::string& bytes, std::size_t block = 4096,
                          std::size_t failAfter = MemoryBytes::kNever) {
  std::ostringstream output, meta, rejectsText, dropped;
  std::streambuf* const realOut = std::cout.rdbuf(dropped.rdbuf());
  FirstFailure failure;
  {
    Chain chain;
    RejectsLog rejects = RejectsLog::writingTo([&]() -> std::ostream& { return rejectsText; });
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    failure.attempt([&] {
      auto* reader = chain.add<Reader>(
          std::make_unique<MemoryBlocks>(data, bytes.size(), block, failAfter), "memory");
      chain.buildAndDrainFrom(reader, year, output, meta, &rejects);
    });
    chain.tearDown(failure);
  }
  std::cout.rdbuf(realOut);
  SalvageRun run;
  try {
    failure.rethrowIfAny();
  } catch (const std::exception& e) {
    run.failure = e.what();
  }
  run.lines = linesOf(output.str());
  const std::vector<std::string> rows = linesOf(rejectsText.str());
  for (std::size_t i = 1; i < rows.size(); ++i) run.rejects.push_back(split(rows[i], '\t'));
  return run;
}

#endif  // SURVEY_TESTS_SUPPORT_SALVAGERUN_H_
