#include "navigation/reflectivity_view.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tarnix {

int ReflectivityPage::recordAt(int x) const {
    if (records.empty()) return -1;
    return std::clamp(x, 1, width()) - 1;
}

int ReflectivityPage::rowAt(int x) const {
    const int k = recordAt(x);
    return k < 0 ? -1 : records[static_cast<size_t>(k)].line;
}

std::string ReflectivityPage::readout(int x) const {
    const int k = recordAt(x);
    return k < 0 ? std::string()
                 : "Shot (" + std::to_string(records[static_cast<size_t>(k)].shot()) + ")";
}

ReflectivityPage openReflectivityPage(Session& s, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) throw IoError("Cannot read " + path);
    const std::string text = buf.str();

    ReflectivityPage page;
    const size_t slash = path.find_last_of('/');
    page.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    for (size_t at = 0; at < text.size();) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        size_t end = nl;
        if (end > at && text[end - 1] == '\r') --end;
        page.rows.emplace_back(text, at, end - at);
        at = nl + 1;
    }
    try {
        parseReflectivityText(text, path, page.records);
    } catch (const IoError& e) {
        page.error = e.what();
    }

    if (!page.records.empty()) {
        page.largest = page.smallest = page.records.front().coefficient;
        for (const ReflectivityRecord& r : page.records) {
            page.largest = std::max(page.largest, r.coefficient);
            page.smallest = std::min(page.smallest, r.coefficient);
        }
    }
    page.maxText = fixedText(page.largest, 6, 3);
    page.minText = fixedText(page.smallest, 6, 3);

    std::fill(s.reflPick.begin(), s.reflPick.end(), 0);
    for (const ReflectivityRecord& r : page.records) {
        if (r.shot() < INT_MIN || r.shot() > INT_MAX) continue;
        const int i = s.shotEntry(static_cast<int>(r.shot()));
        if (i >= 0) s.reflPick[static_cast<size_t>(i)] = r.line;
    }
    return page;
}

std::vector<CurvePoint> reflectivityCurve(const ReflectivityPage& page, int height) {
    std::vector<CurvePoint> pts;
    pts.reserve(page.records.size() + 1);
    const long long lo = -static_cast<long long>(height), hi = 2LL * height;
    // Without a positive coefficient there is no scale: the curve lies flat
    // on the bottom row instead of dividing by zero.
    if (!(page.largest > 0)) {
        const int bottom = std::max(height - 1, 0);
        for (int n = 0; n <= page.width(); ++n) pts.push_back({n, bottom});
        return pts;
    }
    const long double scale = static_cast<long double>(page.largest) / height;
    pts.push_back({0, 0});
    for (int n = 1; n <= page.width(); ++n) {
        const long double q = page.records[static_cast<size_t>(n - 1)].coefficient / scale;
        const long long y = height - truncate(std::clamp<long double>(q, lo - 1, hi + 1));
        pts.push_back({n, static_cast<int>(std::clamp(y, lo, hi))});
    }
    return pts;
}

long long saveReflectivityRows(const std::vector<std::string>& rows, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path + ": " + std::strerror(errno));
    long long written = 0;
    for (const std::string& row : rows) {
        if (row.empty()) continue;
        out << row << '\n';
        ++written;
    }
    out.close();
    if (!out) throw IoError("Cannot write " + path);
    return written;
}

std::string savedRowsText(long long rows) {
    return "Saved " + std::to_string(rows) + " rows";
}

} // namespace tarnix
