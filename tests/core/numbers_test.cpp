#include "numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace patch {
namespace {

TEST(LeadingNumber, ReadsTheNumberATextStartsWith) {
  EXPECT_EQ(LeadingNumber("10"), 10);
  EXPECT_EQ(LeadingNumber("2.5"), 2.5);
  EXPECT_EQ(LeadingNumber("-7"), -7);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("5."), 5);
  EXPECT_EQ(LeadingNumber("1e2"), 100);
  EXPECT_EQ(LeadingNumber("1E+2"), 100);
  EXPECT_EQ(LeadingNumber("25e-1"), 2.5);
  EXPECT_EQ(LeadingNumber("100.5"), 100.5);
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(LeadingNumber("5abc"), 5);
  EXPECT_EQ(LeadingNumber("12,5"), 12);  // the comma is no decimal mark
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
  EXPECT_EQ(LeadingNumber("3e"), 3);  // an exponent needs digits
  EXPECT_EQ(LeadingNumber("3e+x"), 3);
  EXPECT_EQ(LeadingNumber("7-1"), 7);
  EXPECT_EQ(LeadingNumber("4\r5"), 4);  // a carriage return is not skipped
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(LeadingNumber(" 10"), 10);
  EXPECT_EQ(LeadingNumber("1 0"), 10);
  EXPECT_EQ(LeadingNumber("\t1\n0 "), 10);
  EXPECT_EQ(LeadingNumber("- 5"), -5);
  EXPECT_EQ(LeadingNumber("2 . 5"), 2.5);
  EXPECT_EQ(LeadingNumber("& H 1 0"), 16);
}

TEST(LeadingNumber, IsZeroWithoutANumber) {
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("   "), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("e5"), 0);
  EXPECT_EQ(LeadingNumber("&H"), 0);
  EXPECT_EQ(LeadingNumber("&Hg"), 0);
  EXPECT_EQ(LeadingNumber("十"), 0);
}

TEST(LeadingNumber, ReadsHexadecimalAndOctalWholeNumbers) {
  EXPECT_EQ(LeadingNumber("&H64"), 100);
  EXPECT_EQ(LeadingNumber("&hff"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&o8"), 0);  // 8 is no octal digit
  EXPECT_EQ(LeadingNumber("&H1G"), 1);
  EXPECT_EQ(LeadingNumber("&H10.5"), 16);  // whole numbers only
}

TEST(LeadingNumber, HugeValuesAreInfiniteNotWrong) {
  EXPECT_TRUE(std::isinf(LeadingNumber("1e400")));
  EXPECT_EQ(LeadingNumber("1e-400"), 0);
}

TEST(WholeTextNumber, AcceptsANumberWithBlanksAround) {
  EXPECT_EQ(*WholeTextNumber("10"), 10);
  EXPECT_EQ(*WholeTextNumber("  2.5 "), 2.5);
  EXPECT_EQ(*WholeTextNumber("\t-3\t"), -3);
  EXPECT_EQ(*WholeTextNumber("1e2"), 100);
  EXPECT_EQ(*WholeTextNumber(".5"), 0.5);
  EXPECT_EQ(*WholeTextNumber("&H10"), 16);
}

TEST(WholeTextNumber, AnythingElseIsATypeMismatch) {
  for (const char* text : {"", " ", "5abc", "1 0", "1,5", "1,000", "abc", "-", ".", "1e", "1e+",
                           "&H", "0x10", "1.2.3", "10\n", "１０"}) {
    Expected<double> number = WholeTextNumber(text);
    ASSERT_FALSE(number.ok()) << text;
    EXPECT_EQ(number.error().number, ErrorNumber::kTypeMismatch) << text;
  }
}

TEST(WholeTextNumber, TooLargeForANumberIsOverflow) {
  Expected<double> number = WholeTextNumber("1e400");
  ASSERT_FALSE(number.ok());
  EXPECT_EQ(number.error().number, ErrorNumber::kOverflow);
}

TEST(TextToPosition, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(*TextToPosition("57"), 57);
  EXPECT_EQ(*TextToPosition(" 57 "), 57);
  EXPECT_EQ(*TextToPosition("12.5"), 12);
  EXPECT_EQ(*TextToPosition("13.5"), 14);
  EXPECT_EQ(*TextToPosition("12.51"), 13);
  EXPECT_EQ(*TextToPosition("0.5"), 0);
  EXPECT_EQ(*TextToPosition("-2.5"), -2);
  EXPECT_EQ(*TextToPosition("0"), 0);
  EXPECT_EQ(*TextToPosition("5.7e1"), 57);
}

TEST(TextToPosition, OverflowsOutsideThe32BitRange) {
  EXPECT_EQ(*TextToPosition("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(*TextToPosition("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(*TextToPosition("2147483646.5"), 2147483646);
  EXPECT_EQ(*TextToPosition("-2147483648.5"), std::numeric_limits<std::int32_t>::min());
  for (const char* text :
       {"2147483648", "2147483647.5", "-2147483649", "-2147483648.6", "1e10", "1e400"}) {
    Expected<std::int32_t> position = TextToPosition(text);
    ASSERT_FALSE(position.ok()) << text;
    EXPECT_EQ(position.error().number, ErrorNumber::kOverflow) << text;
  }
}

TEST(TextToPosition, TextThatIsNoNumberIsATypeMismatch) {
  for (const char* text : {"", "abc", "5a", "1 0"}) {
    Expected<std::int32_t> position = TextToPosition(text);
    ASSERT_FALSE(position.ok()) << text;
    EXPECT_EQ(position.error().number, ErrorNumber::kTypeMismatch) << text;
  }
}

TEST(RoundToByte, RoundsHalvesToEvenWithinZeroTo255) {
  EXPECT_EQ(*RoundToByte(12.5), 12);
  EXPECT_EQ(*RoundToByte(13.5), 14);
  EXPECT_EQ(*RoundToByte(255.4), 255);
  EXPECT_EQ(*RoundToByte(254.5), 254);
  EXPECT_EQ(*RoundToByte(0), 0);
  EXPECT_EQ(*RoundToByte(-0.5), 0);
  EXPECT_EQ(*RoundToByte(-0.4), 0);
  for (double value : {255.5, 256.0, -0.6, -1.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
    Expected<std::uint8_t> level = RoundToByte(value);
    ASSERT_FALSE(level.ok()) << value;
    EXPECT_EQ(level.error().number, ErrorNumber::kOverflow) << value;
  }
}

TEST(DecimalText, IsPlainDecimal) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(255), "255");
  EXPECT_EQ(DecimalText(-2147483648LL), "-2147483648");
}

}  // namespace
}  // namespace patch
