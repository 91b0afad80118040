#ifndef SURVEY_TOOLS_SURVEY_DAMAGE_DAMAGE_H_
#define SURVEY_TOOLS_SURVEY_DAMAGE_DAMAGE_H_

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "survey-sample/SplitMix64.h"

// The damage a tape or a transfer does to a file, one kind at a time, for the
// tests and the damage campaign (the survey-damage tool) alike.
namespace damage {

enum class Kind { kFlip, kDelete, kInsert, kLoseCrLf, kOverwrite, kTruncate, kDuplicate };

inline constexpr Kind kAllKinds[] = {Kind::kFlip,     Kind::kDelete,    Kind::kInsert,
                                     Kind::kLoseCrLf, Kind::kOverwrite, Kind::kTruncate,
                                     Kind::kDuplicate};

inline const char* nameOf(Kind kind) {
  switch (kind) {
    case Kind::kFlip:
      return "flip";
    case Kind::kDelete:
      return "delete";
    case Kind::kInsert:
      return "insert";
    case Kind::kLoseCrLf:
      return "lose-crlf";
    case Kind::kOverwrite:
      return "overwrite";
    case Kind::kTruncate:
      return "truncate";
    case Kind::kDuplicate:
      return "duplicate";
  }
  return "";
}

inline std::optional<Kind> kindNamed(std::string_view name) {
  for (Kind kind : kAllKinds) {
    if (name == nameOf(kind)) return kind;
  }
  return std::nullopt;
}

// What was done: from file offset `at` on, `removed` bytes of the intact
// file were replaced by `added` new ones (a truncation removes the rest).
struct Done {
  Kind kind;
  std::uint64_t at;
  std::uint64_t removed;
  std::uint64_t added;
};

// Damages `file` at offset `at` (a lost CR LF: the first pair at or after
// it; a duplicated block: the block starting there, inserted after
// itself); `seed` picks the new bytes and the lengths: 1 to 7 bytes deleted
// or inserted, 64 overwritten, a block of 16 to 2048 bytes duplicated.
inline Done damageAt(std::string& file, Kind kind, std::uint64_t at, std::uint64_t seed) {
  sample::SplitMix64 random(seed);
  at = std::min<std::uint64_t>(at, file.size());
  auto randomBytes = [&](std::uint64_t n) {
    std::string bytes;
    for (std::uint64_t i = 0; i < n; ++i) bytes += static_cast<char>(random.below(256));
    return bytes;
  };
  switch (kind) {
    case Kind::kFlip:
      if (at == file.size()) return {kind, at, 0, 0};
      file[at] = static_cast<char>(file[at] ^ (1 + random.below(255)));
      return {kind, at, 1, 1};
    case Kind::kDelete: {
      const std::uint64_t n = std::min<std::uint64_t>(1 + random.below(7), file.size() - at);
      file.erase(at, n);
      return {kind, at, n, 0};
    }
    case Kind::kInsert: {
      const std::uint64_t n = 1 + random.below(7);
      file.insert(at, randomBytes(n));
      return {kind, at, 0, n};
    }
    case Kind::kLoseCrLf: {
      const std::size_t pair = file.find("\r\n", at);
      if (pair == std::string::npos) return {kind, file.size(), 0, 0};
      file.erase(pair, 2);
      return {kind, pair, 2, 0};
    }
    case Kind::kOverwrite: {
      const std::uint64_t n = std::min<std::uint64_t>(64, file.size() - at);
      file.replace(at, n, randomBytes(n));
      return {kind, at, n, n};
    }
    case Kind::kTruncate: {
      const std::uint64_t removed = file.size() - at;
      file.resize(at);
      return {kind, at, removed, 0};
    }
    case Kind::kDuplicate: {
      const std::uint64_t n = std::min<std::uint64_t>(16 + random.below(2033), file.size() - at);
      file.insert(at + n, file.substr(at, n));
      return {kind, at + n, 0, n};
    }
  }
  return {kind, at, 0, 0};
}

// The same at an offset that `seed` picks.
inline Done damage(std::string& file, Kind kind, std::uint64_t seed) {
  sample::SplitMix64 random(seed ^ 0x5DEECE66Dull);
  const std::uint64_t at = file.empty() ? 0 : (random.next() % file.size());
  return damageAt(file, kind, at, seed);
}

}  // namespace damage

#endif  // SURVEY_TOOLS_SURVEY_DAMAGE_DAMAGE_H_
