#ifndef SURVEY_LAYOUTS_VPINFO_H_
#define SURVEY_LAYOUTS_VPINFO_H_

#include <cstdint>
#include <string>
#include <string_view>

// A layout's answer for one address: the kind of value there (`tag`) and the
// one number that kind needs (`additionalInfo`, 0 where it needs none).
struct VpInfo {
  enum Tag : std::int32_t {
    String = 0,  // additionalInfo: last address of the string, inclusive
    Float = 1,
    Constant = 2,  // additionalInfo: the expected value (or 0)
    Skip = 3,
    Unsigned = 4,
    Signed = 5,
    BitArray = 6,   // additionalInfo: first expanded address
    ByteArray = 7,  // additionalInfo: first expanded address
    Signed16 = 8,
    SingleChar = 9,
    NoEntry = 10,
  };

  std::uint32_t additionalInfo = 0;
  std::int32_t tag = NoEntry;

  // Guarded access to the parameter: fails unless `wanted` is this entry's tag.
  std::uint32_t& additionalInfoLhs(std::int32_t wanted);
  std::uint32_t additionalInfoRhs(std::int32_t wanted) const;

  friend bool operator==(const VpInfo&, const VpInfo&) = default;
};

// "String", "Constant", "BitArray" or "ByteArray"; any other tag fails with
// "unrecognized VpInfo tag".
std::string tagName(std::int32_t tag);

// The name of every tag, as the enumeration spells it; "tag N" for a number
// that is none.
std::string entryTagName(std::int32_t tag);

// The name of record format `format` (see Vp::recordFormat()), as reports
// and file names give it: "District", "School" or "District_Summary". Fails
// with "no name for record format N" for any other.
std::string_view recordFormatName(unsigned format);

#endif  // SURVEY_LAYOUTS_VPINFO_H_
