#include <benchmark/benchmark.h>

#include <bit>
#include <random>
#include <sstream>
#include <vector>

#include "typing/TypedValue.h"
#include "typing/ValueFormat.h"

namespace {

TypedValue valueOf(std::uint32_t type, std::uint32_t bits) {
  TypedValue v;
  v.type = type;
  v.setNumber(bits);
  return v;
}

// Survey-like fractions: short decimals of moderate size.
std::vector<TypedValue> someFloats() {
  std::mt19937 random(7);
  std::vector<TypedValue> values;
  for (int k = 0; k < 4096; ++k) {
    float x = static_cast<float>(random() % 1000000) / 100.0f;
    values.push_back(valueOf(TypedValue::F, std::bit_cast<std::uint32_t>(x)));
  }
  return values;
}

// Formats `values` one after the other into one line, as the writer does.
void formatAll(benchmark::State& state, std::uint32_t type,
               const std::vector<std::uint32_t>& words) {
  std::vector<char> line(words.size() * kValueRoom);
  for (auto _ : state) {
    char* p = line.data();
    for (std::uint32_t word : words) p = formatValue(p, type, word, nullptr, 0);
    benchmark::DoNotOptimize(p);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}

void BM_FormatFloats(benchmark::State& state) {
  std::vector<std::uint32_t> words;
  for (const TypedValue& v : someFloats()) words.push_back(v.number());
  formatAll(state, TypedValue::F, words);
}
BENCHMARK(BM_FormatFloats);

// Full-range unsigned values, most of them 8 to 10 digits.
void BM_FormatWideUnsigned(benchmark::State& state) {
  std::mt19937 random(80);
  std::vector<std::uint32_t> words;
  for (int k = 0; k < 4096; ++k) words.push_back(static_cast<std::uint32_t>(random()));
  formatAll(state, TypedValue::U, words);
}
BENCHMARK(BM_FormatWideUnsigned);

// The stream's own formatting, which the fast path must match, for comparison.
void BM_StreamFloat(benchmark::State& state) {
  std::vector<TypedValue> values = someFloats();
  std::ostringstream out;
  std::size_t k = 0;
  for (auto _ : state) {
    out.str("");
    out << values[k++ & 4095];
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_StreamFloat);

// Year-78-like answers: signed numbers of every length, either sign, in no
// order a branch predictor could learn.
void BM_FormatMixedSignedIntegers(benchmark::State& state) {
  std::mt19937 random(78);
  std::vector<std::uint32_t> words;
  for (int k = 0; k < 4096; ++k) {
    const auto magnitude = static_cast<std::int32_t>(random() >> (random() % 32));
    words.push_back(static_cast<std::uint32_t>(random() % 2 ? -magnitude : magnitude));
  }
  formatAll(state, TypedValue::I, words);
}
BENCHMARK(BM_FormatMixedSignedIntegers);

}  // namespace
