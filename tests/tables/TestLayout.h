#ifndef SURVEY_TESTS_TABLES_TESTLAYOUT_H_
#define SURVEY_TESTS_TABLES_TESTLAYOUT_H_

#include <cstdint>
#include <ostream>
#include <span>
#include <utility>
#include <vector>

#include "layouts/Vp.h"

// A layout of the given record format whose table of entries is `entries`.
class TestLayout final : public Vp {
 public:
  TestLayout(unsigned format, std::vector<VpInfo> entries)
      : format_(format), entries_(std::move(entries)) {}
  VpInfo info(std::uint32_t address) const override {
    return address < entries_.size() ? entries_[address] : VpInfo{0, VpInfo::Unsigned};
  }
  std::span<const VpInfo> entries() const override { return entries_; }
  unsigned recordFormat() const override { return format_; }
  void printFieldExpansions(std::ostream&) const override {}

 private:
  unsigned format_;
  std::vector<VpInfo> entries_;
};

#endif  // SURVEY_TESTS_TABLES_TESTLAYOUT_H_
