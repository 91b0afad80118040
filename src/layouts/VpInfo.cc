#include "layouts/VpInfo.h"

#include <iterator>

#include "core/Error.h"

std::string tagName(std::int32_t tag) {
  switch (tag) {
    case VpInfo::String:
    case VpInfo::Constant:
    case VpInfo::BitArray:
    case VpInfo::ByteArray:
      return entryTagName(tag);
    default:
      throwMessage("unrecognized VpInfo tag");
  }
}

std::string entryTagName(std::int32_t tag) {
  static constexpr const char* kNames[] = {"String",   "Float",      "Constant", "Skip",
                                           "Unsigned", "Signed",     "BitArray", "ByteArray",
                                           "Signed16", "SingleChar", "NoEntry"};
  if (tag < 0 || tag > VpInfo::NoEntry) return "tag " + std::to_string(tag);
  return kNames[tag];
}

std::string_view recordFormatName(unsigned format) {
  static constexpr std::string_view kNames[] = {"District", "School", "District_Summary"};
  if (format >= std::size(kNames)) throwMessage("no name for record format ", format);
  return kNames[format];
}

// The message names the tag that was asked for; naming it fails first when that tag has
// no name, which is why a nameless tag reports "unrecognized VpInfo tag" instead.
std::uint32_t& VpInfo::additionalInfoLhs(std::int32_t wanted) {
  if (tag != wanted) throwMessage("additionalInfoLhs called on non-", tagName(wanted));
  return additionalInfo;
}

std::uint32_t VpInfo::additionalInfoRhs(std::int32_t wanted) const {
  if (tag != wanted) throwMessage("additionalInfoRhs called on non-", tagName(wanted));
  return additionalInfo;
}
