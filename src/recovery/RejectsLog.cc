#include "recovery/RejectsLog.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::size_t kShownBytes = 64;

std::string hexOf(const unsigned char* bytes, std::size_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

}  // namespace

std::string rejectionText(const std::string& message) {
  std::string_view text = message;
  constexpr std::string_view kPrefix = "At record ";
  if (text.substr(0, kPrefix.size()) == kPrefix) {
    std::size_t digits = kPrefix.size();
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) {
      ++digits;
    }
    if (digits > kPrefix.size() && text.substr(digits, 2) == ", ") text.remove_prefix(digits + 2);
  }
  std::string cleaned(text);
  std::replace_if(
      cleaned.begin(), cleaned.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
      ' ');
  return cleaned;
}

void RejectsLog::reject(std::uint64_t linesBefore, std::uint64_t start, const std::string& message,
                        Reader& reader, std::uint64_t records) {
  rejected_ += records;
  if (openStretch_) {
    openStretch_->records += records;
    return;
  }
  const unsigned char* bytes;
  const std::uint64_t from = std::max(start, reader.oldestKept());
  const std::size_t shown = reader.view(from, kShownBytes, bytes);
  openStretch_ =
      Stretch{linesBefore, start, records, rejectionText(message), hexOf(bytes, shown), 0};
}

void RejectsLog::closeStretch(std::uint64_t resumed) {
  Stretch stretch = std::move(*openStretch_);
  openStretch_.reset();
  stretch.resumed = resumed;
  closed_(stretch);
}

void RejectsLog::writeRow(const Stretch& s, std::ostream& out) {
  out << s.linesBefore << '\t' << s.start << '\t' << s.resumed << '\t' << s.records << '\t'
      << s.message << '\t' << s.firstBytes << '\n';
}

RejectsLog RejectsLog::writingTo(std::function<std::ostream&()> open) {
  return RejectsLog([open = std::move(open),
                     out = static_cast<std::ostream*>(nullptr)](const Stretch& stretch) mutable {
    if (out == nullptr) {
      out = &open();
      *out << kHeader;
    }
    writeRow(stretch, *out);
  });
}
