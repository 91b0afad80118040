#include "viewing/ShowRecord.h"

#include <algorithm>
#include <exception>
#include <sstream>
#include <unordered_map>

#include "chain/Chain.h"
#include "chain/DecodedRecordWriter.h"
#include "chain/RecordDrain.h"
#include "core/Error.h"
#include "core/Interruption.h"
#include "core/ReportStream.h"
#include "framing/AddressValueifier.h"
#include "input/CrLfRemover.h"
#include "input/Reader.h"
#include "layouts/VpInfo.h"
#include "recovery/Recovery.h"
#include "recovery/RejectsLog.h"
#include "typing/Typifier.h"
#include "typing/ValueFormat.h"
#include "years/SurveyYear.h"

namespace {

void appendHex(std::string& hex, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  hex += kDigits[byte >> 4];
  hex += kDigits[byte & 0xF];
}

// Where the values of a completed pair record came from: the record's own
// pairs (the last one wins for an address given twice, as the Integrator
// takes them), whose quartets stand at known file offsets, or an earlier
// record.
class PairOrigins {
 public:
  PairOrigins(const AddressValueifier& valueifier, Framing framing, const CrLfRemover& crLfRemover,
              CrLfRemover::Phases phases, std::uint64_t start)
      : quartets_(valueifier.lastRecord()), start_(start) {
    std::vector<AddressValuePair> pairs;
    AddressValueifier::pairsOf(framing, quartets_, pairs);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
      own_[pairs[k].address] = AddressValueifier::valueQuartet(framing, k);
    }
    pairsBefore_ = CrLfRemover::pairsAmong(crLfRemover.layout(), phases, 4 * quartets_.size());
  }

  // Byte `b` (0 to 3) of the value of `pair`.
  void addByte(const AddressValuePair& pair, std::size_t b, ValueBytes& out) const {
    const auto own = own_.find(pair.address);
    if (own == own_.end()) {
      out.addCarried(&pair.value.bytes[b], 1);
      return;
    }
    const std::uint64_t dataByte = 4 * own->second + b;
    out.add(fileOffset(dataByte), quartets_[own->second].bytes[b]);
  }

  // The four bytes of `pair`'s value.
  void addAll(const AddressValuePair& pair, ValueBytes& out) const {
    if (own_.find(pair.address) == own_.end()) {
      out.addCarried(pair.value.bytes.data(), 4);
      return;
    }
    for (std::size_t b = 0; b < 4; ++b) addByte(pair, b, out);
  }

 private:
  // The file offset of data byte `d` of the record.
  std::uint64_t fileOffset(std::uint64_t d) const {
    const auto pairs =
        std::upper_bound(pairsBefore_.begin(), pairsBefore_.end(), d) - pairsBefore_.begin();
    return start_ + d + 2 * static_cast<std::uint64_t>(pairs);
  }

  const std::vector<Quartet>& quartets_;
  std::uint64_t start_;
  std::unordered_map<std::uint32_t, std::size_t> own_;
  std::vector<std::uint64_t> pairsBefore_;
};

// The bytes of a year-78 record: record position i stands at start + i.
class ByteOrigins {
 public:
  ByteOrigins(const std::vector<unsigned char>& record, std::uint64_t start)
      : begin_(record.data()), start_(start) {}
  void add(const unsigned char* at, ValueBytes& out) const {
    out.add(start_ + static_cast<std::uint64_t>(at - begin_), *at);
  }

 private:
  const unsigned char* begin_;
  std::uint64_t start_;
};

// The bytes a slot consumed, [from, to) of the cursor's elements, or byte
// `member` of them for a packed field's value.
void addSlotBytes(const PairOrigins& origins, const AddressValuePair* from,
                  const AddressValuePair* to, ValueBytes& out) {
  for (const AddressValuePair* pair = from; pair != to; ++pair) origins.addAll(*pair, out);
}
void addSlotBytes(const ByteOrigins& origins, const unsigned char* from, const unsigned char* to,
                  ValueBytes& out) {
  for (const unsigned char* at = from; at != to; ++at) origins.add(at, out);
}
void addPackedByte(const PairOrigins& origins, const AddressValuePair* from, std::size_t member,
                   ValueBytes& out) {
  origins.addByte(*from, member, out);
}
void addPackedByte(const ByteOrigins& origins, const unsigned char* from, std::size_t member,
                   ValueBytes& out) {
  origins.add(from + member, out);
}

// The value as the output file prints it.
std::string printed(const TypedRecord& record, const TypedCell& cell) {
  std::string text(kValueRoom + cell.length, '\0');
  const char* end = formatValue(text.data(), cell.type, cell.word, record.texts(), cell.length);
  text.resize(static_cast<std::size_t>(end - text.data()));
  return text;
}

class RecordShower {
 public:
  RecordShower(std::int32_t year, std::uint64_t number, std::ostream& out)
      : year_(year), number_(number), out_(out) {}

  // Drains the chain up to line number_, as a conversion reaches it, and
  // shows that record.
  void view(const ChainEnd& chain) {
    RecordDrain drain = chain.drain();
    if (drain.skipping()) drain.checkBeforeCounting(*chain.checkBeforeCounting);
    TypedRecord record;
    while (drain.next(record)) {
      if (!drain.skipping() && drain.printable() < record.size()) failUnrecognizedType();
      if (drain.line() == number_) {
        rejected_ = chain.rejects != nullptr ? chain.rejects->rejected() : 0;
        const RecordSpan& span = drain.span();
        if (chain.pairTypifier != nullptr) {
          show(*chain.pairTypifier, chain, span);
        } else {
          show(*chain.byteTypifier, chain, span);
        }
        return;
      }
    }
    const std::uint64_t rejected = chain.rejects != nullptr ? chain.rejects->rejected() : 0;
    std::ostringstream besides;
    if (rejected > 0) besides << ", besides " << rejected << " rejected";
    throwMessage("record ", number_, " asked for, but the input holds ", drain.line(), " records",
                 besides.str());
  }

  std::uint64_t rejected() const { return rejected_; }

 private:
  void show(TypifierPrivate::Typifier<AddressValuePair>& last, const ChainEnd& chain,
            const RecordSpan& span) {
    const PairOrigins origins(*chain.valueifier, findSurveyYear(year_)->framing, *chain.crLfRemover,
                              span.phases, span.start);
    showValues(last, VavCi(last.lastRecord()), origins, span.start, span.end);
  }
  void show(TypifierPrivate::Typifier<unsigned char>& last, const ChainEnd&,
            const RecordSpan& span) {
    const ByteOrigins origins(last.lastRecord(), span.start);
    showValues(last, VucCi(last.lastRecord()), origins, span.start, span.end);
  }

  // Walks the record slot by slot as the Typifier does, typing each slot on
  // its own to learn which values its bytes gave.
  template <class T, class Cursor, class Origins>
  void showValues(TypifierPrivate::Typifier<T>& last, Cursor at, const Origins& origins,
                  std::uint64_t start, std::uint64_t end) {
    const Vp& vp = last.provider->vpFor(last.lastRecord());
    out_ << "record\t" << number_ << "\nyear\t" << year_ << "\nformat\t" << vp.recordFormat()
         << '\t' << recordFormatName(vp.recordFormat()) << "\nfirst_offset\t" << start
         << "\nend_offset\t" << end << "\naddress\toffset\tbytes\tentry\tvalue\n";
    TypifierPrivate::TypedRecordBuilder builder;
    CharacterHistogram histogram;
    TypedRecord values;
    while (!at.atEnd()) {
      const auto from = at.pos;
      const std::uint32_t address = slotAddress(at);
      const VpInfo info = vp.info(address);
      builder.start(values, 1);
      TypifierPrivate::typifySlot(info, address, at, builder, histogram);
      builder.finish();
      const bool packed = info.tag == VpInfo::BitArray || info.tag == VpInfo::ByteArray;
      for (const TypedCell& cell : values) {
        ValueBytes bytes;
        std::uint32_t member = 0;
        if (packed) {
          member = cell.address - info.additionalInfo;
          addPackedByte(origins, from, info.tag == VpInfo::BitArray ? member / 8 : member, bytes);
        } else {
          addSlotBytes(origins, from, at.pos, bytes);
        }
        out_ << cell.address << '\t' << bytes.offsets() << '\t' << bytes.bytes() << '\t'
             << entryText(info.tag, address, member) << '\t' << printed(values, cell) << '\n';
      }
    }
  }

  static std::uint32_t slotAddress(const VavCi& at) { return at.pos->address; }
  static std::uint32_t slotAddress(const VucCi& at) {
    return static_cast<std::uint32_t>(at.address());
  }

  const std::int32_t year_;
  const std::uint64_t number_;
  std::ostream& out_;
  std::uint64_t rejected_ = 0;
};

}  // namespace

void ValueBytes::add(std::uint64_t offset, unsigned char byte) {
  if (runs_.empty() || runs_.back().carried ||
      runs_.back().offset + runs_.back().length != offset) {
    runs_.push_back({false, offset, 0, ""});
  }
  Run& run = runs_.back();
  ++run.length;
  appendHex(run.hex, byte);
}

void ValueBytes::addCarried(const unsigned char* bytes, std::size_t count) {
  Run run{true, 0, count, ""};
  for (std::size_t i = 0; i < count; ++i) appendHex(run.hex, bytes[i]);
  runs_.push_back(std::move(run));
}

std::string ValueBytes::offsets() const {
  std::string text;
  for (const Run& run : runs_) {
    if (!text.empty()) text += ' ';
    text += run.carried ? "carried" : std::to_string(run.offset);
  }
  return text;
}

std::string ValueBytes::bytes() const {
  std::string text;
  for (const Run& run : runs_) {
    if (!text.empty()) text += ' ';
    text += run.hex;
  }
  return text;
}

std::string entryText(std::int32_t tag, std::uint32_t fieldAddress, std::uint32_t member) {
  std::string text = entryTagName(tag) + ' ' + std::to_string(tag);
  if (tag == VpInfo::BitArray) {
    text += " of " + std::to_string(fieldAddress) + ", bit " + std::to_string(member);
  } else if (tag == VpInfo::ByteArray) {
    text += " of " + std::to_string(fieldAddress) + ", byte " + std::to_string(member);
  }
  return text;
}

std::uint64_t showRecord(const std::string& inputPath, InputKind kind, std::int32_t year,
                         std::uint64_t number, bool keepGoing, std::ostream& out) {
  std::ostringstream shown;
  RecordShower shower(year, number, shown);
  {
    // The stages' reports stay out of the record shown; warnings go out.
    ReportTo silenced(discardingStream(), warningStream());
    std::ostream& discard = discardingStream();
    RejectsLog rejects([](const RejectsLog::Stretch&) {});
    Chain chain;
    shower.view(chain.build(chain.add<Reader>(inputPath, kind), year, discard,
                            keepGoing ? &rejects : nullptr));
  }
  out << shown.str();
  return shower.rejected();
}
