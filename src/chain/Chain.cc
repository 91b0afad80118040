#include "chain/Chain.h"

#include <stdexcept>

#include "chain/DecodedRecordWriter.h"
#include "chain/SkippingDrain.h"
#include "core/Error.h"
#include "core/Interruption.h"
#include "framing/AddressValueifier.h"
#include "framing/Integrator.h"
#include "framing/Recordifier.h"
#include "framing/Recordifier2.h"
#include "framing/Recordifier78.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "recovery/HeldRecords.h"
#include "recovery/Recovery.h"
#include "tables/FormatTables.h"
#include "typing/Typifier.h"
#include "typing/ValueFormat.h"
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

// Records leave the chain here; a signal stops the run between two of them.
// With `recovery`, a failed record is skipped: the writer's own check and the
// tables' then come before the statistics count the record, so that a record
// they refuse has no place in them either.
template <class T>
void drain(TypifierPrivate::Typifier<T>& last, std::ostream& output, Reader* reader,
           Recovery* recovery, RejectsLog* rejects, RecordSink* tables) {
  if (recovery == nullptr) {
    StopsWhenInterrupted<TypedRecord> stoppable(last);
    writeDecodedRecords(stoppable, output, tables);
    return;
  }
  std::uint64_t written = 0;
  last.checkBeforeCounting = writerCheckAfter(written, tables);
  drainSkippingDamage(last, output, written, *reader, *recovery, *rejects, tables);
}

template <class T>
void drain(TypifierPrivate::Typifier<T>& last, std::ostream* output, RecordViewer* viewer,
           const ChainStages& chain, RecordSink* tables) {
  if (viewer != nullptr) {
    viewer->view(last, chain);
    return;
  }
  drain(last, *output, chain.reader, chain.recovery, chain.rejects, tables);
}

}  // namespace

Chain::~Chain() {
  while (!stages_.empty()) stages_.pop_back();
}

void Chain::buildAndDrain(const std::string& inputPath, InputKind kind, std::int32_t year,
                          std::ostream& output, std::ostream& metaData, RejectsLog* rejects) {
  build(add<Reader>(inputPath, kind), year, &output, metaData, rejects, nullptr);
}

void Chain::buildAndView(const std::string& inputPath, InputKind kind, std::int32_t year,
                         std::ostream& metaData, RejectsLog* rejects, RecordViewer& viewer) {
  build(add<Reader>(inputPath, kind), year, nullptr, metaData, rejects, &viewer);
}

void Chain::buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year,
                              std::ostream& output, std::ostream& metaData, RejectsLog* rejects) {
  build(source, year, &output, metaData, rejects, nullptr);
}

// The chain's shape follows the year's framing, and each stage gets its
// year's facts from the row here. A year without a row still gets its
// CrLfRemover, which asks for the year's line ends once its link to the
// Reader stands: the refusal comes then, as every such year is refused.
void Chain::build(Stream<unsigned char>* source, std::int32_t year, std::ostream* output,
                  std::ostream& metaData, RejectsLog* rejects, RecordViewer* viewer) {
  ChainStages chain;
  chain.rejects = rejects;
  if (rejects != nullptr || viewer != nullptr) {
    chain.reader = dynamic_cast<Reader*>(source);
    if (chain.reader == nullptr) throw std::logic_error("skipping damage needs a Reader");
  }
  std::unique_ptr<Recovery> recovery;
  const SurveyYear* row = findSurveyYear(year);
  if (rejects != nullptr) chain.reader->keepBehind(keptBytes(row));
  if (row != nullptr && row->framing == Framing::kYear78) {
    auto* framer = add<Recordifier78>(static_cast<std::uint32_t>(year), source);
    auto* typifier =
        add<TypifierPrivate::Typifier<unsigned char>>(metaData, year, framer, providerForYear78());
    if (rejects != nullptr) recovery = year78Recovery(*chain.reader, *framer);
    chain.recovery = recovery.get();
    statistics_ = &typifier->formatStatistics;
    drain(*typifier, output, viewer, chain, tables_);
    return;
  }
  CrLfRemover* crLfRemover = chain.crLfRemover =
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
    framer = held = add<HeldRecords>(*ffFramer, *crLfRemover, *chain.reader);
  }
  auto* valueifier = chain.valueifier = add<AddressValueifier>(unsignedYear, row->framing, framer);
  auto* integrator = add<Integrator>(valueifier);
  auto* typifier = add<TypifierPrivate::Typifier<AddressValuePair>>(metaData, year, integrator,
                                                                    providerForYear(year));
  if (rejects != nullptr) {
    Reader& reader = *chain.reader;
    recovery = held != nullptr
                   ? ffRecordRecovery(reader, *crLfRemover, *ffFramer, *held, *integrator)
                   : fixedLengthRecovery(reader, *crLfRemover, *fixedFramer);
  }
  chain.recovery = recovery.get();
  statistics_ = &typifier->formatStatistics;
  drain(*typifier, output, viewer, chain, tables_);
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
