#ifndef SURVEY_LAYOUTS_VP6874_H_
#define SURVEY_LAYOUTS_VP6874_H_

#include <cstdint>
#include <ostream>

#include "layouts/FieldExpansions.h"
#include "layouts/LayoutRules.h"
#include "layouts/PrecomputedVp.h"

// The layouts of the FF-record years 68 to 74. Years 68, 70, 72 and 73 use `Vp6874`;
// 69, 71 and 74 put rules of their own ahead of its chain.
class Vp6874 : public PrecomputedVp {
 public:
  static const Vp6874& instance();

  VpInfo ruleChain(std::uint32_t address) const override;
  unsigned recordFormat() const override { return 0; }
  void printFieldExpansions(std::ostream&) const override {}

 protected:
  Vp6874();
  ~Vp6874() = default;

 private:
  StringRanges strings_;
};

// Year 69: addresses 52 to 56 are skipped.
class Vp69 : public Vp6874 {
 public:
  static const Vp69& instance();
  VpInfo ruleChain(std::uint32_t address) const override;

 protected:
  Vp69() = default;
};

// Year 71: five skipped addresses, one of them the start of the 88-95 string.
class Vp71 : public Vp6874 {
 public:
  static const Vp71& instance();
  VpInfo ruleChain(std::uint32_t address) const override;

 protected:
  Vp71() = default;
};

// Year 74: floats and one packed range of bit flags.
class Vp74 : public Vp6874 {
 public:
  static const Vp74& instance();
  VpInfo ruleChain(std::uint32_t address) const override;
  void printFieldExpansions(std::ostream& out) const override;

 protected:
  Vp74();

 private:
  FieldExpansions expansions_;
};

#endif  // SURVEY_LAYOUTS_VP6874_H_
