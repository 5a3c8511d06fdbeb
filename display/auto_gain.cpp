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

namespace {

// How many painted pixels lie at each largest channel difference from the
// colour of amplitude 0 (a histogram, not a list: the picture of a long line
// has millions of pixels). The outline and grid lines are drawn over the data
// area; on a short line (a few hundred traces) they alone are more than 2% of
// its pixels and would make any picture look strong.
using Distances = std::array<long long, 256>;
constexpr long long kSampledPixels = 1 << 20;

Distances paintedDistances(const Session& s, const QImage& picture) {
    Distances out{};
    if (picture.isNull() || s.ImageRows <= 0 || s.ImageColumns <= 0) return out;
    uint32_t zero = colour::white;
    paletteColour(s.display.PaletteBar(), 0, zero);
    const AnnotationLayout layout = annotationLayout(s);
    const AnnotationLine& area = layout.dataArea;
    const int x0 = std::max(0, area.x1 + 1), y0 = std::max(0, area.y1 + 1);
    const int x1 = std::min(picture.width(), area.x2 - 1);
    const int y1 = std::min(picture.height(), area.y2 - 1);
    if (x1 <= x0 || y1 <= y0) return out;
    std::vector<bool> gridRow(static_cast<size_t>(y1 - y0), false);
    for (const AnnotationLine& l : layout.lines)
        if (l.y1 == l.y2 && l.y1 >= y0 && l.y1 < y1 && std::max(l.x1, l.x2) > x0)
            gridRow[static_cast<size_t>(l.y1 - y0)] = true;
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    const int zr = qRed(zero), zg = qGreen(zero), zb = qBlue(zero);
    // A share of 2% needs no more than about a million pixels to be told; a
    // 40,000-shot picture has ten times that. They are taken in runs of 16
    // side by side, so that only the memory of the runs is read, one run in
    // `stride`; each row starts a run further on, so stripes at the runs'
    // period are not missed.
    const long long pixels = static_cast<long long>(x1 - x0) * (y1 - y0);
    const int stride =
        static_cast<int>(std::max<long long>(1, (pixels + kSampledPixels - 1) / kSampledPixels));
    constexpr int kRun = 16;
    const auto add = [&](QRgb c) {
        ++out[static_cast<size_t>(
            std::max({std::abs(qRed(c) - zr), std::abs(qGreen(c) - zg), std::abs(qBlue(c) - zb)}))];
    };
    for (int y = y0; y < y1; ++y) {
        if (gridRow[static_cast<size_t>(y - y0)]) continue;
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        if (stride == 1) {
            for (int x = x0; x < x1; ++x) add(row[x]);
            continue;
        }
        for (int x = x0 + (y - y0) % stride * kRun; x < x1; x += stride * kRun)
            for (int k = x, end = std::min(x1, x + kRun); k < end; ++k) add(row[k]);
    }
    return out;
}

long long total(const Distances& d) {
    long long all = 0;
    for (long long n : d) all += n;
    return all;
}

} // namespace

double blankShare(const Session& s, const QImage& picture) {
    const Distances d = paintedDistances(s, picture);
    const long long all = total(d);
    if (all == 0) return 0;
    long long blank = 0;
    for (int v = 0; v <= 12; ++v) blank += d[static_cast<size_t>(v)];
    return static_cast<double>(blank) / static_cast<double>(all);
}

int strongColour(const Session& s, const QImage& picture) {
    const Distances count = paintedDistances(s, picture);
    const long long all = total(count);
    if (all == 0) return 0;
    // From the strong end down to where 2% of the pixels lie above.
    long long above = 0;
    for (int v = 255; v > 0; --v) {
        above += count[static_cast<size_t>(v)];
        if (above * 50 >= all) return v;
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
