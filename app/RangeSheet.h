// The range sheet of the register transfers: built by AppController::_createRangeSheet()
// (RangeSheet.cpp) into the controller's range outlets.
//
// The sheet is laid out by hand, with fixed positions, because the controller moves its two
// buttons itself when the confirm button's title changes (AppController::_layoutRangeSheet).
#pragma once

#include "VRG500.h"

class QPushButton;

namespace tavrel::app {

using records::HighestRegisterNumber;

// The radio tags of the range sheet.
inline constexpr int AllRegistersRangeTag = 0; // registers 0 to 299
inline constexpr int FirstHundredRangeTag = 1; // registers 0 to 99
inline constexpr int TypedRangeTag = 2;        // the two range fields

// Whether the sheet may be confirmed: always for the fixed ranges, and for a typed range only
// while the last register is not below the first (an inverted range would move nothing and yet
// empty the collection).
bool rangeSheetCanConfirm(int tag, int first, int last);

// The width a push button needs for its title alone, the style's own margins included, with no
// minimum width applied: what the button would take if it sized itself to fit its title.
int pushButtonFittedWidth(const QPushButton* button);

} // namespace tavrel::app
