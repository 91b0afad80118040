#ifndef SURVEY_TYPING_TYPIFIER_H_
#define SURVEY_TYPING_TYPIFIER_H_

#include <cstdint>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "core/Stream.h"
#include "core/Upstream.h"
#include "framing/AddressValuePair.h"
#include "framing/CharacterHistogram.h"
#include "framing/RecordCursor.h"
#include "layouts/VpForYear.h"
#include "layouts/VpInfo.h"
#include "typing/FormatStatistics.h"
#include "typing/TypedValue.h"

namespace TypifierPrivate {

// Fills a caller's typed record, reusing its elements (and the capacity of
// their texts) from the record before, so that steady-state typing does not
// allocate. Values at slot addresses and values at expanded addresses arrive
// as two runs that are each ascending for every layout; finish() merges them
// and falls back to a full sort only when a run was out of order.
class TypedRecordBuilder {
 public:
  // Begins a record in `out` (owned by the caller, which must keep it alive
  // until finish()). Until finish() `out` holds leftovers of the last record.
  void start(TypedRecord& out);
  // Appends a value of `type` at a slot address and returns it, with zero
  // bytes and an empty text, for the caller to fill.
  [[gnu::always_inline]] TypedValue& addAtSlot(std::uint32_t address, std::uint32_t type) {
    if (used_ == room_) grow();
    AddressTypedValuePair* const pairs = out_->data();
    if (used_ > 0 && address < pairs[used_ - 1].address) inOrder_ = false;
    AddressTypedValuePair& pair = pairs[used_++];
    pair.address = address;
    pair.value.type = type;
    pair.value.bytes = {};
    pair.value.text.clear();
    return pair.value;
  }
  // Appends a type-u value at an expanded address.
  void addExpanded(std::uint32_t address, std::uint32_t number) {
    if (!expanded_.empty() && address < expanded_.back().first) inOrder_ = false;
    expanded_.emplace_back(address, number);
  }
  // Appends the 32 bits of `word`, most significant first, as type-u values
  // at `first` and the 31 expanded addresses after it.
  void addExpandedBits(std::uint32_t first, std::uint32_t word);
  // Leaves exactly the record's values in `out`, sorted by address.
  void finish();

 private:
  // Adds an element to the caller's record; out of line, so that the slot
  // path stays small enough to inline.
  void grow();

  TypedRecord* out_ = nullptr;
  std::size_t used_ = 0;
  // out_->size(), kept here to spare the division that computes it.
  std::size_t room_ = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> expanded_;
  bool inOrder_ = true;
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
  // `metaStream` (the ".meta.txt" file) and `upstream` are not owned and must
  // outlive this stage. Fails when the year has no layouts; the upstream
  // link's statistics line is written then too.
  Typifier(std::ostream& metaStream, int year, Stream<std::vector<T>>* upstream);
  // The same with the layouts given rather than looked up by year.
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
