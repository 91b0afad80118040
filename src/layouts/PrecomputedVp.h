#ifndef SURVEY_LAYOUTS_PRECOMPUTEDVP_H_
#define SURVEY_LAYOUTS_PRECOMPUTEDVP_H_

#include <cstdint>
#include <vector>

#include "layouts/Vp.h"

// A layout that states its rules once, as `ruleChain`, and answers `info` from a table of
// the chain's entries for addresses 0 to its highest record address, evaluated once at
// construction; `info` runs for every value of every record. Only `Precomputed<Layout>`
// builds layouts, so that the table is filled by the most derived layout's chain.
class PrecomputedVp : public Vp {
 public:
  VpInfo info(std::uint32_t address) const final {
    return address < table_.size() ? table_[address] : ruleChain(address);
  }
  std::span<const VpInfo> entries() const final { return table_; }

  // The layout's rules evaluated in order, the first that matches giving the entry.
  virtual VpInfo ruleChain(std::uint32_t address) const = 0;

  // The highest address a record of this format carries; expanded addresses lie above it.
  std::uint32_t highestAddress() const { return highestAddress_; }

 protected:
  explicit PrecomputedVp(std::uint32_t highestAddress) : highestAddress_(highestAddress) {}
  ~PrecomputedVp() = default;

  // Fills the table; called once, by the most derived constructor.
  void precompute();

 private:
  std::uint32_t highestAddress_;
  std::vector<VpInfo> table_;
};

// The one way to build a layout: `Layout` constructed from `args`, then its table filled
// from its own chain (a virtual call in a base constructor would reach the base's chain).
template <class Layout>
class Precomputed final : public Layout {
 public:
  template <class... Args>
  explicit Precomputed(Args... args) : Layout(args...) {
    this->precompute();
  }
};

#endif  // SURVEY_LAYOUTS_PRECOMPUTEDVP_H_
