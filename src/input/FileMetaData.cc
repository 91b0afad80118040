#include "input/FileMetaData.h"

#include <array>

#include "core/Error.h"

namespace {

struct YearEntry {
  std::int32_t year;
  FileMetaData layout;
};

// clang-format off
constexpr std::array<YearEntry, 13> kFileLayouts = {{
    // year  recordLen  blockLen  listedNumRecs   fileSize
    {68,   {      804,     3200,         27237,  14289840}},
    {69,   {      804,     3220,          9920,   5695110}},
    {70,   {      804,     3220,         29280,  15772491}},
    {71,   {      804,     3220,         38322,  23015934}},
    {72,   {      804,     4024,         55693,  34387731}},
    {73,   {      804,     3220,         39087,  23047974}},
    {74,   {      804,     3220,         43924,  25154604}},
    {76,   {      804,     3220,        157145,  89358759}},
    {78,   {      870,    12960,         79509,  48558618}},
    {80,   {     2644,    10580,         72020, 147896000}},
    {82,   {     2804,    11220,         46712, 110625495}},
    {86,   {     2804,    11220,         53696, 120487816}},
    {88,   {     2804,    11220,         61400, 137593523}},
}};
// clang-format on

}  // namespace

FileMetaData fileMetaDataForYear(std::int32_t year) {
  for (const YearEntry& entry : kFileLayouts) {
    if (entry.year == year) return entry.layout;
  }
  throwMessage("could not find metadata for year ", static_cast<std::uint32_t>(year));
}
