#ifndef SURVEY_CHAIN_CHAIN_H_
#define SURVEY_CHAIN_CHAIN_H_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "chain/RecordDrain.h"
#include "core/FirstFailure.h"
#include "core/Stream.h"
#include "recovery/RejectsLog.h"
#include "typing/FormatStatistics.h"

class AddressValueifier;
class CrLfRemover;
class Reader;
class Recovery;
struct AddressValuePair;
namespace TypifierPrivate {
template <class T>
class Typifier;
}

// The end of a built chain, from which its records are pulled, and the
// stages that tell where each record stood. The stages are the chain's (not
// owned); null where the chain has no such stage.
struct ChainEnd {
  Stream<TypedRecord>* last = nullptr;  // the Typifier
  // The Typifier's check before its statistics count a record.
  std::function<void(const TypedRecord&)>* checkBeforeCounting = nullptr;
  // The Typifier's statistics by record-format index.
  const std::map<unsigned, FormatStatistics>* statistics = nullptr;
  // Exactly one of the two: the Typifier of the pair years or of year 78.
  TypifierPrivate::Typifier<AddressValuePair>* pairTypifier = nullptr;
  TypifierPrivate::Typifier<unsigned char>* byteTypifier = nullptr;
  Reader* reader = nullptr;                 // when the source is a Reader
  CrLfRemover* crLfRemover = nullptr;       // none for year 78
  AddressValueifier* valueifier = nullptr;  // none for year 78
  Recovery* recovery = nullptr;             // only when damage is skipped
  RejectsLog* rejects = nullptr;            // only when damage is skipped

  // The drain of these records (see RecordDrain).
  RecordDrain drain() const { return RecordDrain(*last, reader, crLfRemover, recovery, rejects); }
};

// Owns the stages of one run. Stages are created on the heap, first stage
// first, and taken down last stage first, each one's finish() followed by its
// destruction, so the end-of-run reports come out in the chain's reverse order.
class Chain {
 public:
  Chain() { stages_.reserve(8); }
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;
  // Destroys any stage still standing, last first, without its finish().
  ~Chain();

  // Builds the chain for `year` on `source`, a stage the caller has already
  // added as the chain's first (a Reader, or bytes in memory in tests), and
  // returns its end, ready to be drained. The Typifier writes the metadata
  // file's contents to `metaData` (not owned) when it finishes. With `rejects`
  // (not owned), the chain is built to skip damaged records, which it notes
  // there; the source must then be a Reader. The stages made before a
  // failure stay in the chain for tearDown().
  ChainEnd build(Stream<unsigned char>* source, std::int32_t year, std::ostream& metaData,
                 RejectsLog* rejects = nullptr);

  // Builds on `source` and writes every record to `output` as a line (see
  // writeDrainedRecords()).
  void buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year, std::ostream& output,
                         std::ostream& metaData, RejectsLog* rejects = nullptr);

  // Takes every stage down, last first: finish(), then destruction. A failing
  // finish() does not stop the teardown; the first failure goes to `failure`.
  void tearDown(FirstFailure& failure);

  // Creates a stage of type S from `args` and takes ownership of it. Returns
  // the stage, which lives until tearDown() or the chain's destruction.
  template <class S, class... Args>
  S* add(Args&&... args) {
    auto stage = std::make_unique<S>(std::forward<Args>(args)...);
    S* created = stage.get();
    stages_.push_back(own(std::unique_ptr<Stream<ItemOf<S>>>(std::move(stage))));
    return created;
  }

  std::size_t size() const { return stages_.size(); }

 private:
  // A stage seen through its Stream interface, whatever its item type.
  struct OwnedStage {
    virtual ~OwnedStage() = default;
    virtual void finish() = 0;
  };
  template <class T>
  struct OwnedStream : OwnedStage {
    explicit OwnedStream(std::unique_ptr<Stream<T>> s) : stream(std::move(s)) {}
    void finish() override { stream->finish(); }
    std::unique_ptr<Stream<T>> stream;
  };

  template <class T>
  static T itemOf(const Stream<T>&);
  template <class S>
  using ItemOf = decltype(itemOf(std::declval<const S&>()));

  template <class T>
  static std::unique_ptr<OwnedStage> own(std::unique_ptr<Stream<T>> stream) {
    return std::make_unique<OwnedStream<T>>(std::move(stream));
  }

  // Completes `end` from the chain's last stage.
  template <class T>
  ChainEnd finishEnd(ChainEnd end, TypifierPrivate::Typifier<T>& typifier);

  std::vector<std::unique_ptr<OwnedStage>> stages_;
  // Moves the chain past damaged records; it refers to the stages, so it
  // goes before them.
  std::unique_ptr<Recovery> recovery_;
};

#endif  // SURVEY_CHAIN_CHAIN_H_
