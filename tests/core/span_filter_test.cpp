#include "span_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patch {
namespace {

// Every finder this build has finds the same first differing span: the portable one runs only on
// processors without AVX2, so the compare's own tests may never reach it.
TEST(SpanFilterTest, EveryFinderFindsTheFirstDifferingSpan) {
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
  };
  for (const SpanFinder find : AllSpanFinders()) {
    for (const auto& c : cases) {
      std::vector<std::uint8_t> base(kEnd, 7), raised = base;
      for (const std::size_t at : c.differing) raised[at] = 107;
      EXPECT_EQ(find(base.data(), raised.data(), c.from, kEnd), c.first) << c.from;
    }
  }
}

}  // namespace
}  // namespace patch
