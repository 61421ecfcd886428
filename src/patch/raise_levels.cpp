#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "file_save.h"
#include "list_text.h"
#include "names.h"
#include "numbers.h"
#include "operations.h"
#include "position_list.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

// The invalid-step warning, and the confirmation around the step as typed.
constexpr std::string_view kInvalidStepPrompt = "只能输入1到100！";
constexpr std::string_view kInvalidStepTitle = "系统提示";
constexpr std::string_view kConfirmationPrefix = "敌人等级提高";
constexpr std::string_view kConfirmationSuffix = "级";

// Which input beside the tool an error is about follows from the file it names.
Subject SubjectOf(const fs::path& file, const ToolFolder& toolFolder) {
  if (file == toolFolder.Beside(kPositionListName)) return Subject::kPositionList;
  if (file == toolFolder.Beside(kPristineTableName)) return Subject::kPristineTable;
  if (file == toolFolder.Beside(kPatchedTableName)) return Subject::kPatchedTable;
  return Subject::kNone;
}

// Everything is checked before the table is written, so that a failure leaves it untouched.
Expected<void> Raise(std::string_view stepText, std::string_view halfWidthStep,
                     const ToolFolder& toolFolder, SaveSteps& steps, ListTexts& lists) {
  const fs::path tablePath = toolFolder.Beside(kPatchedTableName);
  // Opened from an archive, the tool runs in a folder the archive program deletes, with the table
  // raised there: nothing is read or written, and the player is told to extract first.
  if (toolFolder.temporary) {
    Error error{ErrorNumber::kPathFileAccessError, tablePath};
    error.refusal = Refusal::kTemporaryFolder;
    return error;
  }
  const fs::path listPath = toolFolder.Beside(kPositionListName);
  Expected<std::vector<std::string>> entries = ReadPositionList(listPath);
  if (!entries) return entries.error();

  const fs::path pristinePath = toolFolder.Beside(kPristineTableName);
  Expected<Bytes> pristine = ReadWholeFile(pristinePath, File::Access::kRead, kMaxTableLength);
  if (!pristine) return pristine.error();

  std::array<std::int32_t, kLevelCount> positions{};
  std::array<std::uint8_t, kLevelCount> baseLevels{};
  for (int i = 0; i < kLevelCount; ++i) {
    const std::string& entry = (*entries)[i];
    Expected<std::int32_t> position = TextToPosition(entry);
    if (!position) return Error(position.error().number, listPath, i + 1, entry);
    if (*position < 1) return Error(ErrorNumber::kBadRecordNumber, listPath, i + 1, entry);
    if (static_cast<std::size_t>(*position) > pristine->size()) {
      return Error(ErrorNumber::kBadRecordNumber, pristinePath, i + 1, entry);
    }
    positions[i] = *position;
    baseLevels[i] = (*pristine)[*position - 1];
    AppendLine(lists.positions, entry);
    AppendLine(lists.baseLevels, DecimalText(baseLevels[i]));
  }

  Expected<double> step = WholeTextNumber(halfWidthStep);
  if (!step) {
    Error error{step.error().number};
    error.subject = Subject::kStep;
    error.step = std::string(stepText);
    return error;
  }

  // A read-only table is the player's decision: refuse it before anything is written, and
  // leave the attribute alone.
  Expected<std::optional<FileAttributes>> attributes = AttributesToKeep(tablePath);
  if (!attributes) return attributes.error();
  // An existing table is opened for writing now, so that one held by another program fails
  // (after the wait a save gives it) before anything is written. A missing one starts as a full
  // copy of the pristine table.
  Expected<Bytes> table = RetryWhileHeld(
      [&] { return ReadWholeFile(tablePath, File::Access::kReadWrite, kMaxTableLength); },
      steps.HoldPatience());
  if (!table && table.error().number == ErrorNumber::kFileNotFound) table = *pristine;
  if (!table) return table.error();
  // Of another length, it is another version of the table, or another file, or a copy cut
  // short: the pristine table's levels written at its positions would corrupt it. Of the same
  // length, every position checked against the pristine table is inside it too. The shorter one
  // is to blame: a table cut short is made again from t_mons0.tbl once deleted, while a shorter
  // t_mons0.tbl is a copy cut short or an older version, and only an original can replace it.
  if (table->size() != pristine->size()) {
    Error error{ErrorNumber::kTypeMismatch,
                table->size() < pristine->size() ? tablePath : pristinePath};
    const auto bytes = [](const Bytes& file) {
      return " 有 " + DecimalText(static_cast<std::int64_t>(file.size())) + " 字节";
    };
    error.context = std::string(kPatchedTableName) + bytes(*table) + "，" +
                    std::string(kPristineTableName) + bytes(*pristine);
    return error;
  }

  std::string levels;
  for (int i = 0; i < kLevelCount; ++i) {
    const std::string& entry = (*entries)[i];
    Expected<std::uint8_t> level = RoundToByte(*step + baseLevels[i]);
    if (!level) return Error(level.error().number, tablePath, i + 1, entry);
    (*table)[positions[i] - 1] = *level;
    AppendLine(levels, DecimalText(*level));
  }

  Expected<void> saved = SaveFile(tablePath, *table, *attributes, steps);
  if (!saved) {
    Error failed = saved.error();
    failed.subject = Subject::kPatchedTable;  // also when it names the vanished copy
    return failed;
  }
  lists.levels = std::move(levels);
  return {};
}

}  // namespace

RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& toolFolder,
                         SaveSteps& steps) {
  RaiseOutcome outcome;
  // Read with its full-width forms as ASCII; shown (in the confirmation and any box) as typed.
  const std::string step = HalfWidthStep(stepText);
  double checked = LeadingNumber(step);
  if (!(checked >= kMinStep && checked <= kMaxStep)) {
    outcome.warning = Warning{std::string(kInvalidStepPrompt), std::string(kInvalidStepTitle)};
    return outcome;
  }
  try {
    if (Expected<void> raised = Raise(stepText, step, toolFolder, steps, outcome.lists); !raised) {
      outcome.error = raised.error();
    }
    if (outcome.error && outcome.error->subject == Subject::kNone) {
      outcome.error->subject = SubjectOf(outcome.error->file, toolFolder);
    }
  } catch (...) {
    outcome.error = ErrorFromException(std::current_exception());
  }
  if (!outcome.error) {
    outcome.confirmation =
        std::string(kConfirmationPrefix) + std::string(stepText) + std::string(kConfirmationSuffix);
  }
  return outcome;
}

RaiseOutcome RaiseLevels(std::string_view stepText, const ToolFolder& toolFolder) {
  SaveSteps steps;
  return RaiseLevels(stepText, toolFolder, steps);
}

}  // namespace patch
