#include "layouts/VpInfo.h"

#include "core/Error.h"

std::string tagName(std::int32_t tag) {
  switch (tag) {
    case VpInfo::String:
      return "String";
    case VpInfo::Constant:
      return "Constant";
    case VpInfo::BitArray:
      return "BitArray";
    case VpInfo::ByteArray:
      return "ByteArray";
    default:
      throwMessage("unrecognized VpInfo tag");
  }
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
