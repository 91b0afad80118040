#include "chain/Chain.h"

#include <stdexcept>

#include "chain/DecodedRecordWriter.h"
#include "core/Error.h"
#include "framing/AddressValueifier.h"
#include "framing/Integrator.h"
#include "framing/Recordifier.h"
#include "framing/Recordifier2.h"
#include "framing/Recordifier78.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "recovery/HeldRecords.h"
#include "recovery/Recovery.h"
#include "typing/Typifier.h"
#include "years/ProviderForYear.h"
#include "years/SurveyYear.h"

namespace {

// How far behind its next byte the reader keeps the input when damaged
// records are skipped: more than the longest record, so that the search for
// the next record can start just after a failed one's start. An FF-record
// may run to Recordifier::kRecordLimit quartets; the others are short.
std::size_t keptBytes(const SurveyYear* row) {
  const bool ffRecords = row != nullptr && row->framing == Framing::kFfRecords;
  return ffRecords ? 64 * 1024 : 16 * 1024;
}

}  // namespace

Chain::~Chain() {
  recovery_.reset();
  while (!stages_.empty()) stages_.pop_back();
}

void Chain::buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year,
                              std::ostream& output, std::ostream& metaData, RejectsLog* rejects) {
  const ChainEnd end = build(source, year, metaData, rejects);
  RecordDrain drain = end.drain();
  if (drain.skipping()) drain.checkBeforeCounting(*end.checkBeforeCounting);
  writeDrainedRecords(drain, output);
}

// The chain's shape follows the year's framing, and each stage gets its
// year's facts from the row here. A year without a row still gets its
// CrLfRemover, which asks for the year's line ends once its link to the
// Reader stands: the refusal comes then, as every such year is refused.
ChainEnd Chain::build(Stream<unsigned char>* source, std::int32_t year, std::ostream& metaData,
                      RejectsLog* rejects) {
  ChainEnd end;
  end.rejects = rejects;
  end.reader = dynamic_cast<Reader*>(source);
  if (rejects != nullptr && end.reader == nullptr) {
    throw std::logic_error("skipping damage needs a Reader");
  }
  const SurveyYear* row = findSurveyYear(year);
  if (rejects != nullptr) end.reader->keepBehind(keptBytes(row));
  if (row != nullptr && row->framing == Framing::kYear78) {
    auto* framer = add<Recordifier78>(static_cast<std::uint32_t>(year), source);
    auto* typifier = end.byteTypifier =
        add<TypifierPrivate::Typifier<unsigned char>>(metaData, year, framer, providerForYear78());
    if (rejects != nullptr) recovery_ = year78Recovery(*end.reader, *framer);
    return finishEnd(end, *typifier);
  }
  CrLfRemover* crLfRemover = end.crLfRemover =
      add<CrLfRemover>([year] { return fileMetaDataForYear(year); }, source);
  // Years compare as unsigned numbers, so a negative year is refused too.
  const auto unsignedYear = static_cast<std::uint32_t>(year);
  Stream<std::vector<Quartet>>* framer;
  Recordifier* ffFramer = nullptr;
  Recordifier2* fixedFramer = nullptr;
  if (row != nullptr && row->framing == Framing::kFfRecords) {
    framer = ffFramer = add<Recordifier>(crLfRemover);
  } else if (row != nullptr && row->framing == Framing::kFixedLength) {
    framer = fixedFramer = add<Recordifier2>(row->valuesPerRecord, crLfRemover);
  } else {
    throwMessage("unsupported year ", unsignedYear);
  }
  // Skipping damage, FF-records reach the rest of the chain only once the
  // line-end checks after them have passed.
  HeldRecords* held = nullptr;
  if (rejects != nullptr && ffFramer != nullptr) {
    framer = held = add<HeldRecords>(*ffFramer, *crLfRemover, *end.reader);
  }
  auto* valueifier = end.valueifier = add<AddressValueifier>(unsignedYear, row->framing, framer);
  auto* integrator = add<Integrator>(valueifier);
  auto* typifier = end.pairTypifier = add<TypifierPrivate::Typifier<AddressValuePair>>(
      metaData, year, integrator, providerForYear(year));
  if (rejects != nullptr) {
    Reader& reader = *end.reader;
    recovery_ = held != nullptr
                    ? ffRecordRecovery(reader, *crLfRemover, *ffFramer, *held, *integrator)
                    : fixedLengthRecovery(reader, *crLfRemover, *fixedFramer);
  }
  return finishEnd(end, *typifier);
}

template <class T>
ChainEnd Chain::finishEnd(ChainEnd end, TypifierPrivate::Typifier<T>& typifier) {
  end.last = &typifier;
  end.checkBeforeCounting = &typifier.checkBeforeCounting;
  end.statistics = &typifier.formatStatistics;
  end.recovery = recovery_.get();
  return end;
}

void Chain::tearDown(FirstFailure& failure) {
  recovery_.reset();
  while (!stages_.empty()) {
    failure.attempt([&] { stages_.back()->finish(); });
    stages_.pop_back();
  }
}
