#include "processing/run_progress.h"

#include "core/numtext.h"

#include <cmath>

namespace tarnix {

namespace {
std::string clockText(long long seconds) {
    const long long h = seconds / 3600, m = seconds / 60 % 60, sec = seconds % 60;
    std::string t = h > 0 ? std::to_string(h) + ":" + (m < 10 ? "0" : "") : std::string();
    t += std::to_string(m) + ":" + (sec < 10 ? "0" : "") + std::to_string(sec);
    return t;
}
} // namespace

std::string runProgressText(int done, int total, double seconds) {
    std::string t = "Shot " + std::to_string(done);
    if (total > 0) t += " of " + std::to_string(total);
    if (!(seconds >= 0.1) || done <= 0) return t;
    const double rate = done / seconds;
    t += "   " + std::to_string(static_cast<long long>(std::lround(rate))) + " shots/s";
    if (total > done) {
        // Rounded up, so "0:00 left" is never shown while shots remain.
        const auto left = static_cast<long long>(std::ceil((total - done) / rate));
        t += "   " + clockText(left) + " left";
    }
    return t;
}

} // namespace tarnix
