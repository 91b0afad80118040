#include "driver/Chain.h"

#include "core/Error.h"
#include "driver/DecodedRecordWriter.h"
#include "driver/Interruption.h"
#include "framing/AddressValueifier.h"
#include "framing/Integrator.h"
#include "framing/Recordifier.h"
#include "framing/Recordifier2.h"
#include "framing/Recordifier78.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "typing/Typifier.h"

namespace {

// Records leave the chain here; a signal stops the run between two of them.
void drain(Stream<TypedRecord>& last, std::ostream& output) {
  StopsWhenInterrupted<TypedRecord> stoppable(last);
  writeDecodedRecords(stoppable, output);
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
                              std::ostream& output, std::ostream& metaData) {
  if (year == 78) {
    auto* framer = add<Recordifier78>(static_cast<std::uint32_t>(year), source);
    auto* typifier = add<TypifierPrivate::Typifier<unsigned char>>(metaData, year, framer);
    drain(*typifier, output);
    return;
  }
  CrLfRemover* crLfRemover = add<CrLfRemover>(year, source);
  // Years compare as unsigned numbers, so a negative year is refused too.
  const auto unsignedYear = static_cast<std::uint32_t>(year);
  Stream<std::vector<Quartet>>* framer;
  if (unsignedYear >= 68 && unsignedYear <= 76) {
    framer = add<Recordifier>(crLfRemover);
  } else if (unsignedYear == 80) {
    framer = add<Recordifier2>(660, crLfRemover);
  } else if (unsignedYear >= 82 && unsignedYear <= 88) {
    framer = add<Recordifier2>(700, crLfRemover);
  } else {
    throwMessage("unsupported year ", unsignedYear);
  }
  auto* valueifier = add<AddressValueifier>(unsignedYear, framer);
  auto* integrator = add<Integrator>(valueifier);
  auto* typifier = add<TypifierPrivate::Typifier<AddressValuePair>>(metaData, year, integrator);
  drain(*typifier, output);
}

void Chain::tearDown(FirstFailure& failure) {
  while (!stages_.empty()) {
    failure.attempt([&] { stages_.back()->finish(); });
    stages_.pop_back();
  }
}
