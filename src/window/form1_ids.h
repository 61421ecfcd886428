// The names by which Form1 and its controls can be found from outside: its window class and
// the control IDs. The end-to-end tests and the demo driver look controls up by these IDs.
#pragma once

namespace form1 {

inline constexpr wchar_t kClassName[] = L"Quarnel2PatcherForm1";

// In creation order, which is also the tab order.
enum ControlId : int {
  kText1 = 1001,     // positions
  kCommand1 = 1002,  // 对比: compare the two reference tables on drive F:
  kText2 = 1003,     // base levels
  kText3 = 1004,     // compared or new levels
  kLabel1 = 1005,    // match count of the last compare
  kText4 = 1006,     // level step typed by the player
  kLabel2 = 1007,
  kCommand2 = 1008,  // 修改: raise the levels
  kLabel3 = 1009,    // confirmation of the last raise
  kLabel4 = 1010,
};

// Commands that are no control's: Ctrl+S and the first item of Text1's right-click menu.
enum CommandId : int {
  kSavePositions = 1101,  // save the latest compare's positions as drevon2.txt
};

// The client area, in twips.
inline constexpr int kClientWidthTwips = 10845;
inline constexpr int kClientHeightTwips = 6510;

}  // namespace form1
