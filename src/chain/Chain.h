#ifndef SURVEY_CHAIN_CHAIN_H_
#define SURVEY_CHAIN_CHAIN_H_

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/FirstFailure.h"
#include "core/Stream.h"
#include "input/InputSource.h"
#include "recovery/RejectsLog.h"
#include "typing/FormatStatistics.h"

class AddressValueifier;
class CrLfRemover;
class FormatTables;
class Reader;
class Recovery;
struct AddressValuePair;
namespace TypifierPrivate {
template <class T>
class Typifier;
}

// The stages of a built chain that a RecordViewer reads (not owned; they
// live as long as the chain); null where the chain has no such stage.
struct ChainStages {
  Reader* reader = nullptr;
  CrLfRemover* crLfRemover = nullptr;       // none for year 78
  AddressValueifier* valueifier = nullptr;  // none for year 78
  Recovery* recovery = nullptr;             // only when damage is skipped
  RejectsLog* rejects = nullptr;            // only when damage is skipped
};

// Takes the drain's place in a run that looks into records rather than
// writing them: pulls from the chain's last stage what it needs.
class RecordViewer {
 public:
  virtual ~RecordViewer() = default;
  virtual void view(TypifierPrivate::Typifier<AddressValuePair>& last,
                    const ChainStages& chain) = 0;
  virtual void view(TypifierPrivate::Typifier<unsigned char>& last, const ChainStages& chain) = 0;
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

  // Builds the chain for `year` on the input, read as `kind`, and pulls
  // everything out of its last stage: the records go to `output`, the summary
  // to `metaData`. The stages made before a failure stay in the chain for
  // tearDown(). With `rejects` (not owned), a record that fails is skipped
  // and noted there (see drainSkippingDamage).
  void buildAndDrain(const std::string& inputPath, InputKind kind, std::int32_t year,
                     std::ostream& output, std::ostream& metaData, RejectsLog* rejects = nullptr);

  // Builds the chain as buildAndDrain() does, `metaData` taking what the
  // summary would get, and hands it to `viewer` (not owned) in place of
  // the drain.
  void buildAndView(const std::string& inputPath, InputKind kind, std::int32_t year,
                    std::ostream& metaData, RejectsLog* rejects, RecordViewer& viewer);

  // The same on a byte source that the caller has already added as the
  // chain's first stage (an in-memory source in tests and fuzzing). With
  // `rejects`, the source must be a Reader.
  void buildAndDrainFrom(Stream<unsigned char>* source, std::int32_t year, std::ostream& output,
                         std::ostream& metaData, RejectsLog* rejects = nullptr);

  // Has the next buildAndDrain() give every record written to `output` to
  // `tables` (not owned; it must outlive tearDown()) as well, and tearDown()
  // write their schemas from the run's statistics.
  void writeTablesTo(FormatTables* tables) { tables_ = tables; }

  // Takes every stage down, last first: finish(), then destruction. A failing
  // finish() does not stop the teardown; the first failure goes to `failure`.
  // The tables' schemas, if any, are written first.
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

  // Builds on `source` and drains into `output`, or hands the chain to
  // `viewer` when there is one.
  void build(Stream<unsigned char>* source, std::int32_t year, std::ostream* output,
             std::ostream& metaData, RejectsLog* rejects, RecordViewer* viewer);

  std::vector<std::unique_ptr<OwnedStage>> stages_;
  FormatTables* tables_ = nullptr;
  // The statistics of the chain's Typifier, once it is built.
  const std::map<unsigned, FormatStatistics>* statistics_ = nullptr;
};

#endif  // SURVEY_CHAIN_CHAIN_H_
