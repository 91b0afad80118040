#ifndef SURVEY_LAYOUTS_VPINDEXER_H_
#define SURVEY_LAYOUTS_VPINDEXER_H_

#include <vector>

#include "core/AddressValuePair.h"

// Tells a record's format: the index of its layout in the provider's list. Indexers are
// immutable static objects, never owned by the providers that point at them.
template <class T>
class VpIndexer {
 public:
  // The record-format index of `record`, always below the provider's layout count; fails
  // when the record does not say. Reads nothing past the record's end.
  virtual unsigned index(const std::vector<T>& record) const = 0;

 protected:
  ~VpIndexer() = default;
};

// Years 80 and 82: School (1) when any byte of the value at 1-based record position
// `position` is non-zero, District (0) when all four are zero.
class VpIndexer8082 final : public VpIndexer<AddressValuePair> {
 public:
  explicit VpIndexer8082(unsigned position) : position_(position) {}
  // Fails with "record too short to tell its format" when the record has no such position.
  unsigned index(const std::vector<AddressValuePair>& record) const override;

 private:
  unsigned position_;
};

// Years 86 and 88: the second value, read big-endian, is 1 District, 2 School or
// 3 District_Summary; anything else fails with "unrecognized 86 discriminant".
class VpIndexer8688 final : public VpIndexer<AddressValuePair> {
 public:
  // Also fails with "record too short to tell its format" below two values.
  unsigned index(const std::vector<AddressValuePair>& record) const override;
};

#endif  // SURVEY_LAYOUTS_VPINDEXER_H_
