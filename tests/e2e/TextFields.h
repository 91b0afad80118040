#ifndef SURVEY_TESTS_E2E_TEXTFIELDS_H_
#define SURVEY_TESTS_E2E_TEXTFIELDS_H_

#include <string>
#include <vector>

// Every field of `text` split at `separator`, the empty ones included.
inline std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// The lines of `text`, each without its end.
inline std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines = split(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// `bytes` in lower-case hexadecimal, two digits each.
inline std::string hexOf(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

#endif  // SURVEY_TESTS_E2E_TEXTFIELDS_H_
