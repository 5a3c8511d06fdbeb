#pragma once
// The rows a run adds to the navigation list (the list itself and its
// clearing are the session's, core/session.h).
#include "core/session.h"

namespace tarnix {

// ADD_NAV_FIX: after shot `shot` was read and processed, a row for it when it
// is the first shot of the run or a multiple of HdrSelect. The input's format
// gives the row text; a format without navigation advances RunTraceCount and
// leaves the row as it was.
void ADD_NAV_FIX(Session& s, int shot);

} // namespace tarnix
