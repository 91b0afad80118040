// Typing of whole records by the year's layouts, with the statistics that
// follow every record, as run on every record of a full-size input.
#include <benchmark/benchmark.h>

#include <iostream>
#include <random>
#include <sstream>
#include <vector>

#include "layouts/VpForYear.h"
#include "typing/Typifier.h"
#include "years/ProviderForYear.h"

namespace {

// Hands out the same record over and over.
template <class T>
class RepeatingRecord : public Stream<std::vector<T>> {
 public:
  explicit RepeatingRecord(std::vector<T> record) : record_(std::move(record)) {
    this->name = "RepeatingRecord";
  }
  bool get(std::vector<T>& item) override {
    item = record_;
    return true;
  }

 private:
  std::vector<T> record_;
};

// A fixed-length record of random values but `second` at address 2, with the
// constant slots of the layout chosen for it zero so that the checks pass.
std::vector<AddressValuePair> someRecord(int year, std::uint32_t quartets, std::uint32_t second) {
  std::mt19937 random(year);
  std::vector<AddressValuePair> record;
  for (std::uint32_t a = 1; a <= quartets; ++a) {
    const std::uint32_t n = a == 2 ? second : static_cast<std::uint32_t>(random());
    record.push_back({a,
                      {{static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                        static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)}}});
  }
  const Vp& vp = providerForYear(year).vpFor(record);
  for (AddressValuePair& pair : record) {
    if (vp.info(pair.address).tag == VpInfo::Constant) pair.value = {};
  }
  return record;
}

void typifyRecords(benchmark::State& state, int year, std::vector<AddressValuePair> record) {
  RepeatingRecord<AddressValuePair> upstream(std::move(record));
  std::ostringstream meta;
  TypedRecord out;
  std::size_t values = 0;
  {
    TypifierPrivate::Typifier<AddressValuePair> typifier(meta, year, &upstream,
                                                         providerForYear(year));
    for (auto _ : state) {
      typifier.get(out);
      values += out.size();
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(values));
}

void BM_TypifyYear80(benchmark::State& state) {
  typifyRecords(state, 80, someRecord(80, 660, 0));
}
BENCHMARK(BM_TypifyYear80);

// Discriminant 2: the School format.
void BM_TypifyYear88School(benchmark::State& state) {
  typifyRecords(state, 88, someRecord(88, 700, 2));
}
BENCHMARK(BM_TypifyYear88School);

}  // namespace
