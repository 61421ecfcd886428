// The compare's quick filter: where two chunks of tables differ at all, a span of bytes at a time.
// A level is a difference, and a pair of one table differs nowhere else, so a compare looks for
// levels only in the spans this finds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace patch {

inline constexpr std::size_t kSpan = 256;

// The first span from `span` on, before `end`, whose bytes differ (end if none); span and end are
// multiples of kSpan.
using SpanFinder = std::size_t (*)(const std::uint8_t* base, const std::uint8_t* raised,
                                   std::size_t span, std::size_t end);

// The finders this build has, the portable one first; FastestSpanFinder picks the fastest that
// the processor runs.
std::span<const SpanFinder> AllSpanFinders();
SpanFinder FastestSpanFinder();

}  // namespace patch
