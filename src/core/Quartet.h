#ifndef SURVEY_CORE_QUARTET_H_
#define SURVEY_CORE_QUARTET_H_

#include <array>
#include <cstdint>

// Four input bytes, kept in input order. As a number, always big-endian.
struct Quartet {
  std::array<unsigned char, 4> bytes{};

  std::uint32_t value() const {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
  }
  friend bool operator==(const Quartet&, const Quartet&) = default;
};

// Markers of the FF-record format.
inline constexpr Quartet endOfRecordQuartet{{0xFF, 0xFF, 0xFF, 0xFF}};
inline constexpr Quartet endOfDataQuartet{{0xFF, 0xFF, 0xFF, 0xFE}};

#endif  // SURVEY_CORE_QUARTET_H_
