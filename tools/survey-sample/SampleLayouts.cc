#include "SampleLayouts.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

namespace sample {

namespace {

// A layout rule. A string rule matches its first address only (the decoder looks string
// starts up by exact address); every other rule matches each address from `first` to
// `last`. Rules are consulted in order and the first match wins, as in the decoder.
struct Rule {
  Kind kind;
  uint32_t first;
  uint32_t last;
  uint32_t constant;
};

Rule text(uint32_t first, uint32_t last) {
  return {Kind::kString, first, last, 0};
}
Rule one(Kind kind, uint32_t address) {
  return {kind, address, address, 0};
}
Rule span(Kind kind, uint32_t first, uint32_t last) {
  return {kind, first, last, 0};
}
Rule constant(uint32_t first, uint32_t last, uint32_t word) {
  return {Kind::kConstant, first, last, word};
}
Rule zeros(uint32_t first, uint32_t last) {
  return constant(first, last, 0);
}

using Rules = std::vector<Rule>;

Rules join(std::initializer_list<Rules> parts) {
  Rules all;
  for (const Rules& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

constexpr Kind kFloat = Kind::kFloat;
constexpr Kind kSkip = Kind::kSkip;
constexpr Kind kSigned = Kind::kSigned;
constexpr Kind kBits = Kind::kBitArray;
constexpr Kind kBytes = Kind::kByteArray;
constexpr Kind kSigned16 = Kind::kSigned16;
constexpr Kind kChar = Kind::kSingleChar;

// The periodic constant windows of the School layouts: eight addresses each, starting at
// base + step x 0, 1, 3, 5, 6, 8, 9. Whether the decoder also counts the window at
// base + step x 10 is its implementer's choice; writing zeros there is valid either way.
Rules windows(uint32_t base, uint32_t step) {
  Rules rules;
  for (uint32_t k : {0u, 1u, 3u, 5u, 6u, 8u, 9u, 10u}) {
    rules.push_back(zeros(base + step * k, base + step * k + 7));
  }
  return rules;
}

// Years 68 to 74.
const Rules k6874 = {
    text(8, 15),  text(16, 23), text(24, 27), text(28, 31),      text(32, 35),
    text(36, 37), text(38, 42), text(88, 95), constant(4, 4, 1), constant(5, 5, 0x41100000),
};
const Rules k69 = join({{span(kSkip, 52, 56)}, k6874});
const Rules k71 = join(
    {{one(kSkip, 88), one(kSkip, 188), one(kSkip, 196), one(kSkip, 200), one(kSkip, 204)}, k6874});
const Rules k74 = join({{one(kFloat, 187), one(kFloat, 588), one(kFloat, 589), one(kFloat, 592),
                         one(kFloat, 593), span(kBits, 579, 587)},
                        k6874});
const Rules k76 = {
    text(4, 11),    text(12, 15),          text(16, 19),    text(20, 21),
    text(135, 142), span(kBits, 830, 872), one(kSkip, 134), one(kFloat, 123),
};

// Year 78: byte positions; every byte is covered.
const Rules k78District = {
    text(1, 7),
    text(15, 47),
    text(48, 77),
    text(78, 93),
    text(94, 109),
    text(110, 114),
    text(209, 271),
    one(kChar, 8),
    span(kChar, 117, 123),
    span(kSkip, 9, 14),
    one(kSkip, 124),
    one(kSigned16, 115),
    span(kSigned, 125, 208),
    one(kFloat, 272),
};
const Rules k78School = {
    text(1, 7),
    text(10, 14),
    text(15, 47),
    text(48, 77),
    span(kSkip, 8, 9),
    span(kChar, 78, 94),
    span(kChar, 201, 204),
    span(kChar, 569, 574),
    span(kSigned16, 95, 200),
    span(kSigned16, 205, 568),
    span(kSigned16, 575, 866),
};

// Year 80.
const Rules k80District = {
    text(3, 11),     text(12, 19),          text(20, 24),
    text(25, 29),    text(30, 30),          text(31, 32),
    text(643, 660),  span(kBits, 489, 500), span(kBytes, 521, 642),
    one(kBits, 66),  zeros(68, 484),        span(kSkip, 485, 488),
    zeros(501, 520), one(kFloat, 65),
};
Rules school80() {
  Rules rules = {text(3, 9), text(10, 14), text(15, 16)};
  for (uint32_t a = 97; a < 295; a += 11) rules.push_back(text(a, a));
  rules.push_back(text(643, 660));
  rules.push_back(span(kBits, 489, 500));
  rules.push_back(span(kBytes, 521, 642));
  rules.push_back(one(kBits, 32));
  for (uint32_t a = 96; a < 294; a += 11) rules.push_back(one(kBits, a));
  return join({rules,
               {span(kSkip, 485, 488), zeros(501, 520), span(kSkip, 49, 51), span(kSkip, 59, 60),
                zeros(58, 58), zeros(69, 69), zeros(468, 468), zeros(470, 470)},
               windows(320, 12)});
}

// Years 82, 86 and 88.
const Rules kDistrictStrings = {text(4, 11),  text(12, 19), text(20, 23),
                                text(24, 27), text(28, 28), text(29, 30)};
const Rules kSchoolStrings = {text(4, 11), text(12, 18), text(19, 20)};

const Rules k82District =
    join({kDistrictStrings,
          {span(kBits, 489, 495), span(kBytes, 521, 602), span(kBytes, 40, 41), zeros(496, 520),
           zeros(603, 700), one(kFloat, 39), one(kSkip, 42), zeros(43, 488)}});
const Rules k82School = join({kSchoolStrings,
                              {span(kBits, 489, 495), span(kBytes, 521, 602), one(kBits, 36),
                               zeros(496, 520), zeros(603, 700), zeros(328, 488)},
                              windows(182, 11)});

const Rules k8688Expansions = {span(kBits, 489, 498), span(kBytes, 521, 602)};
const Rules k8688Common = {zeros(481, 484),       span(kSkip, 485, 488), zeros(499, 520),
                           span(kSkip, 603, 700), one(kFloat, 331),      one(kFloat, 333)};
Rules district8688(uint32_t lastSkipped) {
  return join({kDistrictStrings,
               k8688Expansions,
               k8688Common,
               {span(kSkip, 39, lastSkipped), zeros(335, 480)}});
}
const Rules k8688School = join({kSchoolStrings, k8688Expansions, k8688Common, windows(182, 11)});
const Rules k8688DistrictSummary =
    join({kDistrictStrings, {one(kFloat, 33), one(kFloat, 35), zeros(335, 700)}});

const Rule* ruleFor(const Rules& rules, uint32_t address) {
  for (const Rule& rule : rules) {
    if (rule.kind == Kind::kString ? address == rule.first
                                   : rule.first <= address && address <= rule.last) {
      return &rule;
    }
  }
  return nullptr;
}

// Bytes one field of `kind` takes in a year-78 record (strings excepted).
uint32_t byteWidth(Kind kind) {
  switch (kind) {
    case Kind::kSigned16:
      return 2;
    case Kind::kSingleChar:
    case Kind::kSkip:
      return 1;
    default:
      return 4;
  }
}

// Walks a record of `length` elements from address 1 as the decoder does when every address
// is present. Quartet layouts default to kUnsigned; the byte layouts of year 78 have no
// default, so a byte no rule covers is a table error here, as it would be in the decoder.
RecordFormat walk(const char* name, const Rules& rules, uint32_t length, bool bytes) {
  RecordFormat format{name, length, {}};
  uint32_t address = 1;
  while (address <= length) {
    const Rule* rule = ruleFor(rules, address);
    if (rule == nullptr && bytes) {
      throw std::logic_error(std::string(name) + ": no rule for byte " + std::to_string(address));
    }
    const Kind kind = rule ? rule->kind : Kind::kUnsigned;
    const uint32_t width = kind == Kind::kString ? rule->last - address + 1
                           : bytes               ? byteWidth(kind)
                                                 : 1;
    format.slots.push_back({address, width, kind, rule ? rule->constant : 0});
    address += width;
  }
  if (address != length + 1) {
    throw std::logic_error(std::string(name) + ": the last field runs past the record's end");
  }
  return format;
}

RecordFormat quartets(const char* name, const Rules& rules, uint32_t length) {
  return walk(name, rules, length, false);
}

}  // namespace

YearLayouts layoutsForYear(int year) {
  switch (year) {
    case 68:
    case 70:
    case 72:
    case 73:
      return {Selector::kSingle, 0, {quartets("Vp6874", k6874, 95)}};
    case 69:
      return {Selector::kSingle, 0, {quartets("Vp69", k69, 95)}};
    case 71:
      return {Selector::kSingle, 0, {quartets("Vp71", k71, 204)}};
    case 74:
      return {Selector::kSingle, 0, {quartets("Vp74", k74, 593)}};
    case 76:
      return {Selector::kSingle, 0, {quartets("Vp76", k76, 872)}};
    case 78:
      return {Selector::kLength78,
              0,
              {walk("Vp78_District", k78District, 275, true),
               walk("Vp78_School", k78School, 866, true)}};
    case 80:
      return {
          Selector::kZeroOrNot,
          2,
          {quartets("Vp80_District", k80District, 660), quartets("Vp80_School", school80(), 660)}};
    case 82:
      return {
          Selector::kZeroOrNot,
          3,
          {quartets("Vp82_District", k82District, 700), quartets("Vp82_School", k82School, 700)}};
    case 86:
    case 88:
      return {Selector::kDiscriminant,
              2,
              {quartets("Vp8688_District", district8688(year == 86 ? 330 : 328), 700),
               quartets("Vp8688_School", k8688School, 700),
               quartets("Vp8688_District_Summary", k8688DistrictSummary, 700)}};
    default:
      throw std::invalid_argument("no layouts for year " + std::to_string(year));
  }
}

}  // namespace sample
