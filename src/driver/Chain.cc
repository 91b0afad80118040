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
#include "tables/FormatTables.h"
#include "typing/Typifier.h"
#include "years/SurveyYears.h"

namespace {

// Records leave the chain here; a signal stops the run between two of them.
void drain(Stream<TypedRecord>& last, std::ostream& output, RecordSink* tables) {
  StopsWhenInterrupted<TypedRecord> stoppable(last);
  writeDecodedRecords(stoppable, output, tables);
}

}  // namespace

Chain::~Chain() {
  while (!stages_.empty()) stages_.pop_back();
}

void Chain::buildAndDrain(const std::string& inputPath, InputKind kind, std::int32_t year,
                          std::ostream& output, std::ostream& metaData) {
  buildAndDrainFrom(add<Reader>(inputPath, kind), year, output, metaData);
}

// The chain's shape follows the year's framing. A year without a row still
// gets its CrLfRemover, whose construction refuses it after the Reader is
// made, as every such year is refused.
void Chain::buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year,
                              std::ostream& output, std::ostream& metaData) {
  const SurveyYear* row = findSurveyYear(year);
  if (row != nullptr && row->framing == Framing::kYear78) {
    auto* framer = add<Recordifier78>(static_cast<std::uint32_t>(year), source);
    auto* typifier = add<TypifierPrivate::Typifier<unsigned char>>(metaData, year, framer);
    statistics_ = &typifier->formatStatistics;
    drain(*typifier, output, tables_);
    return;
  }
  CrLfRemover* crLfRemover = add<CrLfRemover>(year, source);
  // Years compare as unsigned numbers, so a negative year is refused too.
  const auto unsignedYear = static_cast<std::uint32_t>(year);
  Stream<std::vector<Quartet>>* framer;
  if (row != nullptr && row->framing == Framing::kFfRecords) {
    framer = add<Recordifier>(crLfRemover);
  } else if (row != nullptr && row->framing == Framing::kFixedLength) {
    framer = add<Recordifier2>(row->valuesPerRecord, crLfRemover);
  } else {
    throwMessage("unsupported year ", unsignedYear);
  }
  auto* valueifier = add<AddressValueifier>(unsignedYear, framer);
  auto* integrator = add<Integrator>(valueifier);
  auto* typifier = add<TypifierPrivate::Typifier<AddressValuePair>>(metaData, year, integrator);
  statistics_ = &typifier->formatStatistics;
  drain(*typifier, output, tables_);
}

void Chain::tearDown(FirstFailure& failure) {
  if (tables_ != nullptr && statistics_ != nullptr) {
    failure.attempt([&] { tables_->writeSchemas(*statistics_); });
  }
  while (!stages_.empty()) {
    failure.attempt([&] { stages_.back()->finish(); });
    stages_.pop_back();
  }
}
