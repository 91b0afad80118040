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

TableExtent TableExtent::ofWidth(std::uint32_t width) {
  TableExtent extent;
  extent.width = width;
  extent.floats.resize(std::size_t{width} + 1);
  return extent;
}

void TableExtent::add(const TypedRecord& record, std::uint64_t line) {
  if (rows++ == 0) firstLine = line;
  lastLine = line;
  // Packed fields hold only unsigned values, so the floats are listed cells.
  const TypedCell* const cells = record.listedCells();
  for (std::size_t k = 0; k < record.listedCount(); ++k) {
    if (cells[k].type == TypedValue::F) floats[cells[k].address].add(cells[k].word);
  }
}

std::string layoutColumnTypes(const Vp& layout) {
  const std::uint32_t width = tableWidth(layout);
  std::string types(std::size_t{width} + 1, '\0');
  const auto set = [&](std::uint32_t address, char type) {
    if (address <= width) types[address] = type;
  };
  for (std::uint32_t address = 1; address <= width; ++address) {
    const VpInfo info = layout.info(address);
    switch (info.tag) {
      case VpInfo::String:
      case VpInfo::SingleChar:
        set(address, 's');
        break;
      case VpInfo::Float:
        set(address, 'f');
        break;
      case VpInfo::Unsigned:
        set(address, 'u');
        break;
      case VpInfo::Signed:
      case VpInfo::Signed16:
        set(address, 'i');
        break;
      case VpInfo::BitArray:
      case VpInfo::ByteArray: {
        const std::uint32_t count = info.tag == VpInfo::BitArray ? 32 : 4;
        for (std::uint32_t k = 0; k < count; ++k) set(info.additionalInfo + k, 'u');
        break;
      }
      default:
        break;
    }
  }
  return types;
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
