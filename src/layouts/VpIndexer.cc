#include "layouts/VpIndexer.h"

#include <cstdint>

#include "core/Error.h"

namespace {

constexpr char kTooShort[] = "record too short to tell its format";

}  // namespace

unsigned VpIndexer8082::index(const std::vector<AddressValuePair>& record) const {
  if (position_ == 0 || record.size() < position_) throwMessage(kTooShort);
  return record[position_ - 1].value.value() != 0 ? 1 : 0;
}

unsigned VpIndexer8688::index(const std::vector<AddressValuePair>& record) const {
  constexpr std::size_t kDiscriminantPosition = 2;
  if (record.size() < kDiscriminantPosition) throwMessage(kTooShort);
  // Discriminants 1 to 3 map to formats 0 to 2; 0 wraps round to a huge index and fails.
  const std::uint32_t format = record[kDiscriminantPosition - 1].value.value() - 1;
  if (format > 2) throwMessage("unrecognized 86 discriminant");
  return format;
}
