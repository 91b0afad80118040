#include "layouts/LayoutsTestUtil.h"
#include "layouts/Vp6874.h"
#include "layouts/Vp76.h"
#include "layouts/Vp78.h"
#include "layouts/Vp80.h"
#include "layouts/Vp82.h"
#include "layouts/Vp8688.h"

void PrintTo(const VpInfo& entry, std::ostream* out) {
  *out << "(" << entry.additionalInfo << ", tag " << entry.tag << ")";
}

const std::vector<NamedLayout>& allLayouts() {
  static const std::vector<NamedLayout> layouts = {
      {"Vp6874", Vp6874::instance()},
      {"Vp69", Vp69::instance()},
      {"Vp71", Vp71::instance()},
      {"Vp74", Vp74::instance()},
      {"Vp76", Vp76::instance()},
      {"Vp78_District", Vp78_District::instance()},
      {"Vp78_School", Vp78_School::instance()},
      {"Vp80_District", Vp80_District::instance()},
      {"Vp80_School", Vp80_School::instance()},
      {"Vp82_District", Vp82_District::instance()},
      {"Vp82_School", Vp82_School::instance()},
      {"Vp8688_District (86)", Vp8688_District::year86()},
      {"Vp8688_District (88)", Vp8688_District::year88()},
      {"Vp8688_School", Vp8688_School::instance()},
      {"Vp8688_District_Summary", Vp8688_District_Summary::instance()},
  };
  return layouts;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> expectedExpansionReport(const std::vector<std::string>& rows) {
  std::vector<std::string> lines = {
      "Field expansions",
      "Key:",
      "o.lb\tlower bound of original range",
      "o.ub\tupper bound of original range",
      "o.s\tsize of original range",
      "o.cf\tcompression factor (values per field) of original range",
      "e.lb\tlower bound of expanded range",
      "e.ub\tupper bound of expanded range",
      "e.s\tsize of expanded range",
      "o.lb\to.ub\to.s\to.cf\te.lb\te.ub\te.s",
  };
  for (std::string row : rows) {
    for (char& c : row) {
      if (c == ' ') c = '\t';
    }
    lines.push_back(row);
  }
  return lines;
}
