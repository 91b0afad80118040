#include "typing/TypedValue.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/FailureText.h"
#include "typing/TypedValueMakers.h"

namespace {

std::string printed(const TypedValue& v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

std::string appended(const TypedValue& v) {
  std::string line = "x";
  appendTypedValue(line, v);
  return line.substr(1);
}

TypedValue invalid() {
  return withBits(4, 0);
}

TEST(TypeLetterTest, FollowsTheCodesNotTheKeyOrder) {
  std::ostringstream out;
  for (std::uint32_t code = 0; code < 4; ++code) typeLetter(code, out);
  EXPECT_EQ(out.str(), "uisf");
}

TEST(TypeLetterTest, InvalidCodeFailsAndWritesNothing) {
  std::ostringstream out;
  EXPECT_EQ(failureOf([&] { typeLetter(4, out); }), "unrec type");
  EXPECT_EQ(failureOf([&] { typeLetter(0xFFFFFFFF, out); }), "unrec type");
  EXPECT_EQ(out.str(), "");
}

TEST(TypeKeyTest, ListsUIFSInThatOrder) {
  std::ostringstream out;
  printTypeKey(out);
  EXPECT_EQ(out.str(),
            "type u\tunsigned (non-negative) integer (e.g. 0, 3, 7)\n"
            "type i\t(signed) integer (e.g. -3, 0, 7)\n"
            "type f\t(decimal) fraction (e.g. 3.14)\n"
            "type s\tstring (e.g. \"A\", \"A B\", \"02143\")\n");
}

struct PrintCase {
  TypedValue value;
  const char* text;
};

TEST(TypedValuePrintTest, EachTypeInItsOwnForm) {
  const std::vector<PrintCase> cases = {
      {withBits(TypedValue::U, 0xFFFFFFFF), "4294967295"},
      {withBits(TypedValue::I, 0xFFFFFFFF), "-1"},
      {withBits(TypedValue::I, 0x80000000), "-2147483648"},
      {u(0), "0"},
      {fBits(0x41100000), "9"},
      {fBits(0x4048F5C3), "3.14"},
      {fBits(0xC0490FDB), "-3.14159"},
      {f(1e6f), "1e+06"},
      {f(1.5e-5f), "1.5e-05"},
      {fBits(0x7F7FFFFF), "3.40282e+38"},
      {fBits(0x80000000), "-0"},
      {fBits(0x7FC00000), "nan"},
      {fBits(0xFFC00000), "-nan"},
      {fBits(0xFF800000), "-inf"},
      {s("A B"), "A B"},
      {s(""), ""},
  };
  for (const PrintCase& c : cases) {
    EXPECT_EQ(printed(c.value), c.text);
    EXPECT_EQ(appended(c.value), c.text);
  }
}

TEST(TypedValuePrintTest, InvalidTypeFailsAndWritesNothing) {
  std::ostringstream out;
  EXPECT_EQ(failureOf([&] { out << invalid(); }), "unrec type");
  EXPECT_EQ(out.str(), "");
  std::string line = "kept";
  EXPECT_EQ(failureOf([&] { appendTypedValue(line, invalid()); }), "unrec type");
  EXPECT_EQ(line, "kept");
}

TEST(TypedValueRelationTest, DifferentTypesFailBeforeAnyComparison) {
  const std::string clash = "attempt to relate values of different type";
  EXPECT_EQ(failureOf([] { (void)equal(u(7), i(7)); }), clash);
  EXPECT_EQ(failureOf([] { (void)less(s(""), u(0)); }), clash);
  EXPECT_EQ(failureOf([] { (void)greater(fBits(0x7FC00000), i(0)); }), clash);
  EXPECT_EQ(failureOf([] { (void)equal(invalid(), u(0)); }), clash);
}

TEST(TypedValueRelationTest, InvalidTypeOnBothSidesFails) {
  EXPECT_EQ(failureOf([] { (void)equal(invalid(), invalid()); }), "unrec type");
  EXPECT_EQ(failureOf([] { (void)less(invalid(), invalid()); }), "unrec type");
  EXPECT_EQ(failureOf([] { (void)greater(invalid(), invalid()); }), "unrec type");
}

struct OrderCase {
  TypedValue a, b;
  bool equal, less, greater;
};

TEST(TypedValueRelationTest, EachTypeUsesItsOwnOrder) {
  const std::vector<OrderCase> cases = {
      {u(0x80000000), u(1), false, false, true},
      {i(static_cast<std::int32_t>(0x80000000)), i(1), false, true, false},
      {u(5), u(5), true, false, false},
      {i(-3), i(2), false, true, false},
      {f(-1.5f), f(0.25f), false, true, false},
      {fBits(0x80000000), fBits(0x00000000), true, false, false},  // -0 equals 0
      {f(2.0f), f(2.0f), true, false, false},
      {s(""), s("A"), false, true, false},
      {s("A"), s("A B"), false, true, false},
      {s("02143"), s("2143"), false, true, false},
      {s("B"), s("A B"), false, false, true},
      {s("10"), s("9"), false, true, false},
      {s("\xC1"), s("A"), false, false, true},  // bytes compare unsigned
      {s("AB"), s("AB"), true, false, false},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(printed(c.a) + " vs " + printed(c.b));
    EXPECT_EQ(c.a == c.b, c.equal);
    EXPECT_EQ(c.a < c.b, c.less);
    EXPECT_EQ(c.a > c.b, c.greater);
  }
}

TEST(TypedValueRelationTest, NaNIsNeitherEqualLessNorGreater) {
  for (std::uint32_t nan : {0x7FC00000u, 0xFFC00000u, 0x7F800001u}) {
    for (TypedValue other : {fBits(nan), f(0.0f), f(-1e30f), fBits(0x7F800000)}) {
      EXPECT_FALSE(equal(fBits(nan), other));
      EXPECT_FALSE(less(fBits(nan), other));
      EXPECT_FALSE(greater(fBits(nan), other));
      EXPECT_FALSE(less(other, fBits(nan)));
      EXPECT_FALSE(greater(other, fBits(nan)));
    }
  }
}

}  // namespace
