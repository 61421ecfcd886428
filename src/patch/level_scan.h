// How a compare finds levels in a chunk of the two tables: a quick filter finds the spans of bytes
// that differ at all (a level is a difference, and a pair of one table differs nowhere else), then
// each block of such a span gets a mask of its levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "names.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define PATCH_SSE2_LEVEL_MASK 1
#endif

namespace patch {

inline constexpr std::size_t kBlock = 64;
inline constexpr std::size_t kSpan = 4 * kBlock;

// The first span from `span` on, before `end`, whose bytes differ (end if none); span and end are
// multiples of kSpan.
using SpanFinder = std::size_t (*)(const std::uint8_t* base, const std::uint8_t* raised,
                                   std::size_t span, std::size_t end);

// The finders this build has, the portable one first; FastestSpanFinder picks the fastest that
// the processor runs.
std::span<const SpanFinder> AllSpanFinders();
SpanFinder FastestSpanFinder();

// One bit for each level in a block of kBlock bytes, bit i for byte i, so that a block with many
// levels costs no branch per byte. A level is a byte raised by exactly the reference raise:
// r - b == 100 as a signed difference, hence b < r; with b <= 155 the wrapped byte difference
// says the same. The portable mask is for processors without SSE2.
inline std::uint64_t LevelMaskPortable(const std::uint8_t* base, const std::uint8_t* raised) {
  std::uint64_t mask = 0;
  for (std::size_t i = 0; i < kBlock; ++i) {
    const bool level = base[i] <= 255 - kReferenceRaise &&
                       static_cast<std::uint8_t>(raised[i] - base[i]) == kReferenceRaise;
    mask |= std::uint64_t{level} << i;
  }
  return mask;
}

#ifdef PATCH_SSE2_LEVEL_MASK
// SSE2, which every x86-64 processor has. r - b saturated at 0 is 100 exactly for a level: where
// b > r it is 0. A byte compare gives 0xFF or 0 a byte, and movemask gathers 16 of those into bits
// at once, where no compiler finds that in portable code.
inline std::uint64_t LevelMaskSse2(const std::uint8_t* base, const std::uint8_t* raised) {
  const __m128i raise = _mm_set1_epi8(static_cast<char>(kReferenceRaise));
  std::uint64_t mask = 0;
  for (std::size_t group = 0; group < kBlock; group += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + group));
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raised + group));
    const __m128i level = _mm_cmpeq_epi8(_mm_subs_epu8(r, b), raise);
    mask |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(level))} << group;
  }
  return mask;
}

inline std::uint64_t LevelMask(const std::uint8_t* base, const std::uint8_t* raised) {
  return LevelMaskSse2(base, raised);
}
#else
inline std::uint64_t LevelMask(const std::uint8_t* base, const std::uint8_t* raised) {
  return LevelMaskPortable(base, raised);
}
#endif

}  // namespace patch
