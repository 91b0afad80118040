#ifndef SURVEY_FRAMING_RECORDIFIER78_H_
#define SURVEY_FRAMING_RECORDIFIER78_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Stream.h"
#include "core/Upstream.h"

// Frames the year-78 file: EBCDIC records of 275 or 866 bytes, the length told
// by their 14-byte header, each followed by CR LF.
class Recordifier78 : public Stream<std::vector<unsigned char>> {
 public:
  static constexpr std::size_t kHeaderLength = 14;
  static constexpr std::size_t kShortLength = 275;
  static constexpr std::size_t kLongLength = 866;

  // `upstream` (not owned) is the Reader and must outlive this stage.
  Recordifier78(std::uint32_t year, Stream<unsigned char>* upstream);

  // Fills `record` with the next record, header included, CR LF left out, and
  // returns true; returns false with `record` empty when the input ended
  // exactly after a record's CR LF.
  // Whether the last get() failed before its record was framed.
  bool midRecord() const { return midRecord_; }

  bool get(std::vector<unsigned char>& record) override;

  // Length of the record that starts with `header` (kHeaderLength bytes).
  static std::size_t RecordLength(const unsigned char* header);

  const std::uint32_t year;
  Upstream<unsigned char> upstream;

 private:
  bool midRecord_ = false;
};

#endif  // SURVEY_FRAMING_RECORDIFIER78_H_
