#include "navigation/nav_list.h"

#include "core/session.h"

namespace tarnix {

void CLEAR_NAV_GRID(Session& s) {
    auto& grid = s.navigationGrid;
    for (size_t row = 1; row < grid.size(); ++row) {
        const bool wasEmpty = grid[row].empty();
        grid[row].clear();
        if (wasEmpty) break;
    }
}

void clearAllNavRows(Session& s) {
    auto& grid = s.navigationGrid;
    for (size_t row = 1; row < grid.size(); ++row) grid[row].clear();
}

std::string& navRow(Session& s, int row) {
    auto& grid = s.navigationGrid;
    if (static_cast<int>(grid.size()) <= row) grid.resize(static_cast<size_t>(row) + 1);
    grid[0] = kNavHeading;
    return grid[static_cast<size_t>(row)];
}

void ADD_NAV_FIX(Session& s, int shot) {
    const int k = s.HdrSelect();
    if (shot != s.shots.StartShot() && (k < 1 || shot % k != 0)) return;
    s.RunTraceCount += 1;
    std::string& row = navRow(s, s.RunTraceCount);
    if (!s.input) return;
    if (auto text = s.input->navRow(s, shot)) row = std::move(*text);
}

} // namespace tarnix
