// The tool's two operations. They never touch a window: they take what the window holds
// and return what it must show.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "outcome.h"
#include "program_folder.h"

namespace patch {
class SaveSteps;
}

namespace patch {

// Raises every listed level of ProgramFolder\t_mons.tbl to base level + step, the base levels
// coming from ProgramFolder\t_mons0.tbl and the positions from ProgramFolder\drevon2.txt.
// stepText is Text4's text, UTF-8, as typed (full-width digits and marks too). All or nothing: on
// any error, an exception included, the table is unchanged.
RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& programFolder);

// The same, saving the table through the given steps (tests make them fail).
RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& programFolder,
                         SaveSteps& steps);

// A compare reads both tables this many bytes at a time: small enough that a chunk of each just
// read is still in the processor's cache when it is scanned, large enough that the calls to read
// them cost little (halving it to 64 KB made a compare of two 10 MB tables about 0.2 ms slower).
inline constexpr std::size_t kCompareChunk = 128 * 1024;

// Lists every position whose byte is exactly 100 larger in raisedTable than in baseTable.
CompareOutcome CompareTables(const std::filesystem::path& baseTable,
                             const std::filesystem::path& raisedTable);

// Saves the positions the latest compare found (none: no compare yet, or it failed) as
// ProgramFolder\drevon2.txt, when they are the kLevelCount positions a raise reads. An existing
// list of other content is replaced only once the player has said so (replace).
SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const std::filesystem::path& programFolder, bool replace);

// The same, saving through the given steps (tests make them fail).
SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const std::filesystem::path& programFolder, bool replace,
                                 SaveSteps& steps);

}  // namespace patch
