#include "tables/TableSchema.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "core/Error.h"
#include "layouts/Vp.h"
#include "typing/ValueFormat.h"

namespace {

// The name of the column of `address` and the address: "a7\t7".
void appendColumnName(std::string& out, std::uint64_t address) {
  out += "a";
  appendDecimal(out, address);
  out += "\t";
  appendDecimal(out, address);
}

void appendExactFloat(std::string& out, std::uint32_t bits) {
  char exact[kMaxExactFractionChars];
  out.append(exact, formatExactFraction(exact, bits));
}

// The cells after a column's name and address: type letter, column type,
// constant, min, max. `numbers` are the bounds of a float column's numbers.
void appendExtent(std::string& out, const Extent<TypedValue>& extent, const FloatBounds& numbers) {
  const auto [min, max] = extent.get();
  out.append(1, typeLetterOf(min.type));
  out += "\t";
  out += columnType(min.type);
  if (min.type != TypedValue::F) {
    out += isConstant(extent) ? "\tyes\t" : "\tno\t";
    appendTypedValue(out, min);
    out += "\t";
    appendTypedValue(out, max);
    out += "\n";
    return;
  }
  // A column of NaNs alone keeps the statistics' bounds.
  std::uint32_t least = min.number();
  std::uint32_t greatest = max.number();
  bool constant = isConstant(extent);
  if (numbers.defined) {
    least = numbers.least;
    greatest = numbers.greatest;
    constant = orderOf(TypedValue::F, least, {}, greatest, {}) == Order::Equal;
  }
  out += constant ? "\tyes\t" : "\tno\t";
  appendExactFloat(out, least);
  out += "\t";
  appendExactFloat(out, greatest);
  out += "\n";
}

}  // namespace

void FloatBounds::add(std::uint32_t bits) {
  if (std::isnan(std::bit_cast<float>(bits))) return;
  if (!defined) {
    defined = true;
    least = bits;
    greatest = bits;
    return;
  }
  widenBounds(TypedValue::F, bits, least, greatest);
}

void appendDecimal(std::string& out, std::uint64_t n) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, n);
  out.append(digits, result.ptr);
}

std::uint32_t tableWidth(const Vp& layout) {
  const auto entries = layout.entries();
  std::uint32_t width = entries.empty() ? 0 : static_cast<std::uint32_t>(entries.size() - 1);
  for (const VpInfo& entry : entries) {
    if (entry.tag == VpInfo::BitArray) width = std::max(width, entry.additionalInfo + 31);
    if (entry.tag == VpInfo::ByteArray) width = std::max(width, entry.additionalInfo + 3);
  }
  return width;
}

std::string_view columnType(std::uint32_t type) {
  switch (type) {
    case TypedValue::U:
      return "uint32";
    case TypedValue::I:
      return "int32";
    case TypedValue::F:
      return "float32";
    case TypedValue::S:
      return "string";
    default:
      failUnrecognizedType();
  }
}

std::string schemaText(const TableExtent& table, const FormatStatistics& statistics) {
  std::string out(kSchemaHeader);
  out += "record\t\tu\tuint32\t";
  out += table.rows == 1 ? "yes\t" : "no\t";
  appendDecimal(out, table.firstLine);
  out += "\t";
  appendDecimal(out, table.lastLine);
  out += "\n";
  // Columns before `next` are written; those without a value get only their
  // name, address and column type.
  std::uint64_t next = 1;
  const auto emptyColumnsBefore = [&](std::uint64_t stop) {
    for (; next < stop; ++next) {
      appendColumnName(out, next);
      out += "\t\tstring\t\t\t\n";
    }
  };
  statistics.forEachAddress([&](std::uint32_t address, const Extent<TypedValue>& extent) {
    if (address == 0 || address > table.width) return;
    emptyColumnsBefore(address);
    appendColumnName(out, address);
    out += "\t";
    appendExtent(out, extent,
                 address < table.floats.size() ? table.floats[address] : FloatBounds{});
    next = address + std::uint64_t{1};
  });
  emptyColumnsBefore(table.width + std::uint64_t{1});
  return out;
}
