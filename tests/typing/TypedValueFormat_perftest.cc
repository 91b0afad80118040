#include <benchmark/benchmark.h>

#include <bit>
#include <random>
#include <sstream>
#include <vector>

#include "driver/DecodedRecordWriter.h"
#include "typing/FormatStatistics.h"
#include "typing/TypedValue.h"

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

void BM_AppendFloat(benchmark::State& state) {
  std::vector<TypedValue> values = someFloats();
  std::string line;
  std::size_t k = 0;
  for (auto _ : state) {
    line.clear();
    appendTypedValue(line, values[k++ & 4095]);
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_AppendFloat);

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

void BM_AppendUnsigned(benchmark::State& state) {
  std::string line;
  std::uint32_t n = 0;
  for (auto _ : state) {
    line.clear();
    appendTypedValue(line, valueOf(TypedValue::U, n += 7919));
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_AppendUnsigned);

// Year-78-like answers: signed numbers of every length, either sign, in no
// order a branch predictor could learn.
void BM_FormatMixedSignedIntegers(benchmark::State& state) {
  std::mt19937 random(78);
  std::vector<TypedValue> values;
  for (int k = 0; k < 4096; ++k) {
    const auto magnitude = static_cast<std::int32_t>(random() >> (random() % 32));
    values.push_back(
        valueOf(TypedValue::I, static_cast<std::uint32_t>(random() % 2 ? -magnitude : magnitude)));
  }
  char line[4096 * kMaxNumberChars];
  for (auto _ : state) {
    char* p = line;
    for (const TypedValue& value : values) p = formatTypedValue(p, value);
    benchmark::DoNotOptimize(p);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 4096);
}
BENCHMARK(BM_FormatMixedSignedIntegers);

// A year-80-like record: 660 slots (some strings), 1000 expanded bits and bytes.
TypedRecord someRecord(std::uint32_t seed) {
  TypedRecord record;
  for (std::uint32_t a = 1; a <= 1660; ++a) {
    AddressTypedValuePair pair;
    pair.address = a;
    if (a % 50 == 3) {
      pair.value.type = TypedValue::S;
      pair.value.text = "SCHOOL DISTRICT " + std::to_string((a * seed) % 97);
    } else if (a % 50 == 4) {
      pair.value = valueOf(TypedValue::F, std::bit_cast<std::uint32_t>(1.5f * (seed % 13)));
    } else {
      pair.value = valueOf(TypedValue::U, a > 660 ? (seed >> (a % 7)) & 1 : seed * a % 1000);
    }
    record.push_back(pair);
  }
  return record;
}

void BM_StatisticsAddRecord(benchmark::State& state) {
  std::vector<TypedRecord> records;
  for (std::uint32_t k = 0; k < 16; ++k) records.push_back(someRecord(k + 1));
  FormatStatistics statistics;
  std::size_t k = 0;
  for (auto _ : state) statistics.add(records[k++ & 15]);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1660);
}
BENCHMARK(BM_StatisticsAddRecord);

void BM_AppendDecodedRecord(benchmark::State& state) {
  std::vector<TypedRecord> records;
  for (std::uint32_t k = 0; k < 16; ++k) records.push_back(someRecord(k + 1));
  std::string buffer;
  std::size_t used = 0;
  std::size_t k = 0;
  for (auto _ : state) {
    if ((k & 255) == 0) used = 0;
    appendDecodedRecord(records[k & 15], k + 1, buffer, used);
    ++k;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1660);
}
BENCHMARK(BM_AppendDecodedRecord);

}  // namespace
