// info() runs for every value of every record; compares the precomputed table with the
// rule chain it replaces, one whole record's addresses per iteration.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "layouts/Vp78.h"
#include "layouts/Vp80.h"
#include "layouts/Vp8688.h"

namespace {

template <class Lookup>
void walkRecord(benchmark::State& state, const PrecomputedVp& layout, Lookup lookup) {
  const std::uint32_t highest = layout.highestAddress();
  for (auto _ : state) {
    for (std::uint32_t address = 1; address <= highest; ++address) {
      benchmark::DoNotOptimize(lookup(layout, address));
    }
  }
  state.SetItemsProcessed(state.iterations() * highest);
}

void infoOf(benchmark::State& state, const PrecomputedVp& layout) {
  walkRecord(state, layout, [](const Vp& vp, std::uint32_t a) { return vp.info(a); });
}

void ruleChainOf(benchmark::State& state, const PrecomputedVp& layout) {
  walkRecord(state, layout,
             [](const PrecomputedVp& vp, std::uint32_t a) { return vp.ruleChain(a); });
}

void BM_Info_Vp80School(benchmark::State& state) {
  infoOf(state, Vp80_School::instance());
}
void BM_RuleChain_Vp80School(benchmark::State& state) {
  ruleChainOf(state, Vp80_School::instance());
}
void BM_Info_Vp8688School(benchmark::State& state) {
  infoOf(state, Vp8688_School::instance());
}
void BM_RuleChain_Vp8688School(benchmark::State& state) {
  ruleChainOf(state, Vp8688_School::instance());
}
void BM_Info_Vp78School(benchmark::State& state) {
  infoOf(state, Vp78_School::instance());
}
void BM_RuleChain_Vp78School(benchmark::State& state) {
  ruleChainOf(state, Vp78_School::instance());
}

BENCHMARK(BM_Info_Vp80School);
BENCHMARK(BM_RuleChain_Vp80School);
BENCHMARK(BM_Info_Vp8688School);
BENCHMARK(BM_RuleChain_Vp8688School);
BENCHMARK(BM_Info_Vp78School);
BENCHMARK(BM_RuleChain_Vp78School);

}  // namespace
