#ifndef SURVEY_FRAMING_ADDRESSVALUEIFIER_H_
#define SURVEY_FRAMING_ADDRESSVALUEIFIER_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "core/AddressValuePair.h"
#include "core/Quartet.h"
#include "core/Stream.h"
#include "core/Upstream.h"
#include "framing/Framing.h"

// Turns each framed record of quartets into address/value pairs, as the
// year's framing says: in FF-records every value follows its explicit address
// quartet, in fixed-length records the n-th quartet stands at address n.
class AddressValueifier : public Stream<std::vector<AddressValuePair>> {
 public:
  // `upstream` (not owned) is the framer and must outlive this stage.
  // `framing` is that of `year`'s row, none for a year without a row; only
  // get() refuses a year, and only a chain built wrongly gives it one to refuse.
  AddressValueifier(std::uint32_t year, std::optional<Framing> framing,
                    Stream<std::vector<Quartet>>* upstream);

  // Fills `pairs` with the next record's pairs in input order and returns
  // true; returns false, leaving `pairs` as it was, when the framer has no
  // more records.
  bool get(std::vector<AddressValuePair>& pairs) override;

  // The framed quartets of the record the last get() delivered; valid until
  // the next get().
  const std::vector<Quartet>& lastRecord() const { return record_; }

  // The pairs of the framed `record` for a year of the quartet framing
  // `framing`, in input order, into `pairs`; as get() makes them.
  static void pairsOf(Framing framing, const std::vector<Quartet>& record,
                      std::vector<AddressValuePair>& pairs);
  // Where pair `k` of a framed record of `framing` has its value: the index
  // of that quartet in the record.
  static std::size_t valueQuartet(Framing framing, std::size_t k) {
    return framing == Framing::kFfRecords ? 2 * k + 1 : k;
  }

  const std::uint32_t year;
  Upstream<std::vector<Quartet>> upstream;

 private:
  std::vector<Quartet> record_;  // reused from record to record
  const std::optional<Framing> framing_;
};

#endif  // SURVEY_FRAMING_ADDRESSVALUEIFIER_H_
