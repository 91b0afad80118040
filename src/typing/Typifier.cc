#include "typing/Typifier.h"

#include <algorithm>
#include <exception>
#include <span>
#include <type_traits>

#include "core/Error.h"
#include "core/ReportStream.h"
#include "framing/FieldExtraction.h"
#include "typing/FormatSummary.h"

namespace TypifierPrivate {

void TypedRecordBuilder::start(TypedRecord& out, std::size_t slots) {
  out_ = &out;
  out.clear();
  if (out.cells_.size() < slots) out.cells_.resize(slots);
  next_ = out.cells_.data();
  limit_ = next_ + out.cells_.size();
  packed_.clear();
  expanded_ = 0;
  lastSlot_ = 0;
  inOrder_ = true;
  ascending_ = true;
}

void TypedRecordBuilder::makeRoom() {
  const std::size_t used = static_cast<std::size_t>(next_ - out_->cells_.data());
  out_->listed_ = used;
  out_->grow(1);
  next_ = out_->cells_.data() + used;
  limit_ = out_->cells_.data() + out_->cells_.size();
}

void TypedRecordBuilder::addPacked(std::uint32_t first, std::uint32_t word, std::uint32_t count) {
  if (expanded_ > 0 && first <= lastExpanded_) {
    ascending_ = false;
    if (first < lastExpanded_) inOrder_ = false;
  }
  if (first > UINT32_MAX - (count - 1)) inOrder_ = false;  // the run wraps around
  lastExpanded_ = first + (count - 1);
  packed_.push_back({first, word, count});
  expanded_ += count;
}

void TypedRecordBuilder::finish() {
  TypedRecord& out = *out_;
  out_ = nullptr;
  const std::size_t slots = static_cast<std::size_t>(next_ - out.cells_.data());
  out.listed_ = slots;
  out.packed_ = expanded_;
  out.runs_.swap(packed_);
  out.expanded_ = expanded_ == 0;
  const bool interleaved =
      slots > 0 && expanded_ > 0 && out.cells_[slots - 1].address >= out.runs_.front().first;
  // The layouts' shape: every expanded address lies above the slots.
  if (inOrder_ && ascending_ && !interleaved) return;
  out.listPacked();
  TypedCell* const cells = out.cells_.data();
  const auto byAddress = [](const TypedCell& a, const TypedCell& b) {
    return a.address < b.address;
  };
  if (!inOrder_) {
    std::sort(cells, cells + out.listed_, byAddress);
  } else if (interleaved) {
    // Two ascending runs that interleave; merging keeps a slot's value first.
    std::inplace_merge(cells, cells + slots, cells + out.listed_, byAddress);
  }
}

namespace {

std::uint32_t slotAddress(const VavCi& at) {
  return at.pos->address;
}
std::uint32_t slotAddress(const VucCi& at) {
  return static_cast<std::uint32_t>(at.address());
}

void skipOne(VavCi& at) {
  ++at.pos;
}
void skipOne(VucCi& at) {
  ++at.pos;
}

void appendString(VavCi& at, std::string& text, std::uint32_t last, CharacterHistogram& histogram) {
  AppendPairsToString(at, text, last, histogram);
}
void appendString(VucCi& at, std::string& text, std::uint32_t last, CharacterHistogram& histogram) {
  AppendBytesToString(at, text, last, histogram);
}

// The word of a 16-bit signed value: its two bytes read big-endian and
// sign-extended. Pair records hold no such values; reading one fails.
std::uint32_t readSigned16(VavCi& at) {
  return GetQuartet(at, 2).value();
}
std::uint32_t readSigned16(VucCi& at) {
  if (at.end - at.pos < 2) FailQuartetPastRecordEnd();
  const auto value = static_cast<std::int16_t>((at.pos[0] << 8) | at.pos[1]);
  at.pos += 2;
  return static_cast<std::uint32_t>(std::int32_t{value});
}

// Types the run of 16-bit signed slots that starts at `at`, as typifyAny types
// each of them; year-78 School records are mostly such runs, and a loop of
// their own spares each value the dispatch on its tag.
void typifySigned16Run(std::span<const VpInfo> entries, VucCi& at, TypedRecordBuilder& out) {
  std::uint32_t address = slotAddress(at);
  do {
    out.addNumber(address, TypedValue::I, readSigned16(at));
    address = slotAddress(at);
  } while (!at.atEnd() && address < entries.size() && entries[address].tag == VpInfo::Signed16);
}

// `Copy` tells the callers' instances apart: the Typifier's loop and
// typifySlot() each get a copy of their own, called from one place only, so
// that the compiler inlines it into the loop whole.
template <int Copy, class Cursor>
inline void typifyAny(const VpInfo& info, std::uint32_t address, Cursor& at,
                      TypedRecordBuilder& out, CharacterHistogram& histogram) {
  switch (info.tag) {
    case VpInfo::String: {
      std::uint32_t last = info.additionalInfoRhs(VpInfo::String);
      // A range ending before its own start would read nothing and never
      // advance; it yields an empty text and moves on by one element.
      if (last < address) {
        out.addText(address, [](std::string&) {});
        skipOne(at);
        return;
      }
      out.addText(address, [&](std::string& text) {
        MatchedQuoteCounter quotes(histogram);
        appendString(at, text, last, histogram);
      });
      return;
    }
    case VpInfo::Float:
      out.addNumber(address, TypedValue::F, GetQuartet(at, 4).value());
      return;
    case VpInfo::Constant:
      CheckConstant(info.additionalInfoRhs(VpInfo::Constant), GetQuartet(at, 4), address);
      return;
    case VpInfo::Skip:
      skipOne(at);
      return;
    case VpInfo::Unsigned:
      out.addNumber(address, TypedValue::U, GetQuartet(at, 4).value());
      return;
    case VpInfo::Signed:
      out.addNumber(address, TypedValue::I, GetQuartet(at, 4).value());
      return;
    case VpInfo::BitArray: {
      std::uint32_t first = info.additionalInfoRhs(VpInfo::BitArray);
      out.addExpandedBits(first, GetQuartet(at, 4).value());
      return;
    }
    case VpInfo::ByteArray: {
      std::uint32_t first = info.additionalInfoRhs(VpInfo::ByteArray);
      out.addExpandedBytes(first, GetQuartet(at, 4).value());
      return;
    }
    case VpInfo::Signed16: {
      out.addNumber(address, TypedValue::I, readSigned16(at));
      return;
    }
    case VpInfo::SingleChar:
      out.addText(address,
                  [&](std::string& text) { AppendSingleCharToString(at, text, histogram); });
      return;
    default:
      throwMessage("unrecognized VpInfo tag at address ", address);
  }
}

template <class T>
using CursorFor = std::conditional_t<std::is_same_v<T, AddressValuePair>, VavCi, VucCi>;

}  // namespace

void typifySlot(const VpInfo& info, std::uint32_t address, VavCi& at, TypedRecordBuilder& out,
                CharacterHistogram& histogram) {
  typifyAny<1>(info, address, at, out, histogram);
}

void typifySlot(const VpInfo& info, std::uint32_t address, VucCi& at, TypedRecordBuilder& out,
                CharacterHistogram& histogram) {
  typifyAny<1>(info, address, at, out, histogram);
}

template <class T>
Typifier<T>::Typifier(std::ostream& metaStream, int year, Stream<std::vector<T>>* upstream,
                      const VpForYear<T>& provider)
    : metaStream(metaStream), year(year), upstream(upstream), provider(&provider) {
  name = "Typifier";
}

template <class T>
bool Typifier<T>::get(TypedRecord& out) {
  try {
    if (!upstream.get(record_)) return false;
    typify(out);
    return true;
  } catch (const std::exception& e) {
    throwMessage("At record ", upstream.moreGets, ", ", e.what());
  }
}

template <class T>
void Typifier<T>::typify(TypedRecord& out) {
  builder_.start(out, record_.size());
  const Vp& vp = provider->vpFor(record_);
  const std::span<const VpInfo> entries = vp.entries();
  CursorFor<T> at(record_);
  while (!at.atEnd()) {
    std::uint32_t address = slotAddress(at);
    const VpInfo info = address < entries.size() ? entries[address] : vp.info(address);
    if constexpr (std::is_same_v<T, unsigned char>) {
      if (info.tag == VpInfo::Signed16) {
        typifySigned16Run(entries, at, builder_);
        continue;
      }
    }
    typifyAny<0>(info, address, at, builder_, histogram);
  }
  builder_.finish();
  out.layout = &vp;
  if (checkBeforeCounting) checkBeforeCounting(out);
  formatStatistics[vp.recordFormat()].add(out);
}

template <class T>
void Typifier<T>::finish() {
  for (const auto& [index, statistics] : formatStatistics) {
    writeFormatSection(index, statistics, metaStream);
    provider->printFieldExpansions(metaStream, index);
  }
  PrintCharacterHistogram(histogram, reportStream(), "character histogram");
}

template class Typifier<AddressValuePair>;
template class Typifier<unsigned char>;

}  // namespace TypifierPrivate
