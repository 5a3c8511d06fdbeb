#include "formats/pick_file.h"

#include "core/error.h"
#include "core/numtext.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

namespace tarnix {

namespace {

constexpr int kShots = PickTable::kMaxShot + 1;

// First and last blank-separated word of a line; false for a blank line.
bool firstAndLast(const std::string& line, std::string_view& first, std::string_view& last,
                  int& words) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; };
    words = 0;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        while (i < n && blank(line[i])) ++i;
        if (i == n) break;
        size_t j = i;
        while (j < n && !blank(line[j])) ++j;
        std::string_view w(line.data() + i, j - i);
        if (words == 0) first = w;
        last = w;
        ++words;
        i = j;
    }
    return words > 0;
}

} // namespace

void PickTable::checkRow(int row) {
    if (row < 1 || row > kRows)
        throw Error("Row number " + std::to_string(row) + " is outside the pick table (1 to " +
                    std::to_string(kRows) + ")");
}

double PickTable::time(int row, int shot) const {
    checkRow(row);
    if (shot < 0 || shot > kMaxShot)
        throw Error("Shot " + std::to_string(shot) + " is outside the pick table (0 to " +
                    std::to_string(kMaxShot) + ")");
    const Row& r = rows_[row];
    return r.t.empty() ? 0.0 : r.t[shot];
}

double PickTable::minTime(int row) const {
    checkRow(row);
    return rows_[row].min;
}

double PickTable::maxTime(int row) const {
    checkRow(row);
    return rows_[row].max;
}

const std::string& PickTable::source(int row) const {
    checkRow(row);
    return rows_[row].source;
}

void PickTable::read(int row, const std::string& path) {
    checkRow(row);
    Row& r = rows_[row];
    // A second file on the same row must not keep the first file's picks.
    r.t.assign(kShots, 0.0);
    r.min = r.max = 0;
    r.source.clear();
    try {
        std::ifstream in(path);
        if (!in) throw IoError("Cannot open the pick file " + path + ": " + std::strerror(errno));
        // The notebook stores picks in click order: the ends are the smallest
        // and the largest shot, wherever their lines are.
        int sFirst = kShots, sLast = -1;
        std::string line;
        for (int lineNo = 1; std::getline(in, line); ++lineNo) {
            std::string_view first, last;
            int words = 0;
            if (!firstAndLast(line, first, last, words)) continue; // blank: no pick
            auto where = [&] { return path + ", line " + std::to_string(lineNo) + ": "; };
            long long shot = 0;
            long double t = 0;
            if (!tryParseInt(first, shot))
                throw IoError(where() + "'" + std::string(first) + "' is not a shot number");
            if (words < 2) throw IoError(where() + "a shot number and a time are needed");
            if (!tryParseFloat(last, t))
                throw IoError(where() + "'" + std::string(last) + "' is not a time in ms");
            // The table holds doubles: a time beyond them would reach the sample
            // conversions as infinity.
            if (!std::isfinite(static_cast<double>(t)))
                throw IoError(where() + "the time '" + std::string(last) +
                              "' is beyond the range of a time in ms");
            if (shot < 0 || shot > kMaxShot)
                throw IoError(where() + "shot " + std::to_string(shot) +
                              " is outside the pick table (0 to " + std::to_string(kMaxShot) + ")");
            const int k = static_cast<int>(shot);
            r.t[k] = static_cast<double>(t);
            sFirst = std::min(sFirst, k);
            sLast = std::max(sLast, k);
        }
        if (in.bad()) throw IoError("Cannot read the pick file " + path);
        if (sLast < 0) throw IoError("The pick file " + path + " holds no picks");

        std::vector<double>& t = r.t;
        const double tFirst = t[sFirst], tLast = t[sLast];
        std::fill(t.begin(), t.begin() + sFirst, tFirst);
        std::fill(t.begin() + sLast + 1, t.end(), tLast);
        // One pass: each gap between two picks gets the straight line through them.
        int j0 = -1;
        for (int k = sFirst; k <= sLast; ++k) {
            if (t[k] == 0) continue;
            if (j0 >= 0 && k > j0 + 1) {
                const long double t0 = t[j0], t1 = t[k];
                const long double span = k - j0;
                const long double offset = (static_cast<long double>(k) * t0 - j0 * t1) / span;
                for (int g = j0 + 1; g < k; ++g)
                    t[g] = t1 == t0 ? static_cast<double>(t1)
                                    : static_cast<double>(g * (t1 - t0) / span + offset);
            }
            j0 = k;
        }
        double mx = 0;
        for (int k = sFirst; k <= sLast; ++k) mx = std::max(mx, t[k]);
        double mn = mx;
        for (int k = sFirst; k <= sLast; ++k) mn = std::min(mn, t[k]);
        r.max = mx;
        r.min = mn;
        r.source = path;
    } catch (...) {
        r.t.clear();
        r.min = r.max = 0;
        throw;
    }
}

long long pickSample(const PickTable& table, int row, int shot, long double startSweep,
                     long double rate) {
    const long double t = table.time(row, shot);
    // A wild time in the file must not overflow the conversion.
    const long double b = std::clamp<long double>((t - startSweep) * rate, -1e15L, 1e15L);
    return truncate(b);
}

} // namespace tarnix
