#include "navigation/nav_file.h"

#include "core/error.h"
#include "core/session.h"

#include <fstream>

namespace tarnix {

void saveNavigation(Session& s, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    const auto& grid = s.navigationGrid;
    for (int row = 1; row <= s.RunTraceCount && row < static_cast<int>(grid.size()); ++row) {
        // Twelve columns, each followed by a blank; only the first holds text.
        std::string line = grid[row] + std::string(12, ' ');
        if (line[0] == ' ') continue;
        out << line << '\n';
    }
    out.close();
    if (!out) throw IoError("Cannot write " + path);
    s.Edit2 = "Save Navigation To : " + path;
}

} // namespace tarnix
