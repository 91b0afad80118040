#include "YearFile.h"

#include <stdexcept>

namespace sample {

const std::vector<YearFile>& allYearFiles() {
  // year, recordLen, blockLen, fileSize, framing
  static const std::vector<YearFile> kFiles = {
      {68, 804, 3200, 14289840, Framing::kFfRecords},
      {69, 804, 3220, 5695110, Framing::kFfRecords},
      {70, 804, 3220, 15772491, Framing::kFfRecords},
      {71, 804, 3220, 23015934, Framing::kFfRecords},
      {72, 804, 4024, 34387731, Framing::kFfRecords},
      {73, 804, 3220, 23047974, Framing::kFfRecords},
      {74, 804, 3220, 25154604, Framing::kFfRecords},
      {76, 804, 3220, 89358759, Framing::kFfRecords},
      {78, 870, 12960, 48558618, Framing::kBytes78},
      {80, 2644, 10580, 147896000, Framing::kFixedRecords},
      {82, 2804, 11220, 110625495, Framing::kFixedRecords},
      {86, 2804, 11220, 120487816, Framing::kFixedRecords},
      {88, 2804, 11220, 137593523, Framing::kFixedRecords},
  };
  return kFiles;
}

const YearFile* findYearFile(int year) {
  for (const YearFile& file : allYearFiles()) {
    if (file.year == year) return &file;
  }
  return nullptr;
}

uint32_t fullSizeRecordCount(const YearFile& file) {
  const uint32_t perRecord = file.recordLen - 3;
  if (file.fileSize % perRecord != 0) {
    throw std::logic_error("no record count matches the size table for year " +
                           std::to_string(file.year));
  }
  return file.fileSize / perRecord - 1;
}

}  // namespace sample
