#include "level_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patch {
namespace {

// Every finder this build has finds the same first differing span: the portable one runs only on
// processors without AVX2, so the compare's own tests may never reach it.
TEST(LevelScanTest, EveryFinderFindsTheFirstDifferingSpan) {
  constexpr std::size_t kEnd = 6 * kSpan;
  const struct {
    std::vector<std::size_t> differing;
    std::size_t from, first;
  } cases[] = {
      {{}, 0, kEnd},
      {{0}, 0, 0},
      {{kEnd - 1}, 0, kEnd - kSpan},
      {{kSpan + 12, 3 * kSpan + 255}, 0, kSpan},
      {{kSpan + 12, 3 * kSpan + 255}, 2 * kSpan, 3 * kSpan},
      {{2 * kSpan + 100}, 3 * kSpan, kEnd},
      {{2 * kSpan}, 0, 2 * kSpan},  // at the first byte of a span, after spans alike
  };
  for (const SpanFinder find : AllSpanFinders()) {
    for (const auto& c : cases) {
      std::vector<std::uint8_t> base(kEnd, 7), raised = base;
      for (const std::size_t at : c.differing) raised[at] = 107;
      EXPECT_EQ(find(base.data(), raised.data(), c.from, kEnd), c.first) << c.from;
    }
  }
}

// Both masks (the portable one is for processors without SSE2) mark the same bytes: raised by
// exactly 100, in every 16-byte group, and not 156 to 0 or 200 to 44, which wrap to +100.
TEST(LevelScanTest, EveryMaskMarksExactlyTheLevels) {
  std::vector<std::uint8_t> base(kBlock, 9), raised(kBlock, 9);
  const struct {
    std::size_t at;
    std::uint8_t base, raised;
  } bytes[] = {{0, 5, 105},   {17, 155, 255}, {34, 156, 0}, {40, 0, 100},
               {51, 200, 44}, {57, 105, 5},   {63, 42, 142}};
  for (const auto& b : bytes) {
    base[b.at] = b.base;
    raised[b.at] = b.raised;
  }
  const std::uint64_t levels = 1 | 1ULL << 17 | 1ULL << 40 | 1ULL << 63;
  EXPECT_EQ(LevelMaskPortable(base.data(), raised.data()), levels);
#ifdef PATCH_SSE2_LEVEL_MASK
  EXPECT_EQ(LevelMaskSse2(base.data(), raised.data()), levels);
#endif
}

}  // namespace
}  // namespace patch
