#ifndef SURVEY_TYPING_TYPIFIER_H_
#define SURVEY_TYPING_TYPIFIER_H_

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "core/AddressValuePair.h"
#include "core/Stream.h"
#include "core/Upstream.h"
#include "framing/CharacterHistogram.h"
#include "framing/RecordCursor.h"
#include "layouts/VpForYear.h"
#include "layouts/VpInfo.h"
#include "typing/FormatStatistics.h"
#include "typing/TypedRecord.h"

namespace TypifierPrivate {

// Fills a caller's typed record. Values at slot addresses go straight into
// the record as cells. Packed fields are kept as their words: every layout
// puts the expanded addresses above its slots, ascending, and then the record
// keeps them so (see TypedRecord). Values out of that order (a layout that
// breaks the shape, or a damaged record) are spelled out by finish(), which
// merges or sorts them into place.
class TypedRecordBuilder {
 public:
  // Begins a record in `out` (owned by the caller, which must keep it alive
  // until finish()), emptying it, with room for `slots` slot values.
  void start(TypedRecord& out, std::size_t slots);
  // Appends a number of `type` (u, i or f) at a slot address.
  void addNumber(std::uint32_t address, std::uint32_t type, std::uint32_t word) {
    *nextSlot(address) = {address, type, word, 0};
  }
  // Appends an s value at a slot address; its text is what `fill` appends to
  // the string it is given.
  template <class Fill>
  void addText(std::uint32_t address, Fill&& fill) {
    TypedCell* const cell = nextSlot(address);
    std::string& texts = out_->texts_;
    const std::size_t start = texts.size();
    *cell = {address, TypedValue::S, static_cast<std::uint32_t>(start), 0};
    fill(texts);
    cell->length = static_cast<std::uint32_t>(texts.size() - start);
  }
  // Adds the 32 bits of `word`, most significant first, as type-u values at
  // `first` and the 31 expanded addresses after it.
  void addExpandedBits(std::uint32_t first, std::uint32_t word) { addPacked(first, word, 32); }
  // Adds the 4 bytes of `word`, most significant first, as type-u values at
  // `first` and the 3 expanded addresses after it.
  void addExpandedBytes(std::uint32_t first, std::uint32_t word) { addPacked(first, word, 4); }
  // Leaves exactly the record's values in the record, sorted by address; at
  // equal addresses a slot's value comes before an expanded one.
  void finish();

 private:
  TypedCell* nextSlot(std::uint32_t address) {
    if (address < lastSlot_) inOrder_ = false;
    lastSlot_ = address;
    if (next_ == limit_) makeRoom();
    return next_++;
  }
  void addPacked(std::uint32_t first, std::uint32_t word, std::uint32_t count);
  // Grows the record's storage; out of line, as start() gives room enough.
  void makeRoom();

  TypedRecord* out_ = nullptr;
  TypedCell* next_ = nullptr;
  TypedCell* limit_ = nullptr;
  std::vector<PackedRun> packed_;
  std::size_t expanded_ = 0;
  std::uint32_t lastSlot_ = 0;
  std::uint32_t lastExpanded_ = 0;
  bool inOrder_ = true;
  // The packed fields' addresses ascend strictly.
  bool ascending_ = true;
};

// Consumes one slot at `at` as `info` says and adds its typed values (none,
// one, or the 4 or 32 values of a packed field) to `out`. `address` is the
// slot's address; text bytes are counted in `histogram`.
void typifySlot(const VpInfo& info, std::uint32_t address, VavCi& at, TypedRecordBuilder& out,
                CharacterHistogram& histogram);
void typifySlot(const VpInfo& info, std::uint32_t address, VucCi& at, TypedRecordBuilder& out,
                CharacterHistogram& histogram);

// The chain's last stage: types every record of its upstream (pairs for the
// quartet years, bytes for year 78) by the year's layouts, and keeps the
// statistics of every record format for the metadata file.
template <class T>
class Typifier : public Stream<TypedRecord> {
 public:
  // `metaStream` (the ".meta.txt" file), `upstream` and `provider` (the
  // year's layouts) are not owned and must outlive this stage.
  Typifier(std::ostream& metaStream, int year, Stream<std::vector<T>>* upstream,
           const VpForYear<T>& provider);

  // Fills `out` with the next typed record, sorted by address; returns false,
  // leaving `out` as it was, when the upstream has no more records. Any
  // failure, here or upstream, is raised again as "At record N, " and its text,
  // N counting the records fetched so far.
  bool get(TypedRecord& out) override;

  // Writes each record format's section into the metadata file (in format
  // order, each followed by its field expansion table), then the character
  // histogram to standard output. The link's line follows on destruction.
  void finish() override;

  // For a run that skips damaged records: called with each typed record
  // before the statistics count it; what it raises refuses the record as any
  // failure of get() does, so a refused record has no place in them.
  std::function<void(const TypedRecord&)> checkBeforeCounting;

  // The upstream record that the last successful get() typed (the completed
  // pairs, or a year-78 record's bytes); valid until the next get().
  const std::vector<T>& lastRecord() const { return record_; }

  CharacterHistogram histogram;
  std::ostream& metaStream;
  int year;
  Upstream<std::vector<T>> upstream;
  const VpForYear<T>* provider;
  std::map<unsigned, FormatStatistics> formatStatistics;

 private:
  void typify(TypedRecord& out);

  std::vector<T> record_;
  TypedRecordBuilder builder_;
};

extern template class Typifier<AddressValuePair>;
extern template class Typifier<unsigned char>;

}  // namespace TypifierPrivate

#endif  // SURVEY_TYPING_TYPIFIER_H_
