#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "files.h"
#include "level_scan.h"
#include "list_text.h"
#include "names.h"
#include "numbers.h"
#include "operations.h"
#include "shown_text.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t WholeSpans(std::size_t bytes) { return (bytes + kSpan - 1) / kSpan * kSpan; }

// A chunk's buffer, on a page boundary: the system copies a file's bytes into it a page at a time,
// and some processors copy into a buffer off a 32-byte boundary several times slower (reading
// into one 16 bytes past a page took 4 to 7 times as long on an AMD EPYC).
constexpr std::size_t kPage = 4096;
struct PageAlignedDelete {
  void operator()(std::uint8_t* bytes) const {
    ::operator delete[](bytes, std::align_val_t{kPage});
  }
};
using ChunkBuffer = std::unique_ptr<std::uint8_t[], PageAlignedDelete>;
ChunkBuffer NewChunkBuffer(std::size_t size) {
  return ChunkBuffer(static_cast<std::uint8_t*>(::operator new[](size, std::align_val_t{kPage})));
}

// The three columns a compare fills, one line a listed level.
struct ListedColumns {
  NumberColumn positions, baseLevels, levels;
  std::int64_t lines = 0;
};

// Offsets of levels found in a chunk and not listed yet: room for those of a few spans, and then
// for those of one more span at most.
constexpr std::size_t kFoundRoom = 4 * kSpan;

// Lists the levels at the given offsets of the chunk that starts at byte done of the tables, as
// long as fewer than kMaxListedMatches are listed: a batch of lines at a time, each column's room
// made once a batch.
void ListFound(const std::uint32_t* offsets, std::size_t found, ListedColumns& columns,
               const std::uint8_t* baseChunk, const std::uint8_t* raisedChunk, std::uint64_t done) {
  const auto room = static_cast<std::size_t>(kMaxListedMatches - columns.lines);
  const std::size_t listing = std::min(found, room);
  for (std::size_t k = 0; k < listing;) {
    const std::size_t batchEnd = std::min(listing, k + NumberColumn::kBatchLines);
    char* position = columns.positions.Room();
    char* baseLevel = columns.baseLevels.Room();
    char* level = columns.levels.Room();
    for (; k < batchEnd; ++k) {
      const std::uint32_t i = offsets[k];
      position = NumberColumn::Put(position, static_cast<std::uint32_t>(done + i + 1));
      baseLevel = NumberColumn::PutByte(baseLevel, baseChunk[i]);
      level = NumberColumn::PutByte(level, raisedChunk[i]);
    }
    columns.positions.Commit(position);
    columns.baseLevels.Commit(baseLevel);
    columns.levels.Commit(level);
  }
  columns.lines += static_cast<std::int64_t>(listing);
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
  ListedColumns listedColumns{{listed, 10}, {listed, 3}, {listed, 3}};
  std::uint32_t offsets[kFoundRoom];
  std::int64_t matches = 0;
  std::uint64_t done = 0;
  const std::uint64_t length = base->Length();
  const std::size_t chunkSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(kCompareChunk, length));
  // Room for whole spans: a last, partial span is padded, so every span takes the same path.
  const ChunkBuffer baseChunk = NewChunkBuffer(WholeSpans(chunkSize));
  const ChunkBuffer raisedChunk = NewChunkBuffer(WholeSpans(chunkSize));
  const SpanFinder nextDifferingSpan = FastestSpanFinder();
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
    // padding of a last, partial span is 0 in both tables, which never matches either.
    const std::size_t padded = WholeSpans(count);
    std::fill(raisedChunk.get() + *gotRaised, raisedChunk.get() + padded, 0);
    std::fill(baseChunk.get() + count, baseChunk.get() + padded, 0);

    // The levels' offsets are gathered first, then listed together: where a block holds one
    // level, as in a pair of one table, gathering costs no branch that could be mispredicted.
    std::size_t found = 0;
    // Whether the last span held a level. Levels cluster where they are dense, so the next span
    // then likely holds one too: it skips the filter, which it would pass anyway.
    bool levelsNear = false;
    for (std::size_t span = 0; span < padded; span += kSpan) {
      if (!levelsNear) {
        span = nextDifferingSpan(baseChunk.get(), raisedChunk.get(), span, padded);
        if (span == padded) break;
      }
      if (found > kFoundRoom - kSpan) {
        ListFound(offsets, found, listedColumns, baseChunk.get(), raisedChunk.get(), done);
        found = 0;
      }
      std::uint64_t inSpan = 0;
      for (std::size_t start = span; start < span + kSpan; start += kBlock) {
        std::uint64_t matched = LevelMask(&baseChunk[start], &raisedChunk[start]);
        inSpan |= matched;
        if (matches >= kMaxListedMatches) {
          matches += std::popcount(matched);  // all listed that can be: only counted
          continue;
        }
        // The levels lowest bit first, so in file order. The first is written whether it is
        // there or not, and kept only if it is.
        const auto blockStart = static_cast<std::uint32_t>(start);
        offsets[found] = blockStart + static_cast<std::uint32_t>(std::countr_zero(matched));
        found += matched != 0;
        matches += matched != 0;
        for (matched &= matched - 1; matched != 0; matched &= matched - 1, ++found, ++matches) {
          offsets[found] = blockStart + static_cast<std::uint32_t>(std::countr_zero(matched));
        }
      }
      levelsNear = inSpan != 0;
    }
    ListFound(offsets, found, listedColumns, baseChunk.get(), raisedChunk.get(), done);
    done += count;
  }

  outcome.appended = {std::move(listedColumns.positions).Text(),
                      std::move(listedColumns.baseLevels).Text(),
                      std::move(listedColumns.levels).Text()};
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
