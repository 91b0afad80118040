#include "tables/TableRow.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/Error.h"
#include "typing/ValueFormat.h"

namespace {

// One past the `count`th tab from `p`, or null when the text up to `end`
// holds fewer. Lines have thousands of fields and floats stand far apart, so
// the tabs are counted eight bytes at a time.
const char* skipTabs(const char* p, const char* end, std::uint32_t count) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  constexpr std::uint64_t kTabs = 0x0909090909090909ull;
  while (count > 0 && end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    const std::uint64_t x = word ^ kTabs;
    // The high bit of every byte of `word` that is a tab, and no other: a
    // byte's low seven bits plus 0x7F carry into its high bit unless all are
    // zero, without reaching the next byte.
    const std::uint64_t tabs = ~(((x & kLow7) + kLow7) | x | kLow7);
    // Their count, summed into the top byte by one multiplication (a
    // population count is a library call on the default target).
    const auto found = static_cast<std::uint32_t>(((tabs >> 7) * 0x0101010101010101ull) >> 56);
    if (found >= count) break;
    count -= found;
    p += 8;
  }
  for (; count > 0; ++p) {
    if (p == end) return nullptr;
    count -= *p == '\t';
  }
  return p;
}

}  // namespace

void appendRow(std::string& rows, std::uint64_t number, const TypedRecord& record,
               std::string_view line, std::uint32_t width) {
  const std::size_t before = rows.size();
  appendDecimal(rows, number);
  if (width == 0) {
    rows += "\n";
    return;
  }
  rows += "\t";
  const char* const end = line.data() + line.size();
  // `copied` is where the line's text not yet in the row starts, `field`
  // where the field of address `column` starts.
  const char* copied = line.data();
  const char* field = copied;
  std::uint32_t column = 1;
  // Packed fields hold only unsigned values, so the floats are listed cells.
  const TypedCell* const cells = record.listedCells();
  for (std::size_t k = 0; k < record.listedCount(); ++k) {
    const TypedCell& cell = cells[k];
    if (cell.type != TypedValue::F) continue;
    field = skipTabs(field, end, cell.address - column);
    if (field == nullptr) {
      rows.resize(before);
      throwMessage("line ", number, " lacks field ", cell.address);
    }
    column = cell.address;
    rows.append(copied, field);
    const void* const tab = std::memchr(field, '\t', static_cast<std::size_t>(end - field));
    copied = tab != nullptr ? static_cast<const char*>(tab) : end;
    char exact[kMaxExactFractionChars];
    rows.append(exact, formatExactFraction(exact, cell.word));
  }
  rows.append(copied, end);
  // An empty line is one empty cell.
  const std::uint32_t last = record.empty() ? 1 : std::max(record.lastAddress(), 1u);
  rows.append(width - last, '\t');
  rows += "\n";
}
