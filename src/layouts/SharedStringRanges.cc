#include "layouts/SharedStringRanges.h"

namespace {

constexpr StringRange kDistrict[] = {
    {4, 11}, {12, 19}, {20, 23}, {24, 27}, {28, 28}, {29, 30},
};

constexpr StringRange kSchool[] = {
    {4, 11},
    {12, 18},
    {19, 20},
};

}  // namespace

const StringRanges& districtStringRanges() {
  static const StringRanges ranges(kDistrict);
  return ranges;
}

const StringRanges& schoolStringRanges() {
  static const StringRanges ranges(kSchool);
  return ranges;
}
