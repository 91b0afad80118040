#include "framing/AddressValueifier.h"

#include "core/Error.h"

AddressValueifier::AddressValueifier(std::uint32_t year, std::optional<Framing> framing,
                                     Stream<std::vector<Quartet>>* upstream)
    : year(year), upstream(upstream), framing_(framing) {
  name = "AddressValueifier";
}

bool AddressValueifier::get(std::vector<AddressValuePair>& pairs) {
  if (!upstream.get(record_)) return false;
  pairs.clear();
  if (record_.empty()) return true;
  // Only a chain built wrongly reaches the two refusals.
  if (framing_ == Framing::kYear78) throwMessage("78 unexpected in AddressValueifier::get", year);
  if (!framing_) throwMessage("unsupported year ", year, " in AddressValueifier::get");
  pairsOf(*framing_, record_, pairs);
  return true;
}

void AddressValueifier::pairsOf(Framing framing, const std::vector<Quartet>& record,
                                std::vector<AddressValuePair>& pairs) {
  pairs.clear();
  if (framing == Framing::kFfRecords) {
    std::size_t i = 0;
    for (; i + 1 < record.size(); i += 2) pairs.push_back({record[i].value(), record[i + 1]});
    if (i < record.size()) throwMessage("no val for addr ", record[i].value());
    return;
  }
  pairs.resize(record.size());
  for (std::size_t i = 0; i < record.size(); ++i) {
    pairs[i] = {static_cast<std::uint32_t>(i + 1), record[i]};
  }
}
