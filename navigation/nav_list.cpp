#include "navigation/nav_list.h"

namespace tarnix {

void ADD_NAV_FIX(Session& s, int shot) {
    const int k = s.HdrSelect();
    if (shot != s.shots.StartShot() && (k < 1 || shot % k != 0)) return;
    s.RunTraceCount += 1;
    std::string& row = navGridRow(s, s.RunTraceCount);
    if (!s.input) return;
    if (auto text = s.input->navRow(s, shot)) row = std::move(*text);
}

} // namespace tarnix
