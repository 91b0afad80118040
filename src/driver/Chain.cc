#include "driver/Chain.h"

#include "input/CrLfRemover.h"
#include "input/Reader.h"

namespace {

// Pulls items out of `stage` until it reports the end, keeping none. Stands in
// for the record writer while the chain still ends before the Typifier.
template <class T>
void discardAll(Stream<T>& stage) {
  T item;
  while (stage.get(item)) {
  }
}

void discardAll(Stream<unsigned char>& stage) {
  unsigned char block[64 * 1024];
  std::size_t got = 0;
  while (stage.getMany(block, sizeof block, got)) got = 0;
}

}  // namespace

Chain::~Chain() {
  while (!stages_.empty()) stages_.pop_back();
}

void Chain::buildAndDrain(const std::string& inputPath, std::int32_t year, std::ostream& output,
                          std::ostream& metaData) {
  buildAndDrainFrom(add<Reader>(inputPath), year, output, metaData);
}

// The one place that knows the chain's shape for each year.
void Chain::buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year,
                              [[maybe_unused]] std::ostream& output,
                              [[maybe_unused]] std::ostream& metaData) {
  if (year == 78) {
    // To come: Recordifier78(year, source), Typifier<unsigned char>(metaData,
    // year, framer), then writeDecodedRecords(*typifier, output).
    discardAll(*source);
    return;
  }
  CrLfRemover* crLfRemover = add<CrLfRemover>(year, source);
  // To come: the framer chosen by year, AddressValueifier(year, framer),
  // Integrator(valueifier), Typifier<AddressValuePair>(metaData, year,
  // integrator), then writeDecodedRecords(*typifier, output).
  discardAll(*crLfRemover);
}

void Chain::tearDown(FirstFailure& failure) {
  while (!stages_.empty()) {
    failure.attempt([&] { stages_.back()->finish(); });
    stages_.pop_back();
  }
}
