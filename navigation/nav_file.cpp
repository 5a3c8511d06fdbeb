#include "navigation/nav_file.h"

#include "core/error.h"
#include "core/numtext.h"
#include "formats/file_open.h"
#include "navigation/nav_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarnix {

void saveNavigation(Session& s, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path + ": " + std::strerror(errno));
    const auto& grid = s.navigationGrid;
    const std::string tail(12, ' ');
    for (int row = 1; row <= s.RunTraceCount && row < static_cast<int>(grid.size()); ++row) {
        // Twelve columns, each followed by a blank; only the first holds text.
        const std::string& text = grid[row];
        if (text.empty() || text[0] == ' ') continue;
        out << text << tail << '\n';
    }
    out.close();
    if (!out) throw IoError("Cannot write " + path);
    s.Edit2 = "Save Navigation To : " + path;
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The next white-space separated word of `line` from `pos`, empty at the end.
std::string_view nextWord(std::string_view line, size_t& pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

} // namespace

void parseNavigation(std::string_view text, const std::string& path, std::vector<NavFix>& fixes) {
    static const char* const kNames[8] = {"shot",   "year",   "day",      "hour",
                                          "minute", "second", "latitude", "longitude"};
    int lineNo = 0;
    size_t at = 0;
    bool dataSeen = false;
    int previous = -1;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        auto fail = [&](const std::string& what) {
            throw IoError(path + ": line " + std::to_string(lineNo) + ": " + what);
        };
        size_t pos = 0;
        std::string_view word = nextWord(line, pos);
        if (word.empty()) continue;
        if (word[0] == '#') {
            if (dataSeen) fail("a \"#\" comment line after the first fix");
            continue;
        }
        dataSeen = true;
        NavFix f;
        int32_t* ints[6] = {&f.shot, &f.year, &f.day, &f.hour, &f.minute, &f.second};
        for (int i = 0; i < 8; ++i) {
            if (i > 0) word = nextWord(line, pos);
            if (word.empty())
                fail("the " + std::string(kNames[i]) + " is missing (a fix has 8 fields)");
            if (i < 6) {
                long long v;
                if (!tryParseInt(word, v) || v < INT32_MIN || v > INT32_MAX)
                    fail("the " + std::string(kNames[i]) + " '" + std::string(word) +
                         "' is not an integer");
                *ints[i] = static_cast<int32_t>(v);
            } else {
                long double v;
                if (!tryParseFloat(word, v))
                    fail("the " + std::string(kNames[i]) + " '" + std::string(word) +
                         "' is not a number");
                (i == 6 ? f.lat : f.lon) = static_cast<double>(v);
            }
        }
        if (f.shot < 0 || f.shot > kMaxShot)
            fail("shot " + std::to_string(f.shot) + " is outside 0 to " + std::to_string(kMaxShot));
        if (f.shot < previous)
            fail("shot " + std::to_string(f.shot) + " comes after shot " +
                 std::to_string(previous) + "; the shots of a file must not go backwards");
        previous = f.shot;
        fixes.push_back(f);
    }
}

std::string navFixRow(const NavFix& f) {
    std::string row;
    for (int32_t v : {f.shot, f.year, f.day, f.hour, f.minute, f.second}) {
        row += std::to_string(v);
        row += ' ';
    }
    row += fixedText(f.lat, 8);
    row += ' ';
    row += fixedText(f.lon, 8);
    return row;
}

double interpolateCoordinate(int shot, int aShot, double a, int bShot, double b) {
    if (b == a) return b;
    const double m = (b - a) / (bShot - aShot);
    const double c = (bShot * a - aShot * b) / (bShot - aShot);
    return shot * m + c;
}

void interpolateFixes(std::vector<NavFix>& table, int lastShot,
                      const std::function<void(int shot, double lat, double lon)>& row) {
    const int last = std::min(lastShot, static_cast<int>(table.size()) - 1);
    int a = 0;
    while (a <= last && table[a].shot == kNoFix) ++a;
    while (a <= last) {
        int b = a + 1;
        while (b <= last && table[b].shot == kNoFix) ++b;
        if (b > last) return;
        const NavFix A = table[a], B = table[b];
        double bLon = B.lon;
        const bool wraps = A.lon >= 0 && A.lon <= 360 && B.lon >= 0 && B.lon <= 360;
        if (wraps && bLon - A.lon > 180) bLon -= 360;
        if (wraps && A.lon - bLon > 180) bLon += 360;
        for (int s = a + 1; s < b; ++s) {
            const double lat = interpolateCoordinate(s, a, A.lat, b, B.lat);
            double lon = interpolateCoordinate(s, a, A.lon, b, bLon);
            if (bLon != B.lon) {
                // Back into 0..360; a value that would print as 360 is 0.
                if (lon < 0) lon += 360;
                if (lon >= 360 - 0.5e-8) lon -= 360;
                if (lon < 0) lon = 0;
            }
            table[s].lat = lat;
            table[s].lon = lon;
            row(s, lat, lon);
        }
        a = b;
    }
}

void IMPORT_NAV(Session& s, const std::string& path) {
    clearAllNavRows(s);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) throw IoError("Cannot read " + path);
    const std::string text = std::move(buf).str();
    s.Edit2 = "Import Navigation From :" + path;

    std::vector<NavFix> fixes;
    std::string error;
    try {
        parseNavigation(text, path, fixes);
    } catch (const IoError& e) {
        error = e.what();
    }
    if (error.empty() && fixes.empty()) error = path + ": no navigation fixes in the file";

    s.HdrSelect.set(1);
    s.navFixes.assign(kShotTableSize, NavFix{});
    const int firstShot = fixes.empty() ? 0 : fixes.front().shot;
    const int lastShot = fixes.empty() ? 0 : fixes.back().shot; // shots never go backwards
    s.RunTraceCount = lastShot;
    if (!fixes.empty()) navGridRow(s, lastShot);
    for (const NavFix& f : fixes) {
        s.navFixes[f.shot] = f;
        s.navigationGrid[f.shot] = navFixRow(f);
    }
    if (!error.empty()) throw IoError(error);

    interpolateFixes(s.navFixes, lastShot, [&](int shot, double lat, double lon) {
        std::string& row = s.navigationGrid[shot];
        row = std::to_string(shot);
        row += " 0 0 0 0 0 ";
        row += fixedText(lat, 8);
        row += ' ';
        row += fixedText(lon, 8);
    });
    for (int shot = firstShot; shot <= lastShot; ++shot) {
        const std::string& row = s.navigationGrid[shot];
        s.navText[shot] = row.size() > 255 ? row.substr(0, 255) : row;
        s.shotPosition[shot] = {s.navFixes[shot].lon, s.navFixes[shot].lat};
    }
}

std::string navSidePath(const std::string& path) {
    const std::string ext = upperExtension(path);
    return path.substr(0, path.size() - ext.size()) + ".NAV";
}

bool importSideNavigation(Session& s, const std::string& imagePath) {
    const std::string nav = navSidePath(imagePath);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(nav, ec)) return false;
    IMPORT_NAV(s, nav);
    s.Edit3 = "NAVFile found :" + nav;
    return true;
}

} // namespace tarnix
