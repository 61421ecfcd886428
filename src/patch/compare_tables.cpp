#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files.h"
#include "list_text.h"
#include "names.h"
#include "numbers.h"
#include "operations.h"
#include "shown_text.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 64;

constexpr std::size_t WholeBlocks(std::size_t bytes) {
  return (bytes + kBlock - 1) / kBlock * kBlock;
}

// Raised by exactly the reference raise: r - b == 100 as a signed difference, hence b < r. With
// b <= 155 the wrapped byte difference says the same, and byte arithmetic lets a vector step test
// a full register of bytes rather than a quarter of one as ints.
inline bool IsLevel(std::uint8_t base, std::uint8_t raised) {
  return base <= 255 - kReferenceRaise &&
         static_cast<std::uint8_t>(raised - base) == kReferenceRaise;
}

// Whether a span of kSpan bytes may hold a level: any byte raised by 100 modulo 256. It is a
// quick filter (the exact test follows for a span that passes), written with byte-wide,
// branch-free arithmetic so the compiler turns it into full-width vector code. A span of four
// blocks passes almost always or almost never, so the branch on it is rarely mispredicted, where
// a single block of a table with a level every hundred bytes or so would pass at random.
constexpr std::size_t kSpan = 4 * kBlock;
inline bool SpanMayHoldLevel(const std::uint8_t* base, const std::uint8_t* raised) {
  // A byte's difference XOR 100 is 0 exactly where it was raised by 100; the span's least
  // such value is a plain byte minimum, which every vector unit has.
  std::uint8_t least = 0xFF;
  for (std::size_t i = 0; i < kSpan; ++i) {
    auto distance = static_cast<std::uint8_t>((raised[i] - base[i]) ^ kReferenceRaise);
    least = distance < least ? distance : least;
  }
  return least == 0;
}

// One bit for each level in a block, bit i for byte i, so that a block with many levels costs no
// branch per byte. The byte-wide test is vector code; each 8 flags (0x80 or 0) are then gathered
// into a byte by one multiplication, which moves the top bit of flag k to bit 56 + k.
inline std::uint64_t LevelMask(const std::uint8_t* base, const std::uint8_t* raised) {
  std::uint8_t flags[kBlock];
  for (std::size_t i = 0; i < kBlock; ++i) {
    flags[i] = static_cast<std::uint8_t>(IsLevel(base[i], raised[i]) ? 0x80 : 0);
  }
  std::uint64_t mask = 0;
  for (std::size_t group = 0; group < kBlock; group += 8) {
    std::uint64_t word = 0;
    // Flag k in byte k on either byte order; compilers make this a single load.
    for (std::size_t k = 0; k < 8; ++k) word |= std::uint64_t{flags[group + k]} << (8 * k);
    mask |= (word * 0x0002040810204081ULL >> 56) << group;
  }
  return mask;
}

// More matches than any monster table has levels: the two files are no pair of one table.
Warning TooManyMatches(std::int64_t matches, const fs::path& baseTable,
                       const fs::path& raisedTable) {
  return ToolWarning("共找到 " + DecimalText(matches) + " 个位置，只列出了前 " +
                     DecimalText(kMaxListedMatches) + " 个。\n\n一个怪物表只有几百个敌人等级，" +
                     "所以 " + PathText(baseTable) + " 和 " + PathText(raisedTable) +
                     " 很可能不是同一个怪物表的原版和每个敌人等级都提高了 100 的版本。请把同一个"
                     "怪物表的这两个版本放到 F 盘根目录，再点“对比”。");
}

CompareOutcome Compare(const fs::path& baseTable, const fs::path& raisedTable) {
  CompareOutcome outcome;
  Expected<File> base = File::Open(baseTable, File::Access::kRead);
  if (!base) {
    outcome.error = base.error();
    return outcome;
  }
  Expected<File> raised = File::Open(raisedTable, File::Access::kRead);
  if (!raised) {
    outcome.error = raised.error();
    return outcome;
  }
  if (base->Length() > kMaxTableLength) {
    outcome.error = TooLarge(baseTable);
    return outcome;
  }

  const auto listed = static_cast<std::size_t>(
      std::min<std::uint64_t>(base->Length(), static_cast<std::uint64_t>(kMaxListedMatches)));
  NumberColumn positions(listed, 10), baseLevels(listed, 3), levels(listed, 3);
  std::int64_t matches = 0;
  std::uint64_t done = 0;
  const std::uint64_t length = base->Length();
  const std::size_t chunkSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(kCompareChunk, length));
  // Room for whole blocks: a last, partial block is padded, so every block takes the fast path.
  auto baseChunk = std::make_unique_for_overwrite<std::uint8_t[]>(WholeBlocks(chunkSize));
  auto raisedChunk = std::make_unique_for_overwrite<std::uint8_t[]>(WholeBlocks(chunkSize));
  while (done < length) {
    std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, length - done));
    Expected<std::size_t> gotBase = base->Read({baseChunk.get(), wanted});
    if (!gotBase) {
      outcome.error = gotBase.error();
      return outcome;
    }
    if (*gotBase == 0) break;  // the table shrank while being read
    std::size_t count = *gotBase;
    Expected<std::size_t> gotRaised = raised->Read({raisedChunk.get(), count});
    if (!gotRaised) {
      outcome.error = gotRaised.error();
      return outcome;
    }
    // Past the end of a shorter raised table every byte reads as 0, which never matches; the
    // padding of a last, partial block is 0 in both tables, which never matches either.
    const std::size_t padded = WholeBlocks(count);
    std::fill(raisedChunk.get() + *gotRaised, raisedChunk.get() + padded, 0);
    std::fill(baseChunk.get() + count, baseChunk.get() + padded, 0);

    for (std::size_t span = 0; span < padded; span += kSpan) {
      const std::size_t end = std::min(span + kSpan, padded);
      if (end - span == kSpan && !SpanMayHoldLevel(&baseChunk[span], &raisedChunk[span])) continue;
      for (std::size_t start = span; start < end; start += kBlock) {
        std::uint64_t matched = LevelMask(&baseChunk[start], &raisedChunk[start]);
        // The levels lowest bit first, so in file order; only the first are listed, all counted.
        for (; matched != 0 && matches < kMaxListedMatches; matched &= matched - 1, ++matches) {
          const std::size_t i = start + static_cast<std::size_t>(std::countr_zero(matched));
          positions.Append(static_cast<std::uint32_t>(done + i + 1));
          baseLevels.Append(baseChunk[i]);
          levels.Append(raisedChunk[i]);
        }
        matches += std::popcount(matched);
      }
    }
    done += count;
  }

  outcome.appended = {std::move(positions).Text(), std::move(baseLevels).Text(),
                      std::move(levels).Text()};
  outcome.matchCount = DecimalText(matches);
  outcome.matches = matches;
  if (matches > kMaxListedMatches)
    outcome.warning = TooManyMatches(matches, baseTable, raisedTable);
  return outcome;
}

}  // namespace

CompareOutcome CompareTables(const fs::path& baseTable, const fs::path& raisedTable) {
  try {
    CompareOutcome outcome = Compare(baseTable, raisedTable);
    // Whatever failed, it was with one of the two reference tables.
    if (outcome.error) outcome.error->subject = Subject::kReferenceTable;
    return outcome;
  } catch (...) {
    CompareOutcome failed;
    failed.error = ErrorFromException(std::current_exception());
    return failed;
  }
}

}  // namespace patch
