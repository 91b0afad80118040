#include "years/ProviderForYear.h"

#include <cstdint>
#include <memory>
#include <mutex>

#include "core/Error.h"
#include "layouts/Vp78.h"
#include "layouts/VpForYearVaryingByRecordFmt.h"
#include "layouts/VpIndexer.h"
#include "years/SurveyYear.h"

// Every provider, indexer and layout is a function-local static, built on first use, so
// nothing here depends on the order in which translation units are initialised.

namespace {

// A pair year's provider, made from its row of the survey-year table.
class TableProvider final : public VpForYearVaryingByRecordFmt<AddressValuePair> {
 public:
  explicit TableProvider(const SurveyYear& row)
      : VpForYearVaryingByRecordFmt(row.formatChooser(), layoutsOf(row)), row_(row) {}

  bool sameAs(const SurveyYear& row) const {
    return row.formatChooser == row_.formatChooser && row.layouts == row_.layouts;
  }

  static std::vector<const Vp*> layoutsOf(const SurveyYear& row) {
    std::vector<const Vp*> layouts;
    for (const auto& layout : row.layouts) {
      if (layout != nullptr) layouts.push_back(&layout());
    }
    return layouts;
  }

 private:
  const SurveyYear& row_;
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

}  // namespace

// Years whose rows list the same chooser and layouts share one provider.
const VpForYear<AddressValuePair>& providerForYear(int year) {
  const SurveyYear* row = findSurveyYear(year);
  if (row == nullptr) throwMessage("unrecognized year ", static_cast<std::uint32_t>(year));
  if (row->framing == Framing::kYear78) throwMessage("78 handled differently");
  static std::mutex guard;
  static std::vector<std::unique_ptr<TableProvider>> made;
  const std::lock_guard<std::mutex> lock(guard);
  for (const auto& provider : made) {
    if (provider->sameAs(*row)) return *provider;
  }
  made.push_back(std::make_unique<TableProvider>(*row));
  return *made.back();
}

std::vector<const Vp*> layoutsOfYear(int year) {
  const SurveyYear* row = findSurveyYear(year);
  if (row != nullptr && row->framing == Framing::kYear78) {
    return {&Vp78_District::instance(), &Vp78_School::instance()};
  }
  if (row == nullptr) throwMessage("unrecognized year ", static_cast<std::uint32_t>(year));
  return TableProvider::layoutsOf(*row);
}

const VpForYear<unsigned char>& providerForYear78() {
  static const VpForYearVaryingByRecordFmt78 provider;
  return provider;
}
