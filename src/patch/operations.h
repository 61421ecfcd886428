// The tool's two operations. They never touch a window: they take what the window holds
// and return what it must show.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "outcome.h"

namespace patch {

class SaveSteps;

// The folder holding the tool, where its tables and the position list lie. Explorer, WinRAR, 7-Zip
// and Bandizip open a program straight from an archive in a folder of their own inside the user's
// temporary folder, where no file of the player's lies and whatever is written is lost when the
// archive program closes: temporary says that the tool runs from inside that temporary folder.
struct ToolFolder {
  ToolFolder(std::filesystem::path path, bool temporary = false)
      : path(std::move(path)), temporary(temporary) {}
  // A file beside the tool. At a drive root the root's own separator serves, so that a box shows
  // E:\t_mons.tbl as the player knows it, not with two separators in a row.
  std::filesystem::path Beside(std::string_view name) const {
    return path / std::filesystem::path(name);
  }
  std::filesystem::path path;
  bool temporary;
};

// Raises every listed level of the tool folder's t_mons.tbl to base level + step, the base levels
// coming from the tool folder's t_mons0.tbl and the positions from the tool folder's drevon2.txt.
// stepText is the step box's text, UTF-8, as typed (full-width digits and marks too). All or
// nothing: on any error, an exception included, the table is unchanged.
RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& toolFolder);

// The same, saving the table through the given steps (tests make them fail).
RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& toolFolder, SaveSteps& steps);

// A compare reads both tables this many bytes at a time: small enough that a chunk of each just
// read is still in the processor's cache when it is scanned, large enough that the calls to read
// them cost little (halving it to 64 KB made a compare of two 10 MB tables about 0.2 ms slower).
inline constexpr std::size_t kCompareChunk = 128 * 1024;

// Lists every position whose byte is exactly 100 larger in raisedTable than in baseTable.
CompareOutcome CompareTables(const std::filesystem::path& baseTable,
                             const std::filesystem::path& raisedTable);

// Saves the positions the latest compare found (none: no compare yet, or it failed) as
// the tool folder's drevon2.txt, when they are the kLevelCount positions a raise reads. An existing
// list of other content is replaced only once the player has said so (replace). Beside a tool in
// an archive program's temporary folder nothing is written: it would be lost with that folder.
SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const ToolFolder& toolFolder, bool replace);

// The same, saving through the given steps (tests make them fail).
SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const ToolFolder& toolFolder, bool replace, SaveSteps& steps);

}  // namespace patch
