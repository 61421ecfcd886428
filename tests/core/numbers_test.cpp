#include "numbers.h"

#include <gtest/gtest.h>

#include <limits>
#include <variant>

namespace patch {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr auto k13 = ErrorNumber::kTypeMismatch;
constexpr auto k6 = ErrorNumber::kOverflow;

// A value, or the error number a conversion must give.
using Result = std::variant<double, ErrorNumber>;

Result Outcome(const Expected<std::int32_t>& c) {
  return c ? Result(static_cast<double>(*c)) : Result(c.error().number);
}

// clang-format off
TEST(Numbers, LeadingNumberReadsTheNumberATextStartsWith) {
  const struct { const char* text; double value; } cases[] = {
      {"10", 10}, {"2.5", 2.5}, {"-7", -7}, {"+3", 3}, {".5", 0.5}, {"5.", 5}, {"1E+2", 100},
      {"25e-1", 2.5}, {"100.5", 100.5}, {"1e400", kInf}, {"1e-400", 0},
      // Reading stops at the first character that cannot continue the number; blanks, tabs and
      // line feeds anywhere are ignored.
      {"5abc", 5}, {"12,5", 12}, {"1.2.3", 1.2}, {"3e", 3}, {"3e+x", 3}, {"7-1", 7}, {"4\r5", 4},
      {" 10", 10}, {"1 0", 10}, {"\t1\n0 ", 10}, {"- 5", -5}, {"2 . 5", 2.5}, {"& H 1 0", 16},
      {"", 0}, {"   ", 0}, {"abc", 0}, {".", 0}, {"-", 0}, {"e5", 0}, {"&H", 0}, {"十", 0},
      // Whole numbers with a radix mark.
      {"&H64", 100}, {"&hff", 255}, {"&HaBcDeF", 0xABCDEF}, {"&HAf", 0xAF}, {"&O7", 7}, {"&O17", 15}, {"&o17", 15}, {"&o8", 0}, {"&H1G", 1}, {"&H10.5", 16},
  };
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

// A whole text, blanks around it allowed, as a 32-bit position: halves to the even neighbour.
TEST(Numbers, TextToPositionTakesOnlyANumberAndRoundsHalvesToEvenWithin32Bits) {
  const struct { const char* text; Result expected; } cases[] = {
      {"  2.5 ", 2.0}, {"\t-3\t", -3.0}, {"1e2", 100.0}, {".5", 0.0}, {"&H10", 16.0}, {" ", k13},
      {"1,5", k13}, {"-", k13}, {"1e+", k13}, {"&H", k13}, {"0x10", k13}, {"1.2.3", k13},
      {"10\n", k13}, {"１０", k13}, {"1e2x", k13}, {"&X0", k13},
      {"57", 57.0}, {" 57 ", 57.0}, {"12.5", 12.0}, {"13.5", 14.0}, {"12.51", 13.0},
      {"0.5", 0.0}, {"-2.5", -2.0}, {"0", 0.0}, {"5.7e1", 57.0}, {"2147483647", 2147483647.0},
      {"-2147483648", -2147483648.0}, {"2147483646.5", 2147483646.0},
      {"-2147483648.5", -2147483648.0}, {"2147483648", k6}, {"2147483647.5", k6},
      {"-2147483649", k6}, {"-2147483648.6", k6}, {"1e10", k6}, {"1e400", k6},
      {"", k13}, {"abc", k13}, {"5a", k13}, {"1 0", k13},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(TextToPosition(c.text)), c.expected) << c.text;
}

// clang-format on

}  // namespace
}  // namespace patch
