#pragma once
// The navigation list of the Positioning page (`NavigationGrid`) and the rows
// a run adds to it. Row 0 is the heading; fixes start at row 1.
#include <string>

namespace tarnix {

class Session;

// The heading the list shows in row 0.
inline constexpr const char* kNavHeading = "Navigation String";

// CLEAR_NAV_GRID / ClearNavButtClick: empties rows from 1 on and stops after
// the first row that was already empty (that row is emptied too).
// RunTraceCount, the fix table and the per-shot tables stay.
void CLEAR_NAV_GRID(Session& s);
// Empties every row from 1 on, wherever the rows in use end.
void clearAllNavRows(Session& s);

// Row `row` of the list, the list grown to hold it (and the heading set).
std::string& navRow(Session& s, int row);

// ADD_NAV_FIX: after shot `shot` was read and processed, a row for it when it
// is the first shot of the run or a multiple of HdrSelect. The input's format
// gives the row text; a format without navigation advances RunTraceCount and
// leaves the row as it was.
void ADD_NAV_FIX(Session& s, int shot);

} // namespace tarnix
