#include "layouts/VpForYear.h"

#include <cstdint>

#include "core/Error.h"
#include "layouts/Vp6874.h"
#include "layouts/Vp76.h"
#include "layouts/Vp78.h"
#include "layouts/Vp80.h"
#include "layouts/Vp82.h"
#include "layouts/Vp8688.h"
#include "layouts/VpForYearVaryingByRecordFmt.h"
#include "layouts/VpIndexer.h"

// Every provider, indexer and layout is a function-local static, built on first use, so
// nothing here depends on the order in which translation units are initialised.

namespace {

using PairProvider = VpForYearVaryingByRecordFmt<AddressValuePair>;

// Years 68 to 76: one format.
class VpForYearInvariant final : public PairProvider {
 public:
  explicit VpForYearInvariant(const Vp& layout) : PairProvider(zero(), {&layout}) {}

 private:
  class VpIndexerZero final : public VpIndexer<AddressValuePair> {
   public:
    unsigned index(const std::vector<AddressValuePair>&) const override { return 0; }
  };

  static const VpIndexerZero& zero() {
    static const VpIndexerZero indexer;
    return indexer;
  }
};

// Year 78: byte records told apart by their length.
class VpForYearVaryingByRecordFmt78 final : public VpForYearVaryingByRecordFmt<unsigned char> {
 public:
  VpForYearVaryingByRecordFmt78()
      : VpForYearVaryingByRecordFmt(local(),
                                    {&Vp78_District::instance(), &Vp78_School::instance()}) {}

 private:
  class VpIndexerLocal final : public VpIndexer<unsigned char> {
   public:
    unsigned index(const std::vector<unsigned char>& record) const override {
      if (record.size() == 275) return 0;
      if (record.size() == 866) return 1;
      throwMessage("unrecognized len of 78 rec");
    }
  };

  static const VpIndexerLocal& local() {
    static const VpIndexerLocal indexer;
    return indexer;
  }
};

const VpIndexer8688& indexer8688() {
  static const VpIndexer8688 indexer;
  return indexer;
}

class VpForYearVaryingByRecordFmt80 final : public PairProvider {
 public:
  VpForYearVaryingByRecordFmt80()
      : PairProvider(indexer(), {&Vp80_District::instance(), &Vp80_School::instance()}) {}

 private:
  static const VpIndexer8082& indexer() {
    static const VpIndexer8082 indexer(2);
    return indexer;
  }
};

class VpForYearVaryingByRecordFmt82 final : public PairProvider {
 public:
  VpForYearVaryingByRecordFmt82()
      : PairProvider(indexer(), {&Vp82_District::instance(), &Vp82_School::instance()}) {}

 private:
  static const VpIndexer8082& indexer() {
    static const VpIndexer8082 indexer(3);
    return indexer;
  }
};

class VpForYearVaryingByRecordFmt86 final : public PairProvider {
 public:
  VpForYearVaryingByRecordFmt86()
      : PairProvider(indexer8688(), {&Vp8688_District::year86(), &Vp8688_School::instance(),
                                     &Vp8688_District_Summary::instance()}) {}
};

class VpForYearVaryingByRecordFmt88 final : public PairProvider {
 public:
  VpForYearVaryingByRecordFmt88()
      : PairProvider(indexer8688(), {&Vp8688_District::year88(), &Vp8688_School::instance(),
                                     &Vp8688_District_Summary::instance()}) {}
};

}  // namespace

const VpForYear<AddressValuePair>& providerForYear(int year) {
  const auto unsignedYear = static_cast<std::uint32_t>(year);
  switch (unsignedYear) {
    case 68:
    case 70:
    case 72:
    case 73: {
      static const VpForYearInvariant provider(Vp6874::instance());
      return provider;
    }
    case 69: {
      static const VpForYearInvariant provider(Vp69::instance());
      return provider;
    }
    case 71: {
      static const VpForYearInvariant provider(Vp71::instance());
      return provider;
    }
    case 74: {
      static const VpForYearInvariant provider(Vp74::instance());
      return provider;
    }
    case 76: {
      static const VpForYearInvariant provider(Vp76::instance());
      return provider;
    }
    case 78:
      throwMessage("78 handled differently");
    case 80: {
      static const VpForYearVaryingByRecordFmt80 provider;
      return provider;
    }
    case 82: {
      static const VpForYearVaryingByRecordFmt82 provider;
      return provider;
    }
    case 86: {
      static const VpForYearVaryingByRecordFmt86 provider;
      return provider;
    }
    case 88: {
      static const VpForYearVaryingByRecordFmt88 provider;
      return provider;
    }
    default:
      throwMessage("unrecognized year ", unsignedYear);
  }
}

const VpForYear<unsigned char>& providerForYear78() {
  static const VpForYearVaryingByRecordFmt78 provider;
  return provider;
}
