#include "display/auto_gain.h"

#include "core/session.h"
#include "display/palette.h"
#include "display/profile_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace tarnix {

double absPercentile(std::vector<double>& values, double q) {
    if (values.empty()) return 0;
    for (double& v : values) v = std::fabs(v);
    const size_t n = values.size();
    size_t rank = static_cast<size_t>(std::ceil(std::clamp(q, 0.0, 1.0) * n));
    rank = std::clamp<size_t>(rank, 1, n) - 1;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(rank), values.end());
    return values[rank];
}

namespace {
constexpr long long kMaxClip = 1LL << 22; // the level table has 2 x clip + 1 entries
}

AutoGain autoGainFor(const Session& s, double p) {
    AutoGain g;
    if (!(p > 0) || !std::isfinite(p)) return g;
    // The renderer's units: a full scale taken from the data is mapped onto 16 bits.
    const bool fromData = s.FullScaleFromData && s.FullScale > 0;
    const double scaled = fromData ? p * 32768.0 / s.FullScale : p;
    const double half = fromData ? 16384.0 : s.FullScale / 2;
    const int max = s.display.Gain.max();
    // Full colour needs scaled x max / gain >= half.
    const double best = half > 0 ? scaled * max / half : 0;
    if (best >= 1 && best <= max) {
        g.gain = static_cast<int>(std::floor(best));
    } else if (best < 1) {
        g.gain = 1;
        g.clipLevel = std::clamp<long long>(std::llround(std::floor(scaled * max)), 1, kMaxClip);
    } else {
        g.gain = max;
        g.clipLevel = std::clamp<long long>(std::llround(std::floor(scaled)), 1, kMaxClip);
    }
    return g;
}

double blankShare(const Session& s, const QImage& picture) {
    if (picture.isNull() || s.ImageRows <= 0 || s.ImageColumns <= 0) return 0;
    uint32_t zero = colour::white;
    paletteColour(s.display.PaletteBar(), 0, zero);
    const int x0 = kProfileMargin + 1, y0 = kProfileMargin;
    const int x1 = std::min(picture.width(), x0 + s.ImageColumns);
    const int y1 = std::min(picture.height(), y0 + s.ImageRows + 1);
    long long blank = 0, all = 0;
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = y0; y < y1; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            const QRgb c = row[x];
            ++all;
            if (std::abs(qRed(c) - qRed(zero)) <= 12 && std::abs(qGreen(c) - qGreen(zero)) <= 12 &&
                std::abs(qBlue(c) - qBlue(zero)) <= 12)
                ++blank;
        }
    }
    return all ? static_cast<double>(blank) / all : 0;
}

int strongColour(const Session& s, const QImage& picture) {
    if (picture.isNull() || s.ImageRows <= 0 || s.ImageColumns <= 0) return 0;
    uint32_t zero = colour::white;
    paletteColour(s.display.PaletteBar(), 0, zero);
    const int x0 = kProfileMargin + 1, y0 = kProfileMargin;
    const int x1 = std::min(picture.width(), x0 + s.ImageColumns);
    const int y1 = std::min(picture.height(), y0 + s.ImageRows + 1);
    std::array<long long, 256> count{};
    long long all = 0;
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = y0; y < y1; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            const QRgb c = row[x];
            const int d =
                std::max({std::abs(qRed(c) - qRed(zero)), std::abs(qGreen(c) - qGreen(zero)),
                          std::abs(qBlue(c) - qBlue(zero))});
            ++count[d];
            ++all;
        }
    }
    // From the strong end down to where 2% of the pixels lie above.
    long long above = 0;
    for (int d = 255; d > 0; --d) {
        above += count[d];
        if (above * 50 >= all) return d;
    }
    return 0;
}

int wholeTraceEnd(int samples, long double sampleRate) {
    if (samples <= 0 || !(sampleRate > 0)) return 0;
    const long double ms = samples / sampleRate;
    // 1e-9 keeps 1848.0000000001 from becoming 1849.
    return static_cast<int>(std::min<long double>(100000, std::ceil(ms - 1e-9L)));
}

} // namespace tarnix
