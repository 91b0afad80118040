// The per-record work after typing: the statistics and the line of a
// year-80-like record.
#include <benchmark/benchmark.h>

#include <bit>
#include <sstream>
#include <string>
#include <vector>

#include "chain/DecodedRecordWriter.h"
#include "typing/FormatStatistics.h"
#include "typing/TypedRecord.h"

namespace {

// A year-80-like record: 660 slots (some strings), 1000 expanded bits and bytes.
TypedRecord someRecord(std::uint32_t seed) {
  TypedRecord record;
  for (std::uint32_t a = 1; a <= 1660; ++a) {
    TypedValue value;
    if (a % 50 == 3) {
      value.type = TypedValue::S;
      value.text = "SCHOOL DISTRICT " + std::to_string((a * seed) % 97);
    } else if (a % 50 == 4) {
      value.type = TypedValue::F;
      value.setNumber(std::bit_cast<std::uint32_t>(1.5f * (seed % 13)));
    } else {
      value.setNumber(a > 660 ? (seed >> (a % 7)) & 1 : seed * a % 1000);
    }
    record.add(a, value);
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

void BM_WriteRecordLine(benchmark::State& state) {
  std::vector<TypedRecord> records;
  for (std::uint32_t k = 0; k < 16; ++k) records.push_back(someRecord(k + 1));
  std::ostringstream out;
  LineWriter lines(out);
  std::size_t k = 0;
  for (auto _ : state) {
    if ((k & 255) == 0) out.str("");
    lines.add(records[k & 15], k + 1);
    ++k;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1660);
}
BENCHMARK(BM_WriteRecordLine);

}  // namespace
