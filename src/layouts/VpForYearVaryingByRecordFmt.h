#ifndef SURVEY_LAYOUTS_VPFORYEARVARYINGBYRECORDFMT_H_
#define SURVEY_LAYOUTS_VPFORYEARVARYINGBYRECORDFMT_H_

#include <ostream>
#include <utility>
#include <vector>

#include "layouts/Vp.h"
#include "layouts/VpForYear.h"
#include "layouts/VpIndexer.h"

// A provider made of an indexer and the layouts it chooses from, listed by record-format
// index. Points at both; owns neither.
template <class T>
class VpForYearVaryingByRecordFmt : public VpForYear<T> {
 public:
  const Vp& vpFor(const std::vector<T>& record) const override {
    return *layouts_[indexer_->index(record)];
  }

  // `index` must be a record-format index of this year, as `recordFormat` gives them.
  void printFieldExpansions(std::ostream& out, unsigned index) const override {
    layouts_[index]->printFieldExpansions(out);
  }

 protected:
  // Layout i of `layouts` must answer `recordFormat` with i.
  VpForYearVaryingByRecordFmt(const VpIndexer<T>& indexer, std::vector<const Vp*> layouts)
      : indexer_(&indexer), layouts_(std::move(layouts)) {}
  ~VpForYearVaryingByRecordFmt() = default;

 private:
  const VpIndexer<T>* indexer_;
  std::vector<const Vp*> layouts_;
};

#endif  // SURVEY_LAYOUTS_VPFORYEARVARYINGBYRECORDFMT_H_
