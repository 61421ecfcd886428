// Saving what the latest compare found as the position list, so that the modder's next raise
// uses it.
#include <algorithm>
#include <string>

#include "file_save.h"
#include "names.h"
#include "numbers.h"
#include "operations.h"
#include "shown_text.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

void Save(const FoundPositions& found, const fs::path& list, bool replace, SaveSteps& steps,
          SaveListOutcome& outcome) {
  const std::string where = PathText(list);
  const std::string count = DecimalText(found.count);
  const std::span content(reinterpret_cast<const std::uint8_t*>(found.lines.data()),
                          found.lines.size());

  Expected<Bytes> existing = ReadWholeFile(list, File::Access::kRead);
  if (existing && std::ranges::equal(*existing, content)) {
    outcome.information = where + " 已经是这次对比找到的 " + count + " 个位置，不用再保存。";
    return;
  }
  if (!existing && existing.error().number != ErrorNumber::kFileNotFound) {
    outcome.error = existing.error();
    return;
  }
  Expected<std::optional<FileAttributes>> attributes = AttributesToKeep(list);
  if (!attributes) {
    outcome.error = attributes.error();
    return;
  }
  if (existing && !replace) {
    outcome.question = where + " 已经存在，内容和这次对比的结果不同。\n\n要用这次对比找到的 " +
                       count + " 个位置替换它吗？";
    return;
  }
  if (Expected<void> saved = SaveFile(list, content, *attributes, steps); !saved) {
    outcome.error = saved.error();
    return;
  }
  outcome.information =
      "已把这次对比找到的 " + count + " 个位置保存到 " + where + "。现在可以点“修改”了。";
}

}  // namespace

SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const ToolFolder& toolFolder, bool replace, SaveSteps& steps) {
  SaveListOutcome outcome;
  if (!found) {
    outcome.warning = ToolWarning("还没有对比结果可以保存。请先点“对比”找出位置，再按 Ctrl+S。");
    return outcome;
  }
  // The raise reads exactly this many positions: any other list would fail it or mislead it.
  if (found->count != kLevelCount) {
    outcome.warning = ToolWarning(
        "上次对比找到了 " + DecimalText(found->count) + " 个位置，而“修改”需要正好 " +
        DecimalText(kLevelCount) +
        " 个，所以没有保存 drevon2.txt。\n\n请确认 F 盘上的 "
        "t_mons0.tbl 和 t_mons100.tbl 是同一个怪物表的原版和每个敌人等级都提高了 100 的版本，"
        "再点“对比”。");
    return outcome;
  }
  const fs::path list = toolFolder.Beside(kPositionListName);
  try {
    if (toolFolder.temporary) {  // the archive program deletes it, and the list with it
      outcome.error = Error{ErrorNumber::kPathFileAccessError, list};
      outcome.error->refusal = Refusal::kTemporaryFolder;
    } else {
      Save(*found, list, replace, steps, outcome);
    }
  } catch (...) {
    outcome = SaveListOutcome{};
    outcome.error = ErrorFromException(std::current_exception());
  }
  if (outcome.error) outcome.error->subject = Subject::kSavedList;
  return outcome;
}

SaveListOutcome SavePositionList(const std::optional<FoundPositions>& found,
                                 const ToolFolder& toolFolder, bool replace) {
  SaveSteps steps;
  return SavePositionList(found, toolFolder, replace, steps);
}

}  // namespace patch
