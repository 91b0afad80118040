#ifndef SURVEY_FRAMING_INTEGRATOR_H_
#define SURVEY_FRAMING_INTEGRATOR_H_

#include <cstdint>
#include <utility>
#include <vector>

#include "core/AddressValuePair.h"
#include "core/Stream.h"
#include "core/Upstream.h"

// Completes every record by carrying values forward: keeps the latest value of
// every address seen in the run and hands on all of them, in ascending address
// order, after each incoming record.
class Integrator : public Stream<std::vector<AddressValuePair>> {
 public:
  // `upstream` (not owned) is the AddressValueifier and must outlive this stage.
  explicit Integrator(Stream<std::vector<AddressValuePair>>* upstream);

  // Takes the next record into the latest values (a later pair for the same
  // address wins) and fills `pairs` with every address seen so far, each with
  // its latest value, ascending; returns false, leaving `pairs` as it was,
  // when the upstream has no more records.
  bool get(std::vector<AddressValuePair>& pairs) override;

  // For a run that skips damaged records: from here on each get() notes what
  // it changed, so that forgetLastRecord() can undo it.
  void keepUndo() { keepUndo_ = true; }
  // Takes the values of the record that the last get() took in back out of
  // the latest values, when a later stage refused that record. Does nothing
  // if that get() failed before taking a record in, or if it was undone.
  void forgetLastRecord();

  Upstream<std::vector<AddressValuePair>> upstream;

 private:
  // Position of `address` in latest_, or latest_.size() if it is not there.
  std::size_t find(std::uint32_t address) const;
  // Merges the addresses first seen in this record into latest_.
  void addNewcomers();
  // Notes what taking record_ in will change, before it is taken in.
  void noteUndo();
  // Rebuilds direct_ for the entries of latest_ from `first` on.
  void indexFrom(std::size_t first);

  // The state handed on: one entry per address seen, ascending.
  std::vector<AddressValuePair> latest_;
  // direct_[a] is 1 + the position of address a in latest_, or 0 if a was not
  // seen; sized to the largest such address seen below kDirectAddressLimit.
  std::vector<std::uint32_t> direct_;
  // Buffers reused from record to record.
  std::vector<AddressValuePair> record_;
  std::vector<AddressValuePair> newcomers_;
  std::vector<AddressValuePair> merged_;

  // What the last get() changed: the earlier values it overwrote (position in
  // latest_ and value) and, if it added addresses, latest_ as it was before.
  bool keepUndo_ = false;
  bool undoable_ = false;
  std::vector<std::pair<std::size_t, Quartet>> overwritten_;
  std::vector<AddressValuePair> before_;
  bool added_ = false;
};

#endif  // SURVEY_FRAMING_INTEGRATOR_H_
