#include "SampleWriter.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ByteSink.h"
#include "LineEndPlacer.h"
#include "SampleLayouts.h"
#include "SplitMix64.h"
#include "ValueMaker.h"
#include "YearFile.h"

namespace sample {

namespace {

constexpr uint8_t kEndOfRecord[4] = {0xFF, 0xFF, 0xFF, 0xFF};
constexpr uint8_t kEndOfData[4] = {0xFF, 0xFF, 0xFF, 0xFE};
constexpr uint8_t kCrLf[2] = {0x0D, 0x0A};

// Picks the record format of each record: the first records take every format once, in
// index order, so that even a short sample holds them all; the rest are drawn by weight.
class FormatChooser {
 public:
  FormatChooser(size_t formats, SplitMix64& random) : random_(random) {
    // District and School, or District, School and District_Summary: Schools are the bulk.
    if (formats == 3) {
      weights_ = {2, 5, 1};
    } else if (formats == 2) {
      weights_ = {1, 2};
    } else {
      weights_ = {1};
    }
    for (uint32_t w : weights_) total_ += w;
  }

  size_t next() {
    if (dealt_ < weights_.size()) return dealt_++;
    uint32_t roll = random_.below(total_);
    size_t index = 0;
    while (roll >= weights_[index]) roll -= weights_[index++];
    return index;
  }

 private:
  SplitMix64& random_;
  std::vector<uint32_t> weights_;
  uint32_t total_ = 0;
  size_t dealt_ = 0;
};

// Fills `record` (format.length elements of `elementBytes`) field by field.
void fillRecord(const RecordFormat& format, size_t elementBytes, ValueMaker& values,
                std::vector<uint8_t>& record) {
  record.resize(format.length * elementBytes);
  for (const Slot& slot : format.slots) {
    values.fill(slot.kind, slot.constant, record.data() + (slot.address - 1) * elementBytes,
                slot.width * elementBytes);
  }
}

// FF-records of one layout. Each lists (address quartet, value quartet) couples. Every
// address keeps the kind its layout gives it, so the decoder, which carries each address's
// latest value forward into every later record, types it the same way throughout the file.
class FfRecordMaker {
 public:
  FfRecordMaker(const RecordFormat& format, SplitMix64& random, ValueMaker& values)
      : random_(random), values_(values), kindAt_(format.length + 1), pool_(format.length) {
    for (const Slot& slot : format.slots) {
      for (uint32_t a = slot.address; a < slot.address + slot.width; ++a) {
        kindAt_[a] = {a, 1, slot.kind, slot.constant};
      }
    }
    for (uint32_t a = 1; a <= format.length; ++a) pool_[a - 1] = a;
  }

  // The couples of one record: `distinct` addresses, then `repeats` of them listed again.
  struct Shape {
    size_t distinct;
    size_t repeats;
  };

  // An ordinary record: mostly a few updates, sometimes a large part of the layout, now and
  // then nothing at all; in some, a few addresses are listed twice (the later value wins).
  Shape ordinaryShape(bool first) {
    const uint32_t highest = static_cast<uint32_t>(pool_.size());
    if (!first && random_.oneIn(40)) return {0, 0};
    const size_t distinct = random_.oneIn(4) ? 1 + random_.below(highest)
                                             : 1 + random_.below(std::min<uint32_t>(highest, 24));
    return {distinct, random_.oneIn(8) ? 1 + random_.below(3) : size_t{0}};
  }

  // A record of `pairs` couples: distinct addresses as far as the layout has them.
  Shape shapeOf(size_t pairs) const {
    const size_t distinct = std::min(pairs, pool_.size());
    return {distinct, pairs - distinct};
  }

  // Bytes of the largest ordinary record, marker included.
  size_t largestRecordBytes() const { return 8 * (pool_.size() + 3) + 4; }

  // Appends one record of the given shape to `out`, ended by the marker when `marked`. The
  // addresses come in random order; with `listOne`, address 1 is among them, which the
  // decoder needs in its first record.
  void append(Shape shape, bool listOne, bool marked, std::vector<uint8_t>& out) {
    const size_t distinct = shape.distinct;
    for (size_t i = 0; i < distinct; ++i) {
      const size_t j = i + random_.below(static_cast<uint32_t>(pool_.size() - i));
      std::swap(pool_[i], pool_[j]);
    }
    if (listOne && distinct > 0) {
      const auto one = std::find(pool_.begin(), pool_.end(), 1u);
      if (one - pool_.begin() >= static_cast<std::ptrdiff_t>(distinct)) {
        std::swap(*one, pool_[random_.below(static_cast<uint32_t>(distinct))]);
      }
    }
    const size_t pairs = distinct + (distinct > 0 ? shape.repeats : 0);
    for (size_t i = 0; i < pairs; ++i) {
      const uint32_t address =
          i < distinct ? pool_[i] : pool_[random_.below(static_cast<uint32_t>(distinct))];
      appendPair(kindAt_[address], out);
    }
    if (marked) out.insert(out.end(), kEndOfRecord, kEndOfRecord + 4);
  }

 private:
  void appendPair(const Slot& field, std::vector<uint8_t>& out) {
    uint8_t pair[8];
    putBigEndian(field.address, pair);
    values_.fill(field.kind, field.constant, pair + 4, 4);
    // FF FF FF FF would end the record early; no layout needs that word in these years.
    if (std::equal(pair + 4, pair + 8, kEndOfRecord)) pair[7] = 0xFD;
    out.insert(out.end(), pair, pair + 8);
  }

  SplitMix64& random_;
  ValueMaker& values_;
  std::vector<Slot> kindAt_;    // by address, 1 to the layout's highest
  std::vector<uint32_t> pool_;  // the addresses, shuffled a prefix at a time
};

uint64_t writeFfRecords(const YearFile& file, const RecordFormat& format,
                        const SampleRequest& request, SplitMix64& random, ValueMaker& values,
                        ByteSink& sink) {
  LineEndPlacer placer(file, sink);
  FfRecordMaker maker(format, random, values);
  std::vector<uint8_t> record;
  uint64_t records = 0;
  auto emit = [&](FfRecordMaker::Shape shape, bool marked) {
    record.clear();
    maker.append(shape, records == 0, marked, record);
    placer.write(record.data(), record.size());
    ++records;
  };

  if (!request.fullSize) {
    for (uint32_t i = 0; i < request.records; ++i) {
      emit(maker.ordinaryShape(i == 0), true);
    }
    placer.write(kEndOfData, 4);
    placer.padRecord(0x00);
    return records;
  }

  // Full size: the records must fill the physical records exactly, so that the input ends
  // where the size check expects it. Ordinary records run until two of the largest would
  // no longer fit; one last record then takes up the rest: (rest - 4) / 8 couples and the
  // marker, or, when the rest is a multiple of 8, rest / 8 couples ended by the input itself.
  const uint64_t total = uint64_t{fullSizeRecordCount(file)} * dataBytesPerRecord(file);
  const uint64_t reserve = 2 * maker.largestRecordBytes();
  while (total - placer.dataBytes() >= reserve) {
    emit(maker.ordinaryShape(records == 0), true);
  }
  const uint64_t rest = total - placer.dataBytes();
  if (rest % 8 == 4) {
    emit(maker.shapeOf(static_cast<size_t>((rest - 4) / 8)), true);
  } else if (rest > 0) {
    emit(maker.shapeOf(static_cast<size_t>(rest / 8)), false);
  }
  return records;
}

uint64_t writeFixedRecords(const YearFile& file, const YearLayouts& layouts,
                           const SampleRequest& request, SplitMix64& random, ValueMaker& values,
                           ByteSink& sink) {
  LineEndPlacer placer(file, sink);
  FormatChooser chooser(layouts.formats.size(), random);
  const uint64_t records = request.fullSize ? fullSizeRecordCount(file) : request.records;
  const size_t selector = (layouts.selectorAddress - 1) * 4;
  std::vector<uint8_t> record;
  for (uint64_t i = 0; i < records; ++i) {
    const size_t index = chooser.next();
    fillRecord(layouts.formats[index], 4, values, record);
    uint8_t* word = record.data() + selector;
    if (layouts.selector == Selector::kDiscriminant) {
      putBigEndian(static_cast<uint32_t>(index + 1), word);
    } else if (index == 0) {
      putBigEndian(0, word);
    } else if (std::all_of(word, word + 4, [](uint8_t b) { return b == 0; })) {
      putBigEndian(1, word);
    }
    placer.write(record.data(), record.size());
  }
  return records;
}

// Header bytes 9 to 13 (0-based) decide a year-78 record's length: F0 followed by four
// spaces or four F0 make it 275 bytes long, anything else 866.
bool reads275(const std::vector<uint8_t>& record) {
  auto all = [&](uint8_t b) {
    return std::all_of(&record[10], &record[14], [b](uint8_t c) { return c == b; });
  };
  return record[9] == 0xF0 && (all(0x40) || all(0xF0));
}

uint64_t write78Records(const YearFile& file, const YearLayouts& layouts,
                        const SampleRequest& request, SplitMix64& random, ValueMaker& values,
                        ByteSink& sink) {
  FormatChooser chooser(layouts.formats.size(), random);
  std::vector<uint8_t> record;
  uint64_t records = 0;
  for (;;) {
    size_t index = chooser.next();
    if (request.fullSize) {
      // Stop at the last record that fits within fileSize; a School record that does not
      // fit may leave room for a District one.
      const auto fits = [&](size_t i) {
        return sink.size() + layouts.formats[i].length + 2 <= file.fileSize;
      };
      if (!fits(index)) index = 0;
      if (!fits(index)) break;
    } else if (records == request.records) {
      break;
    }
    fillRecord(layouts.formats[index], 1, values, record);
    if (index == 0) {
      record[9] = 0xF0;
      std::fill(&record[10], &record[14], random.oneIn(2) ? 0x40 : 0xF0);
    } else if (reads275(record)) {
      record[9] = 0xF1;  // a School whose text would read as a District header
    }
    sink.append(record.data(), record.size());
    sink.append(kCrLf, 2);
    ++records;
  }
  return records;
}

}  // namespace

SampleSummary writeSample(const SampleRequest& request, const std::string& path) {
  const YearFile* file = findYearFile(request.year);
  if (file == nullptr) {
    throw std::invalid_argument("unsupported year " + std::to_string(request.year));
  }
  const YearLayouts layouts = layoutsForYear(request.year);
  // The year takes part in the seed so that one seed gives unrelated samples across years.
  SplitMix64 random(request.seed * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(request.year));
  ValueMaker values(random, request.values);
  ByteSink sink(path);

  SampleSummary summary;
  switch (file->framing) {
    case Framing::kFfRecords:
      summary.records = writeFfRecords(*file, layouts.formats[0], request, random, values, sink);
      break;
    case Framing::kFixedRecords:
      summary.records = writeFixedRecords(*file, layouts, request, random, values, sink);
      break;
    case Framing::kBytes78:
      summary.records = write78Records(*file, layouts, request, random, values, sink);
      break;
  }
  sink.finish();
  summary.bytes = sink.size();
  return summary;
}

}  // namespace sample
