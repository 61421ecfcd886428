// The names by which Form1 and its controls can be found from outside: its window class and
// the control IDs. The end-to-end tests and the demo driver look controls up by these IDs.
#pragma once

namespace form1 {

inline constexpr wchar_t kClassName[] = L"Quarnel2PatcherForm1";

// By what each control holds or does, in creation order, which is also the tab order (the layout
// table gives each one's name in the form's design, Text1 to Label4).
enum ControlId : int {
  kPositions = 1001,     // the positions listed
  kCompare = 1002,       // 对比: compare the two reference tables on drive F:
  kBaseLevels = 1003,    // the base levels listed
  kLevels = 1004,        // the compared or new levels listed
  kMatchCount = 1005,    // how many positions the latest compare found
  kStep = 1006,          // the level step the player types
  kStepPrompt = 1007,    // the step box's prompt
  kRaise = 1008,         // 修改: raise the levels
  kConfirmation = 1009,  // the confirmation of the latest raise
  kCopyHint = 1010,      // where to copy the raised table
};

// Commands that are no control's: Ctrl+S and the first item of the position list's right-click
// menu.
enum CommandId : int {
  kSavePositions = 1101,  // save the latest compare's positions as drevon2.txt
};

// The client area, in twips.
inline constexpr int kClientWidthTwips = 10845;
inline constexpr int kClientHeightTwips = 6510;

}  // namespace form1
