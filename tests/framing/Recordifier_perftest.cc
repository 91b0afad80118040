// Framing, pairing and integration of quartet records, as run on every record
// of a full-size input.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "framing/AddressValueifier.h"
#include "framing/Integrator.h"
#include "framing/Recordifier.h"
#include "framing/Recordifier2.h"
#include "support/MemoryBytes.h"
#include "years/SurveyYear.h"

namespace {

void AppendQuartet(std::vector<unsigned char>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<unsigned char>(value >> shift));
}

// Pulls integrated records from `framer` through pairing and integration.
void PullIntegrated(benchmark::State& state, Stream<std::vector<Quartet>>& framer,
                    std::uint32_t year, std::int64_t bytesPerRecord) {
  AddressValueifier pairer(year, findSurveyYear(static_cast<std::int32_t>(year))->framing, &framer);
  Integrator integrator(&pairer);
  std::vector<AddressValuePair> record;
  for (auto _ : state) {
    integrator.get(record);
    benchmark::DoNotOptimize(record.data());
  }
  state.SetBytesProcessed(state.iterations() * bytesPerRecord);
}

// Fixed-length records of 700 quartets through framer, pairing and integration.
void BM_FixedRecordChain(benchmark::State& state) {
  std::vector<unsigned char> block;
  for (std::uint32_t i = 0; i < 700; ++i) AppendQuartet(block, i * 2654435761u);
  MemoryBytes bytes(block);
  bytes.repeatForever();
  Recordifier2 framer(700, &bytes);
  PullIntegrated(state, framer, 86, 2800);
}
BENCHMARK(BM_FixedRecordChain);

// FF-records listing 200 of 1000 addresses each, so values are carried forward.
void BM_FFRecordChain(benchmark::State& state) {
  std::vector<unsigned char> block;
  for (std::uint32_t r = 0; r < 5; ++r) {
    for (std::uint32_t a = r + 1; a <= 1000; a += 5) {
      AppendQuartet(block, a);
      AppendQuartet(block, a * 7919u);
    }
    AppendQuartet(block, 0xFFFFFFFF);
  }
  MemoryBytes bytes(block);
  bytes.repeatForever();
  Recordifier framer(&bytes);
  PullIntegrated(state, framer, 71, static_cast<std::int64_t>(block.size() / 5));
}
BENCHMARK(BM_FFRecordChain);

}  // namespace
