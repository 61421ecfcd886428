// What an operation hands back to the window: texts to show, a warning, or an error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "error.h"
#include "names.h"

namespace patch {

// The texts of the three lists: positions, base levels, compared or new levels.
// Every line ends with CR LF. UTF-8.
struct ListTexts {
  std::string positions;
  std::string baseLevels;
  std::string levels;
};

// A warning box: one OK button and the exclamation icon.
struct Warning {
  std::string prompt;
  std::string title;
};

// A warning titled with the tool's caption.
inline Warning ToolWarning(std::string prompt) {
  return Warning{std::move(prompt), std::string(kToolCaption)};
}

struct RaiseOutcome {
  ListTexts lists;                          // replaces the three lists' texts
  std::optional<std::string> confirmation;  // the confirmation, after a successful raise
  std::optional<Warning> warning;           // invalid step: show it, then focus the positions
  std::optional<Error> error;               // the raise stopped; the table is untouched
};

// What a compare found: every match, counted, and the first ones' positions as listed (the
// compare's appended positions).
struct FoundPositions {
  std::int64_t count = 0;
  std::string lines;  // one decimal position a line, CR LF after each; complete up to the cap
};

struct CompareOutcome {
  ListTexts
      appended;  // appended under the three list boxes' texts; at most kMaxListedMatches lines
  std::optional<std::string> matchCount;  // the match count, after a successful compare
  std::int64_t matches = 0;               // every match, listed or not
  std::optional<Warning> warning;         // too many matches to list: shown after appending
  std::optional<Error> error;             // the compare stopped; nothing to append
};

// The boxes that saving the found positions as the position list may show. At most one of
// warning, information and error; a question comes alone.
struct SaveListOutcome {
  std::optional<Warning> warning;          // nothing fit to save: nothing was written
  std::optional<std::string> question;     // Yes/No, No the default: replace a different list?
  std::optional<std::string> information;  // saved, or already saved
  std::optional<Error> error;              // the list is as it was
};

}  // namespace patch
