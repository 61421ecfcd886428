#include <array>
#include <cstdint>
#include <string>

#include "names.h"
#include "numbers.h"
#include "operations.h"
#include "position_list.h"
#include "program_folder.h"
#include "table_file.h"

namespace patch {
namespace fs = std::filesystem;

namespace {

void AppendLine(std::string& column, std::string_view value) {
  column += value;
  column += "\r\n";
}

// Everything is checked before the table is written, so that a failure leaves it untouched.
std::optional<Error> Raise(std::string_view stepText, const fs::path& programFolder,
                           ListTexts& lists) {
  const fs::path listPath = BesideTool(programFolder, kPositionListName);
  Expected<std::vector<std::string>> entries = ReadPositionList(listPath);
  if (!entries) return entries.error();

  const fs::path pristinePath = BesideTool(programFolder, kPristineTableName);
  Expected<Bytes> pristine = ReadWholeFile(pristinePath, BinaryFile::Mode::kRead);
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

  const fs::path tablePath = BesideTool(programFolder, kPatchedTableName);
  Expected<double> step = WholeTextNumber(stepText);
  if (!step) return Error{step.error().number, tablePath};

  // A missing table starts as a full copy of the pristine one. An existing one is opened for
  // writing now, so that a read-only or locked table fails before anything is written.
  Expected<Bytes> table = ReadWholeFile(tablePath, BinaryFile::Mode::kReadWrite);
  if (!table && table.error().number == ErrorNumber::kFileNotFound) table = *pristine;
  if (!table) return table.error();

  std::string levels;
  for (int i = 0; i < kLevelCount; ++i) {
    const std::string& entry = (*entries)[i];
    Expected<std::uint8_t> level = RoundToByte(*step + baseLevels[i]);
    if (!level) return Error(level.error().number, tablePath, i + 1, entry);
    if (static_cast<std::size_t>(positions[i]) > table->size()) {
      return Error(ErrorNumber::kBadRecordNumber, tablePath, i + 1, entry);
    }
    (*table)[positions[i] - 1] = *level;
    AppendLine(levels, DecimalText(*level));
  }

  if (std::optional<Error> failed = ReplaceFile(tablePath, *table)) return failed;
  lists.levels = std::move(levels);
  return std::nullopt;
}

}  // namespace

RaiseOutcome RaiseLevels(std::string_view stepText, const fs::path& programFolder) {
  RaiseOutcome outcome;
  double checked = LeadingNumber(stepText);
  if (!(checked >= kMinStep && checked <= kMaxStep)) {
    outcome.warning = Warning{std::string(kInvalidStepPrompt), std::string(kInvalidStepTitle)};
    return outcome;
  }
  outcome.error = Raise(stepText, programFolder, outcome.lists);
  if (!outcome.error) {
    outcome.confirmation =
        std::string(kConfirmationPrefix) + std::string(stepText) + std::string(kConfirmationSuffix);
  }
  return outcome;
}

}  // namespace patch
