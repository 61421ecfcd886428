#include "list_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace patch {
namespace {

// Numbers written eight digits at a time come out as std::to_string writes them, at the edges of
// their digit counts and of the two ways they are written (below 10^8, and from there on).
TEST(NumberColumnTest, NumbersAndBytesAreWrittenInDecimal) {
  NumberColumn numbers(0, 10), bytes(0, 3);
  std::string expectedNumbers, expectedBytes;
  for (const std::uint32_t value : {0u, 7u, 10u, 99u, 100u, 12'345'678u, 99'999'999u, 100'000'000u,
                                    100'000'009u, 987'654'321u, 4'294'967'295u}) {
    numbers.Commit(NumberColumn::Put(numbers.Room(), value));
    expectedNumbers += std::to_string(value) + "\r\n";
  }
  for (const int value : {0, 9, 10, 99, 100, 155, 255}) {
    bytes.Commit(NumberColumn::PutByte(bytes.Room(), static_cast<std::uint8_t>(value)));
    expectedBytes += std::to_string(value) + "\r\n";
  }
  EXPECT_EQ(std::move(numbers).Text(), expectedNumbers);
  EXPECT_EQ(std::move(bytes).Text(), expectedBytes);
}

}  // namespace
}  // namespace patch
